// The number fields take what the readers take, whatever the desktop's locale, and a
// typed "," stays in the field as a finished entry, for the reader to refuse.
#include <QDoubleValidator>
#include <QIntValidator>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "core/ui/number_fields.h"
#include "support/qstring_printer.h"

namespace {

struct FieldCase {
    const char* typed;
    bool decimal; // true: a real number field; false: a whole-number field
    QValidator::State state;
};

// The desktop's locale set to one whose decimal point is "," for the test's length.
class CommaDesktop : public ::testing::Test {
protected:
    CommaDesktop() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~CommaDesktop() override { QLocale::setDefault(before); }
    const QLocale before;
};

} // namespace

TEST_F(CommaDesktop, FieldsAcceptWhatTheReadersAccept)
{
    QObject owner;
    QDoubleValidator* real = numberFieldValidator(&owner);
    QIntValidator* whole = wholeNumberFieldValidator(&owner);
    // A text with a "," is a finished entry (for the reader to refuse) unless it would be
    // no number without its commas either.
    const FieldCase cases[] = {
            {"1.5", true, QValidator::Acceptable},  {"-2.5e-3", true, QValidator::Acceptable},
            {"1,5", true, QValidator::Acceptable},  {"1,000", true, QValidator::Acceptable},
            {",", true, QValidator::Acceptable},    {"1,5e3", true, QValidator::Acceptable},
            {"1,5x", true, QValidator::Invalid},    {"1.000.000", true, QValidator::Invalid},
            {"100", false, QValidator::Acceptable}, {"1,000", false, QValidator::Acceptable},
            {"1.000", false, QValidator::Invalid},  {"1,5.", false, QValidator::Invalid},
            {"abc", true, QValidator::Invalid},     {"abc", false, QValidator::Invalid},
    };
    for (const FieldCase& c : cases) {
        QString text = QString::fromLatin1(c.typed);
        int pos = text.size();
        const QValidator::State state = c.decimal ? real->validate(text, pos) : whole->validate(text, pos);
        EXPECT_EQ(state, c.state) << c.typed << (c.decimal ? " (real)" : " (whole)");
        EXPECT_EQ(text, QString::fromLatin1(c.typed)) << c.typed; // the validation changes nothing
    }
}

// Typed key by key into a field, "1,5" stays "1,5" (it used to become "15"); leaving the
// field reports the edit, so the field's check reads the text, which the reader refuses.
TEST_F(CommaDesktop, ACommaTypedIntoAFieldStaysForTheReaderToRefuse)
{
    struct Typed {
        const char* keys;
        bool decimal;
    };
    for (const Typed& t : {Typed{"1,5", true}, Typed{"1,000", true}, Typed{"-0,25e-3", true}, Typed{"1,000", false},
                           Typed{"2,5", false}}) {
        SCOPED_TRACE(std::string(t.keys) + (t.decimal ? " (real)" : " (whole)"));
        QLineEdit field;
        if (t.decimal)
            field.setValidator(numberFieldValidator(&field));
        else
            field.setValidator(wholeNumberFieldValidator(&field));
        QStringList finished;
        QObject::connect(&field, &QLineEdit::editingFinished, [&] { finished << field.text(); });
        QTest::keyClicks(&field, QString::fromLatin1(t.keys));
        EXPECT_EQ(field.text(), QString::fromLatin1(t.keys));
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(finished, QStringList{QString::fromLatin1(t.keys)});
        EXPECT_FALSE(readNumber(field.text()).has_value());
        EXPECT_FALSE(readUnsignedNumber(field.text()).has_value());
    }
    // Letters are still refused key by key.
    QLineEdit field;
    field.setValidator(numberFieldValidator(&field));
    QTest::keyClicks(&field, "1x.5");
    EXPECT_EQ(field.text(), "1.5");
}
