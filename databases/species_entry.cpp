#include "databases/species_entry.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

#include "core/units.h"

using nlohmann::json;

namespace {

json numbers(const std::vector<double>& values)
{
    json out = json::array();
    for (double v : values)
        out.push_back(v);
    return out;
}

json transportToJson(const std::vector<TransportInterval>& intervals)
{
    json out = json::array();
    for (const TransportInterval& t : intervals)
        out.push_back({{"Coef", {t.coef[0], t.coef[1], t.coef[2], t.coef[3]}}, {"T_int", {t.tmin, t.tmax}}});
    return out;
}

// Small checked readers: each returns false with a reason instead of throwing.
struct Reader {
    std::string* error;
    bool fail(const std::string& why)
    {
        if (error)
            *error = why;
        return false;
    }
    bool number(const json& v, double& out, const std::string& what)
    {
        if (!v.is_number())
            return fail(what + " is not a number");
        out = v.get<double>();
        return true;
    }
    bool integer(const json& v, int& out, const std::string& what)
    {
        if (!v.is_number())
            return fail(what + " is not a number");
        const double d = v.get<double>();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 1e6)
            return fail(what + " is not an integer");
        out = static_cast<int>(d);
        return true;
    }
    bool numberArray(const json& v, std::vector<double>& out, const std::string& what)
    {
        if (!v.is_array())
            return fail(what + " is not an array");
        out.clear();
        for (const json& x : v) {
            double d = 0;
            if (!number(x, d, what + " element"))
                return false;
            out.push_back(d);
        }
        return true;
    }
    bool pair(const json& v, double& first, double& second, const std::string& what)
    {
        if (!v.is_array() || v.size() != 2)
            return fail(what + " is not a pair of numbers");
        return number(v[0], first, what) && number(v[1], second, what);
    }
    bool transport(const json& v, std::vector<TransportInterval>& out, const std::string& what)
    {
        if (!v.is_array())
            return fail(what + " is not an array");
        out.clear();
        for (const json& item : v) {
            if (!item.is_object() || !item.contains("Coef") || !item.contains("T_int"))
                return fail(what + " interval lacks \"Coef\" or \"T_int\"");
            TransportInterval t;
            if (!pair(item["T_int"], t.tmin, t.tmax, what + " \"T_int\""))
                return false;
            const json& c = item["Coef"];
            if (!c.is_array() || c.size() != 4)
                return fail(what + " \"Coef\" does not hold four numbers");
            for (std::size_t k = 0; k < 4; ++k)
                if (!number(c[k], t.coef[k], what + " \"Coef\""))
                    return false;
            out.push_back(t);
        }
        return true;
    }
};

} // namespace

json toJson(const SpeciesEntry& e)
{
    json out = json::object();
    json composition = json::array();
    for (const CompositionPair& p : e.composition)
        composition.push_back({p.count, p.symbol});
    out["Composition"] = std::move(composition);
    out["Phase"] = e.phase;
    json enthalpy = {e.enthalpy, e.enthalpyUnit};
    if (e.enthalpyTemperature)
        enthalpy.push_back(*e.enthalpyTemperature);
    out["Enthalpy"] = std::move(enthalpy);
    out["MolecWeight"] = {e.molecWeight, e.molecWeightUnit};
    if (!e.intervals.empty()) {
        json intervals = json::array();
        for (const CpInterval& i : e.intervals)
            intervals.push_back(
                    {{"T_int", {i.tmin, i.tmax}}, {"a", numbers(i.a)}, {"b", {i.b1, i.b2}}, {"exp", numbers(i.exp)}});
        out["Intervals"] = std::move(intervals);
    }
    if (!e.viscosity.empty())
        out["Viscosity"] = transportToJson(e.viscosity);
    if (!e.conductivity.empty())
        out["Conductivity"] = transportToJson(e.conductivity);
    out["isActive"] = e.isActive;
    return out;
}

std::optional<SpeciesEntry> speciesEntryFromJson(const json& value, SubstanceKind kind, std::string* error)
{
    Reader r{error};
    if (!value.is_object()) {
        r.fail("the entry is not an object");
        return std::nullopt;
    }
    for (const char* key : {"Composition", "Phase", "Enthalpy", "MolecWeight", "isActive"})
        if (!value.contains(key)) {
            r.fail(std::string("\"") + key + "\" is missing");
            return std::nullopt;
        }
    if (kind == SubstanceKind::Species && !value.contains("Intervals")) {
        r.fail("\"Intervals\" is missing");
        return std::nullopt;
    }

    SpeciesEntry e;
    const json& comp = value["Composition"];
    if (!comp.is_array()) {
        r.fail("\"Composition\" is not an array");
        return std::nullopt;
    }
    for (const json& p : comp) {
        if (!p.is_array() || p.size() != 2 || !p[1].is_string()) {
            r.fail("\"Composition\" holds a pair that is not [count, symbol]");
            return std::nullopt;
        }
        CompositionPair pair;
        if (!r.number(p[0], pair.count, "a composition count"))
            return std::nullopt;
        pair.symbol = p[1].get<std::string>();
        e.composition.push_back(pair);
    }
    if (!r.integer(value["Phase"], e.phase, "\"Phase\""))
        return std::nullopt;

    const json& enth = value["Enthalpy"];
    if (!enth.is_array() || (enth.size() != 2 && enth.size() != 3)) {
        r.fail("\"Enthalpy\" is not [value, unit] or [value, unit, temperature]");
        return std::nullopt;
    }
    if (!r.number(enth[0], e.enthalpy, "\"Enthalpy\" value")
        || !r.integer(enth[1], e.enthalpyUnit, "\"Enthalpy\" unit"))
        return std::nullopt;
    if (enth.size() == 3) {
        double t = 0;
        if (!r.number(enth[2], t, "\"Enthalpy\" temperature"))
            return std::nullopt;
        e.enthalpyTemperature = t;
    }

    const json& mw = value["MolecWeight"];
    if (!mw.is_array() || mw.size() != 2) {
        r.fail("\"MolecWeight\" is not [value, unit]");
        return std::nullopt;
    }
    if (!r.number(mw[0], e.molecWeight, "\"MolecWeight\" value")
        || !r.integer(mw[1], e.molecWeightUnit, "\"MolecWeight\" unit"))
        return std::nullopt;

    if (value.contains("Intervals")) {
        const json& ints = value["Intervals"];
        if (!ints.is_array()) {
            r.fail("\"Intervals\" is not an array");
            return std::nullopt;
        }
        for (const json& item : ints) {
            if (!item.is_object() || !item.contains("T_int") || !item.contains("a") || !item.contains("b")
                || !item.contains("exp")) {
                r.fail("an interval lacks \"T_int\", \"a\", \"b\" or \"exp\"");
                return std::nullopt;
            }
            CpInterval i;
            if (!r.pair(item["T_int"], i.tmin, i.tmax, "\"T_int\"") || !r.pair(item["b"], i.b1, i.b2, "\"b\"")
                || !r.numberArray(item["a"], i.a, "\"a\"") || !r.numberArray(item["exp"], i.exp, "\"exp\""))
                return std::nullopt;
            e.intervals.push_back(std::move(i));
        }
    }
    if (value.contains("Viscosity") && !r.transport(value["Viscosity"], e.viscosity, "\"Viscosity\""))
        return std::nullopt;
    if (value.contains("Conductivity") && !r.transport(value["Conductivity"], e.conductivity, "\"Conductivity\""))
        return std::nullopt;

    if (!value["isActive"].is_boolean()) {
        r.fail("\"isActive\" is not a boolean");
        return std::nullopt;
    }
    e.isActive = value["isActive"].get<bool>();
    return e;
}

namespace {

bool isFinite(double v)
{
    return std::isfinite(v);
}

// A stored value as the messages show it: the shortest text that reads back the same.
std::string shownValue(double v)
{
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

// A weight summed from the element table, to six significant digits (2.016, 124.056).
std::string shownWeight(double v)
{
    std::ostringstream out;
    out << std::setprecision(6) << v;
    return out.str();
}

} // namespace

bool validCompositionCount(const std::string& symbol, double count)
{
    return isFinite(count) && (symbol == "E" || count > 0);
}

double enthalpyInSI(double value, int unit)
{
    if (unit < static_cast<int>(EnthalpyUnit::JPerKmol) || unit > static_cast<int>(EnthalpyUnit::CalPerMol))
        return std::numeric_limits<double>::quiet_NaN();
    return convertToSI(unitKind::MolarEnthalpy, value, static_cast<int16_t>(unit));
}

double molarMassInSI(double value, int unit)
{
    if (unit < static_cast<int>(MolecWeightUnit::GPerMol) || unit > static_cast<int>(MolecWeightUnit::KgPerMol))
        return std::numeric_limits<double>::quiet_NaN();
    return convertToSI(unitKind::MolarMass, value, static_cast<int16_t>(unit));
}

bool validEnthalpy(double value, int unit)
{
    return isFinite(enthalpyInSI(value, unit));
}

bool validMolarMass(double value, int unit)
{
    const double kgPerKmol = molarMassInSI(value, unit);
    return isFinite(kgPerKmol) && kgPerKmol > 0;
}

double formulaWeight(const std::vector<CompositionPair>& composition)
{
    double weight = 0.0; // g/mol
    for (const CompositionPair& p : composition)
        weight += p.count * elementWeight(p.symbol);
    return weight;
}

bool compositionFitsMolarMass(const std::vector<CompositionPair>& composition, double molarMass, int unit)
{
    if (!validMolarMass(molarMass, unit))
        return false;
    const double formula = formulaWeight(composition);
    // kg/kmol and g/mol are the same number.
    return isFinite(formula) && formula > 0
            && std::fabs(molarMassInSI(molarMass, unit) - formula) <= molarMassTolerance * formula;
}

bool enthalpyFitsMolarMass(double enthalpy, int enthalpyUnit, double molarMass, int molarMassUnit)
{
    constexpr double maxSpecificEnthalpy = 1e12; // J/kg
    if (!validEnthalpy(enthalpy, enthalpyUnit) || !validMolarMass(molarMass, molarMassUnit))
        return false;
    return std::fabs(enthalpyInSI(enthalpy, enthalpyUnit) / molarMassInSI(molarMass, molarMassUnit))
            <= maxSpecificEnthalpy;
}

bool validFormationTemperature(double kelvin)
{
    return isFinite(kelvin) && kelvin > 0;
}

bool validCpTmin(double tmin, std::optional<double> previousTmax)
{
    return isFinite(tmin) && tmin >= 0 && (!previousTmax || tmin >= *previousTmax);
}

bool validCpTmax(double tmin, double tmax)
{
    return isFinite(tmax) && tmax > tmin;
}

bool validTransportTemperature(double kelvin)
{
    return isFinite(kelvin) && kelvin >= 0;
}

std::string validateEntry(const SpeciesEntry& e, SubstanceKind kind, EntryUse use)
{
    auto tooMany = [](std::size_t n) { return n > maxEntryItems; };
    const bool loading = use == EntryUse::Loading;
    // A loader converts a value whose unit index the list lacks with the unit conversion,
    // which raises U and keeps the value as stored.
    const bool enthalpyUnitKnown = isFinite(enthalpyInSI(0.0, e.enthalpyUnit));
    const bool molarMassUnitKnown = isFinite(molarMassInSI(1.0, e.molecWeightUnit));

    if (e.composition.empty())
        return "The composition holds no atoms";
    if (tooMany(e.composition.size()))
        return "The composition holds more than 255 atoms";
    for (const CompositionPair& p : e.composition) {
        if (!isElementSymbol(p.symbol))
            return "Invalid atom: " + p.symbol;
        if (!validCompositionCount(p.symbol, p.count))
            return "Invalid count of atom " + p.symbol + ": " + shownValue(p.count)
                    + " (a count must be finite, and above 0 for every atom but the electron E)";
    }
    if (e.phase < 0 || e.phase > 2)
        return "Invalid phase";
    const bool enthalpyAsStored = loading && !enthalpyUnitKnown;
    if (enthalpyAsStored ? !isFinite(e.enthalpy) : !validEnthalpy(e.enthalpy, e.enthalpyUnit))
        return "Invalid enthalpy: " + shownValue(e.enthalpy)
                + " (the heat of formation must be finite in J/kmol, with a unit of the list)";
    const bool molarMassAsStored = loading && !molarMassUnitKnown;
    if (molarMassAsStored ? !(isFinite(e.molecWeight) && e.molecWeight > 0)
                          : !validMolarMass(e.molecWeight, e.molecWeightUnit))
        return "Invalid molecular weight: " + shownValue(e.molecWeight)
                + " (the molar mass must be above 0 and finite in kg/kmol, with a unit of the list)";
    if (!molarMassAsStored && !compositionFitsMolarMass(e.composition, e.molecWeight, e.molecWeightUnit))
        return "Invalid composition: its atoms weigh " + shownWeight(formulaWeight(e.composition))
                + " g/mol, the molar mass " + shownValue(e.molecWeight)
                + (e.molecWeightUnit == static_cast<int>(MolecWeightUnit::KgPerMol) ? " kg/mol" : " g/mol")
                + " (a molar mass may differ from the weight of its atoms and electrons by at most "
                + shownWeight(molarMassTolerance * 100) + " %)";
    if (!enthalpyAsStored && !molarMassAsStored
        && !enthalpyFitsMolarMass(e.enthalpy, e.enthalpyUnit, e.molecWeight, e.molecWeightUnit))
        return "Invalid enthalpy: " + shownValue(e.enthalpy)
                + " (the heat of formation may be at most 1e12 J per kg of the substance in magnitude)";

    if (e.intervals.empty()) {
        if (kind == SubstanceKind::Species)
            return "A species needs at least one Cp interval";
        if (!e.enthalpyTemperature)
            return "Invalid temperature for formation enthalpy (a reactant without Cp intervals is defined at one "
                   "temperature)";
        if (!validFormationTemperature(*e.enthalpyTemperature))
            return "Invalid temperature for formation enthalpy: " + shownValue(*e.enthalpyTemperature)
                    + " K (it must be above 0 K)";
    } else {
        if (e.enthalpyTemperature && !loading)
            return "Only a reactant without Cp intervals has a formation temperature";
        if (tooMany(e.intervals.size()))
            return "More than 255 Cp intervals";
        const std::size_t terms = e.intervals.front().a.size();
        if (terms == 0)
            return "A Cp interval needs at least one term";
        if (tooMany(terms))
            return "More than 255 Cp terms";
        std::optional<double> previousTmax;
        for (std::size_t n = 0; n < e.intervals.size(); ++n) {
            const CpInterval& i = e.intervals[n];
            if (i.a.size() != terms || i.exp.size() != terms)
                return "Every Cp interval must have the same number of terms";
            if (!validCpTmin(i.tmin, previousTmax))
                return "Invalid Cp Tmin: " + shownValue(i.tmin)
                        + " (the Cp intervals must be in ascending order, each from 0 K or more and from no lower "
                          "than the Tmax of the interval before it)";
            if (!validCpTmax(i.tmin, i.tmax))
                return "Invalid Cp Tmax: " + shownValue(i.tmax) + " (each Cp interval must end above its Tmin)";
            if (!isFinite(i.b1) || !isFinite(i.b2))
                return "Invalid integration constant";
            for (std::size_t k = 0; k < terms; ++k)
                if (!isFinite(i.a[k]) || !isFinite(i.exp[k]))
                    return "Invalid Cp coefficient or exponent";
            previousTmax = i.tmax;
        }
    }

    for (const auto* list : {&e.viscosity, &e.conductivity}) {
        const char* what = list == &e.viscosity ? "viscosity" : "conductivity";
        if (tooMany(list->size()))
            return std::string("More than 255 ") + what + " intervals";
        for (const TransportInterval& t : *list) {
            if (!validTransportTemperature(t.tmin) || !validTransportTemperature(t.tmax))
                return std::string("Invalid ") + what + " temperature";
            for (double c : t.coef)
                if (!isFinite(c))
                    return std::string("Invalid ") + what + " coefficient";
        }
    }
    return {};
}
