// The optimisation panel's run without its window: a start refused at its first failing
// check, in order, without touching the panel's record; a run on a worker thread whose
// results come back for the form while the panel's record and target change meanwhile;
// the abort, whose result is discarded; and the end of the panel during a run, which
// stops and joins the run's thread.
#include <cmath>
#include <memory>

#include <QObject>
#include <QPointer>
#include <QThread>

#include "../../engine/support/worker_run.h"
#include "core/calculation_activity.h"
#include "nozzle/optimisation_model.h"
#include "optimisation_fixture.h"

namespace pg = perfect_gas;

namespace {

class OptimisationModelTest : public optimisation_test::OptimisationTest {
protected:
    // The model with the propellant "PG" and the grain "G" chosen.
    std::unique_ptr<OptimisationModel> selectedModel()
    {
        auto model = std::make_unique<OptimisationModel>();
        EXPECT_FALSE(model->selectPropellant("PG").value);
        EXPECT_EQ(model->selectGrain("G").value, GrainSelection::Loaded);
        return model;
    }
    PreparedOptimisation prepare(const OptimisationModel& model, const OptimisationForm& form)
    {
        return model.prepareRun(
                form,
                [this] {
                    ++rebuilds;
                    return nozzleOk;
                },
                nozzle);
    }
    // Starts the prepared run and waits (bounded) until it has reported and its thread is gone.
    bool runToEnd(OptimisationModel& model, PreparedOptimisation run, const std::function<void()>& whileRunning = {})
    {
        QObject context;
        bool reported = false;
        QPointer<QThread> thread = model.startRun(std::move(run), &context, [&](bool success) {
            reported = true;
            result = success;
        });
        if (whileRunning)
            whileRunning();
        return worker_run::waitFor([&] { return reported && thread.isNull(); }, 60000);
    }
    static OptimisationForm pressureForm()
    {
        OptimisationForm f = thrustForm();
        f.target = optTarget::ChamberPressure;
        f.targetValue = "30";
        f.targetUnit = 2; // bar
        return f;
    }
    static double diameterMm(double area) { return 2000.0 * std::sqrt(area / 3.141592); }

    int rebuilds = 0;
    bool result = false;
};

} // namespace

TEST_F(OptimisationModelTest, RefusalsComeBackInOrderAndTheStartTouchesOnlyItsOwnRecord)
{
    OptimisationModel model;
    ASSERT_EQ(model.selectGrain("G").value, GrainSelection::Loaded);
    const RocketVariables panelBefore = *model.optRecord;

    // No propellant chosen in the list: refused before the nozzle is rebuilt.
    OptimisationForm form = thrustForm();
    form.propellantIndex = -1;
    PreparedOptimisation p = prepare(model, form);
    EXPECT_FALSE(p.ready());
    EXPECT_EQ(p.start.refusal, "A propellant must be selected");
    EXPECT_EQ(rebuilds, 0);

    // Listed, but no mixture was ever loaded: every check passes (the nozzle is rebuilt),
    // and the start is refused last as a propellant error.
    p = prepare(model, thrustForm());
    EXPECT_FALSE(p.ready());
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(p.start.refusal, "A critical error occured in propellant definition");
    EXPECT_EQ(p.start.informative, "Please check active flags for further detail");
    EXPECT_FALSE(p.start.reportFlags);

    // A burn law the loader cannot give: refused without a refusal text (the loader's box,
    // handed back with the start, says why) and before the nozzle.
    ASSERT_FALSE(model.selectPropellant("PG").value);
    const auto burnLaw = optimisationProviders().burnLaw;
    optimisationProviders().burnLaw = [](const std::string&, double&, auto&, auto&, auto&, ViewMessages* refusals) {
        refusals->push_back(ViewMessage{untitledRequest(Msg::Critical, "no burn law"), true});
        return false;
    };
    p = prepare(model, thrustForm());
    optimisationProviders().burnLaw = burnLaw;
    EXPECT_FALSE(p.ready());
    EXPECT_TRUE(p.start.silent);
    EXPECT_TRUE(p.start.refusal.isEmpty());
    ASSERT_EQ(p.start.messages.size(), 1u);
    EXPECT_EQ(p.start.messages[0].box.text, "no burn law");
    EXPECT_TRUE(p.start.messages[0].parentless);
    EXPECT_EQ(rebuilds, 1);

    // Ready: the run's record is a copy holding the nozzle and the restrictions; the
    // panel's record has none of it.
    form = thrustForm();
    form.nozzleType = 1;
    p = prepare(model, form);
    ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
    EXPECT_NE(p.record, model.optRecord);
    EXPECT_EQ(p.record->stationCount, 100u);
    EXPECT_DOUBLE_EQ(p.record->optMaxPressure, 8e6);
    EXPECT_EQ(p.record->burnDistance, optimisation_test::kGrainY);
    EXPECT_EQ(p.nozzleType, 1);
    EXPECT_EQ(p.target, optTarget::Thrust);
    EXPECT_EQ(model.optRecord->stationCount, panelBefore.stationCount);
    EXPECT_EQ(model.optRecord->x, panelBefore.x);
    EXPECT_EQ(model.optRecord->optMaxPressure, panelBefore.optMaxPressure);
    EXPECT_EQ(model.optRecord->propellantDensity, panelBefore.propellantDensity);
    EXPECT_FALSE(model.running());
}

TEST_F(OptimisationModelTest, ARunLeavesItsResultsForTheFormWhateverThePanelDoesMeanwhile)
{
    auto model = selectedModel();
    OptimisationForm form = pressureForm();
    form.nozzleType = 1;
    PreparedOptimisation p = prepare(*model, form);
    ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
    flagsSP = code::SP03; // an earlier run's warning: cleared at the start
    ASSERT_TRUE(runToEnd(*model, std::move(p), [&] {
        EXPECT_EQ(flagsSP.load(), 0u);
        EXPECT_TRUE(model->running());
        EXPECT_EQ(calculationsRunning(), 1);
        EXPECT_DOUBLE_EQ(model->targetValue(), 3e6);
        // A grain of twice the area and a new target while the run goes on: the panel's
        // record changes, the run's does not.
        grainA.assign(7, 0.08);
        EXPECT_EQ(model->selectGrain("G").value, GrainSelection::Loaded);
        model->targetChanged();
    }));
    EXPECT_TRUE(result);
    EXPECT_TRUE(model->running()); // until the view has taken the run back

    const OptimisationCompletion done = model->finishRun(result, {optTarget::ChamberPressure, 0, true});
    EXPECT_EQ(done.outcome, OptimisationOutcome::Succeeded);
    EXPECT_FALSE(model->running());
    EXPECT_EQ(calculationsRunning(), 0);
    EXPECT_EQ(done.nozzleType, 1);
    // The throat of the 0.04 m^2 grain balancing at 3 MPa, in mm, the unit of the start.
    EXPECT_NEAR(done.writeBack.throatDiameter / diameterMm(pg::balancedThroat(0.04, 3e6)), 1.0, 1e-4);
    ASSERT_TRUE(done.writeBack.exitDiameter.has_value()); // check_OptAdapt on when it came back
    EXPECT_NEAR(std::pow(*done.writeBack.exitDiameter / done.writeBack.throatDiameter, 2)
                        / pg::areaRatio(pg::expansionMach(3e6, 101325)),
                1.0, 1e-3);
    EXPECT_FALSE(done.writeBack.targetValue.has_value()); // a required value is not a result
    // The panel's record takes the sizing; its grain stays the one chosen meanwhile.
    EXPECT_NEAR(model->optRecord->throatArea / pg::balancedThroat(0.04, 3e6), 1.0, 1e-4);
    EXPECT_EQ(model->optRecord->combustionArea, 0.08);
    EXPECT_EQ(abortFlag.load(), 0);
}

TEST_F(OptimisationModelTest, TheOptimumGoesToTheFormOnlyUnderTheTargetOfTheRun)
{
    auto model = selectedModel();
    OptimisationForm form = thrustForm();
    form.target = optTarget::SpecificImpulse;
    form.minAreaRatio = "1";
    for (const int targetNow : {optTarget::SpecificImpulse, optTarget::Thrust}) {
        SCOPED_TRACE(targetNow);
        PreparedOptimisation p = prepare(*model, form);
        ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
        ASSERT_TRUE(runToEnd(*model, std::move(p)));
        const OptimisationCompletion done = model->finishRun(result, {targetNow, 1, false}); // km/s
        ASSERT_EQ(done.outcome, OptimisationOutcome::Succeeded);
        // Best specific impulse of the adapted perfect-gas nozzle: expanded from the top
        // of the pressure range, 8 MPa, to 1 atm.
        const double best = pg::velocityAt(pg::expansionMach(8e6, 101325));
        EXPECT_NEAR(model->bestValue() / best, 1.0, 2e-3);
        EXPECT_TRUE(done.writeBack.exitDiameter.has_value()); // always for a maximisation
        if (targetNow == optTarget::SpecificImpulse) {
            ASSERT_TRUE(done.writeBack.targetValue.has_value());
            EXPECT_DOUBLE_EQ(*done.writeBack.targetValue, model->bestValue() / 1000);
        } else {
            EXPECT_FALSE(done.writeBack.targetValue.has_value());
        }
    }
}

TEST_F(OptimisationModelTest, AnAbortDiscardsTheRunAndClearsTheByte)
{
    auto model = selectedModel();
    EXPECT_FALSE(model->requestAbort()); // nothing to stop
    EXPECT_EQ(abortFlag.load(), 0);

    OptimisationForm form = thrustForm();
    form.target = optTarget::CombustionTime;
    form.targetValue = "3";
    const double throatBefore = model->optRecord->throatArea;
    PreparedOptimisation p = prepare(*model, form);
    ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
    ASSERT_TRUE(runToEnd(*model, std::move(p), [&] {
        EXPECT_TRUE(model->requestAbort());
        EXPECT_EQ(abortFlag.load(), 1);
    }));
    EXPECT_FALSE(result); // the burn-time search stopped at the byte
    const OptimisationCompletion done = model->finishRun(result, {optTarget::CombustionTime, 0, true});
    EXPECT_EQ(done.outcome, OptimisationOutcome::Aborted);
    EXPECT_EQ(abortFlag.load(), 0);
    EXPECT_EQ(model->optRecord->throatArea, throatBefore);
    EXPECT_FALSE(model->running());
    EXPECT_EQ(calculationsRunning(), 0);

    // A run whose solver finds nothing is a failure, not an abort.
    const uint32_t iterations = MAX_ITER_EQ;
    MAX_ITER_EQ = 0;
    p = prepare(*model, pressureForm());
    ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
    const bool reached = runToEnd(*model, std::move(p));
    MAX_ITER_EQ = iterations;
    ASSERT_TRUE(reached);
    EXPECT_EQ(model->finishRun(result, {optTarget::ChamberPressure, 0, true}).outcome, OptimisationOutcome::Failed);
    EXPECT_EQ(model->optRecord->throatArea, throatBefore);
}

TEST_F(OptimisationModelTest, EndingThePanelDuringARunStopsTheRunAndJoinsItsThread)
{
    auto model = selectedModel();
    OptimisationForm form = thrustForm();
    form.target = optTarget::CombustionTime;
    form.targetValue = "3";
    PreparedOptimisation p = prepare(*model, form);
    ASSERT_TRUE(p.ready()) << p.start.refusal.toStdString();
    auto context = std::make_unique<QObject>();
    bool reported = false;
    QPointer<QThread> thread = model->startRun(std::move(p), context.get(), [&reported](bool) { reported = true; });
    ASSERT_FALSE(thread.isNull());
    EXPECT_EQ(model->runThread(), thread.data());
    // The panel goes (with the window that would have taken the report).
    model.reset();
    context.reset();
    ASSERT_FALSE(thread.isNull()); // its deletion waits for the event loop
    EXPECT_TRUE(thread->isFinished());
    EXPECT_EQ(abortFlag.load(), 0);
    EXPECT_EQ(calculationsRunning(), 0);
    EXPECT_TRUE(worker_run::waitFor([&] { return thread.isNull(); }, 10000));
    EXPECT_FALSE(reported);
}

namespace {

// The published potassium nitrate / sucrose burn law (R. Nakka), pressures in MPa and a
// in mm/s: {lower, upper, a, n}. In SI a (m/s, p in Pa) is a 1e-3 (1e-6)^n.
struct Interval {
    double lower, upper, a, n;
};
const Interval kKnsu[] = {{0.103, 0.779, 10.708, 0.625},
                          {0.779, 2.572, 8.763, -0.314},
                          {2.572, 5.930, 7.852, -0.013},
                          {5.930, 8.502, 3.907, 0.535},
                          {8.502, 11.20, 9.653, 0.064}};
double siA(const Interval& i)
{
    return i.a * 1e-3 * std::pow(1e-6, i.n);
}

} // namespace

// A pressure target with the five-interval law on the perfect gas (one c* at every
// pressure), the grain's 0.04 m^2 as reference area. Worked by hand: the throat for the
// target p_t in interval k is At = Ab rho a_k p_t^n_k c*/p_t; on it, interval j balances
// at p_j = (Ab/At rho a_j c*)^(1/(1 - n_j)) when that lies in j, and a limit where the
// rate steps down holds the chamber when the law below balances above it and the law
// above below it. A chamber filling from 1 atm stops at the lowest of these: the target
// is met when that is the target, else refused naming it, and no nozzle is written.
TEST_F(OptimisationModelTest, PressureTargetsAreMetOrRefusedWithThePressureReached)
{
    optimisationProviders().burnLaw
            = [](const std::string&, double& rho, auto& limits, auto& a, auto& n, ViewMessages*) {
                  rho = pg::RHO_P;
                  limits.clear();
                  a.clear();
                  n.clear();
                  for (const Interval& i : kKnsu) {
                      limits.emplace_back(i.lower * 1e6, i.upper * 1e6);
                      a.push_back(siA(i));
                      n.push_back(i.n);
                  }
                  return true;
              };
    const double Ab = 0.04, cStar = pg::cStar();
    auto reachedFromIgnition = [&](double target) {
        std::size_t k = 0;
        while (k + 1 < std::size(kKnsu) && target >= kKnsu[k + 1].lower * 1e6)
            ++k;
        const double At = Ab * pg::RHO_P * siA(kKnsu[k]) * std::pow(target, kKnsu[k].n) * cStar / target;
        double lowest = 1e300;
        for (std::size_t j = 0; j < std::size(kKnsu); ++j) {
            const double lower = j == 0 ? 0.0 : kKnsu[j].lower * 1e6;
            const double upper = j + 1 == std::size(kKnsu) ? 1e300 : kKnsu[j + 1].lower * 1e6;
            const double pj = std::pow(Ab / At * pg::RHO_P * siA(kKnsu[j]) * cStar, 1.0 / (1.0 - kKnsu[j].n));
            if (pj >= lower && pj < upper && pj > 101325.0)
                lowest = std::min(lowest, pj);
            if (j > 0) {
                const double below
                        = std::pow(Ab / At * pg::RHO_P * siA(kKnsu[j - 1]) * cStar, 1.0 / (1.0 - kKnsu[j - 1].n));
                if (below > lower && pj < lower)
                    lowest = std::min(lowest, lower);
            }
        }
        return std::pair{lowest, At};
    };
    int met = 0, refused = 0;
    for (const char* target : {"5", "8", "8.5", "9"}) {
        SCOPED_TRACE(target);
        const double pt = std::stod(target) * 1e6;
        const auto [reached, At] = reachedFromIgnition(pt);
        auto model = selectedModel();
        OptimisationForm form = pressureForm();
        form.targetValue = target;
        form.targetUnit = 0; // MPa
        form.adaptExit = false;
        const double throatBefore = model->optRecord->throatArea;
        ASSERT_TRUE(runToEnd(*model, prepare(*model, form)));
        const OptimisationCompletion done = model->finishRun(result, {optTarget::ChamberPressure, 0, false});
        if (std::fabs(reached / pt - 1.0) < 1e-6) {
            ++met;
            ASSERT_EQ(done.outcome, OptimisationOutcome::Succeeded) << done.reason.toStdString();
            EXPECT_NEAR(done.writeBack.throatDiameter, diameterMm(At), 1e-6 * diameterMm(At));
        } else {
            ++refused;
            ASSERT_LT(reached, pt);
            EXPECT_EQ(done.outcome, OptimisationOutcome::Failed);
            EXPECT_TRUE(done.reason.contains(QString("settles at %1 Mpa").arg(QString::number(reached / 1e6, 'g', 4))))
                    << done.reason.toStdString() << " against " << reached;
            EXPECT_EQ(model->optRecord->throatArea, throatBefore) << "no nozzle is written";
        }
    }
    // The law gives both outcomes among these targets.
    EXPECT_GT(met, 0);
    EXPECT_GT(refused, 0);
}

// An exit adapted to an ambient pressure at or near 0: refused at the start with why
// (vacuum), or after the run with why (no finite exit, or one beyond any nozzle); the
// panel writes nothing.
TEST_F(OptimisationModelTest, AnExitAdaptedToNearlyNoAmbientPressureIsRefusedWithWhy)
{
    auto model = selectedModel();
    OptimisationForm form = pressureForm();
    form.adaptExit = true;
    form.ambient = "0";
    PreparedOptimisation p = prepare(*model, form);
    EXPECT_FALSE(p.ready());
    EXPECT_EQ(p.start.refusal, "Invalid ambient pressure");
    EXPECT_TRUE(p.start.informative.contains("vacuum")) << p.start.informative.toStdString();
    // Without an adapted exit a vacuum is a fine ambient pressure.
    form.adaptExit = false;
    EXPECT_TRUE(prepare(*model, form).ready());
    // The maximisations always adapt their exit.
    OptimisationForm thrust = thrustForm();
    thrust.ambient = "0";
    EXPECT_EQ(prepare(*model, thrust).start.refusal, "Invalid ambient pressure");

    // 1e-300 atm: the exit that expands 3 MPa down to it is some 1e240 throats wide, or
    // no finite number at all.
    form.adaptExit = true;
    form.ambient = "1e-300";
    const double throatBefore = model->optRecord->throatArea;
    ASSERT_TRUE(runToEnd(*model, prepare(*model, form)));
    const OptimisationCompletion done = model->finishRun(result, {optTarget::ChamberPressure, 2, true});
    EXPECT_EQ(done.outcome, OptimisationOutcome::Failed);
    EXPECT_TRUE(done.reason.contains("ambient pressure is to 0")) << done.reason.toStdString();
    EXPECT_EQ(model->optRecord->throatArea, throatBefore);
}
