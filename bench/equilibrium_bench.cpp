// Speed of the equilibrium solves of a run: the chamber (h,p) solve from the initial
// estimate and a nozzle-station (s,p) solve started from the previous station's state,
// on the hydrogen/oxygen rocket case.
#include <benchmark/benchmark.h>

#include "engine/engine_messages.h"
#include "tests/engine/test_mixtures.h"

namespace {
const double PC = 53.3172e5;

void BM_ChamberSolve(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    for (auto _ : state) {
        m->reset();
        double T = 3800.0;
        bool ok = m->solveEquilibrium(T, PC, true);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(T);
    }
}
BENCHMARK(BM_ChamberSolve)->Unit(benchmark::kMicrosecond);

void BM_ChamberSolveWithProperties(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    for (auto _ : state) {
        m->reset();
        double T = 3800.0;
        m->solveEquilibrium(T, PC, true);
        benchmark::DoNotOptimize(m->characteristicVelocity());
    }
}
BENCHMARK(BM_ChamberSolveWithProperties)->Unit(benchmark::kMicrosecond);

// Consecutive stations: each solve starts from the state the one before left.
void BM_StationSolve(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    m->reset();
    double T = 3800.0;
    m->solveEquilibrium(T, PC, true);
    const double ratios[2] = {state.range(0) / 100.0, state.range(0) / 100.0 * 1.1};
    int k = 0;
    for (auto _ : state) {
        m->enableIons();
        bool ok = m->solveEquilibrium(T, PC / ratios[k], false);
        m->equilibriumProperties(T);
        benchmark::DoNotOptimize(ok);
        k ^= 1;
    }
}
BENCHMARK(BM_StationSolve)->Arg(174)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
} // namespace
