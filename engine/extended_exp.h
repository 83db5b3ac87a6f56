#pragma once
// The exponential in extended precision (long double), table-driven after P. T. P. Tang,
// "Table-driven implementation of the exponential function in IEEE floating-point
// arithmetic", ACM Trans. Math. Softw. 15 (1989) 144-157:
//   x = (32 m + j) ln2/32 + r,  |r| <= ln2/64,  exp(x) = 2^m 2^(j/32) (1 + p(r)),
// with p(r) the Taylor polynomial of exp(r) - 1 of degree 7 (remainder below 5e-21 of the
// result, a twentieth of its last place). The reduction is exact: k ln2/32 is split into
// a 45-bit leading part, whose products with |k| < 2^19 are exact, and a trailing part.
// The 32 table values are 2^(j/32) correctly rounded to the 64-bit significand. The
// result is within about one unit in the last place of the exact exponential, like the
// library's expl, at a fraction of its cost (no x87 transcendental instructions).
// Arguments beyond +-700 (and not a number) go to the library.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

inline long double extendedExp(long double x)
{
    static constexpr long double TWO_TO_J_32[32] = {
            0x1.0000000000000000p0L, 0x1.059b0d31585743aep0L, 0x1.0b5586cf9890f62ap0L, 0x1.11301d0125b50a4ep0L,
            0x1.172b83c7d517adcep0L, 0x1.1d4873168b9aa780p0L, 0x1.2387a6e75623866cp0L, 0x1.29e9df51fdee12c2p0L,
            0x1.306fe0a31b7152dep0L, 0x1.371a7373aa9caa72p0L, 0x1.3dea64c12342235cp0L, 0x1.44e086061892d032p0L,
            0x1.4bfdad5362a271d4p0L, 0x1.5342b569d4f81df0p0L, 0x1.5ab07dd48542958cp0L, 0x1.6247eb03a5584b20p0L,
            0x1.6a09e667f3bcc908p0L, 0x1.71f75e8ec5f73dd2p0L, 0x1.7a11473eb0186d7ep0L, 0x1.82589994cce128acp0L,
            0x1.8ace5422aa0db5bap0L, 0x1.93737b0cdc5e4f46p0L, 0x1.9c49182a3f0901c8p0L, 0x1.a5503b23e255c8b4p0L,
            0x1.ae89f995ad3ad5e8p0L, 0x1.b7f76f2fb5e46eaap0L, 0x1.c199bdd85529c222p0L, 0x1.cb720dcef9069150p0L,
            0x1.d5818dcfba48725ep0L, 0x1.dfc97337b9b5eb96p0L, 0x1.ea4afa2a490d9858p0L, 0x1.f50765b6e4540674p0L,
    };
    constexpr double INVERSE_STEP_DOUBLE = 0x1.71547652b82fep5; // 32/ln2
    constexpr long double STEP_LEADING = 0x1.62e42fefa3a00000p-6L; // ln2/32, 45 bits
    constexpr long double STEP_TRAILING = -0x1.0ca86c3898cff81ap-54L; // ln2/32 - STEP_LEADING
    // Adding and subtracting 1.5 2^52 rounds a double to the nearest integer.
    constexpr double ROUNDER = 0x1.8p52;

    // Only the x87 80-bit format is built by hand below.
    if constexpr (std::numeric_limits<long double>::digits != 64
                  || std::numeric_limits<long double>::max_exponent != 16384)
        return std::exp(x);
    if (!(std::fabs(x) < 700.0L))
        return std::exp(x);
    // k, the integer nearest x 32/ln2, found in double precision (one off at most
    // leaves |r| a hair above ln2/64, which the polynomial still covers).
    const double kDouble = (static_cast<double>(x) * INVERSE_STEP_DOUBLE + ROUNDER) - ROUNDER;
    const long long k = static_cast<long long>(kDouble);
    const long double kReal = kDouble;
    const long double r = (x - kReal * STEP_LEADING) - kReal * STEP_TRAILING;
    // p(r) = r + r^2/2! + ... + r^7/7!, grouped in pairs (Estrin's scheme) so that the
    // products run side by side.
    const long double r2 = r * r;
    const long double r4 = r2 * r2;
    const long double low = r + r2 * (0x1.0000000000000000p-1L + r * 0x1.5555555555555556p-3L);
    const long double high = (0x1.5555555555555556p-5L + r * 0x1.1111111111111112p-7L)
            + r2 * (0x1.6c16c16c16c16c16p-10L + r * 0x1.a01a01a01a01a01ap-13L);
    const long double p = low + r4 * high;
    const long long j = k & 31;
    const long long m = (k - j) / 32;
    const long double t = TWO_TO_J_32[j];
    const long double mantissa = t + t * p;
    // 2^m as a double built from its bits (|m| < 1011 here), exact in long double.
    const uint64_t bits = static_cast<uint64_t>(m + 1023) << 52;
    double scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return mantissa * scale;
}
