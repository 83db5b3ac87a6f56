#pragma once
// The export of finished runs: the choice bits of the export dialog, the refusals of a
// choice and the CSV text.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QString>

class RocketVariables;

namespace calc {

// Bits of the export dialog's answer (calculations mode).
namespace exportBit {
constexpr uint32_t Parameters = 0x2;
constexpr uint32_t Rocket = 0x4;
constexpr uint32_t CurrentRun = 0x8;
constexpr uint32_t AllRuns = 0x10;
constexpr uint32_t Thermo = 0x20;
constexpr uint32_t Transport = 0x40;
constexpr uint32_t Composition = 0x80;
constexpr uint32_t CurrentGraph = 0x100;
constexpr uint32_t GraphThermo = 0x200;
constexpr uint32_t GraphTransport = 0x400;
constexpr uint32_t GraphComposition = 0x800;
constexpr uint32_t GraphTime = 0x1000;
constexpr uint32_t AllStations = 0x2000;
} // namespace exportBit

// A CSV file is written for any of parameters, rocket, thermo, transport, composition.
bool csvChosen(uint32_t mask);
// Any graph of a series chosen.
bool graphSeriesChosen(uint32_t mask);

// The refusal of a choice (warning icon), nullopt when it can be exported. `currentRun`
// is the selected run's position among the finished runs, -1 for none.
std::optional<QString> exportRefusal(uint32_t mask, int currentRun);
inline const QString noCalculations = QStringLiteral("No calculations have been made");
inline const QString exportDone = QStringLiteral("Export finished successfully");

// One image of a graph series, in the order they are written: what the plot draws
// (`selector` in the plot view's numbering: 0 and 1 the "Plot all" entries, n + 2 the
// finished run n; a variable row; a species or -1) and what follows the base file name.
struct SeriesImage {
    int selector = 0;
    int type = 0;
    int species = -1;
    QString suffix;
};
// The images of a graph series for every finished run (mask without CurrentRun) or for
// the finished run `currentRun` (a grain run or not): the thermodynamic, transport and
// composition groups of the station runs, then the time group of the grain runs. The
// composition images go on, species by species, while one of `compositionRuns` (the
// runs such an image draws) holds the next species.
std::vector<SeriesImage> graphSeriesImages(uint32_t mask, int currentRun, bool currentIsGrain,
                                           const std::vector<const RocketVariables*>& compositionRuns);

// The CSV text of the runs: per run its name line, the parameter and rocket block
// (twelve lines and an empty one), the station table of a pressure run or the burn
// series of a grain run (only with AllStations), and an empty line. Cells are separated
// by `separator` written before each cell, numbers in the general format with `digits`
// significant digits; a text cell holding the separator, a quote or a line break is
// quoted (quotes doubled).
std::string calculationCsv(const std::vector<const RocketVariables*>& runs, uint32_t mask, char separator, int digits);

} // namespace calc
