// The extended-precision exponential of the production rates: against known values and
// the library's expl across the arguments the rates meet, and the library's own results
// where it hands over (beyond +-700, not a number).
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "engine/extended_exp.h"

namespace {

// One unit in the last place of a long double in [1, 2).
const long double ULP = std::numeric_limits<long double>::epsilon();

TEST(ExtendedExp, KnownValues)
{
    EXPECT_EQ(extendedExp(0.0L), 1.0L);
    EXPECT_EQ(extendedExp(-0.0L), 1.0L);
    // e to 50 digits; the literal rounds it to the 64-bit significand.
    const long double e = 2.7182818284590452353602874713526624977572470937000L;
    EXPECT_LE(std::fabs(extendedExp(1.0L) / e - 1.0L), 2.0L * ULP);
    EXPECT_LE(std::fabs(extendedExp(-1.0L) * e - 1.0L), 2.0L * ULP);
    // Exact powers of two: exp(k ln 2) with ln 2 to 50 digits (its rounding error,
    // times k, is the only difference allowed beyond two units).
    const long double ln2 = 0.69314718055994530941723212145817656807550013436026L;
    for (int k : {-60, -7, -1, 1, 5, 30, 62}) {
        const long double expected = std::ldexp(1.0L, k);
        EXPECT_LE(std::fabs(extendedExp(k * ln2) / expected - 1.0L), (2.0L + std::abs(k)) * ULP) << k;
    }
}

TEST(ExtendedExp, AgreesWithTheLibraryToTwoUnitsInTheLastPlace)
{
    // The rates' arguments: S/R - H/RT of a species (tens) and b ln T - Ea/(Rc T) of a
    // rate constant (up to a few tens), and the whole fast range.
    std::mt19937_64 generator(26);
    for (long double range : {1e-6L, 0.02L, 1.0L, 40.0L, 699.0L}) {
        std::uniform_real_distribution<double> draw(-1.0, 1.0);
        long double worst = 0.0L;
        for (int i = 0; i < 20000; ++i) {
            const long double x = static_cast<long double>(draw(generator)) * range
                    + static_cast<long double>(draw(generator)) * range * 1e-12L;
            const long double reference = std::exp(x);
            worst = std::max(worst, std::fabs(extendedExp(x) - reference) / reference);
        }
        EXPECT_LE(worst, 2.0L * ULP) << "range " << static_cast<double>(range);
    }
}

TEST(ExtendedExp, BeyondTheFastRangeTheLibraryDecides)
{
    for (long double x : {700.0L, 11000.0L, -700.0L, -11400.0L, -20000.0L, 20000.0L}) {
        EXPECT_EQ(extendedExp(x), std::exp(x)) << static_cast<double>(x);
    }
    EXPECT_TRUE(std::isinf(extendedExp(std::numeric_limits<long double>::infinity())));
    EXPECT_EQ(extendedExp(-std::numeric_limits<long double>::infinity()), 0.0L);
    EXPECT_TRUE(std::isnan(extendedExp(std::numeric_limits<long double>::quiet_NaN())));
}

} // namespace
