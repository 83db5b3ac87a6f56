#pragma once
// One chemical species (a possible product) or one reactant: identity, composition,
// heat of formation, a piecewise Cp fit with arbitrary temperature exponents and two
// integration constants per interval, optional viscosity and conductivity fits, and
// the results of its last evaluation. SI units, molar quantities per kmol.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Universal gas constant of the engine, J/(kmol K).
constexpr double R_UNIVERSAL = 8314.51;

// The powers of one temperature that the Cp fits use, formed once and shared by every
// species evaluated at that temperature.
struct TemperaturePowers {
    double T = 1.0;
    double logT = 0.0;
    // T^-2, T^-1, 1, T, T^2, T^3, T^4: the integer exponents of the NASA 7- and 9-term fits.
    std::array<double, 7> power{};

    explicit TemperaturePowers(double T);
};

struct ElementCount {
    double count = 0.0;
    std::string symbol;
};

class Species {
public:
    std::string name;
    std::vector<ElementCount> composition; // "E" counts electrons: + anions, - cations
    double molarMass = 0.0; // kg/kmol
    double gasConstant = 0.0; // R / molarMass, J/(kg K)
    uint8_t phase = 0; // 0 gaseous, anything else condensed
    double formationEnthalpy = 0.0; // J/kmol
    double referenceTemperature = -1.0; // K; single-temperature reactants, else -1
    double formationEnthalpyR = 0.0; // formationEnthalpy / R, K
    double maxTemperature = 0.0; // K
    double minTemperature = 0.0; // K
    double mass = 0.0; // kg per kg of mixture
    double moleFraction = 0.0;
    double transportFraction = 0.0;
    double moles = 0.0; // kmol per kg of mixture (reactants: per kg of propellant)
    double logMoles = 1.0; // ln(moles), kept by the equilibrium iteration
    double enthalpyRT = 0.0; // H/(R T)
    double entropyR = 0.0; // S/R, standard state
    double cpR = 0.0; // Cp/R
    double gibbsRT = 0.0; // G/(R T)
    double enthalpy = 0.0; // J/kmol
    double entropy = 0.0; // J/(kmol K)
    double cp = 0.0; // J/(kmol K)
    double gibbs = 0.0; // J/kmol
    bool hasTransport = false;
    double viscosityValue = 0.0; // Pa s, last evaluation
    double conductivityValue = 0.0; // W/(m K), last evaluation
    uint8_t nComposition = 0;
    uint8_t nIntervals = 0;
    uint8_t nTerms = 0;
    uint8_t nViscosityIntervals = 0;
    uint8_t nConductivityIntervals = 0;
    std::vector<std::vector<double>> coefficients;
    std::vector<std::vector<double>> exponents;
    std::vector<std::pair<double, double>> integrationConstants; // (b1, b2)
    std::vector<std::pair<double, double>> temperatureRanges; // (low, high), K
    std::vector<std::pair<double, double>> viscosityRanges;
    std::vector<std::array<double, 4>> viscosityFits; // A, B, C, D
    std::vector<std::pair<double, double>> conductivityRanges;
    std::vector<std::array<double, 4>> conductivityFits; // A, B, C, D

    Species() = default;
    Species(uint8_t nComposition, uint8_t nIntervals, uint8_t nTerms, uint8_t nViscosityIntervals,
            uint8_t nConductivityIntervals, const std::string& name, const std::vector<ElementCount>& composition,
            double formationEnthalpy, double molarMass, uint8_t phase,
            const std::vector<std::vector<double>>& coefficients, const std::vector<std::vector<double>>& exponents,
            const std::vector<std::pair<double, double>>& integrationConstants,
            const std::vector<std::pair<double, double>>& temperatureRanges,
            const std::vector<std::pair<double, double>>& viscosityRanges,
            const std::vector<std::array<double, 4>>& viscosityFits,
            const std::vector<std::pair<double, double>>& conductivityRanges,
            const std::vector<std::array<double, 4>>& conductivityFits, double referenceTemperature);

    // cpR, enthalpyRT, entropyR and gibbsRT at T (may raise SP00, SP01, SP02, SP09).
    void thermo(double T);
    // The same from the powers of T formed by the caller (inline: the common case of a
    // temperature inside a folded interval; everything else in thermoGeneral).
    inline void thermo(const TemperaturePowers& t);
    // thermo(T), then the dimensional enthalpy, entropy, cp and gibbs.
    void thermoDimensional(double T);
    // Viscosity (Pa s) and conductivity (W/(m K)) at T, stored and returned.
    double viscosity(double T);
    double conductivity(double T);
    void transport(double T);
    // The folded fit thermo(T) uses at T and the window of temperatures, [low, high), over
    // which it is the interval chosen (the first interval containing T); false when T
    // takes another path (no fit, an unfolded interval, outside the fit, a gap, not a
    // number).
    struct FoldedFit {
        double low = 0.0;
        double high = 0.0;
        const std::array<double, 7>* cp = nullptr;
        const std::array<double, 7>* h = nullptr;
        const std::array<double, 7>* s = nullptr;
        double b1 = 0.0;
        double b2 = 0.0;
    };
    bool foldedFitAt(double T, FoldedFit& fit) const;
    // Count of each given symbol in this species (0 when absent); repeated symbols add up.
    std::vector<double> elementCounts(const std::vector<std::string>& symbols) const;

private:
    // One Cp interval with its terms of exponent -2..4 folded into fixed coefficients at
    // construction: Cp/R = sum cp[k] T^(k-2); H/(RT) = sum h[k] T^(k-2) over k != 1 plus
    // h[1] ln(T)/T; S/R = sum s[k] T^(k-2) over k != 2 plus s[2] ln(T). An interval with
    // any other exponent keeps the generic evaluation (folded false).
    struct FoldedInterval {
        bool folded = false;
        std::array<double, 7> cp{};
        std::array<double, 7> h{};
        std::array<double, 7> s{};
    };
    std::vector<FoldedInterval> foldedIntervals;
    // Partial sums at the two ends of the fit (Cp/R, H/(RT) without b1/T, S/R without
    // b2), from which the constant-Cp extrapolation continues.
    std::array<double, 3> lowEndSums{};
    std::array<double, 3> highEndSums{};
    void foldIntervals();
    // Partial sums of interval i from its folded coefficients.
    inline void foldedSums(std::size_t i, const TemperaturePowers& t, double& cpSum, double& hSum, double& sSum) const;
    // thermo(t) for every case: no fit, folded or generic interval, extrapolation, gap.
    void thermoGeneral(const TemperaturePowers& t);

    // Partial sums of one Cp interval at T: Cp/R, H/(R T) without b1/T, S/R without b2.
    void intervalSums(std::size_t i, double T, double& cpSum, double& hSum, double& sSum) const;
    // Cp/R, H/(R T), S/R and G/(R T) from the partial sums of interval i at T.
    void setFromIntervalSums(std::size_t i, double T, double cpSum, double hSum, double sSum);
};

inline void Species::foldedSums(std::size_t i, const TemperaturePowers& t, double& cpSum, double& hSum,
                                double& sSum) const
{
    const FoldedInterval& f = foldedIntervals[i];
    const std::array<double, 7>& P = t.power;
    cpSum = f.cp[0] * P[0] + f.cp[1] * P[1] + f.cp[2] + f.cp[3] * P[3] + f.cp[4] * P[4] + f.cp[5] * P[5]
            + f.cp[6] * P[6];
    hSum = f.h[0] * P[0] + f.h[1] * t.logT * P[1] + f.h[2] + f.h[3] * P[3] + f.h[4] * P[4] + f.h[5] * P[5]
            + f.h[6] * P[6];
    sSum = f.s[0] * P[0] + f.s[1] * P[1] + f.s[2] * t.logT + f.s[3] * P[3] + f.s[4] * P[4] + f.s[5] * P[5]
            + f.s[6] * P[6];
}

inline void Species::setFromIntervalSums(std::size_t i, double T, double cpSum, double hSum, double sSum)
{
    cpR = cpSum;
    enthalpyRT = hSum + integrationConstants[i].first / T;
    entropyR = sSum + integrationConstants[i].second;
    gibbsRT = enthalpyRT - entropyR;
}

inline void Species::thermo(const TemperaturePowers& t)
{
    const double T = t.T;
    if (foldedIntervals.size() == nIntervals) {
        for (std::size_t i = 0; i < nIntervals; ++i) {
            if (temperatureRanges[i].first <= T && T < temperatureRanges[i].second) {
                if (!foldedIntervals[i].folded)
                    break;
                double cpSum, hSum, sSum;
                foldedSums(i, t, cpSum, hSum, sSum);
                setFromIntervalSums(i, T, cpSum, hSum, sSum);
                return;
            }
        }
    }
    thermoGeneral(t);
}
