#pragma once
// The table of every warning and critical-error code: its word, bit, severity and the
// message line the Warnings and Critical Errors menus show. Also the clearing actions.
#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>
#include <vector>

enum class FlagWord : uint8_t { SP, ODE, ODK, V, L, F, Unit };
enum class Severity : uint8_t { Warning, Critical };

struct FlagCode {
    const char* code; // "SP10", "U", "F31" ...
    FlagWord word;
    uint32_t mask; // bit of the code in its word; 1 for U (unitFlag)
    Severity severity;
    const char* line; // "SP10 - Reached maximum number of iterations ..."
    // What happened, what the program did about it and what the user can do: the
    // entry of the code in the explanation window of its menu (plain text).
    const char* explanation;
};

// All 84 codes, in menu order: SP, ODE, ODK, V and OPT, U, L, F.
extern const std::array<FlagCode, 84> flagCodes;

// The code named `code`, or nullptr.
const FlagCode* findFlagCode(std::string_view code);

// The raised codes in menu order (SP, ODE, ODK, V and OPT, U, L, F; bits outside the
// table are ignored). Each word is read afresh for every code.
std::vector<const FlagCode*> raisedFlagCodes();

// Current value of a word (unitFlag as 0/1).
uint32_t flagWordValue(FlagWord word);
bool codeRaised(const FlagCode& code);
void raiseCode(const FlagCode& code);

// Clears every warning code: SP, ODE00..ODE04, V/OPT, ODK03..ODK08 and the even F bits.
void clearWarnings();
// Clears every critical code: L, U, ODE05..ODE08, ODK00..ODK02 and the odd F bits.
void clearCritical();
// Start of a run or nozzle optimisation: zeroes SP, ODE, ODK and V; L, U and F stay.
void clearRunFlags();
