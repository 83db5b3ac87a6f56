#pragma once
// The propellant export: what the export dialog's bits ask for and the CSV text of the
// propellant (the flow itself is core/export_flow.h).
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "propellant/entry_reading.h"

// Bits of the export dialog's result in its propellant mode.
namespace propellantExport {
constexpr uint32_t Composition = 0x02;
constexpr uint32_t Data = 0x04;
constexpr uint32_t Species = 0x08;
constexpr uint32_t Reactions = 0x10;
constexpr uint32_t CStarCurve = 0x20;
constexpr uint32_t Csv = Composition | Data | Species | Reactions; // any of them asks for a CSV file
} // namespace propellantExport

// What the CSV file lists, as the save just checked it (values as typed).
struct PropellantCsvContent {
    QString name;
    std::vector<CompositionRow> composition;
    bool hasSolidData = false;
    double density = 0.0;
    std::vector<std::pair<double, double>> pressureLimits; // (upper, lower); upper 0: open
    std::vector<double> coefficients;
    std::vector<double> exponents;
    std::vector<std::string> species; // every compatible species
    std::vector<std::string> reactions; // every compatible reaction
};

// The file's text: an empty line, the name, then the blocks the bits ask for, each line
// ending with "\n" and every cell after the name preceded by `separator`; numbers in the
// general format with `digits` significant digits and "." as decimal point.
std::string propellantCsv(const PropellantCsvContent& content, uint32_t bits, char separator, int digits);
