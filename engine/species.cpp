#include "engine/species.h"

#include <algorithm>
#include <cmath>

#include "core/flags.h"

namespace {
// T^e; the integral exponents of the usual fits are formed by multiplication, which is
// much cheaper than pow() in the equilibrium iteration.
inline double powerOf(double T, double e)
{
    if (e == std::floor(e) && std::fabs(e) <= 8.0) {
        int k = static_cast<int>(e);
        double base = k < 0 ? 1.0 / T : T;
        double r = 1.0;
        for (int n = k < 0 ? -k : k; n > 0; --n)
            r *= base;
        return r;
    }
    return std::pow(T, e);
}

double transportFit(const std::array<double, 4>& f, double T, double factor)
{
    return std::exp(f[0] * std::log(T) + f[1] / T + f[2] / (T * T) + f[3]) * factor;
}
} // namespace

Species::Species(uint8_t nComposition_, uint8_t nIntervals_, uint8_t nTerms_, uint8_t nViscosityIntervals_,
                 uint8_t nConductivityIntervals_, const std::string& name_,
                 const std::vector<ElementCount>& composition_, double formationEnthalpy_, double molarMass_,
                 uint8_t phase_, const std::vector<std::vector<double>>& coefficients_,
                 const std::vector<std::vector<double>>& exponents_,
                 const std::vector<std::pair<double, double>>& integrationConstants_,
                 const std::vector<std::pair<double, double>>& temperatureRanges_,
                 const std::vector<std::pair<double, double>>& viscosityRanges_,
                 const std::vector<std::array<double, 4>>& viscosityFits_,
                 const std::vector<std::pair<double, double>>& conductivityRanges_,
                 const std::vector<std::array<double, 4>>& conductivityFits_, double referenceTemperature_)
    : name(name_), composition(composition_), molarMass(molarMass_), phase(phase_),
      formationEnthalpy(formationEnthalpy_), referenceTemperature(referenceTemperature_), coefficients(coefficients_),
      exponents(exponents_), integrationConstants(integrationConstants_), temperatureRanges(temperatureRanges_),
      viscosityRanges(viscosityRanges_), viscosityFits(viscosityFits_), conductivityRanges(conductivityRanges_),
      conductivityFits(conductivityFits_)
{
    // The counts must agree with the lists, or an evaluation would read past them: keep
    // only what every list of a kind really holds.
    auto fit = [](std::size_t given, std::size_t have) { return static_cast<uint8_t>(given < have ? given : have); };
    nComposition = fit(nComposition_, composition.size());
    composition.resize(nComposition);
    std::size_t intervals = nIntervals_;
    intervals = std::min<std::size_t>(
            {intervals, coefficients.size(), exponents.size(), integrationConstants.size(), temperatureRanges.size()});
    nIntervals = static_cast<uint8_t>(intervals);
    coefficients.resize(intervals);
    exponents.resize(intervals);
    integrationConstants.resize(intervals);
    temperatureRanges.resize(intervals);
    // Every interval is evaluated with its own term count (the shorter of its two lists).
    for (std::size_t i = 0; i < intervals; ++i) {
        std::size_t terms = std::min(coefficients[i].size(), exponents[i].size());
        coefficients[i].resize(terms);
        exponents[i].resize(terms);
    }
    nTerms = intervals > 0 ? static_cast<uint8_t>(std::min<std::size_t>(nTerms_, coefficients[0].size())) : nTerms_;
    nViscosityIntervals = fit(nViscosityIntervals_, std::min(viscosityRanges.size(), viscosityFits.size()));
    viscosityRanges.resize(nViscosityIntervals);
    viscosityFits.resize(nViscosityIntervals);
    nConductivityIntervals = fit(nConductivityIntervals_, std::min(conductivityRanges.size(), conductivityFits.size()));
    conductivityRanges.resize(nConductivityIntervals);
    conductivityFits.resize(nConductivityIntervals);

    gasConstant = R_UNIVERSAL / molarMass;
    formationEnthalpyR = formationEnthalpy / R_UNIVERSAL;
    if (nIntervals > 0) {
        maxTemperature = temperatureRanges.back().second;
        minTemperature = temperatureRanges.front().first;
    } else {
        maxTemperature = referenceTemperature;
        minTemperature = referenceTemperature;
    }
    hasTransport = nViscosityIntervals != 0 || nConductivityIntervals != 0;
}

void Species::intervalSums(std::size_t i, double T, double& cpSum, double& hSum, double& sSum) const
{
    const std::vector<double>& a = coefficients[i];
    const std::vector<double>& e = exponents[i];
    cpSum = 0.0;
    hSum = 0.0;
    sSum = 0.0;
    double logT = 0.0;
    bool haveLog = false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const double ek = e[k];
        const double term = a[k] * powerOf(T, ek);
        cpSum += term;
        if (ek == -1.0) {
            if (!haveLog) {
                logT = std::log(T);
                haveLog = true;
            }
            hSum += a[k] * logT / T;
            sSum += term / ek;
        } else if (ek == 0.0) {
            if (!haveLog) {
                logT = std::log(T);
                haveLog = true;
            }
            hSum += term;
            sSum += a[k] * logT;
        } else {
            hSum += term / (ek + 1.0);
            sSum += term / ek;
        }
    }
}

void Species::thermo(double T)
{
    if (nIntervals == 0) {
        cpR = 0.0;
        entropyR = 0.0;
        enthalpyRT = formationEnthalpyR / T;
        gibbsRT = enthalpyRT;
        if (moles > 0.0)
            raiseFlag(flagsSP, code::SP09);
        return;
    }
    double cpSum, hSum, sSum;
    for (std::size_t i = 0; i < nIntervals; ++i) {
        if (temperatureRanges[i].first <= T && T < temperatureRanges[i].second) {
            intervalSums(i, T, cpSum, hSum, sSum);
            cpR = cpSum;
            enthalpyRT = hSum + integrationConstants[i].first / T;
            entropyR = sSum + integrationConstants[i].second;
            gibbsRT = enthalpyRT - entropyR;
            return;
        }
    }
    std::size_t i;
    double Tm;
    if (T < temperatureRanges.front().first) {
        i = 0;
        Tm = minTemperature;
        if (moles > 0.0)
            raiseFlag(flagsSP, code::SP01);
    } else if (T >= temperatureRanges.back().second) {
        i = nIntervals - 1u;
        Tm = maxTemperature;
        if (moles > 0.0)
            raiseFlag(flagsSP, code::SP02);
    } else {
        // A gap between intervals, or T not a number: the previous results stay.
        raiseFlag(flagsSP, code::SP00);
        return;
    }
    // Constant-Cp extrapolation from the end of the fit.
    intervalSums(i, Tm, cpSum, hSum, sSum);
    cpR = cpSum;
    enthalpyRT = cpSum * (1.0 - Tm / T) + (integrationConstants[i].first / Tm + hSum) * (Tm / T);
    entropyR = sSum + integrationConstants[i].second + cpSum * std::log(T / Tm);
    gibbsRT = enthalpyRT - entropyR;
}

void Species::thermoDimensional(double T)
{
    thermo(T);
    enthalpy = enthalpyRT * R_UNIVERSAL * T;
    entropy = entropyR * R_UNIVERSAL;
    cp = cpR * R_UNIVERSAL;
    gibbs = gibbsRT * R_UNIVERSAL * T;
}

namespace {
// Shared interval choice of the two transport fits.
void evaluateTransport(double T, double moles, const std::vector<std::pair<double, double>>& ranges,
                       const std::vector<std::array<double, 4>>& fits, double factor, uint32_t below, uint32_t above,
                       uint32_t none, double& value)
{
    if (ranges.empty()) {
        value = 0.0;
        raiseFlag(flagsSP, none);
        return;
    }
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i].first <= T && T < ranges[i].second) {
            value = transportFit(fits[i], T, factor);
            return;
        }
    }
    if (T < ranges.front().first) {
        value = transportFit(fits.front(), T, factor);
        if (moles > 0.0)
            raiseFlag(flagsSP, below);
    } else if (T >= ranges.back().second) {
        value = transportFit(fits.back(), T, factor);
        if (moles > 0.0)
            raiseFlag(flagsSP, above);
    } else {
        raiseFlag(flagsSP, code::SP00);
    }
}
} // namespace

double Species::viscosity(double T)
{
    evaluateTransport(T, moles, viscosityRanges, viscosityFits, 1e-7, code::SP03, code::SP04, code::SP07,
                      viscosityValue);
    return viscosityValue;
}

double Species::conductivity(double T)
{
    evaluateTransport(T, moles, conductivityRanges, conductivityFits, 1e-4, code::SP05, code::SP06, code::SP08,
                      conductivityValue);
    return conductivityValue;
}

void Species::transport(double T)
{
    viscosity(T);
    conductivity(T);
}

std::vector<double> Species::elementCounts(const std::vector<std::string>& symbols) const
{
    std::vector<double> counts(symbols.size(), 0.0);
    for (const ElementCount& c : composition) {
        for (std::size_t k = 0; k < symbols.size(); ++k) {
            if (symbols[k] == c.symbol)
                counts[k] += c.count;
        }
    }
    return counts;
}
