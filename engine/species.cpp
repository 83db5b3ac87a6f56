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

constexpr int LOWEST_FOLDED_EXPONENT = -2;
constexpr int HIGHEST_FOLDED_EXPONENT = 4;

double transportFit(const std::array<double, 4>& f, double T, double factor)
{
    return std::exp(f[0] * std::log(T) + f[1] / T + f[2] / (T * T) + f[3]) * factor;
}
} // namespace

TemperaturePowers::TemperaturePowers(double T_) : T(T_), logT(std::log(T_))
{
    // Formed by multiplication as the generic evaluation forms them.
    const double inverse = 1.0 / T;
    const double square = T * T;
    power = {inverse * inverse, inverse, 1.0, T, square, square * T, square * T * T};
}

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
    foldIntervals();
    if (nIntervals > 0) {
        intervalSums(0, minTemperature, lowEndSums[0], lowEndSums[1], lowEndSums[2]);
        intervalSums(nIntervals - 1u, maxTemperature, highEndSums[0], highEndSums[1], highEndSums[2]);
    }
}

void Species::foldIntervals()
{
    foldedIntervals.assign(nIntervals, FoldedInterval{});
    for (std::size_t i = 0; i < nIntervals; ++i) {
        FoldedInterval& f = foldedIntervals[i];
        f.folded = true;
        for (std::size_t k = 0; k < coefficients[i].size(); ++k) {
            const double e = exponents[i][k];
            if (!(e == std::floor(e) && e >= LOWEST_FOLDED_EXPONENT && e <= HIGHEST_FOLDED_EXPONENT)) {
                f = FoldedInterval{};
                break;
            }
            f.cp[static_cast<std::size_t>(e - LOWEST_FOLDED_EXPONENT)] += coefficients[i][k];
        }
        if (!f.folded)
            continue;
        // Integrals of a T^e: H/(RT) takes a T^e/(e+1) (a ln(T)/T for e = -1), S/R takes
        // a T^e/e (a ln(T) for e = 0).
        for (std::size_t k = 0; k < 7; ++k) {
            const double e = static_cast<double>(static_cast<int>(k) + LOWEST_FOLDED_EXPONENT);
            f.h[k] = e == -1.0 ? f.cp[k] : f.cp[k] / (e + 1.0);
            f.s[k] = e == 0.0 ? f.cp[k] : f.cp[k] / e;
        }
    }
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

bool Species::foldedFitAt(double T, FoldedFit& fit) const
{
    if (foldedIntervals.size() != nIntervals)
        return false;
    for (std::size_t i = 0; i < nIntervals; ++i) {
        const auto [low, high] = temperatureRanges[i];
        if (!(low <= T && T < high))
            continue;
        if (!foldedIntervals[i].folded)
            return false;
        // The window shrinks away from every earlier interval that overlaps it, which
        // would be chosen first there; one lying strictly inside it leaves no window.
        double lo = low, hi = high;
        for (std::size_t k = 0; k < i; ++k) {
            const auto [kl, kh] = temperatureRanges[k];
            if (!(kl < hi && kh > lo))
                continue;
            if (kl <= lo)
                lo = kh;
            else if (kh >= hi)
                hi = kl;
            else
                return false;
        }
        if (!(lo <= T && T < hi))
            return false;
        const FoldedInterval& f = foldedIntervals[i];
        fit = FoldedFit{lo, hi, &f.cp, &f.h, &f.s, integrationConstants[i].first, integrationConstants[i].second};
        return true;
    }
    return false;
}

void Species::thermo(double T)
{
    thermo(TemperaturePowers(T));
}

void Species::thermoGeneral(const TemperaturePowers& t)
{
    const double T = t.T;
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
            if (i < foldedIntervals.size() && foldedIntervals[i].folded)
                foldedSums(i, t, cpSum, hSum, sSum);
            else
                intervalSums(i, T, cpSum, hSum, sSum);
            setFromIntervalSums(i, T, cpSum, hSum, sSum);
            return;
        }
    }
    std::size_t i;
    double Tm;
    const std::array<double, 3>* end;
    if (T < temperatureRanges.front().first) {
        i = 0;
        Tm = minTemperature;
        end = &lowEndSums;
        if (moles > 0.0)
            raiseFlag(flagsSP, code::SP01);
    } else if (T >= temperatureRanges.back().second) {
        i = nIntervals - 1u;
        Tm = maxTemperature;
        end = &highEndSums;
        if (moles > 0.0)
            raiseFlag(flagsSP, code::SP02);
    } else {
        // A gap between intervals, or T not a number: the previous results stay.
        raiseFlag(flagsSP, code::SP00);
        return;
    }
    // Constant-Cp extrapolation from the end of the fit.
    // (the end sums are formed at construction; a record filled field by field has none)
    if (foldedIntervals.size() == nIntervals) {
        cpSum = (*end)[0];
        hSum = (*end)[1];
        sSum = (*end)[2];
    } else {
        intervalSums(i, Tm, cpSum, hSum, sSum);
    }
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
