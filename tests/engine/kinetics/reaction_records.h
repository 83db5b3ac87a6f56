#pragma once
// Reaction records for the kinetics tests: a reaction given by its terms and rate data
// (A in mol, cm3, s, K; Ea in cal/mol) made into the record the propellant loader builds,
// and the reactions of the tests' hydrogen/oxygen mechanism (support/h2o2_mechanism.h) as
// the importer stored them. Its one fall-off reaction, 2OH (+M) = H2O2 (+M), is stored at
// its high-pressure limit, without a third body.
#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "databases/reaction_entry.h"
#include "engine/reaction.h"
#include "support/imported_databases.h"

struct TabulatedReaction {
    std::vector<std::pair<double, std::string>> reactants, products;
    double A, b, Ea;
    bool thirdBody;
    std::vector<std::pair<std::string, double>> efficiencies;
};

// Position of a species in the given list (the order the mixture is built from).
inline uint16_t speciesPosition(const std::vector<std::string>& names, const std::string& name)
{
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end())
        throw std::runtime_error("no species " + name);
    return static_cast<uint16_t>(it - names.begin());
}

// A reaction record over the species list, the way the propellant loader builds one.
inline std::shared_ptr<Reaction> makeReaction(const TabulatedReaction& r, const std::vector<std::string>& names,
                                              bool forwardOnly = false)
{
    std::vector<uint16_t> ri, pi, ti;
    std::vector<double> rc, pc, te;
    for (const auto& [c, n] : r.reactants) {
        ri.push_back(speciesPosition(names, n));
        rc.push_back(c);
    }
    for (const auto& [c, n] : r.products) {
        pi.push_back(speciesPosition(names, n));
        pc.push_back(c);
    }
    for (const auto& [n, e] : r.efficiencies) {
        ti.push_back(speciesPosition(names, n));
        te.push_back(e);
    }
    return std::make_shared<Reaction>(static_cast<uint8_t>(ri.size()), static_cast<uint8_t>(pi.size()),
                                      static_cast<uint8_t>(ti.size()), ri, pi, rc, pc, forwardOnly ? 1 : 0, r.A, r.b,
                                      r.Ea, ti, te, r.thirdBody);
}

// The reaction of the imported mechanism stored under `key` (such as "2H + 1H2 = 2H2").
inline TabulatedReaction mechanismReaction(const std::string& key)
{
    const nlohmann::json& kinetics = importedDatabases().kinetics;
    const auto entry = kinetics.find(key);
    const std::optional<ReactionEntry> e = entry == kinetics.end() ? std::nullopt : reactionEntryFromJson(*entry);
    if (!e)
        throw std::runtime_error("no usable reaction " + key);
    TabulatedReaction r{{}, {}, e->A, e->b, activationEnergyCalPerMol(*e), !e->thirdBody.empty(), {}};
    for (const ReactionTerm& t : e->reactants)
        r.reactants.emplace_back(t.coefficient, t.name);
    for (const ReactionTerm& t : e->products)
        r.products.emplace_back(t.coefficient, t.name);
    for (const ReactionTerm& t : e->thirdBody)
        r.efficiencies.emplace_back(t.name, t.coefficient);
    return r;
}

// Every reaction of the mechanism over the species list, in key order.
inline std::vector<std::shared_ptr<Reaction>> hydrogenOxygenReactions(const std::vector<std::string>& names)
{
    std::vector<std::shared_ptr<Reaction>> out;
    for (const std::string& key : mechanismReactionKeys())
        out.push_back(makeReaction(mechanismReaction(key), names));
    return out;
}
