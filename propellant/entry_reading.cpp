#include "propellant/entry_reading.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/units.h"

namespace {

// A stored value in SI. A unit index the list lacks raises U through the conversion,
// which keeps the value as stored; the run start then refuses the run for it.
double storedInSI(UnitKind kind, double value, int unit)
{
    const bool fits = unit >= 0 && unit <= std::numeric_limits<int16_t>::max();
    return convertToSI(kind, value, fits ? static_cast<int16_t>(unit) : int16_t{-1});
}

} // namespace

std::shared_ptr<Species> speciesRecord(const std::string& name, const nlohmann::json& entry, SubstanceKind kind,
                                       std::string* brokenRule)
{
    if (brokenRule)
        brokenRule->clear();
    // A species entry without "Intervals" is read as one without Cp data, as a reactant
    // entry may be, so that the editor's rule names what is wrong with it.
    std::optional<SpeciesEntry> e = speciesEntryFromJson(entry, SubstanceKind::Reactant);
    if (!e)
        return nullptr;
    // The editor's rules as a loader applies them to a stored entry. They also keep every
    // count within the record's bytes, every interval with the first one's term count,
    // and the phase in range.
    const std::string broken = validateEntry(*e, kind, EntryUse::Loading);
    if (!broken.empty()) {
        if (brokenRule)
            *brokenRule = broken;
        return nullptr;
    }
    const std::size_t terms = e->intervals.empty() ? 0 : e->intervals.front().a.size();

    std::vector<ElementCount> composition;
    for (const CompositionPair& p : e->composition)
        composition.push_back({p.count, p.symbol});
    std::vector<std::vector<double>> coefficients, exponents;
    std::vector<std::pair<double, double>> constants, ranges;
    for (const CpInterval& i : e->intervals) {
        coefficients.push_back(i.a);
        exponents.push_back(i.exp);
        constants.emplace_back(i.b1, i.b2);
        ranges.emplace_back(i.tmin, i.tmax);
    }
    std::vector<std::pair<double, double>> viscosityRanges, conductivityRanges;
    std::vector<std::array<double, 4>> viscosityFits, conductivityFits;
    for (const TransportInterval& t : e->viscosity) {
        viscosityRanges.emplace_back(t.tmin, t.tmax);
        viscosityFits.push_back(t.coef);
    }
    for (const TransportInterval& t : e->conductivity) {
        conductivityRanges.emplace_back(t.tmin, t.tmax);
        conductivityFits.push_back(t.coef);
    }
    // A species ignores a third "Enthalpy" element; a reactant takes it as its reference
    // temperature, with or without Cp intervals.
    const double reference = kind == SubstanceKind::Reactant && e->enthalpyTemperature ? *e->enthalpyTemperature : -1.0;
    return std::make_shared<Species>(static_cast<uint8_t>(composition.size()),
                                     static_cast<uint8_t>(e->intervals.size()), static_cast<uint8_t>(terms),
                                     static_cast<uint8_t>(viscosityRanges.size()),
                                     static_cast<uint8_t>(conductivityRanges.size()), name, composition,
                                     storedInSI(unitKind::MolarEnthalpy, e->enthalpy, e->enthalpyUnit),
                                     storedInSI(unitKind::MolarMass, e->molecWeight, e->molecWeightUnit),
                                     static_cast<uint8_t>(e->phase), coefficients, exponents, constants, ranges,
                                     viscosityRanges, viscosityFits, conductivityRanges, conductivityFits, reference);
}

double reactantAmount(double relativeMass, double relativeMassSum, double molarMass)
{
    return relativeMass / (molarMass * relativeMassSum);
}

namespace {

std::shared_ptr<Species> recordOf(const std::string& name, const nlohmann::json& doc, SubstanceKind kind,
                                  std::string* brokenRule)
{
    if (brokenRule)
        brokenRule->clear();
    if (!doc.is_object())
        return nullptr;
    auto it = doc.find(name);
    return it == doc.end() ? nullptr : speciesRecord(name, *it, kind, brokenRule);
}

bool failWith(const std::string& name, std::string* failedName)
{
    if (failedName)
        *failedName = name;
    return false;
}

} // namespace

bool buildSpeciesRecords(const std::vector<std::string>& names, const nlohmann::json& speciesDoc,
                         std::vector<std::shared_ptr<Species>>& records, std::string* failedName,
                         std::string* brokenRule)
{
    records.clear();
    for (const std::string& name : names) {
        std::shared_ptr<Species> s = recordOf(name, speciesDoc, SubstanceKind::Species, brokenRule);
        if (!s)
            return failWith(name, failedName);
        records.push_back(std::move(s));
    }
    return true;
}

bool buildReactantRecords(const std::vector<CompositionRow>& composition, const nlohmann::json& reactantsDoc,
                          std::vector<std::shared_ptr<Species>>& records, std::string* failedName,
                          std::string* brokenRule)
{
    records.clear();
    double sum = 0.0;
    for (const CompositionRow& row : composition)
        sum += row.relativeMass;
    for (const CompositionRow& row : composition) {
        std::shared_ptr<Species> s = recordOf(row.reactant, reactantsDoc, SubstanceKind::Reactant, brokenRule);
        if (!s)
            return failWith(row.reactant, failedName);
        s->moles = reactantAmount(row.relativeMass, sum, s->molarMass);
        records.push_back(std::move(s));
    }
    return true;
}

std::vector<std::string> mixtureElements(const std::vector<std::string>& symbols)
{
    std::vector<std::string> out;
    for (const std::string& s : symbols)
        if (s != "E" && std::find(out.begin(), out.end(), s) == out.end())
            out.push_back(s);
    out.push_back("E");
    return out;
}
