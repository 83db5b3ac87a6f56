// Speed of the kinetic nozzle-flow run: the hydrogen/oxygen propellant of the published
// rocket case with the H2/O2 mechanism, 53.3 bar chamber, on a 50-station contour
// (area ratio 4 to 25). Reported per run: the iteration passes and the right-hand-side
// evaluations, whose production rates and species evaluations are most of the cost.
// The same propellant on the starting data set's conical nozzle at 200 to 20,000
// stations.
#include <cstdint>
#include <functional>
#include <memory>

#include <benchmark/benchmark.h>

#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "tests/engine/odk/kinetic_cases.h"
#include "tests/engine/odk/rhs_vectors.h"
#include "tests/engine/odk/starting_nozzle.h"

namespace {

// Times whole kinetic runs of the hydrogen/oxygen propellant (its rates times
// `rateFactor`) on the nozzle `makeNozzle` builds, and reports the passes and the
// right-hand-side evaluations of a run; returns the evaluations.
uint64_t timeKineticRuns(benchmark::State& state, double rateFactor,
                         const std::function<std::shared_ptr<RocketVariables>()>& makeNozzle)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    uint64_t evaluations = 0;
    uint32_t passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto rv = makeNozzle();
        auto m = odk_test::hydrogenOxygenKinetic(rateFactor, true);
        flagsODK = 0;
        auto odk = std::make_unique<ODK>(m, rv, false, false);
        state.ResumeTiming();
        odk->calculateIAC();
        benchmark::DoNotOptimize(rv->T.back());
        evaluations = odk->rhsEvaluations;
        passes = odk->passesDone.load();
        if ((flagsODK.load() & odk_test::ALL_ODK) != 0)
            state.SkipWithError("the kinetic run raised a kinetic code");
    }
    state.counters["passes"] = passes;
    state.counters["rhs_evaluations"] = static_cast<double>(evaluations);
    setEngineMessageHandler({});
    return evaluations;
}

void BM_KineticRunHydrogenOxygen(benchmark::State& state)
{
    const double rateFactor = state.range(0) == 0 ? 1.0 : 1e-6;
    timeKineticRuns(state, rateFactor, [] {
        auto rv = std::make_shared<RocketVariables>();
        odk_test::smoothNozzle(*rv, 15, 34);
        rv->chamberPressure = 53.3172e5;
        return rv;
    });
}
// 0: nominal rates; 1: rates divided by 1e6 (nearly frozen).
BENCHMARK(BM_KineticRunHydrogenOxygen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The starting data set's configuration: the same propellant at 53.3 bar on the conical
// nozzle of exit area ratio 25, on the station count of the argument (200 is the
// stored nozzle's). The cost per station should not grow with the grid.
void BM_KineticRunStartingNozzle(benchmark::State& state)
{
    const auto stations = static_cast<uint32_t>(state.range(0));
    const uint64_t evaluations
            = timeKineticRuns(state, 1.0, [stations] { return odk_test::startingConicalNozzle(stations); });
    state.counters["rhs_per_station"] = static_cast<double>(evaluations) / stations;
}
BENCHMARK(BM_KineticRunStartingNozzle)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One right-hand-side evaluation at a reacting state near the throat (production rates
// of the 27 reactions, one species evaluation, frozen properties).
void BM_KineticRightHandSide(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto rv = std::make_shared<RocketVariables>();
    odk_test::smoothNozzle(*rv, 15, 34);
    auto m = odk_test::hydrogenOxygenKinetic(1.0, true);
    ODK odk(m, rv, false, false);
    odk_test::RhsVectors vectors(m->nSpecies);
    vectors.set({0.15, 0.02, 0.002, 0.003, 0.02, 0.33, 1e-5, 1e-6}, 1200.0, 3100.0, 1.5, 3.0e6);
    // Two temperatures in turn, so that no evaluation reuses the exponentials of the
    // one before.
    sunrealtype* y = N_VGetArrayPointer(vectors.y);
    const sunrealtype temperatures[2] = {y[m->nSpecies + 1], y[m->nSpecies + 1] + 0.5};
    int k = 0;
    for (auto _ : state) {
        y[m->nSpecies + 1] = temperatures[k];
        k ^= 1;
        benchmark::DoNotOptimize(odkRightHandSide(-0.01, vectors.y, vectors.ydot, &odk.userData));
    }
    setEngineMessageHandler({});
}
BENCHMARK(BM_KineticRightHandSide)->Unit(benchmark::kMicrosecond);

} // namespace
