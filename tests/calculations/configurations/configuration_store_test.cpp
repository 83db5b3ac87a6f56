// Configurations.json: the entry layout byte for byte, entries read back over every
// combination of mode, model, combustor and wall heat, entries of the wrong shape, the
// file states of a save (missing, unparsable, unreadable, not writable), the overwrite
// question, and the checks of a save in their order.
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "calculations/configuration_store.h"
#include "calculations/run_inputs.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using namespace calc;
using nlohmann::json;

namespace {

class ConfigurationStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        CONFIGURATIONS = app.dataFile("Configurations.json");
    }
    void TearDown() override
    {
        CONFIGURATIONS.clear();
        calc_test::resetCalculationGlobals();
    }
    std::string file() const { return app.read("Data/Configurations.json"); }

    TempAppDir app;
    MessageRecorder messages;
};

// The form's start values with a nozzle chosen (area unit m^2) and propellant "P1".
Configuration firstSave()
{
    Configuration c;
    c.propellant = "P1";
    c.nozzle = "Current";
    c.pressure = 3.0;
    c.areaUnit = 3;
    c.ambient = 0.1;
    c.homT = 298.15;
    return c;
}

TEST_F(ConfigurationStore, AFirstSaveWritesTheEntryInKeyOrderWithAnIndentOfFour)
{
    ASSERT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "Config_1", configurationEntry(firstSave()))));
    EXPECT_EQ(file(), R"({
    "Config_1": {
        "Ambient Pressure": [
            0.1,
            0
        ],
        "Calculate transport": true,
        "FAC": [
            false,
            0.0,
            3
        ],
        "Frozen": [
            false,
            0
        ],
        "Nozzle": "Current",
        "Pressure": [
            3.0,
            0
        ],
        "Propellant": "P1",
        "Uniform reactant T": [
            false,
            298.15
        ]
    }
}
)");
    EXPECT_EQ(messages.texts(), QStringList({"Successful save"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Information);
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Configurations))); // F12: it did not exist

    // Grain mode, ODK, a finite-area combustor of 0.02 m^2 and wall heat at 300 K.
    Configuration c = firstSave();
    c.grainMode = true;
    c.grain = "G1";
    c.ode = false;
    c.fac = true;
    c.chamberArea = 0.02;
    c.heatWall = true;
    c.wallTemperature = 300.0;
    const json e = configurationEntry(c);
    EXPECT_EQ(e.dump(),
              R"({"Ambient Pressure":[0.1,0],"Calculate transport":true,"FAC":[true,0.02,3],)"
              R"("Grain":"G1","Nozzle":"Current","ODK":true,"Propellant":"P1",)"
              R"("Uniform reactant T":[false,298.15],"Wall temperature":300.0})");
    // Frozen at station 7: the slider position is stored.
    c = firstSave();
    c.frozen = true;
    c.frozenStation = 7;
    EXPECT_EQ(configurationEntry(c)["Frozen"].dump(), "[true,7]");
}

TEST_F(ConfigurationStore, EveryCombinationReadsBackAsSaved)
{
    for (int k = 0; k < 16; ++k) {
        Configuration c = firstSave();
        c.grainMode = k & 1;
        c.grain = "Grain A";
        c.ode = !(k & 2);
        c.frozen = c.ode;
        c.frozenStation = c.ode ? 12 : 0;
        c.fac = k & 4;
        c.chamberArea = c.fac ? 500.0 : 0.0;
        c.areaUnit = 0;
        c.heatWall = k & 8;
        c.wallTemperature = c.heatWall ? 450.5 : 0.0;
        c.transport = !(k & 1);
        c.pressureUnit = 2;
        c.ambientUnit = 1;
        c.uniformTemperature = k & 2;
        std::string error;
        const std::optional<Configuration> back = parseConfiguration(json::parse(configurationEntry(c).dump()), &error);
        ASSERT_TRUE(back) << k << ": " << error;
        EXPECT_EQ(back->propellant, c.propellant) << k;
        EXPECT_EQ(back->nozzle, c.nozzle) << k;
        EXPECT_EQ(back->grainMode, c.grainMode) << k;
        if (c.grainMode)
            EXPECT_EQ(back->grain, c.grain) << k;
        else
            EXPECT_EQ(std::make_pair(back->pressure, back->pressureUnit), std::make_pair(3.0, 2)) << k;
        EXPECT_EQ(back->ode, c.ode) << k;
        EXPECT_EQ(back->frozen, c.frozen) << k;
        EXPECT_EQ(back->frozenStation, c.frozenStation) << k;
        EXPECT_EQ(back->fac, c.fac) << k;
        EXPECT_EQ(back->chamberArea, c.chamberArea) << k;
        EXPECT_EQ(back->transport, c.transport) << k;
        EXPECT_EQ(std::make_pair(back->ambient, back->ambientUnit), std::make_pair(0.1, 1)) << k;
        EXPECT_EQ(back->uniformTemperature, c.uniformTemperature) << k;
        EXPECT_EQ(back->homT, 298.15) << k;
        EXPECT_EQ(back->heatWall, c.heatWall) << k;
        EXPECT_EQ(back->wallTemperature, c.wallTemperature) << k;
    }
}

TEST_F(ConfigurationStore, EntriesOfAnotherShapeAreRefusedWithTheReason)
{
    const json good = configurationEntry(firstSave());
    struct Case {
        const char* what;
        std::function<void(json&)> change;
        std::string error; // empty: accepted
    };
    const Case cases[] = {
            {"pressure as text", [](json& e) { e["Pressure"] = "3"; }, "\"Pressure\" is not a list of 2 values"},
            {"pressure value as text", [](json& e) { e["Pressure"][0] = "3"; },
             "\"Pressure\" holds a value that is not a number"},
            {"no combustor", [](json& e) { e.erase("FAC"); }, "\"FAC\" is missing"},
            {"area unit 4", [](json& e) { e["FAC"][2] = 4; }, "\"FAC\" holds an index out of range"},
            {"pressure unit -1", [](json& e) { e["Pressure"][1] = -1; }, "\"Pressure\" holds an index out of range"},
            {"transport as number", [](json& e) { e["Calculate transport"] = 1; },
             "\"Calculate transport\" is not true or false"},
            {"propellant as number", [](json& e) { e["Propellant"] = 3; }, "\"Propellant\" is not a text"},
            {"no pressure and no grain", [](json& e) { e.erase("Pressure"); }, "\"Pressure\" is missing"},
            {"wall as text", [](json& e) { e["Wall temperature"] = "hot"; }, "\"Wall temperature\" is not a number"},
            // Absent optional members: null, {} and [] count as missing.
            {"empty frozen is ODK", [](json& e) { e["Frozen"] = json::array(); }, ""},
            {"null grain is pressure mode", [](json& e) { e["Grain"] = nullptr; }, ""},
            {"integral area", [](json& e) { e["FAC"][1] = 0; }, ""},
    };
    for (const Case& c : cases) {
        json e = good;
        c.change(e);
        std::string error;
        const auto parsed = parseConfiguration(e, &error);
        EXPECT_EQ(parsed.has_value(), c.error.empty()) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    json e = good;
    e["Frozen"] = json::object();
    EXPECT_FALSE(parseConfiguration(e, nullptr)->ode);
    std::string error;
    EXPECT_FALSE(parseConfiguration(json::array(), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ConfigurationStore, AnUnparsableFileIsKeptAndTheSaveRefused)
{
    app.write("Data/Configurations.json", "{ \"A\": [1, 2");
    EXPECT_FALSE(showReported(nullptr, storeConfiguration(nullptr, "B", configurationEntry(firstSave()))));
    EXPECT_EQ(file(), "{ \"A\": [1, 2");
    EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Configurations)));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.lastText().startsWith("Save aborted because the configurations file"));
    EXPECT_FALSE(messages.texts().contains("Successful save"));

    // Deleting from it writes nothing either; it lists no name.
    const auto read = showReported(nullptr, readConfigurations());
    ASSERT_TRUE(read);
    EXPECT_TRUE(configurationNames(*read).empty());
    EXPECT_FALSE(showReported(nullptr, removeConfiguration(*read, "A")));
    EXPECT_EQ(file(), "{ \"A\": [1, 2");

    // A JSON text that is not an object of configurations is no better.
    app.write("Data/Configurations.json", "[1, 2]");
    EXPECT_FALSE(showReported(nullptr, storeConfiguration(nullptr, "B", configurationEntry(firstSave()))));
    EXPECT_EQ(file(), "[1, 2]");
}

TEST_F(ConfigurationStore, OverwritingAsksFirstButNotOverAnEmptyEntry)
{
    app.write("Data/Configurations.json", R"({"A": {"Propellant": "old"}, "B": null, "C": {}, "D": []})");
    const std::string before = file();
    // Cancel: nothing is written, no further message, and it counts as done.
    messages.answer(Msg::Cancel);
    EXPECT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "A", configurationEntry(firstSave()))));
    EXPECT_EQ(file(), before);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "You are about to overwrite a save with the same name. Continue?");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(messages.messages()[0].buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(messages.messages()[0].defaultButton, Msg::Yes);

    messages.clear();
    messages.answer(Msg::Yes);
    EXPECT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "A", configurationEntry(firstSave()))));
    EXPECT_EQ(readJsonFile(CONFIGURATIONS).document["A"]["Propellant"], "P1");

    for (const char* empty : {"B", "C", "D"}) {
        messages.clear();
        EXPECT_TRUE(showReported(nullptr, storeConfiguration(nullptr, empty, configurationEntry(firstSave()))))
                << empty;
        EXPECT_EQ(messages.texts(), QStringList({"Successful save"})) << empty;
    }
    // A name of spaces is stored as typed.
    EXPECT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "   ", configurationEntry(firstSave()))));
    EXPECT_TRUE(readJsonFile(CONFIGURATIONS).document.contains("   "));
}

TEST_F(ConfigurationStore, AFileThatCannotBeOpenedOrWrittenIsReported)
{
    // A folder where the file should be: it exists but cannot be opened.
    std::filesystem::create_directories(CONFIGURATIONS);
    EXPECT_FALSE(showReported(nullptr, storeConfiguration(nullptr, "A", configurationEntry(firstSave()))));
    EXPECT_EQ(messages.texts(),
              QStringList({"Configurations file could not be opened, it may be opened by "
                           "another software or have accesibility restrictions"}));
    EXPECT_FALSE(showReported(nullptr, readConfigurations()));

    // A file in a folder that does not exist cannot be written: no success is claimed.
    messages.clear();
    CONFIGURATIONS = app.path() + "/missing/folder/Configurations.json";
    EXPECT_FALSE(showReported(nullptr, storeConfiguration(nullptr, "A", configurationEntry(firstSave()))));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.lastText().contains("could not be written"));
}

TEST_F(ConfigurationStore, DeletingRemovesOnlyTheChosenEntry)
{
    ASSERT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "A", configurationEntry(firstSave()))));
    ASSERT_TRUE(showReported(nullptr, storeConfiguration(nullptr, "B", configurationEntry(firstSave()))));
    const auto read = showReported(nullptr, readConfigurations());
    ASSERT_TRUE(read);
    EXPECT_EQ(configurationNames(*read), std::vector<std::string>({"A", "B"}));
    EXPECT_TRUE(showReported(nullptr, removeConfiguration(*read, "A")));
    const json after = readJsonFile(CONFIGURATIONS).document;
    EXPECT_FALSE(after.contains("A"));
    EXPECT_TRUE(after.contains("B"));
}

// The checks of a save, in order, each stopping the save with its message.
TEST_F(ConfigurationStore, SaveChecksComeInTheirOrder)
{
    calc_test::FakeStores stores;
    stores.nozzles["N1"] = {{-0.01, 0.0, 0.01}, {2e-3, 1e-3, 3e-3}};
    struct Case {
        const char* what;
        std::function<void(TabForm&)> change;
        QString message;
    };
    const Case cases[] = {
            {"valid", [](TabForm&) {}, "Successful save"},
            {"no name", [](TabForm& f) { f.name.clear(); }, "Cannot have empty name"},
            {"no propellant", [](TabForm& f) { f.propellantIndex = -1; }, "A propellant must be selected"},
            {"no nozzle", [](TabForm& f) { f.nozzleIndex = -1; }, "A nozzle must be selected"},
            {"no grain",
             [](TabForm& f) {
                 f.grainMode = true;
                 f.grainIndex = -1;
             },
             "A grain geometry must be selected"},
            {"no pressure", [](TabForm& f) { f.pressure.clear(); }, "Pressure value must be explicitely given"},
            {"frozen point",
             [](TabForm& f) {
                 f.frozen = true;
                 f.frozenPosition = "x";
                 f.grainMode = true; // a pressure is not needed: the next check is reached
                 f.grainIndex = 0;
             },
             "Invalid position"},
            {"area",
             [](TabForm& f) {
                 f.fac = true;
                 f.chamberArea = "-2";
             },
             "Invalid combustion chamber area"},
            {"ambient", [](TabForm& f) { f.ambient = "x"; }, "Invalid atmosferic pressure"},
            {"uniform temperature",
             [](TabForm& f) {
                 f.homTChecked = true;
                 f.homT = "-1";
             },
             "Invalid homogeneous temperature"},
            {"wall",
             [](TabForm& f) {
                 f.heatWall = true;
                 f.wallTemperature = "-3";
             },
             "Invalid nozzle wall temperature"},
            // The wall temperature is only checked with wall heat on.
            {"wall off", [](TabForm& f) { f.wallTemperature = "-3"; }, "Successful save"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(CONFIGURATIONS);
        CalculationModel model(nullptr, stores.providers());
        showViewMessages(nullptr, model.selectNozzle("N1").messages);
        TabForm f;
        f.name = "Saved";
        f.propellantIndex = 0;
        f.propellant = "P1";
        f.nozzleIndex = 1;
        f.nozzle = "N1";
        f.pressure = "3";
        f.ambient = "0.1";
        f.wallTemperature = "300";
        f.homT = "298.15";
        c.change(f);
        messages.clear();
        const SaveOutcome outcome = model.saveConfiguration(f);
        showViewMessages(nullptr, outcome.messages);
        const bool saved = outcome.saved;
        EXPECT_EQ(saved, c.message == "Successful save") << c.what;
        EXPECT_EQ(messages.texts(), QStringList({c.message})) << c.what;
        EXPECT_EQ(std::filesystem::exists(CONFIGURATIONS), saved) << c.what;
    }
}

TEST(ConfigurationFill, ItemsAreFoundByExactNameAndNumbersShownInTheFieldsDigits)
{
    Configuration c = firstSave();
    c.nozzle = "N2";
    c.fac = true;
    c.chamberArea = 0.00125;
    c.ambient = 1.0 / 3.0;
    c.uniformTemperature = true;
    c.heatWall = true;
    c.wallTemperature = 600.0;
    const QStringList propellants = {"P0", "P1"};
    const QStringList nozzles = {"Current", "n2", "N2"};
    const QStringList grains = {"Current", "G1"};
    const auto fill = configurationFill(c, propellants, nozzles, grains, 4);
    ASSERT_TRUE(fill.value);
    EXPECT_TRUE(fill.messages.empty());
    EXPECT_EQ(fill.value->propellant, 1);
    EXPECT_EQ(fill.value->nozzle, 2); // names are matched with their case
    EXPECT_EQ(fill.value->grain, -1); // a pressure run looks for no grain
    EXPECT_EQ(fill.value->pressure, "3");
    EXPECT_EQ(fill.value->chamberArea, "0.00125");
    EXPECT_EQ(fill.value->ambient, "0.3333");
    EXPECT_EQ(fill.value->homT, "298.1"); // 298.15 in 4 significant digits
    EXPECT_EQ(fill.value->wallTemperature, "600");

    // A configuration whose items are gone: the propellant is looked for first, then the
    // nozzle, then the grain of a grain run.
    struct Case {
        const char* what;
        std::function<void(Configuration&)> change;
        const char* refusal;
    };
    const Case cases[] = {
            {"propellant and nozzle gone",
             [](Configuration& k) {
                 k.propellant = "P9";
                 k.nozzle = "N9";
             },
             "Propellant in loaded configuration cannot be found in save files"},
            {"nozzle gone", [](Configuration& k) { k.nozzle = "N9"; },
             "Nozzle in loaded configuration cannot be found in save files"},
            {"grain gone",
             [](Configuration& k) {
                 k.grainMode = true;
                 k.grain = "G9";
             },
             "Grain in loaded configuration cannot be found in save files"},
    };
    for (const Case& k : cases) {
        Configuration gone = c;
        k.change(gone);
        const auto refused = configurationFill(gone, propellants, nozzles, grains, 4);
        EXPECT_FALSE(refused.value) << k.what;
        ASSERT_EQ(refused.messages.size(), 1u) << k.what;
        EXPECT_EQ(refused.messages[0].box.text, k.refusal) << k.what;
        EXPECT_EQ(refused.messages[0].box.icon, Msg::Critical) << k.what;
    }
    Configuration grain = c;
    grain.grainMode = true;
    grain.grain = "G1";
    const auto grainFill = configurationFill(grain, propellants, nozzles, grains, 4);
    ASSERT_TRUE(grainFill.value);
    EXPECT_EQ(grainFill.value->grain, 1);
    EXPECT_TRUE(grainFill.value->pressure.isEmpty());
}

} // namespace
