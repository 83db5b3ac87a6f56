#include "propellant/mixture_loader.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QString>

#include "core/flags.h"
#include "databases/database_files.h"
#include "databases/reaction_entry.h"
#include "propellant/entry_reading.h"
#include "propellant/propellant_entry.h"
#include "propellant/propellant_file.h"
#include "propellant/provider_messages.h"

using nlohmann::json;

namespace {

constexpr std::size_t maxMixtureItems = std::numeric_limits<uint16_t>::max();
constexpr std::size_t maxReactionTerms = std::numeric_limits<uint8_t>::max();

// The empty mixture, refused with `lcode`. The empty mixture raises L07 ("failed for an
// undetermined reason") by itself; when a more precise code says why, L07 is put back as
// it was, so that the user reads only the reason.
std::shared_ptr<Mixture> refusedMixture(uint32_t lcode)
{
    const bool undeterminedBefore = flagRaised(flagsL, code::L07);
    auto mixture = std::make_shared<Mixture>();
    if (lcode != code::L07 && !undeterminedBefore)
        clearFlag(flagsL, code::L07);
    raiseFlag(flagsL, lcode);
    return mixture;
}

// The empty mixture, refused with L07 for an entry of a chemical database that breaks
// the editor's rules; its box names the entry and the rule.
std::shared_ptr<Mixture> refusedEntry(const QString& kind, const QString& database, const std::string& name,
                                      const std::string& rule, ViewMessages* refusals)
{
    refusals->push_back(providerViewMessage(QStringLiteral("Invalid ") + kind + QStringLiteral(" '")
                                                    + QString::fromStdString(name) + QStringLiteral("' in the ")
                                                    + database + QStringLiteral(" database, propellant load failed"),
                                            QString::fromStdString(rule)));
    return refusedMixture(code::L07);
}

enum class ReactionOutcome { Built, Skipped, Refused };

// The position of `name` in the propellant's species list, or -1.
long speciesPosition(const std::vector<std::string>& species, const std::string& name)
{
    auto it = std::find(species.begin(), species.end(), name);
    return it == species.end() ? -1 : static_cast<long>(it - species.begin());
}

// One side of a reaction: the terms whose species the propellant holds, each index with
// its coefficient; the others reported and left out (L04).
void keepTerms(const std::vector<ReactionTerm>& terms, const std::vector<std::string>& species, const QString& what,
               std::vector<uint16_t>& indices, std::vector<double>& coefficients, ViewMessages* refusals)
{
    for (const ReactionTerm& t : terms) {
        const long position = speciesPosition(species, t.name);
        if (position < 0) {
            refusals->push_back(providerViewMessage(what + QString::fromStdString(t.name)
                                                    + QStringLiteral("' could not be found in composition")));
            raiseFlag(flagsL, code::L04);
            continue;
        }
        indices.push_back(static_cast<uint16_t>(position));
        coefficients.push_back(t.coefficient);
    }
}

ReactionOutcome buildReaction(const std::string& key, const json& kinetics, const std::vector<std::string>& species,
                              std::shared_ptr<Reaction>& reaction, ViewMessages* refusals)
{
    auto it = kinetics.find(key);
    if (it == kinetics.end() || !it->is_object())
        return ReactionOutcome::Refused;
    auto emptySide = [&](const char* side) {
        auto s = it->find(side);
        return s == it->end() || isEmptyValue(*s);
    };
    if (emptySide("Reactants") || emptySide("Products"))
        return ReactionOutcome::Skipped;
    std::optional<ReactionEntry> e = reactionEntryFromJson(*it);
    if (!e)
        return ReactionOutcome::Refused;

    std::vector<uint16_t> reactantIndices, productIndices, thirdBodyIndices;
    std::vector<double> reactantCoefficients, productCoefficients, efficiencies;
    keepTerms(e->reactants, species, QStringLiteral("Reaction reactant '"), reactantIndices, reactantCoefficients,
              refusals);
    keepTerms(e->products, species, QStringLiteral("Reaction product '"), productIndices, productCoefficients,
              refusals);
    for (auto t = e->thirdBody.rbegin(); t != e->thirdBody.rend(); ++t) {
        const long position = speciesPosition(species, t->name);
        if (position < 0) {
            raiseFlag(flagsSP, code::SP13);
            continue;
        }
        thirdBodyIndices.push_back(static_cast<uint16_t>(position));
        efficiencies.push_back(t->coefficient);
    }
    // The record's counts are bytes: more terms would be cut off, not refused.
    if (reactantIndices.size() > maxReactionTerms || productIndices.size() > maxReactionTerms
        || thirdBodyIndices.size() > maxReactionTerms)
        return ReactionOutcome::Refused;
    reaction = std::make_shared<Reaction>(
            static_cast<uint8_t>(reactantIndices.size()), static_cast<uint8_t>(productIndices.size()),
            static_cast<uint8_t>(thirdBodyIndices.size()), reactantIndices, productIndices, reactantCoefficients,
            productCoefficients, static_cast<uint8_t>(e->forward ? 1 : 0), e->A, e->b, activationEnergyCalPerMol(*e),
            thirdBodyIndices, efficiencies, !e->thirdBody.empty());
    return ReactionOutcome::Built;
}

// The amounts divide by the sum of the relative masses; a negative mass has no meaning.
bool usableRelativeMasses(const std::vector<CompositionRow>& composition)
{
    double sum = 0.0;
    for (const CompositionRow& r : composition) {
        if (!std::isfinite(r.relativeMass) || r.relativeMass < 0)
            return false;
        sum += r.relativeMass;
    }
    return composition.empty() || sum > 0;
}

} // namespace

std::shared_ptr<Mixture> assemblePropellantMixture(const json& entry, const MixtureDatabases& db,
                                                   ViewMessages* refusals, std::vector<std::string>* speciesOut)
{
    PropellantEntry propellant;
    if (!entry.is_null()) {
        std::optional<PropellantEntry> read = propellantChemistryFromJson(entry);
        if (!read || !usableRelativeMasses(read->composition))
            return refusedMixture(code::L07);
        propellant = std::move(*read);
    }
    if (speciesOut)
        *speciesOut = propellant.species;

    const std::vector<std::string> elements = mixtureElements(propellant.elements);
    if (propellant.species.size() > maxMixtureItems || propellant.composition.size() > maxMixtureItems
        || elements.size() > maxMixtureItems)
        return refusedMixture(code::L07);

    std::vector<std::shared_ptr<Species>> species, reactants;
    std::string failed, broken;
    if (!buildSpeciesRecords(propellant.species, db.species, species, &failed, &broken))
        return broken.empty()
                ? refusedMixture(code::L04)
                : refusedEntry(QStringLiteral("specie"), QStringLiteral("species"), failed, broken, refusals);
    if (!buildReactantRecords(propellant.composition, db.reactants, reactants, &failed, &broken))
        return broken.empty()
                ? refusedMixture(code::L05)
                : refusedEntry(QStringLiteral("reactant"), QStringLiteral("reactants"), failed, broken, refusals);

    std::vector<std::shared_ptr<Reaction>> reactions;
    for (const std::string& key : propellant.reactions) {
        std::shared_ptr<Reaction> reaction;
        switch (buildReaction(key, db.kinetics, propellant.species, reaction, refusals)) {
        case ReactionOutcome::Built: reactions.push_back(std::move(reaction)); break;
        case ReactionOutcome::Skipped: break;
        case ReactionOutcome::Refused: return refusedMixture(code::L06);
        }
    }
    if (reactions.size() > maxMixtureItems)
        return refusedMixture(code::L07);

    return std::make_shared<Mixture>(static_cast<uint16_t>(species.size()), static_cast<uint16_t>(reactants.size()),
                                     static_cast<uint16_t>(elements.size()), static_cast<uint16_t>(reactions.size()),
                                     species, reactants, elements, &reactions);
}

namespace {

// Hands back the box of a file that exists but cannot be used; true when the load can go on.
bool usable(JsonReadStatus status, const QString& which, ViewMessages* refusals)
{
    switch (status) {
    case JsonReadStatus::Ok: return true;
    case JsonReadStatus::Missing: return false; // its code is raised; no message
    case JsonReadStatus::CannotOpen:
        refusals->push_back(providerViewMessage(cannotOpenFileMessage(which)));
        return false;
    case JsonReadStatus::Unparsable:
        refusals->push_back(providerViewMessage(corruptedFileMessage(which, QStringLiteral("save"))));
        return false;
    }
    return false;
}

} // namespace

std::shared_ptr<Mixture> loadPropellantMixture(const std::string& name, ViewMessages* refusals,
                                               std::vector<std::string>* speciesOut)
{
    const PropellantDocument propellants = readPropellantFile();
    if (!usable(propellants.status, QStringLiteral("Propellant"), refusals))
        return std::make_shared<Mixture>();
    const DatabaseDocument reactants = readDatabase(ChemicalDatabase::Reactants);
    if (!usable(reactants.status, QStringLiteral("Reactants"), refusals))
        return std::make_shared<Mixture>();
    const DatabaseDocument species = readDatabase(ChemicalDatabase::Species);
    if (!usable(species.status, QStringLiteral("Species"), refusals))
        return std::make_shared<Mixture>();
    const DatabaseDocument kinetics = readDatabase(ChemicalDatabase::Kinetics);
    if (!usable(kinetics.status, QStringLiteral("Kinetics"), refusals))
        return std::make_shared<Mixture>();

    auto it = propellants.document.find(name);
    const json entry = it == propellants.document.end() ? json() : *it;
    return assemblePropellantMixture(entry, {reactants.document, species.document, kinetics.document}, refusals,
                                     speciesOut);
}
