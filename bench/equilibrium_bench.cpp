// Speed of the equilibrium solves of a run: the chamber (h,p) solve from the initial
// estimate and a nozzle-station (s,p) solve started from the previous station's state,
// on the hydrogen/oxygen rocket case.
#include <memory>

#include <benchmark/benchmark.h>

#include "engine/engine_messages.h"
#include "tests/engine/test_mixtures.h"

namespace {
const double PC = 53.3172e5;

// The propellant, with the engine's messages dropped.
std::shared_ptr<Mixture> propellant()
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    return m;
}

// The chamber (h,p) solve from the initial estimate; T is the solved temperature.
bool solveChamber(Mixture& m, double& T)
{
    m.reset();
    T = 3800.0;
    return m.solveEquilibrium(T, PC, true);
}

void BM_ChamberSolve(benchmark::State& state)
{
    auto m = propellant();
    for (auto _ : state) {
        double T = 0.0;
        bool ok = solveChamber(*m, T);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(T);
    }
}
BENCHMARK(BM_ChamberSolve)->Unit(benchmark::kMicrosecond);

void BM_ChamberSolveWithProperties(benchmark::State& state)
{
    auto m = propellant();
    for (auto _ : state) {
        double T = 0.0;
        solveChamber(*m, T);
        benchmark::DoNotOptimize(m->characteristicVelocity());
    }
}
BENCHMARK(BM_ChamberSolveWithProperties)->Unit(benchmark::kMicrosecond);

// Consecutive stations: each solve starts from the state the one before left.
void BM_StationSolve(benchmark::State& state)
{
    auto m = propellant();
    double T = 0.0;
    solveChamber(*m, T);
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
