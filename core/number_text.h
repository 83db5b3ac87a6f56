#pragma once
// The one reader of numbers typed into the program's fields (the tabs, the database
// editors, the preferences dialog) and of numbers a field was given back from a stored
// value. The same rule everywhere, whatever the desktop's locale:
//   - blanks around the text are ignored (Qt's Unicode white space for a QString);
//   - a real number: an optional sign, digits with at most one "." (".5" and "5." are
//     numbers), an optional exponent "e" or "E" with an optional sign; the whole text;
//   - "nan", "inf", "infinity", hexadecimal, "," as decimal point or group separator,
//     and a value beyond the range of a double (overflow such as "1e309", or a non-zero
//     value that rounds to zero such as "1e-400") are no numbers. Subnormal values such
//     as "5e-324" are numbers: whether they are sensible is the caller's range check.
//   - an unsigned number: an optional "+", decimal digits only, at most 4294967295.
#include <cstdint>
#include <optional>
#include <string_view>

#include <QString>

std::optional<double> readNumber(std::string_view text);
std::optional<double> readNumber(const QString& text);
inline std::optional<double> readNumber(const char* text)
{
    return readNumber(std::string_view(text));
}

std::optional<uint32_t> readUnsignedNumber(std::string_view text);
std::optional<uint32_t> readUnsignedNumber(const QString& text);
inline std::optional<uint32_t> readUnsignedNumber(const char* text)
{
    return readUnsignedNumber(std::string_view(text));
}

// A pressure typed with the unit chosen beside it (a pressure combo's index), in pascals:
// no value when the text is no number or is negative. A typed number can still exceed
// what pascals hold (1e308 bar is infinite): the caller checks the range of what the
// pressure stands for.
std::optional<double> readPressure(const QString& text, int unitIndex);
