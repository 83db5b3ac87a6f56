// The number fields take what the readers take, whatever the desktop's locale.
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLocale>
#include <gtest/gtest.h>

#include "core/ui/number_fields.h"

namespace {

struct FieldCase {
    const char* typed;
    bool decimal; // true: a real number field; false: a whole-number field
    QValidator::State state;
};

} // namespace

TEST(NumberFields, AcceptWhatTheReadersAcceptUnderAnyDesktopLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "," is its decimal point
    QObject owner;
    QDoubleValidator* real = numberFieldValidator(&owner);
    QIntValidator* whole = wholeNumberFieldValidator(&owner);
    const FieldCase cases[] = {
            {"1.5", true, QValidator::Acceptable},    {"-2.5e-3", true, QValidator::Acceptable},
            {"1,5", true, QValidator::Invalid},       {"1,000", true, QValidator::Invalid},
            {"1.000.000", true, QValidator::Invalid}, {"100", false, QValidator::Acceptable},
            {"1,000", false, QValidator::Invalid},    {"1.000", false, QValidator::Invalid},
    };
    for (const FieldCase& c : cases) {
        QString text = QString::fromLatin1(c.typed);
        int pos = 0;
        const QValidator::State state = c.decimal ? real->validate(text, pos) : whole->validate(text, pos);
        EXPECT_EQ(state, c.state) << c.typed << (c.decimal ? " (real)" : " (whole)");
    }
    QLocale::setDefault(before);
}
