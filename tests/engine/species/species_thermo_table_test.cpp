// The species' thermo evaluated side by side must give, to the last bit, what each record
// gives on its own at the same temperature, whichever path the record takes there (its
// folded interval, another interval, the constant-Cp extrapolation, a generic fit, a gap),
// and the records must hold those results afterwards.
#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/species_thermo_table.h"

namespace {

using Ranges = std::vector<std::pair<double, double>>;

// A species with one coefficient list per interval of the given exponents; the values
// are made up but distinct per interval, so that a wrong interval shows.
std::shared_ptr<Species> fitted(const Ranges& ranges, const std::vector<double>& exponents, double scale = 1.0)
{
    std::vector<std::vector<double>> a, e;
    std::vector<std::pair<double, double>> b;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        std::vector<double> c;
        for (std::size_t k = 0; k < exponents.size(); ++k)
            c.push_back(scale * (1.0 + 0.1 * static_cast<double>(i + 1)) * std::pow(1e-3, exponents[k]));
        a.push_back(c);
        e.push_back(exponents);
        b.emplace_back(-1000.0 * static_cast<double>(i + 1), 2.0 + static_cast<double>(i));
    }
    return std::make_shared<Species>(1, static_cast<uint8_t>(ranges.size()), static_cast<uint8_t>(exponents.size()), 0,
                                     0, "X", std::vector<ElementCount>{{1.0, "H"}}, 0.0, 10.0, 0, a, e, b, ranges,
                                     Ranges{}, std::vector<std::array<double, 4>>{}, Ranges{},
                                     std::vector<std::array<double, 4>>{}, -1.0);
}

std::vector<std::shared_ptr<Species>> sampleSpecies()
{
    const std::vector<double> nineTerm{-2, -1, 0, 1, 2, 3, 4};
    return {
            fitted({{200, 1000}, {1000, 6000}}, nineTerm), // the usual two intervals
            fitted({{200, 1000}, {1000, 6000}, {6000, 20000}}, nineTerm, 0.5),
            fitted({{300, 5000}}, {0, 1, 2, 0.5}), // a generic exponent: never folded
            fitted({{200, 800}, {600, 3000}}, nineTerm, 2.0), // overlap: 600-800 K is the first's
            fitted({{200, 3000}, {1000, 1500}}, nineTerm, 3.0), // the second lies inside the first
            fitted({{200, 700}, {900, 5000}}, nineTerm, 1.5), // a gap 700-900 K
    };
}

} // namespace

TEST(SpeciesThermoTable, EveryResultIsTheRecordsOwnToTheLastBit)
{
    flagsSP = 0;
    auto table = sampleSpecies();
    auto own = sampleSpecies();
    table[0]->moles = 1.0; // a species holding moles raises the range codes
    own[0]->moles = 1.0;
    SpeciesThermoTable thermo;
    // Down and up across interval ends, overlaps, the gap, both ends of every fit.
    const double temperatures[] = {298.15, 650.0,  750.0, 800.0,   999.9, 1000.0, 1200.0, 2999.0, 800.0,
                                   6000.0, 7000.0, 150.0, 25000.0, 850.0, 300.0,  4000.0, 4000.0};
    for (double T : temperatures) {
        SCOPED_TRACE(T);
        const TemperaturePowers t(T);
        flagsSP = 0;
        for (auto& sp : own)
            sp->thermo(t);
        const uint32_t ownCodes = flagsSP.exchange(0);
        thermo.evaluate(t, table, table.size());
        EXPECT_EQ(flagsSP.load(), ownCodes);
        for (std::size_t j = 0; j < table.size(); ++j) {
            SCOPED_TRACE(j);
            EXPECT_EQ(thermo.cpR()[j], own[j]->cpR);
            EXPECT_EQ(thermo.enthalpyRT()[j], own[j]->enthalpyRT);
            EXPECT_EQ(thermo.entropyR()[j], own[j]->entropyR);
            EXPECT_EQ(thermo.gibbsRT()[j], own[j]->gibbsRT);
            EXPECT_EQ(table[j]->cpR, own[j]->cpR);
            EXPECT_EQ(table[j]->enthalpyRT, own[j]->enthalpyRT);
            EXPECT_EQ(table[j]->entropyR, own[j]->entropyR);
            EXPECT_EQ(table[j]->gibbsRT, own[j]->gibbsRT);
        }
    }
}

TEST(SpeciesThermoTable, ATemperatureThatIsNotANumberLeavesTheLastResultsAndRaisesTheGapCode)
{
    flagsSP = 0;
    auto table = sampleSpecies();
    SpeciesThermoTable thermo;
    thermo.evaluate(TemperaturePowers(1500.0), table, table.size());
    const double cp = table[0]->cpR;
    flagsSP = 0;
    thermo.evaluate(TemperaturePowers(std::numeric_limits<double>::quiet_NaN()), table, table.size());
    EXPECT_TRUE(flagRaised(flagsSP, code::SP00));
    EXPECT_EQ(table[0]->cpR, cp);
    EXPECT_EQ(thermo.cpR()[0], cp);
}

TEST(SpeciesThermoTable, AReplacedRecordOrAnotherCountIsTakenUp)
{
    flagsSP = 0;
    auto table = sampleSpecies();
    SpeciesThermoTable thermo;
    thermo.evaluate(TemperaturePowers(1500.0), table, table.size());
    // Same temperature, a different record in the first place: its own fit must be used.
    table[0] = fitted({{200, 1000}, {1000, 6000}}, {-2, -1, 0, 1, 2, 3, 4}, 7.0);
    auto fresh = fitted({{200, 1000}, {1000, 6000}}, {-2, -1, 0, 1, 2, 3, 4}, 7.0);
    fresh->thermo(1500.0);
    thermo.evaluate(TemperaturePowers(1500.0), table, table.size());
    EXPECT_EQ(thermo.cpR()[0], fresh->cpR);
    EXPECT_EQ(thermo.enthalpyRT()[0], fresh->enthalpyRT);
    // Fewer species: the arrays follow.
    table.resize(2);
    thermo.evaluate(TemperaturePowers(2500.0), table, table.size());
    fresh->thermo(2500.0);
    EXPECT_EQ(thermo.gibbsRT()[0], fresh->gibbsRT);
}
