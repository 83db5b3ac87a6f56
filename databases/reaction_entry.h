#pragma once
// Entries of Kinetics.json: one JSON object mapping reaction keys to entries
//   "A"          [value, 0]            unit 0 "cm-mol-s-K"
//   "Ea"         [value, unit]         unit 0 "cal/mol", 1 "J/mol"
//   "Forward"    bool
//   "Products"   [[name, coefficient], ...]
//   "Reactants"  [[name, coefficient], ...]
//   "Third Body" [[name, efficiency], ...]   absent when there is no third body (never [])
//   "b"          number
//   "isActive"   bool
// Pairs are [name, number], the reverse of a species' composition pairs. The key is a
// name only (the editor's text as typed); the content is in "Reactants"/"Products".
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

enum class ActivationEnergyUnit : int { CalPerMol = 0, JPerMol = 1 };

struct ReactionTerm {
    std::string name;
    double coefficient = 0.0;
    bool operator==(const ReactionTerm& o) const { return name == o.name && coefficient == o.coefficient; }
};

struct ReactionEntry {
    std::vector<ReactionTerm> reactants;
    std::vector<ReactionTerm> products;
    double A = 0.0;
    int AUnit = 0;
    double b = 0.0;
    double Ea = 0.0;
    int EaUnit = 0;
    bool forward = false;
    std::vector<ReactionTerm> thirdBody; // empty = no third body: the key is left out
    bool isActive = true;

    bool operator==(const ReactionEntry& o) const
    {
        return reactants == o.reactants && products == o.products && A == o.A && AUnit == o.AUnit && b == o.b
                && Ea == o.Ea && EaUnit == o.EaUnit && forward == o.forward && thirdBody == o.thirdBody
                && isActive == o.isActive;
    }
};

nlohmann::json toJson(const ReactionEntry& entry);

// Adds a term to one side of a reaction: a name already on that side gets the coefficient
// added to its own, a new name is appended (so a side keeps the order of first appearance
// and holds each name once).
void addReactionTerm(std::vector<ReactionTerm>& side, const std::string& name, double coefficient);

// Ea in cal/mol whatever unit it was typed in (1 cal = 4.184 J): an entry stored in
// J/mol must not be used as if it were in cal/mol, which would make it 4.184 times too large.
double activationEnergyCalPerMol(const ReactionEntry& entry);

// Reads an entry; nullopt with the reason in *error for a missing required key or a
// value of the wrong type. Never reads out of bounds.
std::optional<ReactionEntry> reactionEntryFromJson(const nlohmann::json& value, std::string* error = nullptr);

// The first broken invariant, or an empty string: at least one reactant and product,
// unique non-empty names per side, coefficients and efficiencies >= 0 and finite,
// at most 255 pairs per list, unit indices in range.
std::string validateReactionEntry(const ReactionEntry& entry);

struct ReactionParse {
    bool ok = false;
    std::string message; // the first failure, when !ok
    std::vector<ReactionTerm> reactants;
    std::vector<ReactionTerm> products;
};

// Reads a reaction text such as "H + H = H2" or "2H = H2" (UTF-8, untrimmed).
// Separators are ' ', '+' and '='; after a token every following separator is skipped
// and any '=' among them switches to the products for good. A token's leading run of
// digits and '.' is its coefficient (1 when there is none), the rest its species name,
// which `isKnownSpecies` must accept. Repeated names on one side are summed, in order
// of first appearance. Messages:
//   "Reaction is empty"
//   "Invalid coefficient for element '" + token + "'"
//   "The reacting specie '" + name + "' is not in the database"
//   "Missing reactants in reaction", "Missing products in reaction"
ReactionParse parseReactionText(const std::string& text, const std::function<bool(const std::string&)>& isKnownSpecies);
// The same with the names of a species document: a name is known when the document
// holds it with a value that is not empty.
ReactionParse parseReactionText(const std::string& text, const nlohmann::json& speciesDocument);

// A stored entry describes the parsed reaction when its "Reactants" and "Products" hold
// as many pairs as the parsed sides and every stored pair has a parsed pair on the same
// side with the same name and an equal coefficient. Order does not matter; A, b, Ea,
// "Forward" and third bodies do not count; exchanged sides are no duplicate.
bool isDuplicateReaction(const nlohmann::json& storedEntry, const std::vector<ReactionTerm>& reactants,
                         const std::vector<ReactionTerm>& products);
// The first key (in key order) of the document whose entry is a duplicate.
std::optional<std::string> findDuplicateReaction(const nlohmann::json& kineticsDocument,
                                                 const std::vector<ReactionTerm>& reactants,
                                                 const std::vector<ReactionTerm>& products);
