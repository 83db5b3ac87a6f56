#pragma once
// gtest prints a QString in a failure message as its text in quotes, not as its bytes.
#include <ostream>

#include <QString>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
