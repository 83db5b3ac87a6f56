// A "," typed into a number field of the calculation tab, on a desktop whose decimal
// point is ",": the field keeps it (it used to vanish, "1,5" bar becoming 15 bar) and
// the run start refuses it with the field's own message; no run starts.
#include <QLocale>

#include "../tab_fixture.h"
#include "support/qstring_printer.h"

namespace {

using tab_test::TabTest;

class CommaFields : public TabTest {
protected:
    void SetUp() override
    {
        TabTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override
    {
        QLocale::setDefault(before);
        TabTest::TearDown();
    }
    const QLocale before;
};

} // namespace

TEST_F(CommaFields, ACommaReachesTheReaderAndRefusesTheRun)
{
    struct Case {
        const char* field;
        const char* keys;
        const char* message;
        std::function<void(CommaFields&)> setUp; // what makes the field count
    };
    const Case cases[] = {
            {"line_spec_pres", "1,5", "Invalid Pressure",
             [](CommaFields& t) { t.combo("combo_units_pres")->setCurrentIndex(2); }}, // bar
            {"line_ambient", "1,01325", "Invalid atmosferic pressure", [](CommaFields&) {}},
            {"line_wallT", "1,5e3", "Invalid nozzle wall temperature",
             [](CommaFields& t) { t.check("check_heatWall")->setChecked(true); }},
            {"line_homT", "298,15", "Invalid homogeneous temperature",
             [](CommaFields& t) { t.check("check_homT")->setChecked(true); }},
            {"line_chamberA", "0,02", "Invalid combustion chamber area",
             [](CommaFields& t) { t.radio("radio_FAC")->setChecked(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        DataTab& t = make();
        chooseReferenceRun();
        c.setUp(*this);
        QLineEdit* field = line(c.field);
        field->clear();
        QTest::keyClicks(field, c.keys);
        EXPECT_EQ(field->text(), c.keys);
        messages.clear();
        release("but_run");
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_FALSE(t.model().running);
        EXPECT_EQ(t.model().results.size(), 1u); // the form's record only
    }
}
