#pragma once
// What the grain export writes, without widgets: the CSV text and the words of a failed
// write (the flow itself is core/export_flow.h).
#include <cstdint>
#include <string>
#include <vector>

#include <QString>

namespace grain {

// Bits of the export choice (the grain mode of the export dialog).
namespace exportBit {
constexpr uint32_t Parameters = 2; // "Grain parameters": the parameter block of the CSV file
constexpr uint32_t Picture = 4; // "Grain Image": the picture PNG file
constexpr uint32_t Curve = 8; // "Combustion area curve": the plot PNG file
constexpr uint32_t Values = 16; // "Combustion area values": the burn-back rows of the CSV file
constexpr uint32_t Csv = Parameters | Values;
} // namespace exportBit

struct GrainCsvContent {
    std::string name; // the grain's name as shown, UTF-8
    std::vector<double> parameters; // the tab's parameter list (its count tells the geometry)
    uint8_t combustion = 0; // 0 radial and base, 1 radial, 2 base
    std::vector<float> y; // burnt distance per sample
    std::vector<float> area; // combustion area per sample
};

// The CSV file: an empty line, the name, then (bit Parameters) the captions, the values
// and an empty line, then (bit Values) the row of y and the row of areas, the last
// without a line end. Every cell is preceded by `separator`; numbers in the general
// notation with `digits` significant digits and "." as decimal point.
std::string grainCsvText(const GrainCsvContent& content, uint32_t mask, char separator, int digits);

// "Export failed: <path> could not be written (<reason>)".
QString exportFailedMessage(const QString& path, const QString& reason);

} // namespace grain
