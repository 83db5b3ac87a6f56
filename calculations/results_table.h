#pragma once
// The numbers of the result table: for a run at a given chamber pressure the chamber and
// the key nozzle stations, for a grain run three instants of the burn.
#include <array>
#include <cstddef>
#include <vector>

#include <QString>
#include <QStringList>

class RocketVariables;

namespace calc {

struct ResultTable {
    QStringList columns;
    QStringList rows;
    std::vector<std::vector<QString>> cells; // [row][column]
    bool frozenColumnShown = false; // station view: column 4 (the freezing station)
};

// Station view: chamber, entrance, throat, exit and, when the run froze, the freezing
// station; 17 fixed rows and one per species. "N/A" where a value does not exist (chamber
// velocity, Mach number and mass flow; transport or wall heat not computed).
ResultTable stationTable(const RocketVariables& run, int digits);

// Samples of the burn view: 0, the first sample after half the burn time (else half the
// sample count) and the last one.
std::array<std::size_t, 3> burnSamples(const RocketVariables& run);
// Burn view: 8 series at three samples ("N/A" for a run without samples).
ResultTable burnTable(const RocketVariables& run, int digits);

} // namespace calc
