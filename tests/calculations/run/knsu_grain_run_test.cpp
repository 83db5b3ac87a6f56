// A potassium nitrate / sucrose grain run as a user makes it, through the program's own
// loaders and the tab's run start: the species and reactants imported from the public
// NASA records, the propellant, grain and nozzle stored as their tabs store them. The
// chamber pressure of every burn point balances the gas the grain produces with the flow
// of the nozzle, worked by hand below; it stays inside the burn law's interval, so no
// range code is raised by the search's first trial (3 MPa, above the law); a law with
// n = 1 cannot give a result, and every law below it balances. A star grain burns to its
// burnout and is a result; a grain that burns nowhere, or not everywhere it has burning
// area, is not.
#include <algorithm>
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
#include "engine/engine_messages.h"
#include "propellant/propellant_entry.h"
#include "stored_run_data.h"
#include "support/message_recorder.h"

using namespace calc;

namespace {

const std::vector<std::string> products = {
        "CO", "CO2", "H",   "H2", "H2O", "N2",    "OH",       "O",        "O2",       "NO",     "NH3",    "CH4",   "K",
        "KH", "KO",  "KOH", "K2", "KCN", "C(gr)", "K2CO3(a)", "K2CO3(b)", "K2CO3(L)", "KOH(a)", "KOH(b)", "KOH(L)"};

// The grain: four tubes of 50 mm outside, 20 mm inside diameter and 100 mm length,
// burning on the bore and both ends. Its burning area (mm^2) after a burnt distance y:
// 4 [2 pi (10 + y)(100 - 2y) + 2 pi (25^2 - (10 + y)^2)], from 38327 at ignition to
// 43982 at y = 15 mm, where the web is burnt through.
//
// The star: one charge of 50 mm outside, a four-pointed port of 40 mm across its points
// and 10 mm across its inner vertices, 100 mm long, burning on the port only, 50 samples.
// Its area (mm^2) is the port's perimeter times the length, 100 x 8 x 16.84 = 13472 at
// ignition, falling to 0 where the inner vertices reach the case. "Star six": 100 mm
// outside, six points, 70 and 30 mm, 200 mm long, burning on the port and both ends:
// 200 x 12 x 23.25 + 2 (pi 50^2 - 6 x 35 x 15 sin 30) = 68364 at ignition.
const char* const grainJson
        = R"({"Tubes": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 4], "Points": 100,)"
          R"( "Units": 0},)"
          R"( "Star": {"Comb_type": 1, "Geo_type": 2, "Parameters": [50.0, 40.0, 10.0, 100.0, 1, 4], "Points": 50,)"
          R"( "Units": 0},)"
          R"( "Star six": {"Comb_type": 0, "Geo_type": 2, "Parameters": [100.0, 70.0, 30.0, 200.0, 1, 6],)"
          R"( "Points": 50, "Units": 0}})";

// The nozzle: conical, 50 mm entrance, 20.8 mm throat (340 mm^2), 58.8 mm exit, 30 and
// 15 degrees, 100 stations. The throat is sized for about 2.3 MPa at the largest burning
// area with the law below (c* about 900 m/s, worked in the test).
//
// "Throat 12.708": the same cone with the throat that sizing for 2.2 MPa gives the tubes
// with the law r = 8.26 mm/s (p / 1 MPa)^-1 at their mean area over the burn, 4 x 2 pi x
// 1750 = 43982 mm^2 (also their area at burnout): the gas made there, rho r Ab = 1800 x
// 3.7545e-3 x 0.043982 = 0.2973 kg/s, passes a throat of mdot c*/p = 0.2973 x 938 /
// 2.2e6 = 1.268e-4 m^2 (12.71 mm) with c* near 938 m/s.
//
// "Star cone": a throat of 9.4 mm (69.4 mm^2), exit 26.6 mm, for the star: at ignition
// its Kn is 13472 / 69.4 = 194, and the balance (194 x 1.0069e-4 x 1800 x 900)^(1/0.681)
// lies near 4.1 MPa; the area then falls to 0 and the pressure with it.
const char* const nozzleJson
        = R"({"Cone": {"Options": [false, false, false, false], "Parameters": [50.0, 20.8, 58.8, 30.0, 15.0, 0.0,)"
          R"( 0.0], "Points": 100, "Type": 1, "Units": 0},)"
          R"( "Throat 12.708": {"Options": [false, false, false, false], "Parameters": [50.0, 12.708, 35.94, 30.0,)"
          R"( 15.0, 0.0, 0.0], "Points": 100, "Type": 1, "Units": 0},)"
          R"( "Star cone": {"Options": [false, false, false, false], "Parameters": [50.0, 9.4, 26.6, 30.0, 15.0,)"
          R"( 0.0, 0.0], "Points": 100, "Type": 1, "Units": 0},)"
          R"( "Throat 21.66": {"Options": [false, false, false, false], "Parameters": [50.0, 21.66, 58.8, 30.0,)"
          R"( 15.0, 0.0, 0.0], "Points": 100, "Type": 1, "Units": 0},)"
          R"( "Throat 12.04": {"Options": [false, false, false, false], "Parameters": [50.0, 12.04, 35.94, 30.0,)"
          R"( 15.0, 0.0, 0.0], "Points": 100, "Type": 1, "Units": 0}})";

class KnsuGrainRun : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        ASSERT_TRUE(data.importThermo("/calculations/knsu_thermo.inp"));
        ASSERT_TRUE(writeJsonFile(KINETICS, nlohmann::json::object()));
        data.app.write("Data/Grains.json", grainJson);
        data.app.write("Data/Nozzles.json", nozzleJson);
    }
    void TearDown() override
    {
        model.reset();
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The propellant as the propellant tab stores it: 65 % potassium nitrate, 35 %
    // sucrose, 1.8 g/cm^3, one burn-law interval of 0.779 to 2.57 MPa with a in mm/s.
    void storePropellant(double a, double n) { storeLaw({{0.779, 2.57, a, n}}); }
    // The same propellant with the law's intervals given: pMin, pMax (MPa), a (mm/s), n.
    void storeLaw(const std::vector<VielleInterval>& intervals)
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
        solid.intervals = intervals;
        knsu.solid = solid;
        ASSERT_TRUE(writeJsonFile(PROPELLANT, nlohmann::json{{"KNSU", toJson(knsu)}}));
    }

    // The tab's model over the program's loaders, with the three items chosen and the
    // form of a grain run.
    void choose(const char* grain = "Tubes", const char* nozzleName = "Cone")
    {
        model = std::make_unique<CalculationModel>(nullptr, defaultProviders());
        showViewMessages(nullptr, model->selectPropellant("KNSU", false));
        ASSERT_EQ(flagsL.load(), 0u);
        const NozzleSelection nozzle = model->selectNozzle(nozzleName);
        showViewMessages(nullptr, nozzle.messages);
        ASSERT_TRUE(nozzle.loaded);
        ASSERT_TRUE(showReported(nullptr, model->selectGrain(grain)));
        form.name = "KNSU";
        form.propellantIndex = 0;
        form.propellant = "KNSU";
        form.nozzleIndex = 1;
        form.nozzle = nozzleName;
        form.grainMode = true;
        form.grainIndex = 1;
        form.grain = grain;
        form.wallTemperature = "300";
        form.ambient = "0.1";
        form.frozenPosition = "0";
    }
    FormActions actions() { return FormActions(); }
    CalculationModel::Completion runToEnd(PreparedRun run)
    {
        return calc_test::runToEnd(*model, std::move(run), 120000);
    }

    calc_test::StoredRunData data;
    MessageRecorder messages;
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

namespace {

// Burn-law coefficient in SI (m/s with p in Pa) of a in mm/s for p in MPa.
double lawA(double aMmPerSecond, double n)
{
    return aMmPerSecond * 1e-3 * std::pow(1e-6, n);
}

} // namespace

TEST_F(KnsuGrainRun, StarGrainBurnsToItsEndAndIsAResult)
{
    // The star's area falls to 0 at burnout (the stored curve ends on an area of rounding
    // size, some 1e-8 m^2) and its pressure with it. The points whose balance would lie at
    // or below the ambient pressure, and the last one, have burnt out: they keep 0 and
    // add no time, and the burn before them is a result.
    struct Case {
        const char* what;
        const char* grain;
        const char* nozzle;
        const char* ambient; // MPa
        std::size_t burning; // points that burn, from the first
    };
    // In air the star's balance falls below 0.1 MPa after 48 points: (Kn a rho
    // c*)^(1/0.681) at the 49th, Kn = 590 / 69.4 = 8.5, is (8.5 x 1.0069e-4 x 1800 x
    // 900)^1.468, 40 kPa. In vacuum that point burns. The six-pointed star through the
    // 340 mm^2 cone falls below 0.1 MPa at its 48th point, Kn = 3849 / 340 = 11.3.
    const Case cases[] = {
            {"star, ambient 0.1 MPa", "Star", "Star cone", "0.1", 48},
            {"star, vacuum", "Star", "Star cone", "0", 49},
            {"six-pointed star burning on its ends too, ambient 0.1 MPa", "Star six", "Cone", "0.1", 47},
            {"six-pointed star burning on its ends too, vacuum", "Star six", "Cone", "0", 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calc_test::resetCalculationGlobals();
        storePropellant(8.26, 0.319);
        choose(c.grain, c.nozzle);
        form.ambient = c.ambient;
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        ASSERT_EQ(done.outcome, RunOutcome::Succeeded)
                << "ODE " << flagsODE.load() << " V " << flagsV.load() << " SP " << flagsSP.load();
        EXPECT_FALSE(flagRaised(flagsV, code::V02)) << "a burnout is no failed search";
        EXPECT_EQ(flagsODE.load() & (code::ODE05 | code::ODE06 | code::ODE07), 0u);
        const RocketVariables& r = *model->results[done.runIndex];
        const std::size_t n = r.burnPoints;
        ASSERT_EQ(n, 50u);
        EXPECT_LT(r.burnArea[n - 1], 1e-6 * r.burnArea[0]) << "the stored curve ends at burnout";
        const std::size_t last = c.burning - 1;
        const double ambient = c.ambient == std::string("0") ? 0.0 : 1e5;
        for (std::size_t i = 0; i < n; ++i) {
            SCOPED_TRACE(i);
            if (i <= last) {
                EXPECT_GT(r.burnChamberPressure[i], ambient);
            } else {
                EXPECT_EQ(r.burnChamberPressure[i], 0.0);
                EXPECT_EQ(r.burnMassFlow[i], 0.0);
                EXPECT_EQ(r.burnThrust[i], 0.0);
                EXPECT_EQ(r.burnTimes[i], r.burnTimes[last]) << "the burnout adds no time";
            }
        }

        // By hand over the points that burn, 1/49 of the web apart: the time to burn each
        // step, dy (1/r_i + 1/r_i+1)/2 with r = a p^0.319 (a = 1.0069e-4 in SI); the
        // propellant burnt, dm = rho dy (A_i + A_i+1)/2; and the impulse it gives,
        // Isp dm with the step's mean Isp.
        const double rho = 1800.0, a = lawA(8.26, 0.319);
        double tb = 0.0, mass = 0.0, impulse = 0.0;
        for (std::size_t i = 0; i < last; ++i) {
            const double dy = r.burnDistance[i + 1] - r.burnDistance[i];
            const double r0 = a * std::pow(r.burnChamberPressure[i], 0.319);
            const double r1 = a * std::pow(r.burnChamberPressure[i + 1], 0.319);
            tb += dy * (1.0 / r0 + 1.0 / r1) / 2.0;
            const double dm = rho * dy * (r.burnArea[i] + r.burnArea[i + 1]) / 2.0;
            mass += dm;
            impulse += dm * (r.burnIsp[i] + r.burnIsp[i + 1]) / 2.0;
        }
        EXPECT_NEAR(r.burnTime / tb, 1.0, 1e-9);
        // The web burnt takes between web/r at the highest pressure of the burn and web/r
        // at the lowest.
        const auto pressures = r.burnChamberPressure.begin();
        const double highest = *std::max_element(pressures, pressures + static_cast<std::ptrdiff_t>(c.burning));
        const double lowest = *std::min_element(pressures, pressures + static_cast<std::ptrdiff_t>(c.burning));
        const double web = r.burnDistance[last];
        EXPECT_GT(tb, web / (a * std::pow(highest, 0.319)));
        EXPECT_LT(tb, web / (a * std::pow(lowest, 0.319)));
        // The gas the nozzle passed over the burn, mean mass flow x burn time, is the
        // propellant burnt: each point balances within PRES_TOL (4e-4), and the two
        // trapezoid sums (over time, over distance) differ at second order.
        EXPECT_NEAR(r.runMassFlow * r.burnTime / mass, 1.0, 2e-3);
        // The total impulse, mean thrust x burn time, is the propellant burnt times its
        // mean specific impulse (weighted by the propellant of each step).
        EXPECT_NEAR(r.thrust * r.burnTime / impulse, 1.0, 5e-3);
        if (ambient == 0.0) {
            // In vacuum the Isp hardly changes over the burn (1565 to 1619 m/s, under 4 %),
            // so the time mean shown is the same within that spread.
            EXPECT_NEAR(r.thrust * r.burnTime / (mass * r.specificImpulse), 1.0, 0.04);
        }
    }
}

TEST_F(KnsuGrainRun, EveryLawBelowExponentOneBalances)
{
    // The tubes through the 12.708 mm throat sized for their mean area at 2.2 MPa with
    // n = -1. Every law below passes through the same rate at 2.2 MPa, 8.26 / 2.2 =
    // 3.7545 mm/s; at every point the gas the grain makes balances the nozzle flow at
    //   p = (Kn a rho c*)^(1/(1 - n)),  Kn = Ab / At,
    // with c* that point's own, p At / mdot. The balance is found to PRES_TOL of the
    // throat area, Ar/At = (p/pc)^(1 - n), so to PRES_TOL/(1 - n) of the pressure.
    const double r22 = 8.26 / 2.2; // mm/s at 2.2 MPa
    const double twoIntervalsA = r22 / std::sqrt(2.2); // n = 0.5 above 2 MPa
    struct Case {
        const char* what;
        std::vector<VielleInterval> law; // MPa, mm/s
    };
    const Case cases[] = {
            {"n = -1, a = 8.26", {{0.779, 2.57, 8.26, -1.0}}},
            {"n = -0.5", {{0.1, 10.0, r22 / std::pow(2.2, -0.5), -0.5}}},
            {"n = 0.3", {{0.1, 10.0, r22 / std::pow(2.2, 0.3), 0.3}}},
            {"n = 0.9", {{0.1, 10.0, r22 / std::pow(2.2, 0.9), 0.9}}},
            // A plateau: the same rate at every pressure, p = Kn a rho c*.
            {"n = 0", {{0.1, 10.0, r22, 0.0}}},
            // Continuous at 2 MPa (a2 2^0.5 = a1 / 2): the area grows by 15 % over the burn,
            // and the balance crosses from the first interval into the second.
            {"n = -1 below 2 MPa, n = 0.5 above",
             {{0.1, 2.0, twoIntervalsA * std::pow(2.0, 1.5), -1.0}, {2.0, std::nullopt, twoIntervalsA, 0.5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calc_test::resetCalculationGlobals();
        storeLaw(c.law);
        choose("Tubes", "Throat 12.708");
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        ASSERT_EQ(done.outcome, RunOutcome::Succeeded)
                << "ODE " << flagsODE.load() << " V " << flagsV.load() << " SP " << flagsSP.load();
        EXPECT_FALSE(flagRaised(flagsV, code::V02));
        const RocketVariables& r = *model->results[done.runIndex];
        const double At = r.area[r.throatIndex];
        EXPECT_NEAR(At, 3.141592 * 0.006354 * 0.006354, 1e-10);
        bool below2 = false, above2 = false;
        for (std::size_t i = 0; i < r.burnPoints; ++i) {
            SCOPED_TRACE(i);
            const double p = r.burnChamberPressure[i];
            ASSERT_GT(p, 0.0);
            std::size_t k = 0;
            while (k + 1 < c.law.size() && p >= c.law[k + 1].lower * 1e6)
                ++k;
            const double n = c.law[k].n;
            const double cStar = p * At / r.burnMassFlow[i];
            const double byHand = std::pow(r.burnArea[i] / At * lawA(c.law[k].a, n) * 1800.0 * cStar, 1.0 / (1.0 - n));
            EXPECT_NEAR(p / byHand, 1.0, 2.0 * PRES_TOL / (1.0 - n));
            below2 = below2 || p < 2e6;
            above2 = above2 || p > 2e6;
        }
        if (c.law.size() > 1) {
            EXPECT_TRUE(below2 && above2) << "both intervals of the law burn";
        }
        // The last point has the mean area the throat was sized for, with c* = 938 m/s;
        // with n = -1, p goes as c*^(1/2), so a c* within 6 % of it keeps the balance
        // within 3 % of 2.2 MPa.
        if (c.law[0].n == -1.0 && c.law.size() == 1) {
            EXPECT_NEAR(r.burnArea[r.burnPoints - 1], 0.043982, 1e-6);
            EXPECT_NEAR(r.burnChamberPressure[r.burnPoints - 1] / 2.2e6, 1.0, 0.03);
        }
    }
}

TEST_F(KnsuGrainRun, GrainRunsThatCannotBurnFail)
{
    // A point with burning area that finds no balance, and a grain that burns nowhere
    // above the ambient pressure, give no result: ODE07, nothing joins the results.
    struct Case {
        const char* what;
        std::vector<VielleInterval> law;
        const char* ambient; // MPa
        bool unbalanced; // V02 at a point
    };
    const Case cases[] = {
            // The tubes balance near 1.9 MPa, where the law has no rate: no point balances.
            {"no burn rate at the balance", {{0.1, 1.0, 8.26, 0.319}, {3.0, std::nullopt, 8.26, 0.319}}, "0.1", true},
            // Every balance, near 1.9 MPa, lies below an ambient pressure of 5 MPa.
            {"burning only below the ambient pressure", {{0.1, 10.0, 8.26, 0.319}}, "5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calc_test::resetCalculationGlobals();
        storeLaw(c.law);
        choose();
        form.ambient = c.ambient;
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        EXPECT_EQ(done.outcome, RunOutcome::CriticalError);
        EXPECT_TRUE(flagRaised(flagsODE, code::ODE07)) << flagsODE.load();
        EXPECT_EQ(flagRaised(flagsV, code::V02), c.unbalanced);
        EXPECT_EQ(model->results.size(), 1u);
    }
}

namespace {

// The stable balances of a burn point on a law of several intervals, by hand: in interval
// k the balance of its law, p_k = (Kn a_k rho c*)^(1/(1 - n_k)), when it lies in the
// interval (the first reaching down to 0, the last up without end); and each limit L
// where the rate steps down with a surplus below and a deficit above (p_k above L, p_k+1
// below it), where the chamber sits. c* is the point's own, p At / mdot: it changes by a
// few tenths of a percent over the pressures of one point.
struct HandBalance {
    double pressure; // Pa
    std::size_t interval; // the interval, or the one above the limit
    bool atLimit;
};
std::vector<HandBalance> handBalances(const std::vector<VielleInterval>& law, double Kn, double cStar)
{
    std::vector<double> p;
    for (const VielleInterval& i : law)
        p.push_back(std::pow(Kn * lawA(i.a, i.n) * 1800.0 * cStar, 1.0 / (1.0 - i.n)));
    std::vector<HandBalance> out;
    for (std::size_t k = 0; k < law.size(); ++k) {
        const double lower = k == 0 ? 0.0 : law[k].lower * 1e6;
        const double upper = k + 1 == law.size() ? 1e300 : law[k + 1].lower * 1e6;
        if (k > 0 && p[k - 1] > lower && p[k] < lower)
            out.push_back({lower, k, true});
        if (p[k] >= lower && p[k] < upper)
            out.push_back({p[k], k, false});
    }
    return out;
}

// The hand balance a point's pressure is, if any: a limit exactly, or an interval's
// balance within the search's tolerance, 2 PRES_TOL/(1 - n), and c*'s few tenths of a
// percent between the pressures of a point.
std::optional<HandBalance> matching(const std::vector<HandBalance>& balances, double p,
                                    const std::vector<VielleInterval>& law)
{
    for (const HandBalance& b : balances) {
        const double tolerance = b.atLimit ? 1e-12 : 2.0 * PRES_TOL / (1.0 - law[b.interval].n);
        if (std::fabs(p / b.pressure - 1.0) <= tolerance)
            return b;
    }
    return std::nullopt;
}

} // namespace

// Laws whose rate steps at an interval limit, run on BATES tubes as a motor burns them:
// the chamber fills from the ambient pressure to the first balance it meets, follows it
// while it exists, and sits at a limit where the rate steps down. Every point is one of
// its hand balances, the first the lowest; the result does not depend on the solver's
// first estimate of the chamber pressure.
TEST_F(KnsuGrainRun, LawsThatStepAtALimitBurnAsAMotorDoes)
{
    struct Case {
        const char* what;
        std::vector<VielleInterval> law; // MPa, mm/s
        const char* nozzle;
        double firstEstimate; // Pa
        // A higher balance at ignition that a filling chamber never reaches (not asked of
        // the five intervals, whose throat was sized for another area).
        std::optional<bool> twoBalancesAtIgnition;
        bool sitsAtALimit;
    };
    const std::vector<VielleInterval> stepUp{{0.1, 2.0, 8.26, 0.319}, {2.0, 200.0, 12.0, 0.2}};
    const std::vector<VielleInterval> stepDown{{0.1, 2.0, 8.26, 0.319}, {2.0, 200.0, 6.0, 0.319}};
    // The published potassium nitrate / sucrose law (R. Nakka): up at three limits, down
    // at 8.502 MPa.
    const std::vector<VielleInterval> fiveIntervals{{0.103, 0.779, 10.708, 0.625},
                                                    {0.779, 2.572, 8.763, -0.314},
                                                    {2.572, 5.930, 7.852, -0.013},
                                                    {5.930, 8.502, 3.907, 0.535},
                                                    {8.502, 11.20, 9.653, 0.064}};
    const Case cases[] = {
            {"step up, first estimate 0.5 MPa", stepUp, "Throat 21.66", 0.5e6, true, false},
            {"step up, first estimate 3 MPa", stepUp, "Throat 21.66", 3e6, true, false},
            {"step up, first estimate 10 MPa", stepUp, "Throat 21.66", 10e6, true, false},
            {"step down", stepDown, "Throat 21.66", 3e6, false, true},
            {"five intervals", fiveIntervals, "Throat 12.04", 3e6, std::nullopt, false},
            {"five intervals, first estimate 10 MPa", fiveIntervals, "Throat 12.04", 10e6, std::nullopt, false},
    };
    const double defaultEstimate = PRES_INITIAL_ESTIMATE;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calc_test::resetCalculationGlobals();
        storeLaw(c.law);
        choose("Tubes", c.nozzle);
        PRES_INITIAL_ESTIMATE = c.firstEstimate;
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        PRES_INITIAL_ESTIMATE = defaultEstimate;
        ASSERT_EQ(done.outcome, RunOutcome::Succeeded)
                << "ODE " << flagsODE.load() << " V " << flagsV.load() << " SP " << flagsSP.load();
        const RocketVariables& r = *model->results[done.runIndex];
        const double At = r.area[r.throatIndex];
        std::optional<HandBalance> previous;
        bool sat = false;
        double burnt = 0.0, passed = 0.0;
        for (std::size_t i = 0; i + 1 < r.burnPoints; ++i) {
            SCOPED_TRACE(i);
            const double p = r.burnChamberPressure[i];
            const double Kn = r.burnArea[i] / At;
            const std::vector<HandBalance> balances = handBalances(c.law, Kn, p * At / r.burnMassFlow[i]);
            ASSERT_FALSE(balances.empty());
            const std::optional<HandBalance> here = matching(balances, p, c.law);
            ASSERT_TRUE(here) << "pc " << p << " is no balance of the point";
            if (i == 0) {
                // Filling from the ambient pressure, the chamber stops at the lowest balance.
                EXPECT_EQ(here->pressure, balances.front().pressure);
                if (c.twoBalancesAtIgnition) {
                    EXPECT_EQ(balances.size() > 1, *c.twoBalancesAtIgnition);
                }
            } else {
                // The balance the chamber was on still exists: it stays on it.
                for (const HandBalance& b : balances) {
                    if (b.interval == previous->interval && b.atLimit == previous->atLimit) {
                        EXPECT_EQ(here->interval, b.interval);
                        EXPECT_EQ(here->atLimit, b.atLimit);
                    }
                }
            }
            if (here->atLimit) {
                sat = true;
                // The rate that passes the nozzle, between the two laws' rates at the limit.
                const VielleInterval& below = c.law[here->interval - 1];
                const VielleInterval& above = c.law[here->interval];
                const double L = here->pressure;
                const double r1 = lawA(below.a, below.n) * std::pow(L, below.n);
                const double r2 = lawA(above.a, above.n) * std::pow(L, above.n);
                EXPECT_GT(r.burnRate[i], std::min(r1, r2));
                EXPECT_LT(r.burnRate[i], std::max(r1, r2));
                EXPECT_NEAR(r.burnMassFlow[i] / (1800.0 * r.burnRate[i] * r.burnArea[i]), 1.0, 1e-9);
            }
            previous = here;
            const double dy = r.burnDistance[i + 1] - r.burnDistance[i];
            burnt += 1800.0 * dy * (r.burnArea[i] + r.burnArea[i + 1]) / 2.0;
            passed += (r.burnTimes[i + 1] - r.burnTimes[i]) * (r.burnMassFlow[i] + r.burnMassFlow[i + 1]) / 2.0;
        }
        EXPECT_EQ(sat, c.sitsAtALimit);
        // Mass flow x time is the propellant burnt, rho the integral of A dy, to the
        // second-order difference of the two trapezoid sums.
        EXPECT_NEAR(passed / burnt, 1.0, 2e-3);
    }
}
