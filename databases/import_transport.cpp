#include "databases/import_transport.h"

namespace {

// Blank-separated tokens (a tab belongs to a token, as in the names).
std::vector<std::string_view> blankTokens(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && line[p] == ' ')
            ++p;
        std::size_t b = p;
        while (p < line.size() && line[p] != ' ')
            ++p;
        if (p > b)
            out.push_back(line.substr(b, p - b));
    }
    return out;
}

bool isDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

class TransportParser : RecordReader<TransportParseResult> {
public:
    explicit TransportParser(std::string_view text) : RecordReader(text) { }

    TransportParseResult run()
    {
        for (;;) {
            if (!nextDataLine())
                break;
            std::string_view line = lines_[i_];
            std::vector<std::string_view> tokens = blankTokens(line);
            const std::string name(tokens.front());
            if (name == "transport") {
                ++i_;
                continue;
            }
            if (name == "end" || name == "END")
                break;
            if (!readRecord(name, tokens))
                return result_;
        }
        result_.ok = true;
        return result_;
    }

private:
    bool readRecord(const std::string& name, const std::vector<std::string_view>& tokens)
    {
        TransportRecord rec;
        rec.name = name;
        rec.line = i_ + 1;
        ++i_;

        // The counts "V<nV>C<nC>": the first token after the name that starts with V and
        // holds a C, preferring one whose counts are digits (a second species name such
        // as "VCL4" may come first in an interaction record).
        std::size_t found = 0;
        for (std::size_t k = 1; k < tokens.size() && !found; ++k) {
            std::string_view t = tokens[k];
            std::size_t c = t.find('C', 1);
            if (t.front() == 'V' && c != std::string_view::npos && isDigits(t.substr(1, c - 1))
                && isDigits(t.substr(c + 1)))
                found = k;
        }
        for (std::size_t k = 1; k < tokens.size() && !found; ++k)
            if (tokens[k].front() == 'V' && tokens[k].find('C', 1) != std::string_view::npos)
                found = k;
        if (!found)
            return fail({},
                        "Line " + std::to_string(rec.line) + ": the record of '" + name
                                + "' gives no interval counts (V<n>C<n>)");
        std::string_view counts = tokens[found];
        const std::size_t c = counts.find('C', 1);
        const std::string nvText(counts.substr(1, c - 1));
        const std::string ncText(counts.substr(c + 1));
        auto nv = readWholeCount(nvText);
        if (!nv)
            return fail("Invalid number of viscosity intervals: " + nvText);
        auto nc = readWholeCount(ncText);
        if (!nc)
            return fail("Invalid number of conductivity intervals: " + ncText);
        rec.binary = found > 1;

        if (!readIntervals(*nv, 'V', "viscosity", name, rec.viscosity)
            || !readIntervals(*nc, 'C', "conductivity", name, rec.conductivity))
            return false;
        result_.records.push_back(std::move(rec));
        return true;
    }

    bool readIntervals(unsigned count, char letter, const std::string& kind, const std::string& name,
                       std::vector<TransportInterval>& out)
    {
        for (unsigned k = 0; k < count; ++k) {
            if (!nextDataLine())
                return fail({}, "The file ends inside the record of '" + name + "'");
            std::string_view line = lines_[i_++];
            std::size_t p = 0;
            while (p < line.size() && line[p] == ' ')
                ++p;
            if (p >= line.size() || line[p] != letter)
                return fail("Bad format, start of " + kind + " interval could not be found");
            std::string_view numbersText = line.substr(p + 1);
            TransportInterval iv;
            double values[6];
            std::size_t pos = 0;
            for (double& v : values) {
                ScannedNumber s = scanNumber(numbersText, pos);
                if (!s.ok)
                    return fail("Error reading " + kind + " data for: " + name);
                v = s.value;
                pos = s.end;
            }
            iv.tmin = values[0];
            iv.tmax = values[1];
            if (iv.tmin < 0.0 || iv.tmax < 0.0)
                return fail("Error reading " + kind + " data for: " + name);
            for (int j = 0; j < 4; ++j)
                iv.coef[j] = values[2 + j];
            out.push_back(iv);
        }
        return true;
    }
};

bool hasTransportData(const nlohmann::json& entry)
{
    if (!entry.is_object())
        return false;
    auto v = entry.find("Viscosity");
    auto c = entry.find("Conductivity");
    return (v != entry.end() && !isEmptyValue(*v)) || (c != entry.end() && !isEmptyValue(*c));
}

} // namespace

TransportParseResult parseTransportText(std::string_view text)
{
    return TransportParser(text).run();
}

ImportOutcome importTransportFile(const std::string& filePath, ChemicalDatabase db, const ImportCallbacks& callbacks,
                                  const std::string& databaseFile)
{
    ImportOutcome out;
    if (db == ChemicalDatabase::Kinetics) {
        out.detail = "Transport data go to the species or the reactants database";
        return out;
    }
    const SubstanceKind kind = db == ChemicalDatabase::Reactants ? SubstanceKind::Reactant : SubstanceKind::Species;
    DatabaseDocument doc;
    std::string text;
    if (!beginImport(db, databaseFile, filePath, callbacks, doc, text, out))
        return out;
    TransportParseResult parsed = parseTransportText(text);
    if (!parsed.ok) {
        failedRead(parsed, callbacks, out);
        return out;
    }
    if (parsed.records.empty()) {
        // An empty, blank or comment-only file (or one whose lines were not understood as
        // records) has given nothing: that is not a successful read.
        out.detail = kNoRecordRead;
        return out;
    }

    OverwriteGate gate(callbacks);
    std::vector<std::string> missing;
    std::vector<ImportRefusal> refusals;
    for (const TransportRecord& record : parsed.records) {
        if (record.binary) {
            ++out.passedOver;
            continue;
        }
        if (!holdsEntry(doc.document, record.name)) {
            missing.push_back(record.name);
            ++out.passedOver;
            continue;
        }
        nlohmann::json& stored = doc.document[record.name];
        const bool replacing = hasTransportData(stored);

        // The entry as it would be after the import, checked by the entry rules.
        std::string error;
        std::optional<SpeciesEntry> entry = speciesEntryFromJson(stored, kind, &error);
        if (entry) {
            if (replacing) {
                entry->viscosity.clear();
                entry->conductivity.clear();
            }
            if (!record.viscosity.empty())
                entry->viscosity = record.viscosity;
            if (!record.conductivity.empty())
                entry->conductivity = record.conductivity;
            error = validateEntry(*entry, kind);
        }
        if (!error.empty()) {
            refusals.push_back({"Invalid data for specie: " + record.name, error});
            continue;
        }
        if (replacing
            && !gate.allow("You are about to overwrite viscosity and/or conductivity data for specie '" + record.name
                           + "'. Continue?")) {
            ++out.kept;
            continue;
        }
        if (replacing) {
            stored.erase("Viscosity");
            stored.erase("Conductivity");
        }
        SpeciesEntry fits;
        fits.viscosity = record.viscosity;
        fits.conductivity = record.conductivity;
        const nlohmann::json fitsJson = toJson(fits);
        if (!record.viscosity.empty())
            stored["Viscosity"] = fitsJson.at("Viscosity");
        if (!record.conductivity.empty())
            stored["Conductivity"] = fitsJson.at("Conductivity");
        ++out.stored;
    }

    if (missing.size() == 1) {
        reportTo(callbacks,
                 "No specie named '" + missing.front() + "' could be found in specie database. Data will NOT be read");
    } else if (missing.size() > 1) {
        std::string names;
        for (const std::string& n : missing)
            names += (names.empty() ? "" : ", ") + n;
        reportTo(callbacks,
                 std::to_string(missing.size())
                         + " species could not be found in specie database. Data will NOT be read",
                 names);
    }
    out.refused = static_cast<int>(refusals.size());
    reportRefusals(callbacks, refusals, std::to_string(refusals.size()) + " records were not imported");

    storeImportedDatabase(doc, db, callbacks, out);
    return out;
}
