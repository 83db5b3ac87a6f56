// Speed of the finite-rate production rates, which the kinetic nozzle flow evaluates at
// every right-hand side: the 27 reactions of the hydrogen/oxygen mechanism over its
// eight species, at a partly recombined state of the nozzle.
#include <benchmark/benchmark.h>

#include "engine/engine_messages.h"
#include "tests/engine/kinetics/reaction_records.h"
#include "tests/engine/test_mixtures.h"

namespace {

void BM_ProductionRates(benchmark::State& state)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    const std::vector<std::string> names{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};
    const std::vector<std::string> elements{"H", "O", "E"};
    auto reactions = hydrogenOxygenReactions(names);
    auto base = buildMixture(names, {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, elements);
    Mixture m(base->nSpecies, base->nReactants, static_cast<uint16_t>(elements.size()),
              static_cast<uint16_t>(reactions.size()), base->species, base->reactants, elements, &reactions);
    const double moles[] = {0.023, 0.0021, 0.00013, 0.00011, 0.0022, 0.052, 1e-6, 5e-7};
    for (uint16_t j = 0; j < m.nSpecies; ++j)
        m.species[j]->moles = moles[j];
    m.moleFractions();
    m.temperature = 2900.0;
    m.pressure = 25e5;
    // Two temperatures in turn: no evaluation can reuse the exponentials of the one
    // before, as none can in a run between the integrator's temperature changes.
    const double temperatures[2] = {2900.0, 2900.5};
    int k = 0;
    for (auto _ : state) {
        m.temperature = temperatures[k];
        k ^= 1;
        m.productionRates();
        benchmark::DoNotOptimize(m.productionRateValues.data());
        benchmark::ClobberMemory();
    }
    state.counters["reactions"] = static_cast<double>(m.nReactions);
}
BENCHMARK(BM_ProductionRates)->Unit(benchmark::kMicrosecond);

} // namespace
