#pragma once
// The names the optimisation panel lists: the members of Propellants.json and of
// Grains.json, read directly (their contents are reached only through the propellant
// and grain providers). A missing file gives no names and its not-found code (F06,
// F10), an unparsable one no names and its corrupted code (F22, F26).
#include <optional>
#include <string>
#include <vector>

// Empty optional: the file exists but cannot be opened (the caller reports it and
// leaves its lists as they are).
std::optional<std::vector<std::string>> storedPropellantNames();
std::optional<std::vector<std::string>> storedGrainNames();

extern const char* const propellantFileCannotOpenMessage;
extern const char* const grainFileCannotOpenMessage;
