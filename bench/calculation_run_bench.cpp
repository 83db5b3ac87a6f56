// Speed of a whole grain run as the calculation tab starts it: the checks of the press,
// the run's copies of the record and the mixture, the solver built and its member run to
// the end. A potassium nitrate / sucrose propellant (65/35) with a two-interval burn law,
// a tubular grain of 100 burn-back points and a conical nozzle of 100 stations, each read
// by its subsystem's loader from the data files; equilibrium, infinite-area combustor.
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "calculations/calculation_model.h"
#include "calculations/run_inputs.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/import_thermo.h"
#include "engine/engine_messages.h"
#include "engine/threader.h"
#include "propellant/propellant_entry.h"

namespace {

const std::vector<std::string> products = {
        "CO", "CO2", "H",   "H2", "H2O", "N2",    "OH",       "O",        "O2",       "NO",     "NH3",    "CH4",   "K",
        "KH", "KO",  "KOH", "K2", "KCN", "C(gr)", "K2CO3(a)", "K2CO3(b)", "K2CO3(L)", "KOH(a)", "KOH(b)", "KOH(L)"};

// The data folder of the run: the species and reactants imported by the program's own
// importer from the public records kept in tests/data, the propellant stored as the
// propellant tab stores it (65 % potassium nitrate, 35 % sucrose; 1.8 g/cm^3; burn rate
// 8.26 mm/s at 1 MPa with n = 0.319 up to 2 MPa, n = 0.25 above, continuous), and a
// tube of 60 mm outside and 20 mm inside diameter, 100 mm long, burning inside.
bool storeRunData(const QString& folder)
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

void BM_GrainRunAsTheTabStartsIt(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    QTemporaryDir dir;
    if (!storeRunData(dir.path())) {
        state.SkipWithError("run data not stored");
        return;
    }
    CalculationProviders p = defaultProviders();

    calc::CalculationModel model(nullptr, p);
    model.selectPropellant("KNSU", false);
    if (!model.selectNozzle("Conical").loaded) {
        state.SkipWithError("nozzle not loaded");
        return;
    }
    if (!model.selectGrain("Tube")) {
        state.SkipWithError("grain not loaded");
        return;
    }
    calc::TabForm form;
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
    calc::FormActions actions;
    actions.placeFrozenPoint
            = [&model]() -> std::optional<uint32_t> { return calc::placeFrozenPoint(model.edited().x, 0.0)->station; };

    std::shared_ptr<RocketVariables> last;
    for (auto _ : state) {
        std::optional<calc::PreparedRun> run = model.prepareRun(form, actions);
        if (!run) {
            state.SkipWithError("run refused");
            return;
        }
        run->worker->runCalculations();
        last = run->record;
        benchmark::DoNotOptimize(last->burnThrust.back());
    }
    if (!last || !(last->burnTimes.back() > 0.0)) {
        state.SkipWithError("no burn computed");
        return;
    }
    calc::computeSummary(*last, last->ambientPressure);
    state.counters["burn_time_s"] = last->burnTime;
    state.counters["mean_pc_MPa"] = last->injectorPressure / 1e6;
    state.counters["mean_Isp_m_s"] = last->specificImpulse;
    // 1 when a grain point found no balancing chamber pressure (V02).
    state.counters["unbalanced"] = flagRaised(flagsV, code::V02) ? 1 : 0;
    for (std::string* path : {&appDirectory, &SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE})
        path->clear();
    setEngineMessageHandler({});
}
BENCHMARK(BM_GrainRunAsTheTabStartsIt)->Unit(benchmark::kMillisecond);

} // namespace
