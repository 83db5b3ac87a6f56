#include "databases/import_mechanism.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace {

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view withoutComment(std::string_view line)
{
    const std::size_t bang = line.find('!');
    return bang == std::string_view::npos ? line : line.substr(0, bang);
}

std::vector<std::string_view> whiteTokens(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && isWhite(line[p]))
            ++p;
        std::size_t b = p;
        while (p < line.size() && !isWhite(line[p]))
            ++p;
        if (p > b)
            out.push_back(line.substr(b, p - b));
    }
    return out;
}

// The leading word of a line: up to white space or '/' ("TROE/   .7346 ..." gives TROE).
std::string leadingWord(std::string_view trimmed)
{
    std::size_t e = 0;
    while (e < trimmed.size() && !isWhite(trimmed[e]) && trimmed[e] != '/')
        ++e;
    return std::string(trimmed.substr(0, e));
}

const std::set<std::string>& passedOverKeywords()
{
    static const std::set<std::string> words{"LOW", "TROE", "PLOG", "DUP", "DUPLICATE"};
    return words;
}

// Auxiliary keywords that change a reaction's rate or order: reading past them would
// store a different reaction than the file describes.
const std::set<std::string>& unsupportedKeywords()
{
    static const std::set<std::string> words{"REV",  "SRI",   "HIGH",  "FORD", "RORD",    "LT",     "RLT",
                                             "TDEP", "EXCI",  "JAN",   "FIT1", "MOME",    "XSMI",   "UNITS",
                                             "CHEB", "TCHEB", "PCHEB", "HV",   "USRPROG", "COLLEFF"};
    return words;
}

class MechanismParser {
public:
    explicit MechanismParser(std::string_view text) : lines_(splitLines(text)) { }

    MechanismParseResult run()
    {
        if (!readHeader() || !readReactions())
            return result_;
        result_.ok = true;
        return result_;
    }

private:
    bool fail(const std::string& detail)
    {
        result_.ok = false;
        result_.detail = detail;
        return false;
    }
    std::string at(std::size_t line) const { return "Line " + std::to_string(line + 1) + ": "; }

    bool isSpecies(const std::string& name) const { return species_.count(name) != 0; }

    // ELEMENTS ... END, SPECIES ... END, then the REACTIONS keyword (anything between, such
    // as a THERMO section, is passed over).
    bool readHeader()
    {
        enum Stage { FindElements, Elements, FindSpecies, Species, FindReactions } stage = FindElements;
        for (; i_ < lines_.size(); ++i_) {
            std::vector<std::string_view> tokens = whiteTokens(withoutComment(lines_[i_]));
            for (std::size_t k = 0; k < tokens.size(); ++k) {
                const std::string t(tokens[k]);
                switch (stage) {
                case FindElements:
                    if (t == "ELEMENTS")
                        stage = Elements;
                    break;
                case Elements:
                    if (t == "END")
                        stage = FindSpecies;
                    else
                        result_.elements.push_back(t);
                    break;
                case FindSpecies:
                    if (t == "SPECIES")
                        stage = Species;
                    break;
                case Species:
                    if (t == "END") {
                        stage = FindReactions;
                    } else {
                        result_.species.push_back(t);
                        species_.insert(t);
                    }
                    break;
                case FindReactions:
                    if (t == "REACTIONS") {
                        if (k + 1 < tokens.size())
                            return fail(at(i_) + "units on the REACTIONS line (\"" + std::string(tokens[k + 1])
                                        + "\") are not supported");
                        ++i_;
                        return true;
                    }
                    break;
                }
            }
        }
        switch (stage) {
        case FindElements: return fail("The file has no ELEMENTS section");
        case Elements: return fail("The ELEMENTS section has no END");
        case FindSpecies: return fail("The file has no SPECIES section");
        case Species: return fail("The SPECIES section has no END");
        case FindReactions: break;
        }
        return fail("The file has no REACTIONS section");
    }

    bool readReactions()
    {
        for (; i_ < lines_.size(); ++i_) {
            std::string_view code = withoutComment(lines_[i_]);
            std::string_view trimmed = trimBlanks(code);
            if (trimmed.empty())
                continue;
            const std::string word = leadingWord(trimmed);
            if (word == "END")
                return true;
            if (passedOverKeywords().count(word)) {
                if (result_.reactions.empty())
                    return fail(at(i_) + word + " comes before any reaction");
                if (word == "DUP" || word == "DUPLICATE")
                    result_.reactions.back().duplicate = true;
                continue;
            }
            if (unsupportedKeywords().count(word))
                return fail(at(i_) + word + " lines are not supported");
            if (code.find('=') != std::string_view::npos) {
                if (!readReaction(trimmed))
                    return false;
            } else if (code.find('/') != std::string_view::npos) {
                if (!readEfficiencies(trimmed))
                    return false;
            } else {
                return fail(at(i_) + "\"" + std::string(trimmed) + "\" is not a reaction");
            }
        }
        return fail("The REACTIONS section has no END");
    }

    bool readReaction(std::string_view text)
    {
        MechanismReaction r;
        r.line = i_ + 1;
        const std::size_t eqLine = i_;

        // The equation ends at three blanks or two tabs; the numbers follow.
        std::size_t end = text.size();
        for (std::size_t p = 0; p + 1 < text.size(); ++p) {
            if ((text.compare(p, 3, "   ") == 0) || (text[p] == '\t' && text[p + 1] == '\t')) {
                end = p;
                break;
            }
        }
        std::string_view equation = trimBlanks(text.substr(0, end));
        std::string_view numbers = text.substr(end);
        r.equation = std::string(equation);
        if (isBlankLine(numbers)) {
            // The numbers on the next line.
            do {
                ++i_;
            } while (i_ < lines_.size() && isBlankLine(withoutComment(lines_[i_])));
            if (i_ >= lines_.size())
                return fail(at(eqLine) + "the rate parameters of \"" + r.equation + "\" are missing");
            numbers = withoutComment(lines_[i_]);
        }
        std::vector<ScannedNumber> values = scanNumbers(numbers);
        if (values.size() < 3 || !values[0].ok || !values[1].ok || !values[2].ok)
            return fail(at(i_) + "the rate parameters of \"" + r.equation + "\" cannot be read");
        r.A = values[0].value;
        r.b = values[1].value;
        r.Ea = values[2].value;

        if (!readEquation(std::string(equation), r, eqLine))
            return false;
        result_.reactions.push_back(std::move(r));
        return true;
    }

    bool readEquation(std::string e, MechanismReaction& r, std::size_t line)
    {
        // Fall-off: "(+M)" or a named collider "(+AR)", on one or both sides.
        for (std::size_t p; (p = e.find("(+")) != std::string::npos;) {
            const std::size_t q = e.find(')', p);
            if (q == std::string::npos)
                return fail(at(line) + "unclosed \"(+\" in \"" + r.equation + "\"");
            r.falloff = true;
            e.erase(p, q - p + 1);
        }
        std::size_t arrow = e.find("<=>");
        std::size_t arrowLength = 3;
        if (arrow == std::string::npos) {
            arrow = e.find("=>");
            arrowLength = 2;
            if (arrow != std::string::npos)
                r.forward = true;
            else {
                arrow = e.find('=');
                arrowLength = 1;
            }
        }
        if (arrow == std::string::npos) // the "=" stood after the rate parameters
            return fail(at(line) + "\"" + r.equation + "\" has no \"=\", \"=>\" or \"<=>\"");
        const std::string left = e.substr(0, arrow);
        const std::string right = e.substr(arrow + arrowLength);
        if (right.find('=') != std::string::npos || left.find('<') != std::string::npos
            || right.find('<') != std::string::npos || right.find('>') != std::string::npos)
            return fail(at(line) + "\"" + r.equation + "\" is not an equation");
        if (!readSide(left, r.reactants, r, line) || !readSide(right, r.products, r, line))
            return false;
        if ((r.reactants.empty() || r.products.empty()) && r.unknownTerms.empty())
            return fail(at(line) + "\"" + r.equation + "\" lacks reactants or products");
        return true;
    }

    bool readSide(const std::string& side, std::vector<ReactionTerm>& terms, MechanismReaction& r, std::size_t line)
    {
        std::size_t start = 0;
        for (;;) {
            const std::size_t plus = side.find('+', start);
            const std::string_view term = trimBlanks(
                    std::string_view(side).substr(start, plus == std::string::npos ? std::string::npos : plus - start));
            if (term.empty())
                return fail(at(line) + "an empty term in \"" + r.equation + "\"");
            for (char c : term)
                if (isWhite(c))
                    return fail(at(line) + "terms of \"" + r.equation + "\" must be joined by '+'");
            const std::string name(term);
            if (name == "M") {
                r.thirdBody = true;
            } else if (isSpecies(name)) {
                addReactionTerm(terms, name, 1.0);
            } else {
                // A leading number is the coefficient ("2OH").
                std::size_t d = 0;
                while (d < name.size() && ((name[d] >= '0' && name[d] <= '9') || name[d] == '.'))
                    ++d;
                auto coefficient = d > 0 ? readWholeNumber(std::string_view(name).substr(0, d)) : std::nullopt;
                const std::string rest = name.substr(d);
                if (coefficient && *coefficient > 0.0 && isSpecies(rest))
                    addReactionTerm(terms, rest, *coefficient);
                else
                    r.unknownTerms.push_back(name);
            }
            if (plus == std::string::npos)
                break;
            start = plus + 1;
        }
        return true;
    }

    // "H2/2.00/ H2O/6.00/": efficiencies of the reaction just read.
    bool readEfficiencies(std::string_view text)
    {
        if (result_.reactions.empty())
            return fail(at(i_) + "efficiencies come before any reaction");
        MechanismReaction& r = result_.reactions.back();
        if (!r.thirdBody && !r.falloff)
            return fail(at(i_) + "efficiencies follow \"" + r.equation + "\", which has no third body");
        std::vector<std::string_view> parts;
        std::size_t start = 0;
        for (;;) {
            const std::size_t slash = text.find('/', start);
            parts.push_back(
                    text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
            if (slash == std::string_view::npos)
                break;
            start = slash + 1;
        }
        if (parts.size() % 2 == 0 || !isBlankLine(parts.back()))
            return fail(at(i_) + "\"" + std::string(text) + "\" is not an efficiency line (NAME/value/ ...)");
        for (std::size_t k = 0; k + 1 < parts.size(); k += 2) {
            const std::string_view name = trimBlanks(parts[k]);
            const auto value = readWholeNumber(parts[k + 1]);
            bool badName = name.empty();
            for (char c : name)
                badName = badName || isWhite(c);
            if (badName || !value || *value < 0.0)
                return fail(at(i_) + "\"" + std::string(text) + "\" is not an efficiency line (NAME/value/ ...)");
            const std::string n(name);
            if (!isSpecies(n))
                continue; // a collider the file does not list counts for nothing here
            auto same = std::find_if(r.efficiencies.begin(), r.efficiencies.end(),
                                     [&](const ReactionTerm& t) { return t.name == n; });
            if (same != r.efficiencies.end())
                same->coefficient = *value;
            else
                r.efficiencies.push_back({n, *value});
        }
        return true;
    }

    std::vector<std::string_view> lines_;
    std::size_t i_ = 0;
    std::set<std::string> species_;
    MechanismParseResult result_;
};

std::string termsText(const std::vector<ReactionTerm>& terms)
{
    std::string out;
    for (const ReactionTerm& t : terms) {
        char number[64];
        std::snprintf(number, sizeof number, "%g", t.coefficient);
        if (!out.empty())
            out += " + ";
        out += number;
        out += t.name;
    }
    return out;
}

} // namespace

MechanismParseResult parseMechanismText(std::string_view text)
{
    return MechanismParser(text).run();
}

std::string mechanismReactionKey(const std::vector<ReactionTerm>& reactants, const std::vector<ReactionTerm>& products)
{
    return termsText(reactants) + " = " + termsText(products);
}

ReactionEntry mechanismReactionEntry(const MechanismReaction& reaction)
{
    ReactionEntry e;
    e.reactants = reaction.reactants;
    e.products = reaction.products;
    e.A = reaction.A;
    e.AUnit = 0;
    e.b = reaction.b;
    e.Ea = reaction.Ea;
    e.EaUnit = static_cast<int>(ActivationEnergyUnit::CalPerMol);
    e.forward = reaction.forward;
    e.isActive = true;
    if (!reaction.falloff && reaction.thirdBody) {
        if (!reaction.efficiencies.empty())
            e.thirdBody = reaction.efficiencies;
        else if (!reaction.reactants.empty())
            e.thirdBody = {{reaction.reactants.front().name, 1.0}};
    }
    return e;
}

ImportOutcome importMechanismFile(const std::string& filePath, const ImportCallbacks& callbacks,
                                  const std::string& databaseFile)
{
    ImportOutcome out;
    DatabaseDocument doc;
    std::string text;
    if (!beginImport(ChemicalDatabase::Kinetics, databaseFile, filePath, callbacks, doc, text, out))
        return out;
    MechanismParseResult parsed = parseMechanismText(text);
    if (!parsed.ok) {
        out.detail = parsed.detail;
        return out;
    }

    OverwriteGate gate(callbacks);
    std::vector<ImportRefusal> dropped;
    std::vector<ImportRefusal> refusals;
    std::map<std::string, int> keyUses;
    std::set<std::string> importedKeys;
    for (const MechanismReaction& r : parsed.reactions) {
        if (!r.unknownTerms.empty()) {
            std::string names;
            for (const std::string& n : r.unknownTerms)
                names += (names.empty() ? "" : ", ") + n;
            dropped.push_back({r.equation, "line " + std::to_string(r.line) + ": " + names});
            continue;
        }
        const ReactionEntry entry = mechanismReactionEntry(r);
        std::string key = mechanismReactionKey(entry.reactants, entry.products);
        const int uses = ++keyUses[key];
        if (uses > 1)
            key += " (" + std::to_string(uses) + ")"; // the members of a duplicate pair
        const std::string invalid = validateReactionEntry(entry);
        if (!invalid.empty()) {
            refusals.push_back({"Invalid reaction: " + key, invalid});
            continue;
        }

        if (holdsEntry(doc.document, key)) {
            if (!gate.allow("You are about to overwrite saved data for reaction '" + key + "'. Continue?")) {
                ++out.kept;
                continue;
            }
        } else {
            doc.document.erase(key); // an empty value counts as absent
            std::vector<std::string> same;
            for (auto it = doc.document.begin(); it != doc.document.end(); ++it)
                if (!importedKeys.count(it.key()) && isDuplicateReaction(it.value(), entry.reactants, entry.products))
                    same.push_back(it.key());
            for (const std::string& old : same)
                if (gate.allow("A save with the same described reaction as '" + key + "' already exists. Continue?"))
                    doc.document.erase(old);
        }
        doc.document[key] = toJson(entry);
        importedKeys.insert(key);
        ++out.stored;
    }

    out.droppedReactions = static_cast<int>(dropped.size());
    if (!dropped.empty()) {
        std::string list;
        for (const ImportRefusal& d : dropped)
            list += (list.empty() ? "" : "\n") + d.message + " (" + d.details + ")";
        reportTo(callbacks,
                 dropped.size() == 1 ? std::string(
                         "1 reaction was not imported: it names a species that is not in the SPECIES list")
                                     : std::to_string(dropped.size())
                                 + " reactions were not imported: they name species that are not in the SPECIES list",
                 list);
    }
    out.refused = static_cast<int>(refusals.size());
    reportRefusals(callbacks, refusals, std::to_string(refusals.size()) + " reactions were not imported");

    storeImportedDatabase(doc, ChemicalDatabase::Kinetics, callbacks, out);
    return out;
}
