#include "engine/species_thermo_table.h"

#include <limits>

namespace {
constexpr std::size_t COEFFICIENT_ROWS = 23;
constexpr std::size_t B1_ROW = 21;
constexpr std::size_t B2_ROW = 22;

// The same sums, in the same order, as a record's own folded evaluation, so that every
// result is identical to the last bit; a loop over all species the compiler vectorises
// (the separate, non-aliasing blocks let it).
// Built for AVX2 as well where the machine has it (no FMA: the same roundings).
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void evaluateFolded(const TemperaturePowers& t, const double* __restrict c, double* __restrict out, std::size_t n)
{
    const double T = t.T, logT = t.logT;
    const double P0 = t.power[0], P1 = t.power[1], P3 = t.power[3], P4 = t.power[4], P5 = t.power[5], P6 = t.power[6];
    const double* __restrict cp = c;
    const double* __restrict h = c + 7 * n;
    const double* __restrict s = c + 14 * n;
    const double* __restrict b1 = c + B1_ROW * n;
    const double* __restrict b2 = c + B2_ROW * n;
    for (std::size_t j = 0; j < n; ++j) {
        out[j] = cp[j] * P0 + cp[n + j] * P1 + cp[2 * n + j] + cp[3 * n + j] * P3 + cp[4 * n + j] * P4
                + cp[5 * n + j] * P5 + cp[6 * n + j] * P6;
        const double hSum = h[j] * P0 + h[n + j] * logT * P1 + h[2 * n + j] + h[3 * n + j] * P3 + h[4 * n + j] * P4
                + h[5 * n + j] * P5 + h[6 * n + j] * P6;
        const double sSum = s[j] * P0 + s[n + j] * P1 + s[2 * n + j] * logT + s[3 * n + j] * P3 + s[4 * n + j] * P4
                + s[5 * n + j] * P5 + s[6 * n + j] * P6;
        const double H = hSum + b1[j] / T;
        const double S = sSum + b2[j];
        out[n + j] = H;
        out[2 * n + j] = S;
        out[3 * n + j] = H - S;
    }
}
} // namespace

void SpeciesThermoTable::resize(std::size_t count)
{
    if (records.size() == count)
        return;
    records.assign(count, nullptr);
    low.assign(count, std::numeric_limits<double>::infinity());
    high.assign(count, -std::numeric_limits<double>::infinity());
    coefficients.assign(COEFFICIENT_ROWS * count, 0.0);
    results.assign(4 * count, 0.0);
}

void SpeciesThermoTable::cacheWindow(std::size_t j, const Species& record, double T)
{
    records[j] = &record;
    Species::FoldedFit fit;
    if (!record.foldedFitAt(T, fit)) {
        low[j] = std::numeric_limits<double>::infinity();
        high[j] = -std::numeric_limits<double>::infinity();
        return;
    }
    const std::size_t n = records.size();
    low[j] = fit.low;
    high[j] = fit.high;
    for (std::size_t k = 0; k < 7; ++k) {
        coefficients[k * n + j] = (*fit.cp)[k];
        coefficients[(7 + k) * n + j] = (*fit.h)[k];
        coefficients[(14 + k) * n + j] = (*fit.s)[k];
    }
    coefficients[B1_ROW * n + j] = fit.b1;
    coefficients[B2_ROW * n + j] = fit.b2;
}

void SpeciesThermoTable::evaluate(const TemperaturePowers& t, const std::vector<std::shared_ptr<Species>>& species,
                                  std::size_t count)
{
    evaluateArrays(t, species, count);
    for (std::size_t j = 0; j < count; ++j)
        storeInRecord(j, *species[j]);
}

void SpeciesThermoTable::evaluateArrays(const TemperaturePowers& t,
                                        const std::vector<std::shared_ptr<Species>>& species, std::size_t count)
{
    resize(count);
    evaluateFolded(t, coefficients.data(), results.data(), count);

    // A species outside its window, or a record replaced since the last call, is
    // evaluated by its record.
    const double T = t.T;
    outside.clear();
    for (std::size_t j = 0; j < count; ++j) {
        if (species[j].get() != records[j] || !(low[j] <= T && T < high[j]))
            outside.push_back(j);
    }
    double* cp = results.data();
    double* H = cp + count;
    double* S = H + count;
    double* G = S + count;
    for (std::size_t j : outside) {
        Species& record = *species[j];
        record.thermo(t);
        cp[j] = record.cpR;
        H[j] = record.enthalpyRT;
        S[j] = record.entropyR;
        G[j] = record.gibbsRT;
        cacheWindow(j, record, T);
    }
}
