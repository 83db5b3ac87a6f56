#include "databases/reaction_entry.h"

#include <cmath>
#include <cstdlib>

#include "databases/database_files.h"

using nlohmann::json;

namespace {

json termsToJson(const std::vector<ReactionTerm>& terms)
{
    json out = json::array();
    for (const ReactionTerm& t : terms)
        out.push_back({t.name, t.coefficient});
    return out;
}

bool termsFromJson(const json& value, std::vector<ReactionTerm>& out)
{
    if (!value.is_array())
        return false;
    out.clear();
    for (const json& pair : value) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_number())
            return false;
        out.push_back({pair[0].get<std::string>(), pair[1].get<double>()});
    }
    return true;
}

bool valueWithUnit(const json& value, double& number, int& unit)
{
    if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number_integer())
        return false;
    number = value[0].get<double>();
    const auto u = value[1].get<long long>();
    if (u < -1000000 || u > 1000000)
        return false;
    unit = static_cast<int>(u);
    return true;
}

bool isSeparator(char c)
{
    return c == ' ' || c == '+' || c == '=';
}

// The coefficient run of a token: digits and at most one point, at least one digit.
// Read by hand so the user's locale can never change its meaning.
bool convertCoefficient(const std::string& run, double& value)
{
    std::size_t points = 0;
    std::size_t digits = 0;
    for (char c : run) {
        if (c == '.')
            ++points;
        else
            ++digits;
    }
    if (digits == 0 || points > 1)
        return false;
    const std::size_t point = run.find('.');
    const std::string whole = point == std::string::npos ? run : run.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : run.substr(point + 1);
    // Both parts are plain digit strings: an exact decimal read through the C-locale
    // scientific form "<digits>e-<n>" avoids any locale-dependent point.
    const std::string mantissa = whole + fraction;
    const std::string scientific = mantissa + "e-" + std::to_string(fraction.size());
    char* end = nullptr;
    value = std::strtod(scientific.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

bool sameSide(const json& stored, const std::vector<ReactionTerm>& parsed)
{
    if (!stored.is_array() || stored.size() != parsed.size())
        return false;
    for (const json& pair : stored) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_number())
            return false;
        const std::string& name = pair[0].get_ref<const std::string&>();
        const double coefficient = pair[1].get<double>();
        bool found = false;
        for (const ReactionTerm& t : parsed)
            if (t.name == name && t.coefficient == coefficient) {
                found = true;
                break;
            }
        if (!found)
            return false;
    }
    return true;
}

} // namespace

void addReactionTerm(std::vector<ReactionTerm>& side, const std::string& name, double coefficient)
{
    for (ReactionTerm& t : side)
        if (t.name == name) {
            t.coefficient += coefficient;
            return;
        }
    side.push_back({name, coefficient});
}

json toJson(const ReactionEntry& e)
{
    json out = json::object();
    out["A"] = {e.A, e.AUnit};
    out["Ea"] = {e.Ea, e.EaUnit};
    out["Forward"] = e.forward;
    out["Products"] = termsToJson(e.products);
    out["Reactants"] = termsToJson(e.reactants);
    if (!e.thirdBody.empty())
        out["Third Body"] = termsToJson(e.thirdBody);
    out["b"] = e.b;
    out["isActive"] = e.isActive;
    return out;
}

double activationEnergyCalPerMol(const ReactionEntry& e)
{
    return e.EaUnit == static_cast<int>(ActivationEnergyUnit::JPerMol) ? e.Ea / 4.184 : e.Ea;
}

std::optional<ReactionEntry> reactionEntryFromJson(const json& value, std::string* error)
{
    auto fail = [error](const std::string& why) -> std::optional<ReactionEntry> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!value.is_object())
        return fail("the entry is not an object");
    for (const char* key : {"Reactants", "Products", "A", "b", "Ea", "Forward", "isActive"})
        if (!value.contains(key))
            return fail(std::string("\"") + key + "\" is missing");
    ReactionEntry e;
    if (!termsFromJson(value["Reactants"], e.reactants))
        return fail("\"Reactants\" is not a list of [name, coefficient] pairs");
    if (!termsFromJson(value["Products"], e.products))
        return fail("\"Products\" is not a list of [name, coefficient] pairs");
    if (!valueWithUnit(value["A"], e.A, e.AUnit))
        return fail("\"A\" is not [value, unit]");
    if (!valueWithUnit(value["Ea"], e.Ea, e.EaUnit))
        return fail("\"Ea\" is not [value, unit]");
    if (!value["b"].is_number())
        return fail("\"b\" is not a number");
    e.b = value["b"].get<double>();
    if (!value["Forward"].is_boolean())
        return fail("\"Forward\" is not a boolean");
    e.forward = value["Forward"].get<bool>();
    if (!value["isActive"].is_boolean())
        return fail("\"isActive\" is not a boolean");
    e.isActive = value["isActive"].get<bool>();
    if (value.contains("Third Body") && !value["Third Body"].is_null()
        && !termsFromJson(value["Third Body"], e.thirdBody))
        return fail("\"Third Body\" is not a list of [name, efficiency] pairs");
    return e;
}

std::string validateReactionEntry(const ReactionEntry& e)
{
    if (e.reactants.empty())
        return "Missing reactants in reaction";
    if (e.products.empty())
        return "Missing products in reaction";
    struct List {
        const std::vector<ReactionTerm>* terms;
        const char* what;
        bool unique;
    };
    for (const List& list : {List{&e.reactants, "reactants", true}, List{&e.products, "products", true},
                             List{&e.thirdBody, "third bodies", false}}) {
        if (list.terms->size() > 255)
            return std::string("More than 255 ") + list.what;
        for (std::size_t i = 0; i < list.terms->size(); ++i) {
            const ReactionTerm& t = (*list.terms)[i];
            if (t.name.empty())
                return std::string("Empty name among the ") + list.what;
            if (!std::isfinite(t.coefficient) || t.coefficient < 0)
                return std::string("Invalid number among the ") + list.what + ": " + t.name;
            if (list.unique)
                for (std::size_t j = 0; j < i; ++j)
                    if ((*list.terms)[j].name == t.name)
                        return std::string("Repeated name among the ") + list.what + ": " + t.name;
        }
    }
    if (!std::isfinite(e.A) || e.AUnit != 0)
        return "Invalid constant A";
    if (!std::isfinite(e.b))
        return "Invalid constant b";
    if (!std::isfinite(e.Ea) || e.EaUnit < 0 || e.EaUnit > 1)
        return "Invalid activation energy";
    return {};
}

ReactionParse parseReactionText(const std::string& text, const std::function<bool(const std::string&)>& isKnownSpecies)
{
    ReactionParse result;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.message = std::move(message);
        result.reactants.clear();
        result.products.clear();
        return result;
    };
    if (text.empty())
        return fail("Reaction is empty");

    bool productSide = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        const std::string token = text.substr(pos, end - pos);
        const bool onProducts = productSide; // the side in force when the token began
        while (end < text.size() && isSeparator(text[end])) {
            if (text[end] == '=')
                productSide = true;
            ++end;
        }
        pos = end;

        std::size_t runEnd = 0;
        while (runEnd < token.size() && ((token[runEnd] >= '0' && token[runEnd] <= '9') || token[runEnd] == '.'))
            ++runEnd;
        double coefficient = 1.0;
        if (runEnd > 0 && !convertCoefficient(token.substr(0, runEnd), coefficient))
            return fail("Invalid coefficient for element '" + token + "'");
        const std::string name = token.substr(runEnd);
        if (!isKnownSpecies || !isKnownSpecies(name))
            return fail("The reacting specie '" + name + "' is not in the database");
        addReactionTerm(onProducts ? result.products : result.reactants, name, coefficient);
    }
    if (result.reactants.empty())
        return fail("Missing reactants in reaction");
    if (result.products.empty())
        return fail("Missing products in reaction");
    result.ok = true;
    return result;
}

ReactionParse parseReactionText(const std::string& text, const json& speciesDocument)
{
    return parseReactionText(text,
                             [&speciesDocument](const std::string& name) { return holdsEntry(speciesDocument, name); });
}

bool isDuplicateReaction(const json& storedEntry, const std::vector<ReactionTerm>& reactants,
                         const std::vector<ReactionTerm>& products)
{
    if (!storedEntry.is_object())
        return false;
    const auto r = storedEntry.find("Reactants");
    const auto p = storedEntry.find("Products");
    if (r == storedEntry.end() || p == storedEntry.end())
        return false;
    return sameSide(*r, reactants) && sameSide(*p, products);
}

std::optional<std::string> findDuplicateReaction(const json& kineticsDocument,
                                                 const std::vector<ReactionTerm>& reactants,
                                                 const std::vector<ReactionTerm>& products)
{
    if (!kineticsDocument.is_object())
        return std::nullopt;
    for (auto it = kineticsDocument.begin(); it != kineticsDocument.end(); ++it)
        if (isDuplicateReaction(it.value(), reactants, products))
            return it.key();
    return std::nullopt;
}
