#pragma once
// Test-only reader of pure-species records of a NASA Glenn transport file (the few the
// tests need are kept in tests/data/transport): per species its viscosity ("V") and
// conductivity ("C") intervals, each a temperature range and the four coefficients of
// ln(value) = A ln T + B/T + C/T^2 + D.
#include <array>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/mixture.h"
#include "engine/species.h"

struct TransportRecord {
    std::vector<std::pair<double, double>> viscosityRanges, conductivityRanges;
    std::vector<std::array<double, 4>> viscosityFits, conductivityFits;
};

class TransportRecords {
public:
    explicit TransportRecords(const std::string& path)
    {
        std::ifstream in(path);
        if (!in)
            throw std::runtime_error("cannot open " + path);
        TransportRecord* current = nullptr;
        for (std::string line; std::getline(in, line);) {
            if (line.empty())
                continue;
            if (line[0] != ' ') {
                // Header: name in columns 1-16, a second name for binary interactions.
                const std::string second = line.size() > 16 ? trim(line.substr(16, 16)) : std::string();
                current = second.empty() ? &records_[trim(line.substr(0, 16))] : nullptr;
                continue;
            }
            if (!current || line.size() < 80)
                continue;
            const std::pair<double, double> range(number(line.substr(2, 9)), number(line.substr(11, 9)));
            std::array<double, 4> fit{};
            for (int k = 0; k < 4; ++k)
                fit[k] = number(line.substr(20 + 15 * k, 15));
            if (line[1] == 'V') {
                current->viscosityRanges.push_back(range);
                current->viscosityFits.push_back(fit);
            } else if (line[1] == 'C') {
                current->conductivityRanges.push_back(range);
                current->conductivityFits.push_back(fit);
            }
        }
    }

    bool has(const std::string& name) const { return records_.count(name) != 0; }

    // Gives the species the fits of its record, as the propellant loader does.
    void attach(Species& s) const
    {
        const TransportRecord& r = records_.at(s.name);
        s.viscosityRanges = r.viscosityRanges;
        s.viscosityFits = r.viscosityFits;
        s.conductivityRanges = r.conductivityRanges;
        s.conductivityFits = r.conductivityFits;
        s.nViscosityIntervals = static_cast<uint8_t>(r.viscosityRanges.size());
        s.nConductivityIntervals = static_cast<uint8_t>(r.conductivityRanges.size());
        s.hasTransport = s.nViscosityIntervals != 0 || s.nConductivityIntervals != 0;
    }

    // Fits for every species of a built mixture that has a record, and the mixture's
    // list of transport species rebuilt the way its constructor builds it.
    void attach(Mixture& m) const
    {
        for (auto& s : m.species)
            if (has(s->name))
                attach(*s);
        m.transportSpecies.clear();
        for (uint16_t j = 0; j < m.nSpecies; ++j)
            if (m.species[j]->hasTransport)
                m.transportSpecies.push_back(j);
        m.nTransport = static_cast<uint32_t>(m.transportSpecies.size());
    }

private:
    static std::string trim(const std::string& s)
    {
        std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    }
    // Fortran fields: "0.61205763E 00" has a blank in the exponent.
    static double number(const std::string& field)
    {
        std::string s;
        for (char c : field)
            if (c != ' ')
                s += c;
        return s.empty() ? 0.0 : std::stod(s);
    }
    std::map<std::string, TransportRecord> records_;
};

inline const TransportRecords& transportRecords()
{
    static const TransportRecords records(std::string(KAVRO_TEST_DATA_DIR) + "/transport/trans_subset.inp");
    return records;
}
