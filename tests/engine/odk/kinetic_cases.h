#pragma once
// The hydrogen/oxygen kinetic case: the eight species of the published H2/O2 mechanism
// (a copy in tests/data/odk), its reactions read by a minimal reader of the CHEMKIN
// reaction lines, the liquid propellant of the published rocket reference case, and a
// smooth nozzle contour with its throat at x = 0.
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "../thermo_records.h"
#include "engine/mixture.h"
#include "engine/reaction.h"
#include "engine/rocket_variables.h"

namespace odk_test {

inline const std::vector<std::string>& mechanismSpecies()
{
    static const std::vector<std::string> names{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};
    return names;
}

inline int speciesIndex(const std::string& name)
{
    const auto& names = mechanismSpecies();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    throw std::runtime_error("unknown species " + name);
}

struct Side {
    std::vector<uint16_t> species;
    std::vector<double> coefficients;
    bool thirdBody = false;
};

inline Side parseSide(std::string text)
{
    Side side;
    // A fall-off collider "(+M)" is taken at its high-pressure limit: no third body.
    for (std::size_t at; (at = text.find("(+M)")) != std::string::npos;)
        text.erase(at, 4);
    std::stringstream terms(text);
    for (std::string term; std::getline(terms, term, '+');) {
        if (term.empty())
            continue;
        if (term == "M") {
            side.thirdBody = true;
            continue;
        }
        std::size_t digits = 0;
        while (digits < term.size() && (std::isdigit(static_cast<unsigned char>(term[digits])) || term[digits] == '.'))
            ++digits;
        const double coefficient = digits ? std::stod(term.substr(0, digits)) : 1.0;
        const uint16_t index = static_cast<uint16_t>(speciesIndex(term.substr(digits)));
        bool merged = false;
        for (std::size_t k = 0; k < side.species.size(); ++k) {
            if (side.species[k] == index) {
                side.coefficients[k] += coefficient;
                merged = true;
            }
        }
        if (!merged) {
            side.species.push_back(index);
            side.coefficients.push_back(coefficient);
        }
    }
    return side;
}

// Reactions of the mechanism copy with every pre-exponential factor multiplied by
// rateFactor (the reverse rates follow through the equilibrium constants).
inline std::vector<std::shared_ptr<Reaction>> mechanismReactions(double rateFactor = 1.0)
{
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/odk/h2o2-mechanism.mech");
    if (!in)
        throw std::runtime_error("mechanism copy missing");
    std::vector<std::shared_ptr<Reaction>> out;
    bool inReactions = false;
    bool lastHasThirdBody = false;
    struct Pending {
        Side reactants, products;
        double A, b, Ea;
        std::vector<uint16_t> colliders;
        std::vector<double> efficiencies;
    };
    std::vector<Pending> pending;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '!')
            continue;
        std::stringstream words(line);
        std::string first;
        words >> first;
        if (first == "REACTIONS") {
            inReactions = true;
            continue;
        }
        if (!inReactions || first.empty())
            continue;
        if (first == "END")
            break;
        if (first.rfind("DUPLICATE", 0) == 0 || first.rfind("LOW", 0) == 0 || first.rfind("TROE", 0) == 0)
            continue;
        const std::size_t arrow = first.find("<=>");
        if (arrow == std::string::npos) {
            // Collider efficiencies "NAME/value/" of the reaction above.
            if (!lastHasThirdBody)
                continue;
            std::stringstream parts(line);
            std::vector<std::string> tokens;
            for (std::string tok; std::getline(parts, tok, '/');) {
                std::stringstream clean(tok);
                std::string word;
                clean >> word;
                if (!word.empty())
                    tokens.push_back(word);
            }
            for (std::size_t k = 0; k + 1 < tokens.size(); k += 2) {
                pending.back().colliders.push_back(static_cast<uint16_t>(speciesIndex(tokens[k])));
                pending.back().efficiencies.push_back(std::stod(tokens[k + 1]));
            }
            continue;
        }
        Pending p;
        p.reactants = parseSide(first.substr(0, arrow));
        p.products = parseSide(first.substr(arrow + 3));
        words >> p.A >> p.b >> p.Ea;
        lastHasThirdBody = p.reactants.thirdBody;
        pending.push_back(p);
    }
    for (const Pending& p : pending) {
        out.push_back(std::make_shared<Reaction>(
                static_cast<uint8_t>(p.reactants.species.size()), static_cast<uint8_t>(p.products.species.size()),
                static_cast<uint8_t>(p.colliders.size()), p.reactants.species, p.products.species,
                p.reactants.coefficients, p.products.coefficients, 0, p.A * rateFactor, p.b, p.Ea, p.colliders,
                p.efficiencies, p.reactants.thirdBody));
    }
    return out;
}

// The eight mechanism species with the liquid hydrogen/oxygen propellant of the
// published rocket case (O/F 5.55157); with reactions unless withReactions is false.
inline std::shared_ptr<Mixture> hydrogenOxygenKinetic(double rateFactor = 1.0, bool withReactions = true)
{
    const ThermoRecords& db = thermoRecords();
    auto products = db.make(mechanismSpecies());
    auto fuel = db.make("H2(L)");
    auto oxidiser = db.make("O2(L)");
    fuel->moles = 0.15263517 / fuel->molarMass;
    oxidiser->moles = 0.84736483 / oxidiser->molarMass;
    std::vector<std::shared_ptr<Species>> reactants{fuel, oxidiser};
    const std::vector<std::string> elements{"H", "O", "E"};
    if (!withReactions)
        return std::make_shared<Mixture>(static_cast<uint16_t>(products.size()), 2, 3, 0, products, reactants, elements,
                                         nullptr);
    auto reactions = mechanismReactions(rateFactor);
    return std::make_shared<Mixture>(static_cast<uint16_t>(products.size()), 2, 3,
                                     static_cast<uint16_t>(reactions.size()), products, reactants, elements,
                                     &reactions);
}

// A smooth nozzle: radius rt (1 + k (x/L)^2) on each side of the throat at x = 0,
// convergent from area ratio `inlet` over length Lc, divergent to area ratio `exit`
// over length Ld, with `convergent` stations before the throat and `divergent` after.
inline void smoothNozzle(RocketVariables& rv, unsigned convergent, unsigned divergent, double throatRadius = 0.05,
                         double inlet = 4.0, double exit = 25.0, double Lc = 0.1, double Ld = 0.5)
{
    const double kc = std::sqrt(inlet) - 1.0;
    const double kd = std::sqrt(exit) - 1.0;
    rv.x.clear();
    rv.area.clear();
    for (unsigned i = 0; i < convergent; ++i) {
        const double x = -Lc + Lc * i / convergent;
        const double r = throatRadius * (1.0 + kc * (x / Lc) * (x / Lc));
        rv.x.push_back(x);
        rv.area.push_back(M_PI * r * r);
    }
    for (unsigned i = 0; i <= divergent; ++i) {
        const double x = Ld * i / divergent;
        const double r = throatRadius * (1.0 + kd * (x / Ld) * (x / Ld));
        rv.x.push_back(x);
        rv.area.push_back(M_PI * r * r);
    }
    rv.throatIndex = convergent;
    rv.stationCount = static_cast<uint32_t>(rv.x.size());
    rv.frozenIndex = rv.stationCount;
    rv.throatDiameter = 2.0 * throatRadius;
    rv.throatCurvatureRadius = throatRadius;
    rv.resizeStations();
}

} // namespace odk_test
