#include "databases/composition.h"

#include <charconv>
#include <cmath>

#include "core/number_text.h"
#include "core/units.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

CompositionResult parseComposition(const std::string& text)
{
    CompositionResult result;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.message = std::move(message);
        return result;
    };
    if (text.empty())
        return fail("No atoms could be found, check your input");

    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t slash = text.find('/', pos);
        const std::size_t pieceEnd = slash == std::string::npos ? text.size() : slash;
        const std::string piece = text.substr(pos, pieceEnd - pos);
        pos = slash == std::string::npos ? text.size() : slash + 1;

        if (piece.empty() || isDigit(piece[0]) || piece[0] == '-')
            return fail("No atom found between '/'");
        std::size_t symbolEnd = 0;
        while (symbolEnd < piece.size() && !isDigit(piece[symbolEnd]) && piece[symbolEnd] != '-')
            ++symbolEnd;
        const std::string symbol = piece.substr(0, symbolEnd);
        if (symbol.size() > 2)
            return fail("Invalid atom: " + symbol);
        const std::string countText = piece.substr(symbolEnd);
        double count = 1.0;
        if (!countText.empty()) {
            const std::optional<double> number = readNumber(countText);
            if (!number || !validCompositionCount(symbol, *number))
                return fail("Invalid number: " + countText);
            count = *number;
        }
        if (!isElementSymbol(symbol))
            return fail("Invalid atom: " + symbol);
        result.pairs.push_back({count, symbol});
    }
    result.ok = true;
    return result;
}

std::string formatComposition(const std::vector<CompositionPair>& pairs, int digits)
{
    std::string out;
    for (const CompositionPair& p : pairs) {
        if (!out.empty())
            out += '/';
        char buffer[64];
        auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, p.count, std::chars_format::general,
                                       digits > 0 ? digits : 1);
        out += p.symbol;
        if (ec == std::errc())
            out.append(buffer, ptr);
    }
    return out;
}

CpResult checkCpIntervals(const std::vector<CpIntervalTexts>& intervals)
{
    CpResult result;
    auto fail = [&result](const std::string& prefix, const std::string& text) {
        result.ok = false;
        result.message = prefix + text;
        return result;
    };
    const std::size_t terms = intervals.empty() ? 0 : intervals.front().coefficients.size();
    static const std::string none;
    std::optional<double> previousTmax;
    for (std::size_t n = 0; n < intervals.size(); ++n) {
        const CpIntervalTexts& t = intervals[n];
        CpInterval interval;
        const auto tmin = readNumber(t.tmin);
        if (!tmin || !validCpTmin(*tmin, previousTmax))
            return fail("Invalid Cp Tmin: ", t.tmin);
        const auto tmax = readNumber(t.tmax);
        if (!tmax || !validCpTmax(*tmin, *tmax))
            return fail("Invalid Cp Tmax: ", t.tmax);
        const auto b1 = readNumber(t.b1);
        if (!b1)
            return fail("Invalid integration constant: ", t.b1);
        const auto b2 = readNumber(t.b2);
        if (!b2)
            return fail("Invalid integration constant: ", t.b2);
        interval.tmin = *tmin;
        interval.tmax = *tmax;
        interval.b1 = *b1;
        interval.b2 = *b2;
        for (std::size_t k = 0; k < terms; ++k) {
            // A row shorter than the first reads as empty fields rather than out of bounds.
            const std::string& coefText = k < t.coefficients.size() ? t.coefficients[k] : none;
            const std::string& expText = k < t.exponents.size() ? t.exponents[k] : none;
            const auto coef = readNumber(coefText);
            if (!coef)
                return fail("Invalid Cp coefficient: ", coefText);
            const auto exponent = readNumber(expText);
            if (!exponent)
                return fail("Invalid Cp exponent: ", expText);
            interval.a.push_back(*coef);
            interval.exp.push_back(*exponent);
        }
        previousTmax = interval.tmax;
        result.intervals.push_back(std::move(interval));
    }
    result.ok = true;
    return result;
}

TransportResult checkTransportIntervals(TransportProperty property, const std::vector<TransportIntervalTexts>& rows)
{
    TransportResult result;
    const std::string word = property == TransportProperty::Viscosity ? "viscosity" : "conductivity";
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.message = std::move(message);
        return result;
    };
    static const char* const letters[4] = {"A", "B", "C", "D"};
    for (const TransportIntervalTexts& row : rows) {
        TransportInterval interval;
        const auto tmin = readNumber(row.tmin);
        if (!tmin || !validTransportTemperature(*tmin))
            return fail("Invalid " + word + " Tmin: " + row.tmin);
        const auto tmax = readNumber(row.tmax);
        if (!tmax || !validTransportTemperature(*tmax))
            return fail("Invalid " + word + " Tmax: " + row.tmax);
        interval.tmin = *tmin;
        interval.tmax = *tmax;
        for (std::size_t k = 0; k < 4; ++k) {
            const auto c = readNumber(row.coef[k]);
            if (!c)
                return fail("Invalid " + word + " " + letters[k] + " coefficient: " + row.coef[k]);
            interval.coef[k] = *c;
        }
        result.intervals.push_back(interval);
    }
    result.ok = true;
    return result;
}
