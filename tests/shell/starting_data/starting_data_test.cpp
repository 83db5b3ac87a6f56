// The starting data set the build places beside the program: every file parses, every
// entry holds what the start-up checks require and passes the loader the program reads
// it with, and the example configuration, run as the calculation tab runs it, gives the
// published chamber temperature of its propellant.
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <QObject>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../../engine/support/worker_run.h"
#include "calculations/calculation_model.h"
#include "calculations/configuration_store.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"
#include "grain/grain_provider.h"
#include "nozzle/nozzle_provider.h"
#include "propellant/entry_reading.h"
#include "propellant/mixture_loader.h"
#include "shell/data_file_checks.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const char* const kFiles[] = {"Species.json", "Reactants.json", "Kinetics.json",      "Propellants.json",
                              "Grains.json",  "Nozzles.json",   "Configurations.json"};

// The published figures of the reference propellant, kept in the test data with their source.
std::map<std::string, double> referenceFigures()
{
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/starting_data/lox_lh2_reference.txt");
    std::map<std::string, double> figures;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string key;
        double value = 0.0;
        if (words >> key >> value)
            figures[key] = value;
    }
    return figures;
}

// null, {} and [] are empty; strings, numbers and booleans never are.
bool empty(const json& entry, const std::string& key)
{
    const auto it = entry.find(key);
    return it == entry.end() || it->is_null() || ((it->is_object() || it->is_array()) && it->empty());
}

// The generated set copied into a throw-away application folder, with every path
// preference pointing at it, so that nothing here can touch the build's own files.
class StartingData : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kFiles) {
            std::error_code ec;
            fs::copy_file(fs::path(KAVRO_STARTING_DATA_DIR) / name, app.dataFile(name), ec);
            ASSERT_FALSE(ec) << name << ": " << ec.message();
        }
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        PROPELLANT = app.dataFile("Propellants.json");
        GRAIN = app.dataFile("Grains.json");
        NOZZLE = app.dataFile("Nozzles.json");
        CONFIGURATIONS = app.dataFile("Configurations.json");
        flagsF.store(0);
        flagsL.store(0);
        flagsSP.store(0);
        unitFlag.store(0);
        setEngineMessageHandler([](const EngineMessage&) {});
    }
    void TearDown() override
    {
        for (std::string* path : {&SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE, &CONFIGURATIONS,
                                  &PREFERENCES, &PATH_EXPORT})
            path->clear();
        flagsF.store(0);
        flagsL.store(0);
        flagsSP.store(0);
        unitFlag.store(0);
        setEngineMessageHandler({});
    }

    json document(const char* name) const
    {
        JsonReadResult read = readJsonFile(app.dataFile(name));
        EXPECT_EQ(read.status, JsonReadStatus::Ok) << name;
        return read.document;
    }

    TempAppDir app;
    MessageRecorder messages;
};

// What the start-up checks require of every entry of each file; "Pressure" and "Frozen"
// of a configuration only when it has no "Grain" and no "ODK".
struct FileRule {
    const char* file;
    std::vector<std::string> required;
    std::size_t atLeast; // entries
};

TEST_F(StartingData, EveryFileParsesAndEveryEntryHoldsWhatTheChecksRequire)
{
    const FileRule rules[] = {
            {"Species.json", {"Intervals", "Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}, 1000},
            {"Reactants.json", {"Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}, 1000},
            {"Kinetics.json", {"Reactants", "Products", "Forward", "Ea", "A", "b", "isActive"}, 27},
            {"Propellants.json", {"Composition", "ELEMENTS", "Species"}, 1},
            {"Grains.json", {"Geo_type", "Units", "Comb_type", "Points", "Parameters"}, 1},
            {"Nozzles.json", {"Units", "Type", "Points", "Options", "Parameters"}, 1},
            {"Configurations.json",
             {"Propellant", "Nozzle", "FAC", "Calculate transport", "Ambient Pressure", "Uniform reactant T"},
             1},
    };
    for (const FileRule& rule : rules) {
        const json doc = document(rule.file);
        ASSERT_TRUE(doc.is_object()) << rule.file;
        EXPECT_GE(doc.size(), rule.atLeast) << rule.file;
        for (auto it = doc.begin(); it != doc.end(); ++it) {
            ASSERT_TRUE(it.value().is_object()) << rule.file << " " << it.key();
            for (const std::string& key : rule.required)
                EXPECT_FALSE(empty(it.value(), key)) << rule.file << " " << it.key() << " lacks " << key;
            if (std::string(rule.file) == "Configurations.json") {
                EXPECT_FALSE(empty(it.value(), "Grain") && empty(it.value(), "Pressure")) << it.key();
                EXPECT_FALSE(empty(it.value(), "ODK") && empty(it.value(), "Frozen")) << it.key();
            }
        }
    }
}

// The preferences file of the set: the 113 preferences but the nine that depend on where
// the program runs (the eight "Files" paths and PATH_EXPORT), each at its published
// default; a load takes it without a repair code and forms the nine from the folder.
TEST_F(StartingData, ThePreferencesFileHoldsTheDefaultsAndLoadsWithoutACode)
{
    const JsonReadResult read = readJsonFile((fs::path(KAVRO_STARTING_DATA_DIR) / "Preferences.json").string());
    ASSERT_EQ(read.status, JsonReadStatus::Ok);
    const json& prefs = read.document;
    std::size_t values = 0;
    for (auto section : prefs.items())
        values += section.value().size();
    EXPECT_EQ(values, 113u - 9u);
    EXPECT_FALSE(prefs.contains("Files"));
    EXPECT_FALSE(prefs["General"].contains("PATH_EXPORT"));
    // A few defaults, as published for the program: the separator ";" as its code, ln 1e-8.
    EXPECT_EQ(prefs["General"]["LIST_SEPARATOR"], 59);
    EXPECT_EQ(prefs["General"]["hideSolid"], true);
    EXPECT_EQ(prefs["Equilibrium"]["MAX_ITER_EQ"], 8000);
    EXPECT_EQ(prefs["Equilibrium"]["MIN_SP_LOG_N"], -18.420681);
    EXPECT_EQ(prefs["PropTab"]["COMP_OPT_MAX"], 10.0);
    EXPECT_EQ(prefs["Nozzletab"]["OPT_MAX_ITER"], 200.0);
    EXPECT_TRUE(prefs["Nozzletab"]["OPT_MAX_ITER"].is_number_float());

    std::error_code ec;
    fs::copy_file(fs::path(KAVRO_STARTING_DATA_DIR) / "Preferences.json", app.dataFile("Preferences.json"), ec);
    ASSERT_FALSE(ec) << ec.message();
    const Reported<bool> loaded = loadPreferences();
    ASSERT_TRUE(loaded.value);
    EXPECT_TRUE(loaded.messages.empty());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(PREFERENCES, app.dataFile("Preferences.json"));
    EXPECT_EQ(CONFIGURATIONS, app.dataFile("Configurations.json"));
    EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports");
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
}

// The program's own start-up checks find nothing to ask about, raise no code and leave
// every file as it was.
TEST_F(StartingData, TheStartUpChecksFindNothingToRepair)
{
    std::map<std::string, json> before;
    for (const char* name : kFiles)
        before[name] = document(name);
    for (const Reported<bool>& checked :
         {checkSpeciesFile(SPECIES), checkReactantsFile(REACTANTS), checkKineticsFile(KINETICS),
          checkPropellantsFile(PROPELLANT), checkGrainsFile(GRAIN), checkNozzlesFile(NOZZLE),
          checkConfigurationsFile(CONFIGURATIONS)}) {
        EXPECT_TRUE(checked.value);
        EXPECT_TRUE(checked.messages.empty()) << checked.messages.front().box.text.toStdString();
    }
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(flagsF.load(), 0u);
    for (const char* name : kFiles)
        EXPECT_EQ(document(name), before[name]) << name;
}

TEST_F(StartingData, TheDatabasesHoldThePublishedData)
{
    const json species = document("Species.json");
    const json reactants = document("Reactants.json");
    const json kinetics = document("Kinetics.json");
    // Water from the thermodynamic file (molar mass 18.01528 g/mol, heat of formation
    // -241826 J/mol), with the viscosity and conductivity fits of the transport file.
    ASSERT_TRUE(species.contains("H2O"));
    EXPECT_NEAR(species["H2O"]["MolecWeight"][0].get<double>(), 18.01528, 1e-6);
    EXPECT_NEAR(species["H2O"]["Enthalpy"][0].get<double>(), -241826.0, 1e-6);
    EXPECT_FALSE(empty(species["H2O"], "Viscosity"));
    EXPECT_FALSE(empty(species["H2O"], "Conductivity"));
    // The reference propellant's reactants, each at its one temperature.
    ASSERT_TRUE(reactants.contains("H2(L)") && reactants.contains("O2(L)"));
    EXPECT_EQ(reactants["H2(L)"]["Enthalpy"], json::array({-9012.0, 1, 20.27}));
    EXPECT_EQ(reactants["O2(L)"]["Enthalpy"], json::array({-12979.0, 1, 90.17}));
    // 27 reactions in the mechanism, the duplicates kept.
    EXPECT_EQ(kinetics.size(), 27u);
}

TEST_F(StartingData, EverySpeciesAndReactantEntryBecomesARecord)
{
    struct Case {
        const char* file;
        SubstanceKind kind;
    };
    for (const Case& c :
         {Case{"Species.json", SubstanceKind::Species}, Case{"Reactants.json", SubstanceKind::Reactant}}) {
        const json doc = document(c.file);
        int refused = 0;
        for (auto it = doc.begin(); it != doc.end(); ++it)
            if (!speciesRecord(it.key(), it.value(), c.kind)) {
                ++refused;
                ADD_FAILURE() << c.file << ": no record for " << it.key();
            }
        EXPECT_EQ(refused, 0) << c.file;
    }
}

TEST_F(StartingData, EveryStoredItemLoadsAsARunTakesIt)
{
    const json propellants = document("Propellants.json");
    const json nozzles = document("Nozzles.json");
    const json grains = document("Grains.json");
    const json configurations = document("Configurations.json");
    // The loaders' boxes are shown through the seam, as a view shows them.
    ViewMessages handed;
    for (auto it : propellants.items()) {
        flagsL.store(0);
        std::vector<std::string> products;
        std::shared_ptr<Mixture> mixture = loadPropellantMixture(it.key(), &handed, &products);
        showViewMessages(nullptr, std::exchange(handed, {}));
        EXPECT_EQ(flagsL.load(), 0u) << it.key();
        ASSERT_TRUE(mixture) << it.key();
        EXPECT_GT(mixture->nSpecies, 0u) << it.key();
        EXPECT_EQ(mixture->nReactants, 2u) << it.key();
        // Every reaction of the mechanism is among the species, so all of them are kept.
        EXPECT_EQ(mixture->nReactions, 27u) << it.key();
    }
    for (auto it : grains.items()) {
        std::vector<double> y, area;
        EXPECT_GT(loadGrainBurnback(it.key(), &y, &area, &handed), 0.0) << it.key();
        showViewMessages(nullptr, std::exchange(handed, {}));
        EXPECT_FALSE(y.empty()) << it.key();
    }
    for (auto it : nozzles.items()) {
        std::vector<double> x, area;
        double throat = 0.0, curvature = 0.0;
        const bool loaded = loadNozzle(it.key(), x, area, throat, curvature, &handed);
        showViewMessages(nullptr, std::exchange(handed, {}));
        ASSERT_TRUE(loaded) << it.key();
        // Exit and throat diameters of 500 and 100 mm: an exit area ratio of 25.
        EXPECT_NEAR(throat, 0.1, 1e-12) << it.key();
        EXPECT_NEAR(area.back() / (3.141592 * 0.05 * 0.05), 25.0, 1e-9) << it.key();
    }
    for (auto it : configurations.items()) {
        std::string error;
        const std::optional<calc::Configuration> c = calc::parseConfiguration(it.value(), &error);
        ASSERT_TRUE(c) << it.key() << ": " << error;
        EXPECT_TRUE(propellants.contains(c->propellant)) << it.key();
        EXPECT_TRUE(nozzles.contains(c->nozzle)) << it.key();
        if (c->grainMode) {
            EXPECT_TRUE(grains.contains(c->grain)) << it.key();
        }
    }
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(unitFlag.load(), 0u);
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
}

// The example configuration as the calculation tab runs it: the propellant, the nozzle
// and the pressure chosen through the tab's model, the run on its worker thread.
TEST_F(StartingData, TheExampleRunGivesThePublishedChamberTemperature)
{
    const std::map<std::string, double> published = referenceFigures();
    ASSERT_EQ(published.count("chamber_temperature_K"), 1u);
    const json configurations = document("Configurations.json");
    ASSERT_EQ(configurations.size(), 1u);
    const std::string name = configurations.begin().key();
    std::string error;
    const std::optional<calc::Configuration> c = calc::parseConfiguration(configurations.begin().value(), &error);
    ASSERT_TRUE(c) << error;
    ASSERT_FALSE(c->grainMode);
    EXPECT_EQ(c->pressureUnit, 2); // bar
    EXPECT_DOUBLE_EQ(c->pressure, published.at("chamber_pressure_bar"));

    QObject context;
    calc::CalculationModel model(&context);
    showViewMessages(nullptr, model.selectPropellant(c->propellant, c->uniformTemperature));
    ASSERT_TRUE(model.mixture);
    const calc::NozzleSelection nozzle = model.selectNozzle(c->nozzle);
    showViewMessages(nullptr, nozzle.messages);
    ASSERT_TRUE(nozzle.loaded);

    calc::TabForm form;
    form.name = QString::fromStdString(name);
    form.propellant = QString::fromStdString(c->propellant);
    form.propellantIndex = 0;
    form.nozzle = QString::fromStdString(c->nozzle);
    form.nozzleIndex = 1; // a stored nozzle (0 would be "Current")
    form.pressure = QString::number(c->pressure, 'g', 17);
    form.pressureUnit = c->pressureUnit;
    form.ode = c->ode;
    form.frozen = c->frozen;
    form.fac = c->fac;
    form.transport = c->transport;
    form.ambient = QString::number(c->ambient, 'g', 17);
    form.ambientUnit = c->ambientUnit;
    form.wallTemperature = QStringLiteral("0");
    // The frozen point as the loaded form shows it: the stored station's x, in metres.
    ASSERT_LT(c->frozenStation, model.edited().x.size());
    form.frozenPosition = QString::number(model.edited().x[c->frozenStation], 'g', 17);
    form.lengthUnit = 3; // m

    calc::RunStart start = model.prepareRun(form, calc::FormActions());
    showViewMessages(nullptr, start.messages);
    std::optional<calc::PreparedRun> run = std::move(start.run);
    ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
    bool done = false;
    bool result = false;
    model.startRun(std::move(*run), &context, [&](bool r) {
        result = r;
        done = true;
    });
    ASSERT_TRUE(worker_run::waitFor([&] { return done; }, 120000));
    const calc::CalculationModel::Completion completion = model.finishRun(result);
    ASSERT_EQ(completion.outcome, calc::RunOutcome::Succeeded) << messages.texts().join("|").toStdString();
    ASSERT_EQ(model.finishedRuns().size(), 1u);
    const RocketVariables& rv = *model.finishedRuns().front();
    EXPECT_NEAR(rv.chamberT / published.at("chamber_temperature_K"), 1.0, 0.002) << rv.chamberT;
    EXPECT_NEAR(rv.chamberPressure, 53.3172e5, 1.0);
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
}

} // namespace
