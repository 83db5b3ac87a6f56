#include "databases/import_thermo.h"

#include <cctype>

#include "core/units.h"

namespace {

// Columns of the published layout (from 0).
constexpr std::size_t kFormulaColumn = 10; // five slots of 8 characters: symbol (2) and count (6)
constexpr std::size_t kFormulaWidth = 40;
constexpr std::size_t kPhaseColumn = 50; // phase digit in column 52 (index 51)
constexpr std::size_t kPhaseWidth = 2;
constexpr std::size_t kMolecWeightColumn = 52;
constexpr std::size_t kMolecWeightWidth = 13;
constexpr std::size_t kEnthalpyColumn = 65;
constexpr std::size_t kTminColumn = 0; // range line: Tmin and Tmax 11 characters each,
constexpr std::size_t kTmaxColumn = 11; // then the coefficient count in column 23,
constexpr std::size_t kTempWidth = 11; // then the exponents
constexpr std::size_t kCountColumn = 22;
constexpr unsigned kTerms = 7;

std::string_view field(std::string_view line, std::size_t pos, std::size_t len = std::string_view::npos)
{
    if (pos >= line.size())
        return {};
    return line.substr(pos, len);
}

bool isCountChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
}
bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The first blank-separated token of the line (leading blanks passed over).
std::string_view firstToken(std::string_view line, std::size_t* endPos = nullptr)
{
    std::size_t b = 0;
    while (b < line.size() && line[b] == ' ')
        ++b;
    std::size_t e = b;
    while (e < line.size() && line[e] != ' ')
        ++e;
    if (endPos)
        *endPos = e;
    return line.substr(b, e - b);
}

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class ThermoParser : RecordReader<ThermoParseResult> {
public:
    ThermoParser(std::string_view text, ChemicalDatabase target) : RecordReader(text), target_(target) { }

    ThermoParseResult run()
    {
        for (;;) {
            if (!nextDataLine())
                break; // the end of the file after a complete record
            std::string_view line = lines_[i_];
            std::size_t nameEnd = 0;
            std::string_view name = firstToken(line, &nameEnd);
            if (name == "thermo") {
                i_ += 2; // the header and the line of temperature ranges after it
                continue;
            }
            if (name == "END" || name == "end") {
                // Reactants are listed after the products: importing reactants reads both.
                if (target_ == ChemicalDatabase::Reactants
                    && equalsNoCase(firstToken(line.substr(nameEnd)), "PRODUCTS")) {
                    ++i_;
                    continue;
                }
                break;
            }
            if (!readRecord(std::string(name)))
                return result_;
        }
        result_.ok = true;
        return result_;
    }

private:
    bool endOfFile(const std::string& name) { return fail({}, "The file ends inside the record of '" + name + "'"); }

    bool readRecord(const std::string& name)
    {
        ThermoRecord rec;
        rec.name = name;
        rec.line = i_ + 1;
        ++i_;
        if (i_ >= lines_.size())
            return endOfFile(name);
        std::string_view l2 = lines_[i_++];

        auto n = readWholeCount(firstToken(l2));
        if (!n)
            return fail("Invalid number of intervals for specie: " + name);
        rec.intervalCount = *n;

        if (!readFormula(field(l2, kFormulaColumn, kFormulaWidth), rec))
            return false;

        auto phase = readWholeCount(field(l2, kPhaseColumn, kPhaseWidth));
        if (!phase) {
            // The molecular weight after an unreadable phase is not read: both are reported.
            result_.followingMessage = "Invalid molecular weight for specie: " + name;
            return fail("Invalid phase for specie: " + name);
        }
        rec.phaseField = *phase;
        auto mw = readWholeNumber(field(l2, kMolecWeightColumn, kMolecWeightWidth));
        if (!mw)
            return fail("Invalid molecular weight for specie: " + name);
        rec.molecWeight = *mw;
        auto h = readWholeNumber(field(l2, kEnthalpyColumn));
        if (!h)
            return fail("Invalid enthalpy for specie: " + name);
        rec.enthalpy = *h;

        if (rec.intervalCount == 0) {
            // A substance defined at one temperature: the line holds that temperature.
            if (!nextDataLine())
                return endOfFile(name);
            double tmin = 0.0, tmax = 0.0;
            std::size_t rest = 0;
            if (!readRange(lines_[i_++], name, tmin, tmax, rest, /*needTmax=*/false))
                return false;
            rec.referenceTemperature = tmin;
        }
        for (unsigned k = 0; k < rec.intervalCount; ++k) {
            CpInterval iv;
            if (!nextDataLine())
                return endOfFile(name);
            std::string_view range = lines_[i_++];
            std::size_t rest = 0;
            if (!readRange(range, name, iv.tmin, iv.tmax, rest, true))
                return false;
            std::string_view exps = field(range, rest);
            std::size_t pos = 0;
            for (unsigned t = 0; t < kTerms; ++t) {
                ScannedNumber s = scanNumber(exps, pos);
                if (!s.ok)
                    return fail("Invalid exponent for specie: " + name);
                iv.exp.push_back(s.value);
                pos = s.end;
            }
            // The rest of the range line (an eighth exponent, H(298.15) - H(0)) is not used.
            if (!nextDataLine())
                return endOfFile(name);
            std::string_view lineA = lines_[i_++];
            if (!nextDataLine())
                return endOfFile(name);
            std::string_view lineB = lines_[i_++];
            if (!readCoefficients(lineA, lineB, name, iv))
                return false;
            rec.intervals.push_back(std::move(iv));
        }
        result_.records.push_back(std::move(rec));
        return true;
    }

    // The five element slots. A slot is a symbol followed by its count ("AR  1.00",
    // "N 1.5617", counts may touch the next symbol: "O .41959AR.00937"), or a lone zero
    // for an unused slot ("0.00", ".000").
    bool readFormula(std::string_view f, ThermoRecord& rec)
    {
        std::size_t p = 0;
        for (;;) {
            while (p < f.size() && f[p] == ' ')
                ++p;
            if (p >= f.size())
                break;
            if (isLetter(f[p])) {
                std::size_t b = p;
                while (p < f.size() && isLetter(f[p]))
                    ++p;
                std::string symbol(f.substr(b, p - b));
                while (p < f.size() && f[p] == ' ')
                    ++p;
                std::size_t c = p;
                while (p < f.size() && isCountChar(f[p]))
                    ++p;
                auto count = readWholeNumber(f.substr(c, p - c));
                if (!count)
                    return fail("Error reading composition for: " + rec.name);
                rec.composition.push_back({*count, symbol});
            } else if (isCountChar(f[p])) {
                std::size_t c = p;
                while (p < f.size() && isCountChar(f[p]))
                    ++p;
                auto count = readWholeNumber(f.substr(c, p - c));
                if (!count || *count != 0.0)
                    return fail("Error reading composition for: " + rec.name);
            } else {
                return fail("Invalid atom: " + std::string(firstToken(f.substr(p))));
            }
        }
        return true;
    }

    // Tmin and Tmax of a range line, from their columns when the line follows the
    // published layout, else as the first two numbers. `rest` is where the exponents start.
    bool readRange(std::string_view line, const std::string& name, double& tmin, double& tmax, std::size_t& rest,
                   bool needTmax)
    {
        auto fixedMin = readWholeNumber(field(line, kTminColumn, kTempWidth));
        auto fixedMax = readWholeNumber(field(line, kTmaxColumn, kTempWidth));
        if (fixedMin && fixedMax && line.size() >= kTmaxColumn + kTempWidth) {
            tmin = *fixedMin;
            tmax = *fixedMax;
            rest = kCountColumn;
            // Column 23 holds the number of coefficients (or nothing).
            if (line.size() > kCountColumn
                && (line[kCountColumn] == ' ' || (line[kCountColumn] >= '0' && line[kCountColumn] <= '9')))
                rest = kCountColumn + 1;
            return true;
        }
        ScannedNumber a = scanNumber(line, 0);
        if (!a.ok)
            return fail("Invalid Tmin for specie: " + name);
        tmin = a.value;
        ScannedNumber b = scanNumber(line, a.end);
        if (!b.ok) {
            if (!needTmax)
                return true;
            return fail("Invalid Tmax for specie: " + name);
        }
        tmax = b.value;
        rest = b.end;
        return true;
    }

    // a1..a7 over the two lines, then b1 and b2 as the last two numbers of the second
    // line; the field between a7 and b1 is empty or holds a zero.
    bool readCoefficients(std::string_view lineA, std::string_view lineB, const std::string& name, CpInterval& iv)
    {
        std::vector<ScannedNumber> all = scanNumbers(lineA);
        if (!all.empty() && !all.back().ok)
            return fail("Invalid coefficient for specie: " + name);
        const std::size_t onA = all.size();
        for (const ScannedNumber& s : scanNumbers(lineB))
            all.push_back(s);
        for (std::size_t k = 0; k < all.size(); ++k)
            if (!all[k].ok)
                return fail(
                        (k < kTerms ? "Invalid coefficient for specie: " : "Invalid integration constant for specie: ")
                        + name);
        const std::size_t count = all.size();
        if (count < kTerms)
            return fail("Invalid coefficient for specie: " + name);
        if (count < kTerms + 2 || count > kTerms + 3 || count - onA < 2
            || (count == kTerms + 3 && all[kTerms].value != 0.0))
            return fail("Invalid integration constant for specie: " + name);
        for (unsigned t = 0; t < kTerms; ++t)
            iv.a.push_back(all[t].value);
        iv.b1 = all[count - 2].value;
        iv.b2 = all[count - 1].value;
        return true;
    }

    ChemicalDatabase target_;
};

} // namespace

ThermoParseResult parseThermoText(std::string_view text, ChemicalDatabase target)
{
    return ThermoParser(text, target).run();
}

ThermoEntryResult thermoRecordToEntry(const ThermoRecord& record, ChemicalDatabase target)
{
    ThermoEntryResult out;
    const SubstanceKind kind = target == ChemicalDatabase::Reactants ? SubstanceKind::Reactant : SubstanceKind::Species;
    SpeciesEntry entry;
    for (const CompositionPair& raw : record.composition) {
        std::string symbol = raw.symbol;
        if (symbol.size() > 2) {
            out.refusal = "Invalid atom: " + symbol;
            return out;
        }
        if (symbol.size() == 2)
            symbol[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(symbol[1])));
        if (!isElementSymbol(symbol)) {
            out.refusal = "Invalid atom: " + symbol;
            return out;
        }
        if (symbol != "E" && !(raw.count > 0.0)) {
            out.refusal = "Error reading composition for: " + record.name;
            return out;
        }
        entry.composition.push_back({raw.count, symbol});
    }
    if (entry.composition.empty()) {
        out.refusal = "Error reading composition for: " + record.name;
        return out;
    }
    if (!(record.molecWeight > 0.0)) {
        out.refusal = "Invalid molecular weight for specie: " + record.name;
        return out;
    }
    // An interval whose Tmin is not below its Tmax covers no temperature (the published
    // file keeps a few, 300 K up to 298.15 K, ahead of the intervals that count), so
    // leaving it out loses nothing. A record with no interval left has no heat capacity.
    for (const CpInterval& interval : record.intervals)
        if (interval.tmin < interval.tmax)
            entry.intervals.push_back(interval);
    if (entry.intervals.empty() && (kind == SubstanceKind::Species || record.intervalCount > 0)) {
        out.refusal = "Invalid number of intervals for specie: " + record.name;
        return out;
    }
    entry.phase = record.phaseField == 0 ? static_cast<int>(Phase::Gas) : static_cast<int>(Phase::Liquid);
    entry.molecWeight = record.molecWeight;
    entry.molecWeightUnit = static_cast<int>(MolecWeightUnit::GPerMol);
    entry.enthalpy = record.enthalpy;
    entry.enthalpyUnit = static_cast<int>(EnthalpyUnit::JPerMol);
    if (entry.intervals.empty())
        entry.enthalpyTemperature = record.referenceTemperature;
    entry.isActive = true;

    std::string invalid = validateEntry(entry, kind);
    if (!invalid.empty()) {
        out.refusal = "Invalid data for specie: " + record.name;
        out.details = invalid;
        return out;
    }
    out.entry = std::move(entry);
    return out;
}

ImportOutcome importThermoFile(const std::string& filePath, ChemicalDatabase target, const ImportCallbacks& callbacks,
                               const std::string& databaseFile)
{
    ImportOutcome out;
    if (target == ChemicalDatabase::Kinetics) {
        out.detail = "Thermodynamic data go to the species or the reactants database";
        return out;
    }
    DatabaseDocument doc;
    std::string text;
    if (!beginImport(target, databaseFile, filePath, callbacks, doc, text, out))
        return out;
    ThermoParseResult parsed = parseThermoText(text, target);
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
    std::vector<ImportRefusal> refusals;
    for (const ThermoRecord& record : parsed.records) {
        ThermoEntryResult converted = thermoRecordToEntry(record, target);
        if (!converted.entry) {
            refusals.push_back({converted.refusal, converted.details});
            continue;
        }
        if (holdsEntry(doc.document, record.name)
            && !gate.allow("You are about to overwrite saved data for specie '" + record.name + "'. Continue?")) {
            ++out.kept;
            continue;
        }
        doc.document[record.name] = toJson(*converted.entry);
        ++out.stored;
    }
    out.refused = static_cast<int>(refusals.size());
    reportRefusals(callbacks, refusals, std::to_string(refusals.size()) + " records were not imported");
    if (out.stored == 0 && out.refused > 0) {
        out.detail = "No record of the file could be imported";
        return out;
    }
    storeImportedDatabase(doc, target, callbacks, out);
    return out;
}
