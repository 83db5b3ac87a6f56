#pragma once
// A throw-away data folder holding small chemical databases, the message recorder, and
// the globals the propellant tab uses put back after each test.
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "propellant/fixture_entries.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace tab_fixture {

using nlohmann::json;

// Hydrogen and oxygen gases with two ions and two aluminium species.
inline json speciesDoc()
{
    json s = fixture::speciesDoc();
    s["e-"] = fixture::gas({{1, "E"}}, 0.000548579903);
    s["H+"] = fixture::gas({{1, "H"}, {-1, "E"}}, 1.00739);
    s["Al"] = fixture::gas({{1, "Al"}}, 26.98, 330e6);
    s["AlO"] = fixture::gas({{1, "Al"}, {1, "O"}}, 42.98, 66e6);
    return s;
}

// Fuel (H2), Oxidiser (O2), AlO (Al, O) and Electride, which holds electrons first.
inline json reactantsDoc()
{
    json r = fixture::reactantsDoc();
    r["AlO"] = fixture::reactant({{1, "Al"}, {1, "O"}}, 42.98, 0.0, 298.15);
    r["Electride"] = fixture::reactant({{-1, "E"}, {1, "Cs"}}, 132.9, 0.0, 298.15);
    return r;
}

} // namespace tab_fixture

class PropellantTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        flagsL = 0;
        flagsSP = 0;
        unitFlag = 0;
        refreshFlag = 0;
        propellantElements.clear();
        compatibleSpecies.clear();
        compatibleReactions.clear();
        write("Species.json", tab_fixture::speciesDoc());
        write("Reactants.json", tab_fixture::reactantsDoc());
        write("Kinetics.json", fixture::kineticsDoc());
    }
    void TearDown() override
    {
        propellantElements.clear();
        compatibleSpecies.clear();
        compatibleReactions.clear();
        PRES_VIELLE_TOP_LIMIT = topLimitBefore;
        NUM_DIS_PREC = digitsBefore;
        babyModeActive = false;
        solidsHidden = false;
        flagsF = 0;
        refreshFlag = 0;
    }

    void write(const std::string& file, const nlohmann::json& doc)
    {
        ASSERT_TRUE(writeJsonFile(dir.dataFile(file), doc));
    }
    nlohmann::json read(const std::string& file) const { return readJsonFile(dir.dataFile(file)).document; }
    std::string text(const std::string& file) const { return dir.read("Data/" + file); }
    // Sets "isActive" of one entry of a database file.
    void setActive(const std::string& file, const std::string& name, bool active)
    {
        nlohmann::json doc = read(file);
        doc[name]["isActive"] = active;
        write(file, doc);
    }

    TempAppDir dir;
    MessageRecorder boxes;
    const bool topLimitBefore = PRES_VIELLE_TOP_LIMIT;
    const uint8_t digitsBefore = NUM_DIS_PREC;
};
