#pragma once
// Test-only reader of thermodynamic records in the NASA Glenn seven-coefficient layout
// (the few records the engine tests need are kept in tests/data/engine). Every call of
// make() returns a fresh record, since a mixture writes its species' state.
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/species.h"

class ThermoRecords {
public:
    explicit ThermoRecords(const std::string& path)
    {
        std::ifstream in(path);
        if (!in)
            throw std::runtime_error("cannot open " + path);
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        for (std::size_t i = 0; i + 1 < lines.size();) {
            const std::string& head = lines[i];
            if (head.empty() || head[0] == '!' || head[0] == ' ') {
                ++i;
                continue;
            }
            const std::string name = head.substr(0, head.find(' '));
            const std::string& l2 = lines[i + 1];
            const int nIntervals = std::stoi(l2.substr(0, 2));
            Species s;
            std::vector<ElementCount> composition;
            for (int k = 0; k < 5; ++k) {
                std::string sym = trim(l2.substr(10 + 8 * k, 2));
                double count = number(l2.substr(12 + 8 * k, 6));
                if (!sym.empty() && count != 0.0)
                    composition.push_back({count, sym});
            }
            const int phase = l2[51] - '0';
            const double molarMass = number(l2.substr(52, 13));
            const double hf = number(l2.substr(65, 15)) * 1000.0; // J/mol to J/kmol
            std::vector<std::vector<double>> a, e;
            std::vector<std::pair<double, double>> b, ranges;
            double reference = -1.0;
            std::size_t next = i + 2;
            if (nIntervals == 0) {
                reference = number(lines[next].substr(0, 11));
                next += 1;
            }
            for (int k = 0; k < nIntervals; ++k) {
                const std::string& r = lines[next];
                const std::string& c1 = lines[next + 1];
                const std::string& c2 = lines[next + 2];
                ranges.emplace_back(number(r.substr(0, 11)), number(r.substr(11, 11)));
                const int nCoef = r[22] - '0';
                std::vector<double> ex, co;
                for (int m = 0; m < nCoef; ++m)
                    ex.push_back(number(r.substr(23 + 5 * m, 5)));
                for (int m = 0; m < 5 && m < nCoef; ++m)
                    co.push_back(number(c1.substr(16 * m, 16)));
                for (int m = 5; m < nCoef; ++m)
                    co.push_back(number(c2.substr(16 * (m - 5), 16)));
                a.push_back(co);
                e.push_back(ex);
                b.emplace_back(number(c2.substr(48, 16)), number(c2.substr(64, 16)));
                next += 3;
            }
            records_[name]
                    = Species(static_cast<uint8_t>(composition.size()), static_cast<uint8_t>(nIntervals),
                              static_cast<uint8_t>(a.empty() ? 0 : a[0].size()), 0, 0, name, composition, hf, molarMass,
                              static_cast<uint8_t>(phase), a, e, b, ranges, {}, {}, {}, {}, reference);
            i = next;
        }
    }

    std::shared_ptr<Species> make(const std::string& name) const
    {
        auto it = records_.find(name);
        if (it == records_.end())
            throw std::runtime_error("no record " + name);
        return std::make_shared<Species>(it->second);
    }

    std::vector<std::shared_ptr<Species>> make(const std::vector<std::string>& names) const
    {
        std::vector<std::shared_ptr<Species>> out;
        for (const std::string& n : names)
            out.push_back(make(n));
        return out;
    }

private:
    static std::string trim(const std::string& s)
    {
        std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    }
    static double number(std::string s)
    {
        std::replace(s.begin(), s.end(), 'D', 'E');
        s = trim(s);
        return s.empty() ? 0.0 : std::stod(s);
    }
    std::map<std::string, Species> records_;
};

inline const ThermoRecords& thermoRecords()
{
    static const ThermoRecords records(std::string(KAVRO_TEST_DATA_DIR) + "/engine/thermo_subset.inp");
    return records;
}
