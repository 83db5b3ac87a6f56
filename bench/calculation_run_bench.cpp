// Speed of a whole grain run as the calculation tab starts it (bench/knsu_grain_run.h):
// the checks of the press, the run's copies of the record and the mixture, the solver
// built and its member run to the end.
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/knsu_grain_run.h"
#include "core/flags.h"
#include "engine/engine_messages.h"

namespace {

void BM_GrainRunAsTheTabStartsIt(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    knsu_grain::GrainRun grain;
    if (!grain.error.empty()) {
        state.SkipWithError(grain.error.c_str());
        return;
    }
    std::shared_ptr<RocketVariables> last;
    for (auto _ : state) {
        last = grain.run();
        if (!last) {
            state.SkipWithError("run refused");
            return;
        }
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
    setEngineMessageHandler({});
}
BENCHMARK(BM_GrainRunAsTheTabStartsIt)->Unit(benchmark::kMillisecond);

} // namespace
