// Finite-rate molar production rates from the mixture's elementary reactions: modified
// Arrhenius forward rates, reverse rates from the equilibrium constants of the species'
// standard Gibbs data, third-body enhancement. Rate constants are in mole, cubic
// centimetre and second units; the rates come out in kmol/(m3 s).
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/mixture.h"

namespace {

constexpr long double R_KINETIC = 8.31446261815324L; // J/(mol K)
constexpr long double R_CAL = 1.9872042586L; // cal/(mol K)

// c^nu with the common small integer coefficients taken without pow.
inline double power(double c, double nu)
{
    if (nu == 1.0)
        return c;
    if (nu == 2.0)
        return c * c;
    if (nu == 3.0)
        return c * c * c;
    return std::pow(c, nu);
}

// x^nu in long double, small integer coefficients by multiplication.
inline long double powerL(long double x, double nu)
{
    if (nu == 1.0)
        return x;
    if (nu == 2.0)
        return x * x;
    if (nu == 3.0)
        return x * x * x;
    if (nu == 0.0)
        return 1.0L;
    if (nu == -1.0)
        return 1.0L / x;
    return std::pow(x, static_cast<long double>(nu));
}

} // namespace

void Mixture::productionRates()
{
    productionRateValues.assign(nSpecies, 0.0);
    const std::size_t count = std::min<std::size_t>(nReactions, reactions.size());
    if (count == 0)
        return;

    const double T = temperature;
    // The species depend on T alone, so one evaluation serves every reaction.
    evaluateSpecies(T);

    const long double logT = std::log(static_cast<long double>(T));
    const long double inverseRcT = 1.0L / (R_CAL * T);
    const double concentration = pressure / (static_cast<double>(R_KINETIC) * T) * 1e-6; // mol/cm3
    double fractionSum = 0.0;
    for (uint16_t j = 0; j < nSpecies; ++j)
        fractionSum += species[j]->moleFraction;
    // One exponential per species, exp(S/R - H/RT), from which the equilibrium constants
    // of every reaction follow as products: Kc = (0.1/(R T))^moleChange
    // prod exp(S/R - H/RT)^nu over products / the same over reactants; kr = kf / Kc.
    const long double standard = 0.1L / (R_KINETIC * T);
    // The integrator's difference quotients change one amount at a time at the same
    // temperature: an exponential whose argument has not changed is taken as it was.
    speciesGibbsFactors.resize(nSpecies);
    gibbsArguments.resize(nSpecies, std::numeric_limits<long double>::quiet_NaN());
    for (uint16_t j = 0; j < nSpecies; ++j) {
        const long double argument = static_cast<long double>(species[j]->entropyR) - species[j]->enthalpyRT;
        if (!(argument == gibbsArguments[j])) {
            gibbsArguments[j] = argument;
            speciesGibbsFactors[j] = std::exp(argument);
        }
    }
    forwardArguments.resize(count, std::numeric_limits<long double>::quiet_NaN());
    forwardFactors.resize(count);

    for (std::size_t i = 0; i < count; ++i) {
        const Reaction& r = *reactions[i];

        const long double forwardExponent = r.b * logT - r.Ea * inverseRcT;
        if (!(forwardExponent == forwardArguments[i])) {
            forwardArguments[i] = forwardExponent;
            forwardFactors[i] = std::exp(forwardExponent);
        }
        const long double kf = r.A * forwardFactors[i];

        double forwardProduct = 1.0;
        for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
            forwardProduct
                    *= power(species[r.reactantSpecies[k]]->moleFraction * concentration, r.reactantCoefficients[k]);
        long double q = kf * forwardProduct;

        // A forward-only reaction has no reverse rate.
        if (!r.forwardOnly) {
            long double productTerms = powerL(standard, r.moleChange);
            for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
                productTerms *= powerL(speciesGibbsFactors[r.productSpecies[k]], r.productCoefficients[k]);
            long double reactantTerms = 1.0L;
            for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
                reactantTerms *= powerL(speciesGibbsFactors[r.reactantSpecies[k]], r.reactantCoefficients[k]);
            const long double kr = kf * reactantTerms / productTerms;
            double reverseProduct = 1.0;
            for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
                reverseProduct
                        *= power(species[r.productSpecies[k]]->moleFraction * concentration, r.productCoefficients[k]);
            q -= kr * reverseProduct;
        }

        if (r.hasThirdBody) {
            // Every species counts once; the listed ones with their own efficiency.
            double thirdBody = fractionSum;
            for (std::size_t k = 0; k < r.thirdBodySpecies.size(); ++k)
                thirdBody += (r.thirdBodyEfficiencies[k] - 1.0) * species[r.thirdBodySpecies[k]]->moleFraction;
            q *= thirdBody * concentration;
        }
        q *= 1000.0L; // mol/(cm3 s) to kmol/(m3 s)

        for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
            productionRateValues[r.productSpecies[k]] += static_cast<double>(q * r.productCoefficients[k]);
        for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
            productionRateValues[r.reactantSpecies[k]] -= static_cast<double>(q * r.reactantCoefficients[k]);
    }
}
