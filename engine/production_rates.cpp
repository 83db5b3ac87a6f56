// Finite-rate molar production rates from the mixture's elementary reactions: modified
// Arrhenius forward rates, reverse rates from the equilibrium constants of the species'
// standard Gibbs data, third-body enhancement. Rate constants are in mole, cubic
// centimetre and second units; the rates come out in kmol/(m3 s).
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/extended_exp.h"
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

// T^b of a rate constant without activation energy and with a small whole exponent, by
// multiplication (more accurate than exp(b ln T)); false for any other rate constant.
inline bool wholePowerOfTemperature(const Reaction& r, long double T, long double& factor)
{
    if (r.Ea != 0.0)
        return false;
    if (r.b == 0.0)
        factor = 1.0L;
    else if (r.b == -1.0)
        factor = 1.0L / T;
    else if (r.b == -2.0)
        factor = 1.0L / (T * T);
    else if (r.b == 1.0)
        factor = T;
    else if (r.b == 2.0)
        factor = T * T;
    else
        return false;
    return true;
}

// 1/Kc = (0.1/(R T))^-moleChange prod over the reactants g^nu prod over the products
// (1/g)^nu, with g = exp(S/R - H/RT) of each species and its inverse formed once per
// evaluation, so that kr = kf/Kc takes products only.
inline long double inverseEquilibriumConstant(const Reaction& r, const long double* g, const long double* gInverse,
                                              long double standard, long double inverseStandard)
{
    long double f;
    if (r.moleChange == -1.0)
        f = standard;
    else if (r.moleChange == 0.0)
        f = 1.0L;
    else if (r.moleChange == 1.0)
        f = inverseStandard;
    else
        f = powerL(standard, -r.moleChange);
    for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
        f *= powerL(g[r.reactantSpecies[k]], r.reactantCoefficients[k]);
    for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
        f *= powerL(gInverse[r.productSpecies[k]], r.productCoefficients[k]);
    return f;
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
    // Concentrations [X_j] = x_j c, formed once for every term that names the species.
    speciesConcentrations.resize(nSpecies);
    // Third bodies are the gas molecules: a condensed phase takes no volume and counts
    // in no collision (its fraction per mole of gas only gives its amount per volume).
    const uint16_t gases = std::min(nGas, nSpecies);
    double fractionSum = 0.0;
    for (uint16_t j = 0; j < nSpecies; ++j) {
        const double x = species[j]->moleFraction;
        if (j < gases)
            fractionSum += x;
        speciesConcentrations[j] = x * concentration;
    }
    const double* X = speciesConcentrations.data();
    // One exponential per species, exp(S/R - H/RT), from which the equilibrium constants
    // of every reaction follow as products: Kc = (0.1/(R T))^moleChange
    // prod exp(S/R - H/RT)^nu over products / the same over reactants; kr = kf / Kc.
    const long double standard = 0.1L / (R_KINETIC * T);
    const long double inverseStandard = 1.0L / standard;
    // The integrator's difference quotients change one amount at a time at the same
    // temperature: an exponential whose argument has not changed is taken as it was.
    speciesGibbsFactors.resize(nSpecies);
    inverseGibbsFactors.resize(nSpecies);
    gibbsArguments.resize(nSpecies, std::numeric_limits<long double>::quiet_NaN());
    for (uint16_t j = 0; j < nSpecies; ++j) {
        const long double argument = static_cast<long double>(species[j]->entropyR) - species[j]->enthalpyRT;
        if (!(argument == gibbsArguments[j])) {
            gibbsArguments[j] = argument;
            speciesGibbsFactors[j] = extendedExp(argument);
            inverseGibbsFactors[j] = 1.0L / speciesGibbsFactors[j];
        }
    }
    const long double* g = speciesGibbsFactors.data();
    const long double* gInverse = inverseGibbsFactors.data();
    forwardArguments.resize(count, std::numeric_limits<long double>::quiet_NaN());
    forwardFactors.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Reaction& r = *reactions[i];
        if (wholePowerOfTemperature(r, T, forwardFactors[i])) {
            forwardArguments[i] = std::numeric_limits<long double>::quiet_NaN();
            continue;
        }
        const long double forwardExponent = r.b * logT - r.Ea * inverseRcT;
        if (!(forwardExponent == forwardArguments[i])) {
            forwardArguments[i] = forwardExponent;
            forwardFactors[i] = extendedExp(forwardExponent);
        }
    }

    double* rates = productionRateValues.data();
    for (std::size_t i = 0; i < count; ++i) {
        const Reaction& r = *reactions[i];
        const std::size_t reactantTerms = r.reactantSpecies.size();
        const std::size_t productTerms = r.productSpecies.size();
        const uint16_t* reactant = r.reactantSpecies.data();
        const uint16_t* product = r.productSpecies.data();
        const double* reactantNu = r.reactantCoefficients.data();
        const double* productNu = r.productCoefficients.data();

        const long double kf = r.A * forwardFactors[i];
        double forwardProduct = 1.0;
        for (std::size_t k = 0; k < reactantTerms; ++k)
            forwardProduct *= power(X[reactant[k]], reactantNu[k]);
        long double q = kf * forwardProduct;

        // A forward-only reaction has no reverse rate.
        if (!r.forwardOnly) {
            const long double kr = kf * inverseEquilibriumConstant(r, g, gInverse, standard, inverseStandard);
            double reverseProduct = 1.0;
            for (std::size_t k = 0; k < productTerms; ++k)
                reverseProduct *= power(X[product[k]], productNu[k]);
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

        for (std::size_t k = 0; k < productTerms; ++k)
            rates[product[k]] += static_cast<double>(q * productNu[k]);
        for (std::size_t k = 0; k < reactantTerms; ++k)
            rates[reactant[k]] -= static_cast<double>(q * reactantNu[k]);
    }
}

// Derivatives of the rates of progress, differentiated by hand from the rate law above:
// with [X_j] = x_j c and c = p/(R T),
//   q = 1000 (kf P_f - kr P_r) M,  P = prod [X]^nu,  M = c (sum x + sum (e - 1) x_tb),
//   d P/d x_j = sum over the terms of j of nu c [X_j]^(nu - 1) prod over the other terms,
//   d ln P/d ln c = sum nu,  d ln kf/dT = b/T + Ea/(Rc T^2),
//   d ln kr/dT = d ln kf/dT + (sum_reactants nu H/RT - sum_products nu H/RT + moleChange)/T
// (d(S/R - H/RT)/dT = (H/RT)/T for a fit whose H and S are the integrals of its Cp), and
// d ln c/dT = -1/T, d ln c/dp = 1/p.
void Mixture::productionRateDerivatives(RateDerivatives& out)
{
    productionRates();
    const std::size_t N = nSpecies;
    out.moleFraction.assign(N * N, 0.0);
    out.temperature.assign(N, 0.0);
    out.pressure.assign(N, 0.0);
    out.work.resize(N);
    const std::size_t count = std::min<std::size_t>(nReactions, reactions.size());
    if (count == 0)
        return;

    const double T = temperature;
    const double concentration = pressure / (static_cast<double>(R_KINETIC) * T) * 1e-6; // mol/cm3
    const uint16_t gases = std::min(nGas, nSpecies);
    double fractionSum = 0.0;
    for (uint16_t j = 0; j < gases; ++j)
        fractionSum += species[j]->moleFraction;
    const long double inverseT = 1.0L / static_cast<long double>(T);
    const long double standard = 0.1L / (R_KINETIC * T);
    const long double inverseStandard = 1.0L / standard;

    // One side's product of concentration powers and its derivative along each term.
    struct Side {
        double product = 1.0;
        double order = 0.0; // sum of the coefficients: d ln P/d ln c
    };
    auto side = [&](const std::vector<uint16_t>& s, const std::vector<double>& nu) {
        Side r;
        for (std::size_t k = 0; k < s.size(); ++k) {
            r.product *= power(species[s[k]]->moleFraction * concentration, nu[k]);
            r.order += nu[k];
        }
        return r;
    };
    // d P/d x of term k of a side (the other terms' powers times the term's derivative).
    auto termDerivative = [&](const std::vector<uint16_t>& s, const std::vector<double>& nu, std::size_t k) {
        double d = nu[k] * power(species[s[k]]->moleFraction * concentration, nu[k] - 1.0) * concentration;
        for (std::size_t l = 0; l < s.size(); ++l)
            if (l != k)
                d *= power(species[s[l]]->moleFraction * concentration, nu[l]);
        return d;
    };

    for (std::size_t i = 0; i < count; ++i) {
        const Reaction& r = *reactions[i];
        const long double kf = r.A * forwardFactors[i];
        const Side forward = side(r.reactantSpecies, r.reactantCoefficients);
        const long double forwardLogSlope = r.b * inverseT + r.Ea / R_CAL * inverseT * inverseT;

        long double kr = 0.0L;
        Side reverse;
        reverse.product = 0.0;
        long double reverseLogSlope = 0.0L;
        if (!r.forwardOnly) {
            kr = kf
                    * inverseEquilibriumConstant(r, speciesGibbsFactors.data(), inverseGibbsFactors.data(), standard,
                                                 inverseStandard);
            reverse = side(r.productSpecies, r.productCoefficients);
            long double enthalpyChange = r.moleChange;
            for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
                enthalpyChange += r.reactantCoefficients[k] * species[r.reactantSpecies[k]]->enthalpyRT;
            for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
                enthalpyChange -= r.productCoefficients[k] * species[r.productSpecies[k]]->enthalpyRT;
            reverseLogSlope = forwardLogSlope + enthalpyChange * inverseT;
        }
        const long double net = kf * forward.product - kr * reverse.product;

        // Third body: M = c m with dm/dx_j = 1 + (e_j - 1) for the listed species.
        long double third = 1.0L;
        if (r.hasThirdBody) {
            double thirdBody = fractionSum;
            for (std::size_t k = 0; k < r.thirdBodySpecies.size(); ++k)
                thirdBody += (r.thirdBodyEfficiencies[k] - 1.0) * species[r.thirdBodySpecies[k]]->moleFraction;
            third = thirdBody * concentration;
        }

        // d q/d x_k at fixed T and c.
        std::vector<long double>& dq = out.work;
        std::fill(dq.begin(), dq.end(), 0.0L);
        for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
            dq[r.reactantSpecies[k]] += kf * termDerivative(r.reactantSpecies, r.reactantCoefficients, k) * third;
        if (!r.forwardOnly)
            for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
                dq[r.productSpecies[k]] -= kr * termDerivative(r.productSpecies, r.productCoefficients, k) * third;
        long double logConcentrationSlope
                = (kf * forward.order * forward.product - kr * reverse.order * reverse.product) * third;
        if (r.hasThirdBody) {
            const long double netC = net * concentration;
            for (std::size_t j = 0; j < gases; ++j)
                dq[j] += netC;
            for (std::size_t k = 0; k < r.thirdBodySpecies.size(); ++k)
                dq[r.thirdBodySpecies[k]] += netC * (r.thirdBodyEfficiencies[k] - 1.0);
            logConcentrationSlope += net * third;
        }
        // d q/dT at fixed c, then the total derivatives in T and p.
        const long double temperatureSlope
                = (kf * forward.product * forwardLogSlope - kr * reverse.product * reverseLogSlope) * third;
        const long double dqdT = 1000.0L * (temperatureSlope - logConcentrationSlope * inverseT);
        const long double dqdp = 1000.0L * logConcentrationSlope / static_cast<long double>(pressure);

        auto scatter = [&](uint16_t j, double nu) {
            double* row = &out.moleFraction[static_cast<std::size_t>(j) * N];
            for (std::size_t k = 0; k < N; ++k)
                row[k] += static_cast<double>(1000.0L * nu * dq[k]);
            out.temperature[j] += static_cast<double>(nu * dqdT);
            out.pressure[j] += static_cast<double>(nu * dqdp);
        };
        for (std::size_t k = 0; k < r.productSpecies.size(); ++k)
            scatter(r.productSpecies[k], r.productCoefficients[k]);
        for (std::size_t k = 0; k < r.reactantSpecies.size(); ++k)
            scatter(r.reactantSpecies[k], -r.reactantCoefficients[k]);
    }
}
