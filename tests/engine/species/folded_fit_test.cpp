// The evaluation of the NASA 9-term fits from folded coefficients and shared temperature
// powers: against the closed forms of the 9-term polynomial (McBride, Zehe & Gordon,
// NASA/TP-2002-211556, eqs. 2-4), against the generic term-by-term evaluation of the same
// fit, and in the constant-Cp extrapolation beyond either end.
#include <cmath>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/species.h"

namespace {

// Cp/R = a1 T^-2 + a2 T^-1 + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4
// H/RT = -a1 T^-2 + a2 ln(T)/T + a3 + a4 T/2 + a5 T^2/3 + a6 T^3/4 + a7 T^4/5 + b1/T
// S/R = -a1 T^-2/2 - a2/T + a3 ln(T) + a4 T + a5 T^2/2 + a6 T^3/3 + a7 T^4/4 + b2
struct NineTerm {
    double a[7];
    double b1, b2;
    double cp(double T) const
    {
        return a[0] / (T * T) + a[1] / T + a[2] + a[3] * T + a[4] * T * T + a[5] * T * T * T + a[6] * T * T * T * T;
    }
    double h(double T) const
    {
        return -a[0] / (T * T) + a[1] * std::log(T) / T + a[2] + a[3] * T / 2 + a[4] * T * T / 3 + a[5] * T * T * T / 4
                + a[6] * T * T * T * T / 5 + b1 / T;
    }
    double s(double T) const
    {
        return -a[0] / (T * T) / 2 - a[1] / T + a[2] * std::log(T) + a[3] * T + a[4] * T * T / 2 + a[5] * T * T * T / 3
                + a[6] * T * T * T * T / 4 + b2;
    }
};

// The published 200-1000 K interval of N2 (NASA Glenn thermodynamic file).
const NineTerm N2_LOW{
        {2.210371497e4, -3.818461820e2, 6.082738360, -8.530914410e-3, 1.384646189e-5, -9.625793620e-9, 2.519705809e-12},
        7.108460860e2,
        -1.076003744e1};

// The fit as the importer stores it, with the padding term of exponent 0 and coefficient
// 0 the file carries; `extra` appends a term with a non-integer exponent (0.5) and
// coefficient 0, which does not change the fit but sends it to the generic evaluation.
Species n2(bool extra)
{
    std::vector<double> a(N2_LOW.a, N2_LOW.a + 7), e{-2, -1, 0, 1, 2, 3, 4};
    a.push_back(0.0);
    e.push_back(0.0);
    if (extra) {
        a.push_back(0.0);
        e.push_back(0.5);
    }
    return Species(1, 1, static_cast<uint8_t>(a.size()), 0, 0, "N2", {{2.0, "N"}}, 0.0, 28.0134, 0, {a}, {e},
                   {{N2_LOW.b1, N2_LOW.b2}}, {{200.0, 1000.0}}, {}, {}, {}, {}, -1.0);
}

TEST(FoldedFit, NineTermFitAgreesWithItsClosedFormAndTheGenericEvaluation)
{
    flagsSP = 0;
    Species folded = n2(false), generic = n2(true);
    for (double T : {200.0, 298.15, 512.3, 999.9}) {
        SCOPED_TRACE(T);
        folded.thermo(T);
        generic.thermo(TemperaturePowers(T));
        EXPECT_NEAR(folded.cpR, N2_LOW.cp(T), 1e-12 * std::fabs(N2_LOW.cp(T)));
        EXPECT_NEAR(folded.enthalpyRT, N2_LOW.h(T), 1e-12 * std::fabs(N2_LOW.h(T)));
        EXPECT_NEAR(folded.entropyR, N2_LOW.s(T), 1e-12 * std::fabs(N2_LOW.s(T)));
        EXPECT_NEAR(folded.gibbsRT, N2_LOW.h(T) - N2_LOW.s(T), 1e-11 * std::fabs(N2_LOW.s(T)));
        EXPECT_NEAR(generic.cpR, folded.cpR, 1e-14 * folded.cpR);
        EXPECT_NEAR(generic.enthalpyRT, folded.enthalpyRT, 1e-14 * std::fabs(folded.enthalpyRT));
        EXPECT_NEAR(generic.entropyR, folded.entropyR, 1e-14 * folded.entropyR);
    }
    // Published: Cp(298.15 K) of N2 is 29.124 J/(mol K).
    folded.thermo(298.15);
    EXPECT_NEAR(folded.cpR * 8.314462618, 29.124, 0.002);
    EXPECT_EQ(flagsSP.load(), 0u);
}

TEST(FoldedFit, ExtrapolationContinuesWithTheEndCpOnBothSides)
{
    // Beyond an end Tm the heat capacity stays Cp(Tm): H(T) = H(Tm) + Cp(Tm) (T - Tm),
    // S(T) = S(Tm) + Cp(Tm) ln(T/Tm).
    for (double Tm : {200.0, 1000.0}) {
        const double T = Tm == 200.0 ? 150.0 : 1400.0;
        SCOPED_TRACE(T);
        for (bool extra : {false, true}) {
            flagsSP = 0;
            Species s = n2(extra);
            s.moles = 1.0;
            s.thermo(T);
            const double cp = N2_LOW.cp(Tm);
            EXPECT_NEAR(s.cpR, cp, 1e-12 * cp);
            EXPECT_NEAR(s.enthalpyRT, (N2_LOW.h(Tm) * Tm + cp * (T - Tm)) / T, 1e-11 * std::fabs(N2_LOW.h(Tm)));
            EXPECT_NEAR(s.entropyR, N2_LOW.s(Tm) + cp * std::log(T / Tm), 1e-11 * N2_LOW.s(Tm));
            EXPECT_TRUE(flagRaised(flagsSP, Tm == 200.0 ? code::SP01 : code::SP02));
        }
    }
}

} // namespace
