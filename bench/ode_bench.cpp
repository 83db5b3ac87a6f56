// Speed of a whole equilibrium run with an infinite-area combustor: chamber, throat and
// every station of a 100-station contour (30 convergent, the throat, 69 divergent up to
// an area ratio of 50), on the hydrogen/oxygen rocket case, with the station outputs;
// once without and once with the equilibrium transport properties at every station.
#include <cmath>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/iac_run.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "tests/engine/test_mixtures.h"

namespace {

std::shared_ptr<RocketVariables> hundredStationRun()
{
    auto rv = std::make_shared<RocketVariables>();
    rv->chamberPressure = 53.3172e5;
    const double At = 0.01;
    const int convergent = 30, divergent = 69;
    for (int j = 0; j < convergent; ++j) {
        const double f = static_cast<double>(j) / convergent; // 0 .. just below 1
        rv->x.push_back(-0.1 * (1.0 - f));
        rv->area.push_back(At * (4.0 - 3.0 * f));
    }
    rv->x.push_back(0.0);
    rv->area.push_back(At);
    for (int j = 1; j <= divergent; ++j) {
        const double f = static_cast<double>(j) / divergent;
        rv->x.push_back(0.5 * f);
        rv->area.push_back(At * std::pow(50.0, f));
    }
    rv->stationCount = static_cast<uint32_t>(rv->x.size());
    rv->throatIndex = convergent;
    rv->frozenIndex = rv->stationCount;
    rv->resizeStations();
    return rv;
}

void equilibriumRun(benchmark::State& state, TransportData transport)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket(transport);
    m->setReactantEnthalpy(298.15);
    auto rv = hundredStationRun();
    ODE ode(m, rv, transport == TransportData::With, false);
    timeIacRuns(state, ode, *rv);
}

void BM_EquilibriumRun100Stations(benchmark::State& state)
{
    equilibriumRun(state, TransportData::Without);
}
BENCHMARK(BM_EquilibriumRun100Stations)->Unit(benchmark::kMillisecond);

void BM_EquilibriumRun100StationsWithTransport(benchmark::State& state)
{
    equilibriumRun(state, TransportData::With);
}
BENCHMARK(BM_EquilibriumRun100StationsWithTransport)->Unit(benchmark::kMillisecond);

} // namespace
