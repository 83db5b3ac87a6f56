#include "engine/mixture.h"

#include <algorithm>
#include <cmath>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"

namespace {
void refuse(uint32_t codeMask, const std::string& text)
{
    raiseFlag(flagsL, codeMask);
    reportEngineMessage({text, std::string()});
}
} // namespace

Mixture::Mixture()
{
    raiseFlag(flagsL, code::L07);
}

Mixture::Mixture(uint16_t nSpecies_, uint16_t nReactants_, uint16_t nElements_, uint16_t nReactions_,
                 const std::vector<std::shared_ptr<Species>>& speciesList,
                 const std::vector<std::shared_ptr<Species>>& reactantList, const std::vector<std::string>& symbols,
                 const std::vector<std::shared_ptr<Reaction>>* reactionList)
{
    // The counts never exceed the lists really handed over.
    uint16_t nGiven = static_cast<uint16_t>(std::min<std::size_t>(nSpecies_, speciesList.size()));
    nReactants = static_cast<uint16_t>(std::min<std::size_t>(nReactants_, reactantList.size()));
    nElements = static_cast<uint16_t>(std::min<std::size_t>(nElements_, symbols.size()));
    nReactions = reactionList ? static_cast<uint16_t>(std::min<std::size_t>(nReactions_, reactionList->size())) : 0;
    for (uint16_t i = 0; i < nGiven; ++i) {
        if (!speciesList[i]) {
            nGiven = i;
            break;
        }
    }
    // Each species once: a repeated name would add its own mixing entropy and shift the
    // equilibrium (H2 and H2O listed twice raise the hydrogen/oxygen chamber by 52 K).
    // Repeats are merged into the first; the reactions' positions follow.
    std::vector<std::shared_ptr<Species>> uniqueList;
    std::vector<uint16_t> uniqueOfGiven(nGiven, 0);
    for (uint16_t i = 0; i < nGiven; ++i) {
        uint16_t k = 0;
        while (k < uniqueList.size() && uniqueList[k]->name != speciesList[i]->name)
            ++k;
        if (k == uniqueList.size())
            uniqueList.push_back(speciesList[i]);
        uniqueOfGiven[i] = k;
    }
    nSpecies = static_cast<uint16_t>(uniqueList.size());
    for (uint16_t i = 0; i < nReactants; ++i) {
        if (!reactantList[i]) {
            nReactants = i;
            break;
        }
    }

    const std::size_t rows = symbols.size();
    entropyTerms.assign(nSpecies, 0.0);
    productionRateValues.assign(nSpecies, 0.0);
    chemicalPotentials.assign(nSpecies, 0.0);
    elementTargets.assign(rows, 0.0);
    elementTotals.assign(rows, 0.0);
    gasElementTotals.assign(rows, 0.0);
    elementMatrix.assign(rows, std::vector<double>(nSpecies, 0.0));
    chargeBalance = true;

    reactants.assign(reactantList.begin(), reactantList.begin() + nReactants);
    elementSymbols = symbols;
    if (rows > 0 && elementSymbols.back() == "E")
        electronRow = static_cast<int>(rows) - 1;

    // Internal order: gases from the front in given order, condensed from the back.
    species.assign(nSpecies, nullptr);
    speciesNames.assign(nSpecies, std::string());
    std::vector<uint16_t> internalOfUnique(nSpecies, 0);
    int front = 0, back = static_cast<int>(nSpecies) - 1;
    nGas = 0;
    for (uint16_t i = 0; i < nSpecies; ++i) {
        int place = uniqueList[i]->phase == 0 ? front++ : back--;
        species[place] = uniqueList[i];
        internalOfUnique[i] = static_cast<uint16_t>(place);
    }
    std::vector<uint16_t> internalIndex(nGiven, 0); // per given position
    for (uint16_t i = 0; i < nGiven; ++i)
        internalIndex[i] = internalOfUnique[uniqueOfGiven[i]];
    nGas = static_cast<uint16_t>(front);
    for (uint16_t j = 0; j < nSpecies; ++j)
        speciesNames[j] = species[j]->name;

    if (nGas == 0) {
        refuse(code::L02, "At least one specie in gaseous phase needs to be selected");
        return;
    }

    // Species with transport data.
    for (uint16_t j = 0; j < nSpecies; ++j) {
        if (species[j]->hasTransport)
            transportSpecies.push_back(j);
    }
    nTransport = static_cast<uint32_t>(transportSpecies.size());

    // Reactions: the mixture keeps its own copies, so re-mapping never touches a record
    // that someone else may use. An index outside the species list is dropped.
    for (uint16_t r = 0; r < nReactions; ++r) {
        const std::shared_ptr<Reaction>& given = (*reactionList)[r];
        auto copy = std::make_shared<Reaction>(given ? *given : Reaction());
        copy->netCoefficients.resize(nSpecies, 0.0);
        auto remap = [&](std::vector<uint16_t>& idx, std::vector<double>& values) {
            std::size_t out = 0;
            for (std::size_t k = 0; k < idx.size(); ++k) {
                if (idx[k] >= nGiven)
                    continue;
                idx[out] = internalIndex[idx[k]];
                values[out] = values[k];
                ++out;
            }
            idx.resize(out);
            values.resize(out);
            return static_cast<uint8_t>(out);
        };
        copy->reactantCount = remap(copy->reactantSpecies, copy->reactantCoefficients);
        copy->productCount = remap(copy->productSpecies, copy->productCoefficients);
        copy->thirdBodyCount = remap(copy->thirdBodySpecies, copy->thirdBodyEfficiencies);
        for (std::size_t k = 0; k < copy->reactantSpecies.size(); ++k)
            copy->netCoefficients[copy->reactantSpecies[k]] -= copy->reactantCoefficients[k];
        for (std::size_t k = 0; k < copy->productSpecies.size(); ++k)
            copy->netCoefficients[copy->productSpecies[k]] += copy->productCoefficients[k];
        reactions.push_back(std::move(copy));
    }

    // Starting composition: the gases share INITIAL_MIX_N.
    totalMoles = gasMoles = allMoles = INITIAL_MIX_N;
    logMoles = std::log(totalMoles);
    for (uint16_t j = 0; j < nSpecies; ++j) {
        if (j < nGas) {
            species[j]->moles = INITIAL_MIX_N / nGas;
            species[j]->logMoles = std::log(species[j]->moles);
        } else {
            species[j]->moles = 0.0;
        }
    }

    // Element totals of the reactants.
    for (uint16_t r = 0; r < nReactants; ++r) {
        std::vector<double> counts = reactants[r]->elementCounts(elementSymbols);
        for (std::size_t i = 0; i < rows; ++i)
            elementTargets[i] += counts[i] * reactants[r]->moles;
    }

    // Element counts of every species, per element row.
    for (uint16_t j = 0; j < nSpecies; ++j) {
        std::vector<double> counts = species[j]->elementCounts(elementSymbols);
        for (std::size_t i = 0; i < rows; ++i)
            elementMatrix[i][j] = counts[i];
    }

    // A single gas cannot take any other element ratio than its own.
    if (nGas == 1) {
        refuse(code::L00, "All selected species have same ratio of elements, at least one must have a different ratio");
        return;
    }

    // Ions: the electron row (the last symbol) is kept only with charges of both signs.
    bool positive = false, negative = false;
    for (uint16_t j = 0; j < nSpecies; ++j) {
        double e = electronCount(j);
        positive = positive || e > 0.0;
        negative = negative || e < 0.0;
    }
    if (!(positive && negative)) {
        if (electronRow >= 0 && nElements == rows)
            --nElements;
        chargeBalance = false;
        if (positive) {
            refuse(code::L03, "Only negative ions were found, at least one of each is needed");
            return;
        }
        if (negative) {
            refuse(code::L03, "Only positive ions were found, at least one of each is needed");
            return;
        }
    }

    resizeMatrix();
    iterationMatrix.setZero();
    rightHandSide.setZero();
    solution.setZero();
    previousSolution.setZero();

    markAbsentSpecies();

    // Enthalpy of the reactants at the default reactant temperature.
    setReactantEnthalpy(DEF_REAC_T);
    entropyTarget = 0.0;

    // No propellant holds a negative or undefined mass of anything.
    for (uint16_t r = 0; r < nReactants; ++r) {
        if (!usableAmount(reactants[r]->moles)) {
            refuse(code::L07, "The amount of reactant " + reactants[r]->name + " is negative or not a number");
            break;
        }
    }
}

Mixture::~Mixture() = default;

void Mixture::moleFractions()
{
    // Condensed species carry mass and enthalpy but take no volume: n counts the gas
    // only (kmol per kg of the whole mixture, as the equilibrium's n), so that p = rho R n
    // T. Every fraction is taken per mole of gas, so x_j p/(R T) = n_j rho is the amount
    // of species j per volume of the mixture, condensed species included.
    totalMoles = 0.0;
    const uint16_t gases = std::min(nGas, nSpecies);
    for (uint16_t j = 0; j < gases; ++j)
        totalMoles += species[j]->moles;
    gasConstant = R_UNIVERSAL * totalMoles;
    for (uint16_t j = 0; j < nSpecies; ++j)
        species[j]->moleFraction = totalMoles != 0.0 ? species[j]->moles / totalMoles : 0.0;
}

void Mixture::molesFromMasses()
{
    totalMoles = 0.0;
    for (uint16_t j = 0; j < nSpecies; ++j) {
        Species& s = *species[j];
        s.moles = s.mass / s.molarMass;
        s.logMoles = std::log(s.moles);
        totalMoles += s.moles;
    }
    logMoles = std::log(totalMoles);
    gasConstant = R_UNIVERSAL * totalMoles;
    for (uint16_t j = 0; j < nSpecies; ++j)
        species[j]->moleFraction = species[j]->moles / totalMoles;
}
