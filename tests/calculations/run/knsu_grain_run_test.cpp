// A potassium nitrate / sucrose grain run as a user makes it, through the program's own
// loaders and the tab's run start: the species and reactants imported from the public
// NASA records, the propellant, grain and nozzle stored as their tabs store them. The
// chamber pressure of every burn point balances the gas the grain produces with the flow
// of the nozzle, worked by hand below; it stays inside the burn law's interval, so no
// range code is raised by the search's first trial (3 MPa, above the law); and a law
// with n = 1 cannot give a result.
#include <cmath>
#include <filesystem>
#include <optional>

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <gtest/gtest.h>

#include "../../engine/support/worker_run.h"
#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "calculations/run_inputs.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/import_thermo.h"
#include "engine/engine_messages.h"
#include "propellant/propellant_entry.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using namespace calc;

namespace {

const std::vector<std::string> products = {
        "CO", "CO2", "H",   "H2", "H2O", "N2",    "OH",       "O",        "O2",       "NO",     "NH3",    "CH4",   "K",
        "KH", "KO",  "KOH", "K2", "KCN", "C(gr)", "K2CO3(a)", "K2CO3(b)", "K2CO3(L)", "KOH(a)", "KOH(b)", "KOH(L)"};

// The grain: four tubes of 50 mm outside, 20 mm inside diameter and 100 mm length,
// burning on the bore and both ends. Its burning area (mm^2) after a burnt distance y:
// 4 [2 pi (10 + y)(100 - 2y) + 2 pi (25^2 - (10 + y)^2)], from 38327 at ignition to
// 43982 at y = 15 mm, where the web is burnt through.
const char* const grainJson
        = R"({"Tubes": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 4], "Points": 100,)"
          R"( "Units": 0}})";

// The nozzle: conical, 50 mm entrance, 20.8 mm throat (340 mm^2), 58.8 mm exit, 30 and
// 15 degrees, 100 stations. The throat is sized for about 2.3 MPa at the largest burning
// area with the law below (c* about 900 m/s, worked in the test).
const char* const nozzleJson
        = R"({"Cone": {"Options": [false, false, false, false], "Parameters": [50.0, 20.8, 58.8, 30.0, 15.0, 0.0,)"
          R"( 0.0], "Points": 100, "Type": 1, "Units": 0}})";

class KnsuGrainRun : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        for (std::string* path : {&SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE})
            saved.push_back(*path);
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        PROPELLANT = app.dataFile("Propellants.json");
        GRAIN = app.dataFile("Grains.json");
        NOZZLE = app.dataFile("Nozzles.json");
        const std::string thermo = std::string(KAVRO_TEST_DATA_DIR) + "/calculations/knsu_thermo.inp";
        ImportCallbacks quiet;
        ASSERT_TRUE(importThermoFile(thermo, ChemicalDatabase::Species, quiet, SPECIES).ok);
        ASSERT_TRUE(importThermoFile(thermo, ChemicalDatabase::Reactants, quiet, REACTANTS).ok);
        ASSERT_TRUE(writeJsonFile(KINETICS, nlohmann::json::object()));
        app.write("Data/Grains.json", grainJson);
        app.write("Data/Nozzles.json", nozzleJson);
    }
    void TearDown() override
    {
        model.reset();
        std::string* paths[] = {&SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE};
        for (std::size_t k = 0; k < saved.size(); ++k)
            *paths[k] = saved[k];
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The propellant as the propellant tab stores it: 65 % potassium nitrate, 35 %
    // sucrose, 1.8 g/cm^3, one burn-law interval of 0.779 to 2.57 MPa with a in mm/s.
    void storePropellant(double a, double n)
    {
        PropellantEntry knsu;
        knsu.composition = {{"KNO3(a)", 65.0}, {"C12H22O11(cr)", 35.0}};
        knsu.elements = {"K", "N", "O", "C", "H", "E"};
        knsu.species = products;
        SolidPropellantData solid;
        solid.density = 1.8;
        solid.pressureUnit = static_cast<int>(PressureUnit::MPa);
        solid.burnRateUnit = static_cast<int>(BurnRateUnit::MillimetrePerSecond);
        solid.densityUnit = static_cast<int>(DensityUnit::GramPerCm3);
        solid.intervals = {{0.779, 2.57, a, n}};
        knsu.solid = solid;
        ASSERT_TRUE(writeJsonFile(PROPELLANT, nlohmann::json{{"KNSU", toJson(knsu)}}));
    }

    // The tab's model over the program's loaders, with the three items chosen and the
    // form of a grain run.
    void choose()
    {
        model = std::make_unique<CalculationModel>(nullptr, defaultProviders());
        showViewMessages(nullptr, model->selectPropellant("KNSU", false));
        ASSERT_EQ(flagsL.load(), 0u);
        const NozzleSelection nozzle = model->selectNozzle("Cone");
        showViewMessages(nullptr, nozzle.messages);
        ASSERT_TRUE(nozzle.loaded);
        ASSERT_TRUE(showReported(nullptr, model->selectGrain("Tubes")));
        form.name = "KNSU";
        form.propellantIndex = 0;
        form.propellant = "KNSU";
        form.nozzleIndex = 1;
        form.nozzle = "Cone";
        form.grainMode = true;
        form.grainIndex = 1;
        form.grain = "Tubes";
        form.wallTemperature = "300";
        form.ambient = "0.1";
        form.frozenPosition = "0";
    }
    FormActions actions() { return FormActions(); }
    CalculationModel::Completion runToEnd(PreparedRun run)
    {
        return calc_test::runToEnd(*model, std::move(run), 120000);
    }

    TempAppDir app;
    MessageRecorder messages;
    std::vector<std::string> saved;
    std::unique_ptr<CalculationModel> model;
    TabForm form;
};

} // namespace

TEST_F(KnsuGrainRun, EveryPointBalancesByHandAndNoRangeCodeComesFromTheSearch)
{
    storePropellant(8.26, 0.319);
    choose();
    ASSERT_EQ(PRES_INITIAL_ESTIMATE, 3e6); // the first trial lies above the law's 2.57 MPa
    std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
    const CalculationModel::Completion done = runToEnd(std::move(*run));
    // Kept: every exit of the burn solved too (SP10 would say one was not).
    ASSERT_EQ(done.outcome, RunOutcome::Succeeded)
            << "ODE " << flagsODE.load() << " V " << flagsV.load() << " SP " << flagsSP.load();
    const RocketVariables& r = *model->results[done.runIndex];

    // Every burning point balances the gas the grain makes, rho a p^n Ab, with the flow of
    // the throat, p At / c*, hence
    //   p = (Kn a rho c*)^(1/(1 - n)),  Kn = Ab / At,
    // with a = 8.26 mm/s at 1 MPa, i.e. 8.26e-3 m/s x (1e-6 Pa^-1)^0.319 = 1.00690e-4 in SI,
    // rho = 1800 kg/m^3, n = 0.319, and c* the nozzle's at that point. At ignition
    // (Ab = 38327 mm^2, Kn = 38327 / 339.8 = 112.8) with c* near 900 m/s:
    //   p = (112.8 x 1.00690e-4 x 1800 x 900)^(1/0.681) = (18400)^(1.4684), about 1.9 MPa.
    const double a = 8.26e-3 * std::pow(1e-6, 0.319), rho = 1800.0, n = 0.319;
    const double At = r.area[r.throatIndex];
    EXPECT_NEAR(At, 3.141592 * 0.0104 * 0.0104, 1e-9);
    for (std::size_t i = 0; i + 1 < r.burnPoints; ++i) {
        SCOPED_TRACE(i);
        const double Kn = r.burnArea[i] / At;
        const double byHand = std::pow(Kn * a * rho * r.burnCStar[i], 1.0 / (1.0 - n));
        EXPECT_NEAR(r.burnChamberPressure[i] / byHand, 1.0, 2e-3);
        // Inside the law's interval at every point of the burn.
        EXPECT_GT(r.burnChamberPressure[i], 0.779e6);
        EXPECT_LT(r.burnChamberPressure[i], 2.57e6);
    }
    // The first point by hand with a c* of 900 m/s, within the spread of c* (a few %).
    EXPECT_NEAR(r.burnChamberPressure[0] / std::pow(r.burnArea[0] / At * a * rho * 900.0, 1.0 / (1.0 - n)), 1.0, 0.06);
    // The published combustion temperature of this propellant, 1720 K (R. Nakka, KNSU
    // theoretical performance, at 6.9 MPa; it hardly changes with pressure), within 4 %.
    EXPECT_NEAR(r.chamberT / 1720.0, 1.0, 0.04);
    // No range code: every balanced pressure lies in the law. The search's first trial,
    // 3 MPa, is no pressure of the burn.
    EXPECT_FALSE(flagRaised(flagsV, code::V00 | code::V01 | code::V02)) << flagsV.load();
}

TEST_F(KnsuGrainRun, ALawOfExponentOneGivesNoResult)
{
    // n = 1: the gas made, rho a p Ab, and the nozzle flow, p At / c*, both grow as p; no
    // pressure is a stable balance. The stored law is refused with its rule before the
    // run starts, and nothing joins the results.
    storePropellant(8.26, 1.0);
    choose();
    messages.clear();
    EXPECT_FALSE(calc_test::shownStart(*model, form, actions()));
    EXPECT_EQ(messages.texts(),
              QStringList({"Invalid Vielle parameters for propellant, grain combustion cannot be calculated"}));
    EXPECT_EQ(model->results.size(), 1u);
}
