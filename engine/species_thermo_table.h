#pragma once
// The thermodynamic state of every species of a mixture, side by side: for each species
// the folded fit of the interval its last temperature fell in, with the window of
// temperatures over which that interval is the one its fit picks, and the results of the
// last evaluation (Cp/R, H/(RT), S/R, G/(RT)). One pass over contiguous arrays evaluates
// all species inside their windows; a species outside its window (another interval, an
// unfolded interval, outside its fit, a temperature that is not a number) is evaluated by
// its own record, with every code that raises, and its window moves with it.
#include <cstddef>
#include <memory>
#include <vector>

#include "engine/species.h"

class SpeciesThermoTable {
public:
    // Evaluates species[0..count) at t into the arrays below and into each record's
    // cpR, enthalpyRT, entropyR and gibbsRT (the records stay the state other code reads).
    // A record replaced since the last call is taken up again.
    void evaluate(const TemperaturePowers& t, const std::vector<std::shared_ptr<Species>>& species, std::size_t count);
    // The same, except that the records inside their windows are left to the caller,
    // who passes over the records anyway: storeInRecord(j, record) for each of them.
    void evaluateArrays(const TemperaturePowers& t, const std::vector<std::shared_ptr<Species>>& species,
                        std::size_t count);
    void storeInRecord(std::size_t j, Species& record) const
    {
        const std::size_t n = records.size();
        record.cpR = results[j];
        record.enthalpyRT = results[n + j];
        record.entropyR = results[2 * n + j];
        record.gibbsRT = results[3 * n + j];
    }

    const double* cpR() const { return results.data(); }
    const double* enthalpyRT() const { return results.data() + records.size(); }
    const double* entropyR() const { return results.data() + 2 * records.size(); }
    const double* gibbsRT() const { return results.data() + 3 * records.size(); }

private:
    void resize(std::size_t count);
    // Takes up the folded interval record j uses at T, or an empty window when it has none.
    void cacheWindow(std::size_t j, const Species& record, double T);

    std::vector<const Species*> records;
    std::vector<double> low, high; // window [low, high), K; empty (+inf, -inf) for none
    // One row per coefficient, one column per species: the folded Cp, H and S terms of
    // the powers T^-2..T^4 (rows 0-6, 7-13, 14-20), then b1 and b2 (rows 21, 22).
    std::vector<double> coefficients;
    // Rows Cp/R, H/(RT), S/R, G/(RT); one column per species.
    std::vector<double> results;
    std::vector<std::size_t> outside; // work: species outside their window
};
