// The optimisation panel's model: grain reference areas, the selections, the start
// checks in order, the run's record, the runs on a perfect-gas propellant against
// closed forms, the write-back and the abort button's timers.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "engine/ode.h"
#include "optimisation_fixture.h"

namespace pg = perfect_gas;
using optimisation_test::kGrainY;
using optimisation_test::OptimisationTest;

TEST(GrainReferenceArea, RulesOfOptArea)
{
    // Burnt distance 0..3, areas 4, 6, 5, 3: trapezoid integral 5 + 5.5 + 4 = 14.5 over 3.
    INT_METHOD = 1;
    const std::vector<double> y{0, 1, 2, 3}, A{4, 6, 5, 3};
    EXPECT_EQ(grainReferenceArea(0, 4, y, A), 4);
    EXPECT_EQ(grainReferenceArea(1, 4, y, A), 3);
    EXPECT_EQ(grainReferenceArea(2, 4, y, A), 3);
    EXPECT_EQ(grainReferenceArea(3, 4, y, A), 6);
    EXPECT_DOUBLE_EQ(grainReferenceArea(4, 4, y, A), 14.5 / 3);
    EXPECT_EQ(grainReferenceArea(9, 4, y, A), 4);
    // No curve, or no burnt distance to average over: the initial area.
    for (int rule = 0; rule <= 4; ++rule) {
        EXPECT_EQ(grainReferenceArea(rule, 7, {}, {}), 7) << rule;
    }
    EXPECT_EQ(grainReferenceArea(4, 7, {0, 0}, {7, 7}), 7);
}

TEST_F(OptimisationTest, GrainSelectionFillsThePanelsRecord)
{
    RocketVariables record;
    flagsL = code::L09 | code::L08;
    grainA = {0.03, 0.05, 0.04, 0.04, 0.04, 0.04, 0.02};
    OPT_AREA = 3;
    EXPECT_EQ(selectOptimisationGrain("G", record).value, GrainSelection::Loaded);
    EXPECT_FALSE(flagRaised(flagsL, code::L09)); // cleared before the load
    EXPECT_TRUE(flagRaised(flagsL, code::L08)); // not the grain's
    EXPECT_EQ(record.burnPoints, 7u);
    EXPECT_EQ(record.burnDistance, kGrainY);
    EXPECT_TRUE(record.isGrain);
    EXPECT_EQ(record.burnIsp.size(), 7u);
    EXPECT_EQ(record.burnRate.size(), 7u);
    EXPECT_EQ(record.combustionArea, 0.05); // the largest area

    grainCodesToRaise = code::L09;
    EXPECT_EQ(selectOptimisationGrain("G", record).value, GrainSelection::Critical);
    grainCodesToRaise = 0;
    grainResult = -1;
    EXPECT_EQ(selectOptimisationGrain("G", record).value, GrainSelection::Deselect);
}

TEST_F(OptimisationTest, PropellantSelectionClearsItsCodesFirst)
{
    flagsL = code::L05 | code::L09;
    PropellantSelection s = selectOptimisationPropellant("PG");
    EXPECT_FALSE(s.critical);
    ASSERT_NE(s.mixture, nullptr);
    EXPECT_EQ(flagsL.load(), code::L09); // only the propellant codes are cleared
    EXPECT_EQ(propellantsAsked, std::vector<std::string>{"PG"});
    propellantCodesToRaise = code::L02;
    s = selectOptimisationPropellant("PG");
    EXPECT_TRUE(s.critical);
}

TEST_F(OptimisationTest, StartChecksRunInOrder)
{
    struct Case {
        const char* label;
        std::function<void(OptimisationForm&, OptimisationTest&)> edit;
        QString message; // empty: starts
    };
    const std::vector<Case> cases = {
            {"valid thrust", [](OptimisationForm&, OptimisationTest&) {}, ""},
            {"no propellant beats everything",
             [](OptimisationForm& f, OptimisationTest& t) {
                 f.propellantIndex = -1;
                 f.grainIndex = -1;
                 f.ambient = "x";
                 t.nozzleOk = false;
                 flagsL = code::L09;
             },
             "A propellant must be selected"},
            {"propellant code", [](OptimisationForm&, OptimisationTest&) { flagsL = code::L04; },
             "A critical error occured in propellant definition"},
            {"no grain", [](OptimisationForm& f, OptimisationTest&) { f.grainIndex = -1; }, "A grain must be selected"},
            {"grain code", [](OptimisationForm&, OptimisationTest&) { flagsL = code::L09; },
             "A critical error occured in grain definition"},
            {"no nozzle", [](OptimisationForm&, OptimisationTest& t) { t.nozzleOk = false; },
             "A full nozzle definition is requiered for optimization"},
            {"ambient not a number", [](OptimisationForm& f, OptimisationTest&) { f.ambient = "x"; },
             "Invalid ambient pressure"},
            {"ambient negative", [](OptimisationForm& f, OptimisationTest&) { f.ambient = "-1"; },
             "Invalid ambient pressure"},
            // The maximisations adapt their exit, and no exit expands the gas to vacuum.
            {"ambient zero", [](OptimisationForm& f, OptimisationTest&) { f.ambient = "0"; },
             "Invalid ambient pressure"},
            {"ambient zero for a throat alone",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "0";
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "30";
                 f.targetUnit = 2;
                 f.adaptExit = false;
             },
             ""},
            {"thrust ignores the target field", [](OptimisationForm& f, OptimisationTest&) { f.targetValue = "x"; },
             ""},
            {"pressure target zero",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "0";
                 f.minPressure = "x"; // not looked at
             },
             "Invalid optimization target"},
            {"burn time target negative",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::CombustionTime;
                 f.targetValue = "-3";
             },
             "Invalid optimization target"},
            {"burn time target",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::CombustionTime;
                 f.targetValue = "3";
             },
             ""},
            {"minimum pressure", [](OptimisationForm& f, OptimisationTest&) { f.minPressure = "-1"; },
             "Invalid optimization restriction for minimum chamber pressure"},
            {"maximum pressure", [](OptimisationForm& f, OptimisationTest&) { f.maxPressure = ""; },
             "Invalid optimization restriction for maximum chamber pressure"},
            {"minimum above maximum", [](OptimisationForm& f, OptimisationTest&) { f.minPressure = "81"; },
             "Maximum allowable chamber pressure needs to be greater than minimum"},
            {"minimum equal to maximum (8 MPa in two units)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.minPressure = "8";
                 f.minPressureUnit = 0;
             },
             ""},
            {"minimum throat radius", [](OptimisationForm& f, OptimisationTest&) { f.minThroatRadius = "r"; },
             "Invalid optimization restriction for minimum throat radius"},
            // The entrance radius is 25 mm.
            {"minimum throat radius at the entrance",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.minThroatRadius = "2.5001";
                 f.minThroatRadiusUnit = 1;
             },
             "Minimum throat radius must be smaller than nozzle's entrance radius"},
            {"minimum throat radius inside the entrance",
             [](OptimisationForm& f, OptimisationTest&) { f.minThroatRadius = "24.99"; }, ""},
            // Each value within the range a run of the calculation tab allows it, in SI.
            {"ambient 1e308 atm", [](OptimisationForm& f, OptimisationTest&) { f.ambient = "1e308"; },
             "Invalid ambient pressure"},
            {"ambient 1e10 Pa (1e5 bar)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "1e5";
                 f.ambientUnit = 2;
             },
             "Invalid ambient pressure"},
            {"ambient 9.9e4 bar",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "9.9e4";
                 f.ambientUnit = 2;
             },
             ""},
            {"ambient with a decimal comma", [](OptimisationForm& f, OptimisationTest&) { f.ambient = "1,5"; },
             "Invalid ambient pressure"},
            {"pressure target 1e6 MPa (1e12 Pa)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1e6";
             },
             "Invalid optimization target"},
            {"pressure target 1e4 MPa (1e10 Pa)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1e4";
             },
             "Invalid optimization target"},
            {"pressure target 1e-6 MPa (1 Pa)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1e-6";
             },
             "Invalid optimization target"},
            {"pressure target 1e-300 MPa",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1e-300";
             },
             "Invalid optimization target"},
            {"pressure target 1e-5 bar (1 Pa)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1e-5";
                 f.targetUnit = 2;
             },
             "Invalid optimization target"},
            {"pressure target 9999 MPa",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "9999";
             },
             ""},
            // No gas leaves a chamber that is not above the ambient (2 bar = 0.2 MPa).
            {"pressure target equal to the ambient",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "2";
                 f.ambientUnit = 2;
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "0.2";
             },
             "Invalid optimization target"},
            {"pressure target below the ambient",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "2";
                 f.ambientUnit = 2;
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "0.15";
             },
             "Invalid optimization target"},
            {"pressure target above the ambient",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.ambient = "2";
                 f.ambientUnit = 2;
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "0.21";
             },
             ""},
            {"pressure target 1,5 bar",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::ChamberPressure;
                 f.targetValue = "1,5";
                 f.targetUnit = 2;
             },
             "Invalid optimization target"},
            {"burn time target 1e308 s",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::CombustionTime;
                 f.targetValue = "1e308";
             },
             "Invalid optimization target"},
            {"burn time target 10001 s",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::CombustionTime;
                 f.targetValue = "10001";
             },
             "Invalid optimization target"},
            {"burn time target 1e7 ms (1e4 s)",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.target = optTarget::CombustionTime;
                 f.targetValue = "1e7";
                 f.targetUnit = 1;
             },
             ""},
            {"minimum pressure 1e308 bar", [](OptimisationForm& f, OptimisationTest&) { f.minPressure = "1e308"; },
             "Invalid optimization restriction for minimum chamber pressure"},
            {"minimum pressure 1e-300 bar", [](OptimisationForm& f, OptimisationTest&) { f.minPressure = "1e-300"; },
             "Invalid optimization restriction for minimum chamber pressure"},
            {"minimum pressure 0 leaves the range open",
             [](OptimisationForm& f, OptimisationTest&) { f.minPressure = "0"; }, ""},
            {"maximum pressure 1e308 bar", [](OptimisationForm& f, OptimisationTest&) { f.maxPressure = "1e308"; },
             "Invalid optimization restriction for maximum chamber pressure"},
            {"both pressures 1e308 bar",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.minPressure = "1e308";
                 f.maxPressure = "1e308";
             },
             "Invalid optimization restriction for minimum chamber pressure"},
            {"maximum pressure 1e5 bar (1e10 Pa)",
             [](OptimisationForm& f, OptimisationTest&) { f.maxPressure = "1e5"; },
             "Invalid optimization restriction for maximum chamber pressure"},
            {"maximum pressure 0",
             [](OptimisationForm& f, OptimisationTest&) {
                 f.minPressure = "0";
                 f.maxPressure = "0";
             },
             "Invalid optimization restriction for maximum chamber pressure"},
            {"area ratio below 1", [](OptimisationForm& f, OptimisationTest&) { f.minAreaRatio = "0.99"; },
             "Invalid optimization restriction for exit and throat area relation"},
            {"area ratio 1", [](OptimisationForm& f, OptimisationTest&) { f.minAreaRatio = "1.0"; }, ""},
            {"another load code", [](OptimisationForm&, OptimisationTest&) { flagsL = code::L08; },
             "Critical errors prior to calculations, process aborted"},
            {"unit code", [](OptimisationForm&, OptimisationTest&) { unitFlag = 1; },
             "Critical errors prior to calculations, process aborted"},
    };
    for (const Case& c : cases) {
        flagsL = 0;
        unitFlag = 0;
        nozzleOk = true;
        OptimisationForm form = thrustForm();
        c.edit(form, *this);
        RocketVariables run;
        const OptimisationStart s = prepareOptimisation(form, steps(), nozzle, run);
        EXPECT_EQ(s.refusal, c.message) << c.label;
        EXPECT_EQ(s.started(), c.message.isEmpty()) << c.label;
    }
    // The informative text of the critical-code refusals, and the shell asked to show the codes.
    flagsL = code::L04;
    RocketVariables run;
    OptimisationStart s = prepareOptimisation(thrustForm(), steps(), nozzle, run);
    EXPECT_EQ(s.informative, "Please check active flags for further detail");
    flagsL = code::L08;
    s = prepareOptimisation(thrustForm(), steps(), nozzle, run);
    EXPECT_TRUE(s.reportFlags);
    // A burn law that cannot be loaded ends the start without a box of its own.
    flagsL = 0;
    burnLawOk = false;
    s = prepareOptimisation(thrustForm(), steps(), nozzle, run);
    EXPECT_FALSE(s.started());
    EXPECT_TRUE(s.silent);
    EXPECT_TRUE(s.refusal.isEmpty());
}

TEST_F(OptimisationTest, TheRunsRecordHoldsTheNozzleAndTheRestrictionsInSI)
{
    // A nozzle with no station exactly at x = 0: the throat is the nearest one.
    CurrentNozzle odd;
    odd.x = {-20, -10, 0.5, 10, 20};
    odd.R = {20, 10, 5, 8, 12};
    for (double r : odd.R)
        odd.A.push_back(3.141592 * r * r);
    odd.unitIndex = 1; // cm
    odd.throatDiameter = 10;
    odd.throatCurvatureRadius = 1;
    RocketVariables run;
    OptimisationForm form = thrustForm();
    form.target = optTarget::SpecificImpulse;
    const OptimisationStart s = prepareOptimisation(form, steps(), odd, run);
    ASSERT_TRUE(s.started()) << s.refusal.toStdString();
    EXPECT_EQ(run.stationCount, 5u);
    EXPECT_EQ(run.throatIndex, 2u);
    EXPECT_DOUBLE_EQ(run.x[0], -0.2);
    EXPECT_DOUBLE_EQ(run.area[4], 3.141592 * 144 * 1e-4);
    EXPECT_EQ(run.T.size(), 5u); // the station vectors follow the count
    EXPECT_DOUBLE_EQ(run.throatDiameter, 0.1);
    EXPECT_DOUBLE_EQ(run.ambientPressure, 101325);
    EXPECT_DOUBLE_EQ(run.optMinPressure, 1e6);
    EXPECT_DOUBLE_EQ(run.optMaxPressure, 8e6);
    EXPECT_DOUBLE_EQ(run.optMinThroatRadius, 1e-3);
    EXPECT_DOUBLE_EQ(run.optMinAreaRatio, 1.2);
    EXPECT_EQ(run.optTarget, 3); // specific impulse
    EXPECT_EQ(run.propellantDensity, pg::RHO_P);
    EXPECT_EQ(s.member, OptimisationMember::Performance);
    EXPECT_EQ(s.lengthUnit, 1);
}

// Each target on the perfect-gas propellant, through the member the start chose.
TEST_F(OptimisationTest, EachTargetReachesItsTarget)
{
    const std::shared_ptr<Mixture> mixture = selectOptimisationPropellant("PG").mixture;
    auto runTarget = [&](const OptimisationForm& form, std::shared_ptr<RocketVariables> record) {
        const OptimisationStart s = prepareOptimisation(form, steps(), nozzle, *record);
        EXPECT_TRUE(s.started()) << s.refusal.toStdString();
        ODE ode(mixture, record, false, false);
        EXPECT_TRUE(optimisationMember(s.member)(ode));
        return s;
    };
    auto diameterMm = [](double area) { return 2000.0 * std::sqrt(area / 3.141592); };

    // Chamber pressure 30 bar: the throat through which the grain's 0.04 m^2 balances
    // at 3 MPa; the exit adapted to 1 atm.
    {
        OptimisationForm f = thrustForm();
        f.target = optTarget::ChamberPressure;
        f.targetValue = "30";
        f.targetUnit = 2;
        auto record = grainRecord();
        runTarget(f, record);
        nozzle_test::expectRelative(record->throatArea, pg::balancedThroat(0.04, 3e6), 1e-4, "throat");
        nozzle_test::expectRelative(record->exitArea / record->throatArea,
                                    pg::areaRatio(pg::expansionMach(3e6, 101325)), 1e-3, "adapted exit");
        const OptimisationWriteBack w = optimisationWriteBack(0, *record, 0, 2, true);
        EXPECT_NEAR(w.throatDiameter, diameterMm(pg::balancedThroat(0.04, 3e6)), 1e-3);
        ASSERT_TRUE(w.exitDiameter.has_value());
        EXPECT_FALSE(w.targetValue.has_value());
        // Without adaptation now, only the throat is written back.
        EXPECT_FALSE(optimisationWriteBack(0, *record, 0, 2, false).exitDiameter.has_value());
    }
    // Combustion time 3 s: the constant-area grain burns 12 mm at the mean rate 4 mm/s,
    // the pressure of that rate balances through the sized throat; the run's combustion
    // time is within OPT_TOL of the target.
    {
        OptimisationForm f = thrustForm();
        f.target = optTarget::CombustionTime;
        f.targetValue = "3000";
        f.targetUnit = 1; // ms
        f.adaptExit = false;
        auto record = grainRecord();
        runTarget(f, record);
        EXPECT_LT(std::fabs(record->burnTimes.back() - 3.0) / 3.0, OPT_TOL);
        const double pc = std::pow(0.012 / 3.0 / pg::LAW_A, 1.0 / pg::LAW_N);
        nozzle_test::expectRelative(record->throatArea, pg::balancedThroat(0.04, pc), 1e-3, "throat");
    }
    // Specific impulse between 10 and 80 bar: the perfect gas expands best from the top
    // of the range; the optimum comes back in km/s, the diameters in cm.
    {
        OptimisationForm f = thrustForm();
        f.target = optTarget::SpecificImpulse;
        f.minAreaRatio = "1";
        auto record = grainRecord();
        runTarget(f, record);
        EXPECT_LT(std::fabs(record->throatArea / pg::balancedThroat(0.04, 8e6) - 1.0), 0.5 * OPT_TOL + 1e-4);
        nozzle_test::expectRelative(record->optBestValue, pg::velocityAt(pg::expansionMach(8e6, 101325)), 2e-3,
                                    "best Isp");
        const OptimisationWriteBack w = optimisationWriteBack(4, *record, 1, 1, false);
        ASSERT_TRUE(w.targetValue.has_value());
        EXPECT_DOUBLE_EQ(*w.targetValue, record->optBestValue / 1000);
        EXPECT_NEAR(w.throatDiameter, diameterMm(record->throatArea) / 10, 1e-9);
        ASSERT_TRUE(w.exitDiameter.has_value()); // always for a maximisation
        EXPECT_NEAR(*w.exitDiameter, diameterMm(record->exitArea) / 10, 1e-9);
    }
}

TEST(OptimisationWriteBack, TargetUnits)
{
    RocketVariables r;
    r.optBestValue = 9810;
    r.throatArea = 3.141592e-4; // 20 mm diameter
    r.exitArea = 4 * 3.141592e-4;
    EXPECT_DOUBLE_EQ(*optimisationWriteBack(1, r, 0, 1, false).targetValue, 9.81); // kN
    EXPECT_DOUBLE_EQ(*optimisationWriteBack(1, r, 0, 2, false).targetValue, 1000); // kgf
    EXPECT_DOUBLE_EQ(*optimisationWriteBack(3, r, 0, 0, false).targetValue, 9810); // N s
    const OptimisationWriteBack w = optimisationWriteBack(2, r, 3, 0, true);
    EXPECT_DOUBLE_EQ(w.throatDiameter, 0.02);
    EXPECT_DOUBLE_EQ(*w.exitDiameter, 0.04);
}

TEST(AbortButtonTimers, ALeftOverTimerDoesNotTurnALaterRunsButton)
{
    AbortButtonTimers timers;
    timers.started(); // first run; it ends before its timer fires
    timers.started(); // second run
    EXPECT_FALSE(timers.fired(true)); // the first run's timer
    EXPECT_EQ(timers.pending(), 1);
    EXPECT_TRUE(timers.fired(true)); // the second run's own timer
    EXPECT_EQ(timers.pending(), 0);
    timers.started();
    EXPECT_FALSE(timers.fired(false)); // the run ended before its timer
    EXPECT_EQ(timers.pending(), 0);
}
