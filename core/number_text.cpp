#include "core/number_text.h"

#include <charconv>
#include <cmath>

#include "core/units.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The text without the blanks around it.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Every character may belong to a decimal number: this keeps out "nan", "inf" and
// hexadecimal, which the conversion below would otherwise take.
bool decimalCharacters(std::string_view text)
{
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-')
            return false;
    }
    return true;
}

} // namespace

std::optional<double> readNumber(std::string_view text)
{
    text = trimmed(text);
    // The conversion takes a leading "-" but no "+"; a "+" may not be followed by a sign.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return std::nullopt;
    }
    if (text.empty() || !decimalCharacters(text))
        return std::nullopt;
    double value = 0.0;
    // Locale-independent; an out-of-range value (overflow, or underflow to zero) is an error.
    const auto [end, error]
            = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> readNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toUtf8();
    return readNumber(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::optional<uint32_t> readUnsignedNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<uint32_t> readUnsignedNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toUtf8();
    return readUnsignedNumber(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::optional<double> readPressure(const QString& text, int unitIndex)
{
    const std::optional<double> typed = readNumber(text);
    if (!typed || *typed < 0.0)
        return std::nullopt;
    return convertToSI(unitKind::Pressure, *typed, static_cast<int16_t>(unitIndex));
}
