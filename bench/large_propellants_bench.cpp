// Speed of whole equilibrium cases on large propellants (bench/large_propellants.h):
// kerosene/liquid oxygen (every C-H-O product of the NASA file) and ammonium
// perchlorate/aluminium/binder (every product of its six elements, condensed alumina
// among them). One case: chamber, throat and three supersonic stations; the chamber
// alone is measured too.
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/iac_run.h"
#include "bench/large_propellants.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"

namespace {

large_propellants::Propellant propellantOf(int64_t index)
{
    return index == 0 ? large_propellants::kerosene() : large_propellants::composite();
}

void BM_LargeWholeCase(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    const auto p = propellantOf(state.range(0));
    auto m = large_propellants::mixture(p);
    m->setReactantEnthalpy(298.15);
    auto rv = large_propellants::wholeCase(p.chamberPressure);
    ODE ode(m, rv, false, false);
    timeIacRuns(state, ode, *rv);
    state.counters["species"] = m->nSpecies;
    setEngineMessageHandler({});
}
// 0: kerosene/oxygen; 1: ammonium perchlorate/aluminium/binder.
BENCHMARK(BM_LargeWholeCase)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_LargeChamberSolve(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    const auto p = propellantOf(state.range(0));
    auto m = large_propellants::mixture(p);
    m->setReactantEnthalpy(298.15);
    bool ok = true;
    for (auto _ : state) {
        m->reset();
        double T = 3800.0;
        ok = m->solveEquilibrium(T, p.chamberPressure, true) && ok;
        benchmark::DoNotOptimize(T);
    }
    if (!ok)
        state.SkipWithError("chamber failed");
    setEngineMessageHandler({});
}
BENCHMARK(BM_LargeChamberSolve)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
