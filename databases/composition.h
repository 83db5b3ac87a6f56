#pragma once
// The rules by which the species and reactant editor turns field texts into entry
// values: numbers (by the program's one reader, core/number_text.h), the composition
// text ("C3/H8", "Cl/E-1") and the heat-capacity and transport intervals. Each check
// stops at the first bad text and gives the one message the editor shows for it;
// nothing here needs a window.
#include <array>
#include <string>
#include <vector>

#include "databases/species_entry.h"

struct CompositionResult {
    bool ok = false;
    std::string message; // the first failure, when !ok
    std::vector<CompositionPair> pairs;
};

// Reads "Symbol[count]/Symbol[count]/..." (UTF-8 bytes). Messages:
//   "No atoms could be found, check your input"   empty text
//   "No atom found between '/'"                    empty piece, or a piece starting with a digit or '-'
//   "Invalid atom: " + symbol                      symbol longer than 2 bytes or not an element
//   "Invalid number: " + count text                not a number, or <= 0 for anything but "E"
CompositionResult parseComposition(const std::string& text);

// Shows the pairs as the composition field expects them: symbol then count, joined by
// '/' ([2.0,"H"],[1.0,"O"] -> "H2/O1"); counts in general format with `digits` digits.
std::string formatComposition(const std::vector<CompositionPair>& pairs, int digits);

// The texts of one heat-capacity interval of the editor.
struct CpIntervalTexts {
    std::string tmin, tmax, b1, b2;
    std::vector<std::string> coefficients; // one per term
    std::vector<std::string> exponents; // one per term
};

struct CpResult {
    bool ok = false;
    std::string message;
    std::vector<CpInterval> intervals;
};

// Checks the intervals top to bottom, per interval Tmin, Tmax, b1, b2, then per term
// its coefficient and exponent; every interval takes the term count of the first.
// Messages: "Invalid Cp Tmin: ", "Invalid Cp Tmax: ", "Invalid integration constant: ",
// "Invalid Cp coefficient: ", "Invalid Cp exponent: ", each followed by the field text.
CpResult checkCpIntervals(const std::vector<CpIntervalTexts>& intervals);

enum class TransportProperty { Viscosity, Conductivity };

struct TransportIntervalTexts {
    std::string tmin, tmax;
    std::array<std::string, 4> coef; // A, B, C, D
};

struct TransportResult {
    bool ok = false;
    std::string message;
    std::vector<TransportInterval> intervals;
};

// Tmin and Tmax must be numbers >= 0 (their order is free), A to D numbers. Messages:
// "Invalid viscosity Tmin: ", "Invalid viscosity Tmax: ", "Invalid viscosity A coefficient: "
// ... and the conductivity equivalents, each followed by the field text.
TransportResult checkTransportIntervals(TransportProperty property, const std::vector<TransportIntervalTexts>& rows);
