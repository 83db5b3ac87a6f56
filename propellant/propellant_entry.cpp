#include "propellant/propellant_entry.h"

#include <cmath>

#include "databases/database_files.h"

using nlohmann::json;

namespace {

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

// A list of names; absent or null reads as empty.
bool namesFrom(const json& entry, const char* key, std::vector<std::string>& out, std::string* error)
{
    out.clear();
    auto it = entry.find(key);
    if (it == entry.end() || it->is_null())
        return true;
    if (!it->is_array())
        return fail(error, std::string("\"") + key + "\" is not a list");
    for (const json& item : *it) {
        if (!item.is_string())
            return fail(error, std::string("\"") + key + "\" holds an item that is not a name");
        out.push_back(item.get<std::string>());
    }
    return true;
}

bool integerFrom(const json& value, int& out)
{
    if (!value.is_number())
        return false;
    const double d = value.get<double>();
    if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 1e6)
        return false;
    out = static_cast<int>(d);
    return true;
}

bool numberFrom(const json& object, const char* key, double& out)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number())
        return false;
    out = it->get<double>();
    return true;
}

} // namespace

json toJson(const PropellantEntry& e)
{
    json out = json::object();
    json composition = json::array();
    for (const CompositionRow& row : e.composition)
        composition.push_back({row.reactant, row.relativeMass});
    out["Composition"] = std::move(composition);
    out["ELEMENTS"] = e.elements;
    out["Species"] = e.species;
    out["Reactions"] = e.reactions;
    if (e.solid) {
        out["Density"] = e.solid->density;
        out["Units"] = {e.solid->pressureUnit, e.solid->burnRateUnit, e.solid->densityUnit};
        json intervals = json::array();
        for (const VielleInterval& i : e.solid->intervals) {
            json pressure = {i.lower};
            if (i.upper)
                pressure.push_back(*i.upper);
            intervals.push_back({{"Pressure", std::move(pressure)}, {"a", i.a}, {"n", i.n}});
        }
        out["Intervals"] = std::move(intervals);
    }
    return out;
}

std::optional<PropellantEntry> propellantChemistryFromJson(const json& entry, std::string* error)
{
    if (!entry.is_object()) {
        fail(error, "the entry is not an object");
        return std::nullopt;
    }
    PropellantEntry e;
    auto composition = entry.find("Composition");
    if (composition != entry.end() && !composition->is_null()) {
        if (!composition->is_array()) {
            fail(error, "\"Composition\" is not a list");
            return std::nullopt;
        }
        for (const json& pair : *composition) {
            if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_number()) {
                fail(error, "\"Composition\" holds an item that is not [reactant, relative mass]");
                return std::nullopt;
            }
            e.composition.push_back({pair[0].get<std::string>(), pair[1].get<double>()});
        }
    }
    if (!namesFrom(entry, "ELEMENTS", e.elements, error) || !namesFrom(entry, "Species", e.species, error)
        || !namesFrom(entry, "Reactions", e.reactions, error))
        return std::nullopt;
    return e;
}

bool solidDataFromJson(const json& entry, std::optional<SolidPropellantData>& solid, std::string* error)
{
    solid.reset();
    if (!entry.is_object())
        return fail(error, "the entry is not an object");
    auto density = entry.find("Density");
    if (density == entry.end() || isEmptyValue(*density))
        return true;
    SolidPropellantData s;
    if (!density->is_number())
        return fail(error, "\"Density\" is not a number");
    s.density = density->get<double>();
    auto units = entry.find("Units");
    if (units == entry.end() || !units->is_array() || units->size() != 3 || !integerFrom((*units)[0], s.pressureUnit)
        || !integerFrom((*units)[1], s.burnRateUnit) || !integerFrom((*units)[2], s.densityUnit))
        return fail(error, "\"Units\" is not a list of three unit indices");
    auto intervals = entry.find("Intervals");
    if (intervals != entry.end() && !isEmptyValue(*intervals)) {
        if (!intervals->is_array())
            return fail(error, "\"Intervals\" is not a list");
        for (const json& item : *intervals) {
            VielleInterval i;
            if (!item.is_object())
                return fail(error, "an interval is not an object");
            auto pressure = item.find("Pressure");
            if (pressure == item.end() || !pressure->is_array() || pressure->empty() || pressure->size() > 2
                || !(*pressure)[0].is_number())
                return fail(error, "an interval's \"Pressure\" is not [lower, upper] or [lower]");
            i.lower = (*pressure)[0].get<double>();
            if (pressure->size() == 2 && !isEmptyValue((*pressure)[1])) {
                if (!(*pressure)[1].is_number())
                    return fail(error, "an interval's upper pressure is not a number");
                i.upper = (*pressure)[1].get<double>();
            }
            if (!numberFrom(item, "a", i.a) || !numberFrom(item, "n", i.n))
                return fail(error, "an interval's \"a\" or \"n\" is not a number");
            s.intervals.push_back(i);
        }
    }
    solid = std::move(s);
    return true;
}

std::optional<PropellantEntry> propellantEntryFromJson(const json& entry, std::string* error)
{
    std::optional<PropellantEntry> e = propellantChemistryFromJson(entry, error);
    if (!e || !solidDataFromJson(entry, e->solid, error))
        return std::nullopt;
    return e;
}
