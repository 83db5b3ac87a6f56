#pragma once
// The hydrogen/oxygen reaction mechanism of the tests, kept once: the H2/O2 subset of the
// public GRI-Mech 3.0 rate data (Smith, Golden, Frenklach et al.) without argon, as a
// CHEMKIN file of 27 reactions over H2, H, O, O2, OH, H2O, HO2 and H2O2. The importer
// tests read the file; the engine and propellant tests take its reactions as the importer
// stores them (support/imported_databases.h).
#include <string>

inline std::string hydrogenOxygenMechanismFile()
{
    return std::string(KAVRO_TEST_DATA_DIR) + "/h2o2-mechanism.mech";
}
