#pragma once
// A grain run as the calculation tab starts it, shared by the grain-run benchmark and the
// figure listing: a potassium nitrate / sucrose propellant (65/35) with a two-interval
// burn law, a tubular grain of 100 burn-back points and a conical nozzle of 100
// stations, each read by its subsystem's loader from data files in a temporary folder;
// equilibrium, infinite-area combustor.
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include <QTemporaryDir>

#include "calculations/calculation_model.h"
#include "calculations/run_inputs.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/import_thermo.h"
#include "engine/engine_messages.h"
#include "engine/threader.h"
#include "propellant/propellant_entry.h"

namespace knsu_grain {

const std::vector<std::string> products = {
        "CO", "CO2", "H",   "H2", "H2O", "N2",    "OH",       "O",        "O2",       "NO",     "NH3",    "CH4",   "K",
        "KH", "KO",  "KOH", "K2", "KCN", "C(gr)", "K2CO3(a)", "K2CO3(b)", "K2CO3(L)", "KOH(a)", "KOH(b)", "KOH(L)"};

// The data folder of the run: the species and reactants imported by the program's own
// importer from the public records kept in tests/data, the propellant stored as the
// propellant tab stores it (65 % potassium nitrate, 35 % sucrose; 1.8 g/cm^3; burn rate
// 8.26 mm/s at 1 MPa with n = 0.319 up to 2 MPa, n = 0.25 above, continuous), and a
// tube of 60 mm outside and 20 mm inside diameter, 100 mm long, burning inside.
inline bool storeRunData(const QString& folder)
{
    const std::string data = folder.toStdString() + "/Data";
    std::filesystem::create_directories(data);
    appDirectory = folder.toStdString();
    SPECIES = data + "/Species.json";
    REACTANTS = data + "/Reactants.json";
    KINETICS = data + "/Kinetics.json";
    PROPELLANT = data + "/Propellants.json";
    GRAIN = data + "/Grains.json";
    NOZZLE = data + "/Nozzles.json";
    const std::string thermo = std::string(KAVRO_TEST_DATA_DIR) + "/calculations/knsu_thermo.inp";
    ImportCallbacks quiet;
    if (!importThermoFile(thermo, ChemicalDatabase::Species, quiet, SPECIES).ok
        || !importThermoFile(thermo, ChemicalDatabase::Reactants, quiet, REACTANTS).ok)
        return false;
    PropellantEntry knsu;
    knsu.composition = {{"KNO3(a)", 65.0}, {"C12H22O11(cr)", 35.0}};
    knsu.elements = {"K", "N", "O", "C", "H", "E"};
    knsu.species = products;
    SolidPropellantData solid;
    solid.density = 1.8;
    solid.pressureUnit = static_cast<int>(PressureUnit::MPa);
    solid.burnRateUnit = static_cast<int>(BurnRateUnit::MillimetrePerSecond);
    solid.densityUnit = static_cast<int>(DensityUnit::GramPerCm3);
    solid.intervals = {{0.1, 2.0, 8.26, 0.319}, {2.0, std::nullopt, 8.26 * std::pow(2.0, 0.319 - 0.25), 0.25}};
    knsu.solid = solid;
    const nlohmann::json propellant = {{"KNSU", toJson(knsu)}};
    const nlohmann::json grain = {{"Tube",
                                   {{"Comb_type", 1},
                                    {"Geo_type", 0},
                                    {"Parameters", {60.0, 20.0, 100.0, 1}},
                                    {"Points", 100},
                                    {"Units", 0}}}};
    // A conical nozzle of 100 stations: 40 mm entrance, 9 mm throat, exit area ratio 8,
    // 30-degree convergent, 15-degree divergent, no fillets.
    const nlohmann::json nozzle = {{"Conical",
                                    {{"Options", {false, false, false, false}},
                                     {"Parameters", {40.0, 9.0, 9.0 * std::sqrt(8.0), 30.0, 15.0, 0.0, 0.0}},
                                     {"Points", 100},
                                     {"Type", 1},
                                     {"Units", 0}}}};
    return writeJsonFile(KINETICS, nlohmann::json::object()) && writeJsonFile(PROPELLANT, propellant)
            && writeJsonFile(GRAIN, grain) && writeJsonFile(NOZZLE, nozzle);
}

// The model with the propellant, nozzle and grain selected and the form of the run; empty
// error when ready.
struct GrainRun {
    QTemporaryDir dir;
    std::unique_ptr<calc::CalculationModel> modelOwner;
    calc::TabForm form;
    calc::FormActions actions;
    std::string error;

    GrainRun()
    {
        if (!storeRunData(dir.path())) {
            error = "run data not stored";
            return;
        }
        modelOwner = std::make_unique<calc::CalculationModel>(nullptr, defaultProviders());
        calc::CalculationModel& model = *modelOwner;
        showViewMessages(nullptr, model.selectPropellant("KNSU", false));
        const calc::NozzleSelection nozzle = model.selectNozzle("Conical");
        showViewMessages(nullptr, nozzle.messages);
        if (!nozzle.loaded) {
            error = "nozzle not loaded";
            return;
        }
        if (!showReported(nullptr, model.selectGrain("Tube"))) {
            error = "grain not loaded";
            return;
        }
        form.name = "Bench";
        form.propellantIndex = 0;
        form.propellant = "KNSU";
        form.nozzleIndex = 1;
        form.nozzle = "Conical";
        form.grainMode = true;
        form.grainIndex = 1;
        form.grain = "Tube";
        form.wallTemperature = "300";
        form.ambient = "0.1";
        form.frozenPosition = "0";
    }
    ~GrainRun()
    {
        for (std::string* path : {&appDirectory, &SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE})
            path->clear();
    }

    // One run from the press to its end; null when the model refused it.
    std::shared_ptr<RocketVariables> run()
    {
        if (!modelOwner)
            return nullptr;
        std::optional<calc::PreparedRun> prepared = modelOwner->prepareRun(form, actions).run;
        if (!prepared)
            return nullptr;
        prepared->worker->runCalculations();
        return prepared->record;
    }
};

} // namespace knsu_grain
