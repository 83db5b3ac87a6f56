// Production rates evaluated again at the same temperature (as the integrator's
// difference quotients do) reuse the exponentials whose arguments did not change: the
// rates must be those of a fresh evaluation whatever changed in between.
#include <gtest/gtest.h>

#include "engine/engine_messages.h"
#include "engine/test_mixtures.h"
#include "reaction_records.h"

namespace {

const std::vector<std::string> NAMES{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};
const std::vector<std::string> ELEMENTS{"H", "O", "E"};

std::unique_ptr<Mixture> mechanismMixture(double hydrogenAtoms)
{
    auto reactions = hydrogenOxygenReactions(NAMES);
    auto base = buildMixture(NAMES, {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, ELEMENTS);
    auto m = std::make_unique<Mixture>(base->nSpecies, base->nReactants, static_cast<uint16_t>(ELEMENTS.size()),
                                       static_cast<uint16_t>(reactions.size()), base->species, base->reactants,
                                       ELEMENTS, &reactions);
    const double moles[] = {0.023, hydrogenAtoms, 0.00013, 0.00011, 0.0022, 0.052, 1e-6, 5e-7};
    for (uint16_t j = 0; j < m->nSpecies; ++j)
        m->species[j]->moles = moles[j];
    m->moleFractions();
    m->temperature = 2900.0;
    m->pressure = 25e5;
    return m;
}

void expectSameRates(const Mixture& a, const Mixture& b)
{
    for (uint16_t j = 0; j < a.nSpecies; ++j)
        EXPECT_DOUBLE_EQ(a.productionRateValues[j], b.productionRateValues[j]) << a.species[j]->name;
}

TEST(RateReuse, SameTemperatureAfterChangedAmountsAndRateData)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = mechanismMixture(0.0021);
    m->productionRates();

    // Other amounts at the same temperature.
    auto fresh = mechanismMixture(0.0035);
    fresh->productionRates();
    auto again = mechanismMixture(0.0021);
    again->productionRates();
    again->species[1]->moles = 0.0035;
    again->moleFractions();
    again->productionRates();
    expectSameRates(*again, *fresh);

    // Another activation energy and temperature exponent of one reaction at the same
    // temperature.
    auto changed = mechanismMixture(0.0021);
    changed->reactions[2]->Ea += 1000.0;
    changed->reactions[2]->b += 0.25;
    changed->productionRates();
    m->reactions[2]->Ea += 1000.0;
    m->reactions[2]->b += 0.25;
    m->productionRates();
    expectSameRates(*m, *changed);
    setEngineMessageHandler({});
}

} // namespace
