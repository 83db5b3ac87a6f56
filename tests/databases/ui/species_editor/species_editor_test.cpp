// The species and reactant editor on the offscreen platform: construction in both modes,
// the grids, the save and overwrite flows against the file on disk, and loading.
#include <gtest/gtest.h>

#include <filesystem>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/ui/prop_aux_add_sp.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

using nlohmann::json;

class SpeciesEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
    }
    void TearDown() override
    {
        SPECIES.clear();
        REACTANTS.clear();
        NUM_DIS_PREC = 10;
        flagsF = 0;
    }

    static QLineEdit* field(QWidget& d, const char* name)
    {
        auto* f = d.findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_NE(f, nullptr) << name;
        return f;
    }
    static void type(QWidget& d, const char* name, const QString& text)
    {
        QLineEdit* f = field(d, name);
        f->clear();
        QTest::keyClicks(f, text);
        EXPECT_EQ(f->text(), text) << name << " refused typed text";
    }
    static void set(QWidget& d, const char* name, const QString& text) { field(d, name)->setText(text); }
    static void click(QWidget& d, const char* button)
    {
        auto* b = d.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    template <class T>
    static T* child(QWidget& d, const char* name)
    {
        return d.findChild<T*>(QString::fromLatin1(name));
    }

    // General data, composition and one Cp interval of argon, as the user would type them.
    static void fillArgon(QWidget& d, bool transport)
    {
        type(d, "line_name", "Ar");
        type(d, "line_comp", "Ar");
        type(d, "line_mw", "39.948");
        type(d, "line_enth", "0");
        type(d, "line_Tmin_0", "200");
        type(d, "line_Tmax_0", "6000");
        type(d, "line_cte_a_0", "-745.375");
        type(d, "line_cte_b_0", "4.38");
        type(d, "line_coef_0_0", "2.5");
        type(d, "line_exp_0_0", "0");
        if (transport) {
            for (const char* grid : {"visc", "cond"}) {
                type(d, qPrintable(QString("line_Tmin_%1_0").arg(grid)), "200");
                type(d, qPrintable(QString("line_Tmax_%1_0").arg(grid)), "5000");
                type(d, qPrintable(QString("line_A_%1_0").arg(grid)), "0.6");
                type(d, qPrintable(QString("line_B_%1_0").arg(grid)), "-60");
                type(d, qPrintable(QString("line_C_%1_0").arg(grid)), "200");
                type(d, qPrintable(QString("line_D_%1_0").arg(grid)), grid == std::string("visc") ? "2" : "2.6");
            }
        }
    }

    json fileJson(const char* name) const { return json::parse(app.read(std::string("Data/") + name)); }

    TempAppDir app;
    MessageRecorder messages;
};

TEST_F(SpeciesEditor, SpeciesModeStartsWithOneOfEverythingAndTransportOn)
{
    PropAuxAddSP d(SpeciesEditorMode::Species);
    EXPECT_EQ(d.windowTitle(), "KAVRO add specie");
    EXPECT_EQ(d.size(), QSize(1098, 670));
    EXPECT_EQ(d.cpIntervalCount(), 1);
    EXPECT_EQ(d.cpTermCount(), 1);
    EXPECT_EQ(d.viscosityRowCount(), 1);
    EXPECT_EQ(d.conductivityRowCount(), 1);
    EXPECT_FALSE(child<QGroupBox>(d, "Box_cp")->isCheckable());
    EXPECT_TRUE(child<QGroupBox>(d, "box_visc")->isChecked());
    EXPECT_TRUE(child<QGroupBox>(d, "Box_cond")->isChecked());
    EXPECT_TRUE(child<QPushButton>(d, "but_add_visc")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(d, "line_Tref"), nullptr);
    EXPECT_EQ(child<QLineEdit>(d, "line_comp")->placeholderText(), "C3/H2/CL");
    EXPECT_EQ(child<QComboBox>(d, "unit_enth")->itemText(3), "cal/mol");
    EXPECT_LE(child<QPushButton>(d, "but_save")->maximumWidth(), 200);
}

TEST_F(SpeciesEditor, ReactantModeCanSwitchCpOffForOneTemperature)
{
    PropAuxAddSP d(SpeciesEditorMode::Reactant);
    auto* cp = child<QGroupBox>(d, "Box_cp");
    ASSERT_TRUE(cp->isCheckable());
    EXPECT_TRUE(cp->isChecked());
    EXPECT_FALSE(child<QGroupBox>(d, "box_visc")->isChecked());
    EXPECT_FALSE(child<QGroupBox>(d, "Box_cond")->isChecked());
    EXPECT_FALSE(child<QPushButton>(d, "but_add_visc")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(d, "but_rem_cond")->isEnabled());
    QLineEdit* tref = field(d, "line_Tref");
    auto* caption = child<QLabel>(d, "label_Tref");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(tref->text(), "298.15");
    EXPECT_EQ(caption->text(), "Defined at temperature [K] -> ");
    EXPECT_TRUE(tref->isHidden());

    cp->setChecked(false);
    EXPECT_FALSE(tref->isHidden());
    EXPECT_FALSE(caption->isHidden());
    EXPECT_FALSE(child<QPushButton>(d, "but_add_int")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(d, "but_rem_int")->isEnabled());
    cp->setChecked(true);
    EXPECT_TRUE(tref->isHidden());
    EXPECT_TRUE(child<QPushButton>(d, "but_add_int")->isEnabled());

    child<QGroupBox>(d, "box_visc")->setChecked(true);
    EXPECT_TRUE(child<QPushButton>(d, "but_add_visc")->isEnabled());
}

TEST_F(SpeciesEditor, GridButtonsAddAndRemoveButKeepOne)
{
    PropAuxAddSP d(SpeciesEditorMode::Species);
    d.show();
    click(d, "but_add_int");
    click(d, "but_add_term");
    click(d, "but_add_term");
    click(d, "but_add_visc");
    click(d, "but_add_cond");
    click(d, "but_add_cond");
    EXPECT_EQ(d.cpIntervalCount(), 2);
    EXPECT_EQ(d.cpTermCount(), 3);
    EXPECT_NE(child<QLineEdit>(d, "line_coef_1_2"), nullptr); // every interval got every term
    EXPECT_EQ(d.viscosityRowCount(), 2);
    EXPECT_EQ(d.conductivityRowCount(), 3);
    for (int k = 0; k < 4; ++k) {
        click(d, "but_rem_int");
        click(d, "but_rem_term");
        click(d, "but_rem_visc");
        click(d, "but_rem_cond");
    }
    EXPECT_EQ(d.cpIntervalCount(), 1);
    EXPECT_EQ(d.cpTermCount(), 1);
    EXPECT_EQ(d.viscosityRowCount(), 1);
    EXPECT_EQ(d.conductivityRowCount(), 1);
    EXPECT_EQ(child<QLineEdit>(d, "line_coef_1_0"), nullptr);
    EXPECT_EQ(child<QLineEdit>(d, "line_Tmin_visc_1"), nullptr);
}

TEST_F(SpeciesEditor, NewSpeciesWithEmptyTransportRowsIsRefused)
{
    PropAuxAddSP d(SpeciesEditorMode::Species);
    fillArgon(d, false);
    click(d, "but_save");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Invalid viscosity Tmin: ");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_FALSE(std::filesystem::exists(SPECIES));
    EXPECT_NE(d.result(), 1);
}

TEST_F(SpeciesEditor, SaveRefusalsStopAtTheFirstBadField)
{
    struct Case {
        const char* name;
        SpeciesEditorMode mode;
        std::function<void(QWidget&)> spoil;
        std::vector<QString> texts;
    };
    using M = SpeciesEditorMode;
    const std::vector<Case> cases = {
            {"empty name", M::Species, [](QWidget& d) { set(d, "line_name", ""); }, {"Cannot have empty name"}},
            {"bad enthalpy", M::Species, [](QWidget& d) { set(d, "line_enth", "1,5"); }, {"Invalid enthalpy"}},
            {"zero molar mass", M::Species, [](QWidget& d) { set(d, "line_mw", "0"); }, {"Invalid molecular weight"}},
            // The rules hold for the value in SI: 1e308 kJ/mol is 1e314 J/kmol and 1e308
            // kg/mol is 1e311 kg/kmol, beyond a double; the loaders would refuse either.
            {"enthalpy beyond a double in J/kmol",
             M::Species,
             [](QWidget& d) {
                 set(d, "line_enth", "1e308");
                 d.findChild<QComboBox*>("unit_enth")->setCurrentIndex(2);
             },
             {"Invalid enthalpy"}},
            {"molar mass beyond a double in kg/kmol",
             M::Species,
             [](QWidget& d) {
                 set(d, "line_mw", "1e308");
                 d.findChild<QComboBox*>("unit_mw")->setCurrentIndex(1);
             },
             {"Invalid molecular weight"}},
            {"bad composition",
             M::Species,
             [](QWidget& d) { set(d, "line_comp", "H2O"); },
             {"Invalid number: 2O", "Save not completed, invalid composition"}},
            {"name checked first",
             M::Species,
             [](QWidget& d) {
                 set(d, "line_name", "");
                 set(d, "line_mw", "0");
             },
             {"Cannot have empty name"}},
            {"overlapping intervals",
             M::Species,
             [](QWidget& d) {
                 click(d, "but_add_int");
                 set(d, "line_Tmin_1", "5999");
                 set(d, "line_Tmax_1", "7000");
             },
             {"Invalid Cp Tmin: 5999"}},
            {"temperature 0",
             M::Reactant,
             [](QWidget& d) {
                 d.findChild<QGroupBox*>("Box_cp")->setChecked(false);
                 set(d, "line_Tref", "0");
             },
             {"Invalid temperature for formation enthalpy"}},
            {"bad conductivity",
             M::Species,
             [](QWidget& d) { set(d, "line_C_cond_0", ""); },
             {"Invalid conductivity C coefficient: "}},
            // Argon (39.948 g/mol, the IUPAC standard atomic weight) typed a tenth as heavy,
            // and as ten argon atoms: the molar mass must be the weight of the formula.
            {"molar mass a tenth of the formula's",
             M::Species,
             [](QWidget& d) { set(d, "line_mw", "3.9948"); },
             {"Invalid composition: its atoms weigh 39.948 g/mol, the molar mass 3.9948 g/mol (a molar mass may "
              "differ from the weight of its atoms and electrons by at most 1 %)"}},
            {"formula ten times the molar mass",
             M::Reactant,
             [](QWidget& d) { set(d, "line_comp", "Ar10"); },
             {"Invalid composition: its atoms weigh 399.48 g/mol, the molar mass 39.948 g/mol (a molar mass may "
              "differ from the weight of its atoms and electrons by at most 1 %)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        PropAuxAddSP d(c.mode);
        d.show();
        fillArgon(d, c.mode == M::Species);
        c.spoil(d);
        click(d, "but_save");
        ASSERT_EQ(messages.messages().size(), c.texts.size());
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(messages.messages()[i].text, c.texts[i]);
            EXPECT_EQ(messages.messages()[i].icon, Msg::Critical);
        }
        EXPECT_FALSE(std::filesystem::exists(c.mode == M::Species ? SPECIES : REACTANTS));
    }
}

TEST_F(SpeciesEditor, FirstSaveCreatesTheFileWithTheTypedEntry)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // typing "." must still work
    PropAuxAddSP d(SpeciesEditorMode::Species);
    QLocale::setDefault(QLocale::c());
    d.show();
    fillArgon(d, true);
    click(d, "but_save");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Successful save");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Information);
    EXPECT_EQ(d.result(), 1);
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Species)));

    const json expected = json::parse(R"({"Ar": {"Composition": [[1.0, "Ar"]],
        "Conductivity": [{"Coef": [0.6, -60.0, 200.0, 2.6], "T_int": [200.0, 5000.0]}],
        "Enthalpy": [0.0, 0],
        "Intervals": [{"T_int": [200.0, 6000.0], "a": [2.5], "b": [-745.375, 4.38], "exp": [0.0]}],
        "MolecWeight": [39.948, 0], "Phase": 0,
        "Viscosity": [{"Coef": [0.6, -60.0, 200.0, 2.0], "T_int": [200.0, 5000.0]}],
        "isActive": true}})");
    EXPECT_EQ(app.read("Data/Species.json"), serializeJson(expected));
}

TEST_F(SpeciesEditor, NumericFieldsValidateInTheCLocaleWhateverTheDesktopLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PropAuxAddSP d(SpeciesEditorMode::Reactant);
    QLocale::setDefault(QLocale::c());
    click(d, "but_add_int");
    click(d, "but_add_term");
    int checked = 0;
    for (QLineEdit* f : d.findChildren<QLineEdit*>()) {
        const QString name = f->objectName();
        const bool numeric = name != "line_name" && name != "line_comp" && name != "line_Tref";
        SCOPED_TRACE(name.toStdString());
        if (!numeric) {
            EXPECT_EQ(f->validator(), nullptr);
            continue;
        }
        ASSERT_NE(f->validator(), nullptr);
        EXPECT_EQ(f->validator()->locale().language(), QLocale::C);
        QString text = "-745.375";
        int pos = 0;
        EXPECT_EQ(f->validator()->validate(text, pos), QValidator::Acceptable);
        // A "," stays as typed, for the save to refuse (it used to vanish: "2,5" became 25).
        text = "2,5";
        EXPECT_EQ(f->validator()->validate(text, pos), QValidator::Acceptable);
        EXPECT_EQ(text, "2,5");
        ++checked;
    }
    EXPECT_EQ(checked, 2 + 2 * (4 + 2 * 2) + 2 * 6); // general, two Cp intervals of two terms, transport rows
}

// A decimal comma typed on a desktop that uses one: kept in the field and refused at save
// with the field's message; nothing is written.
TEST_F(SpeciesEditor, ACommaTypedAsDecimalPointIsRefusedAtSave)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PropAuxAddSP d(SpeciesEditorMode::Species);
    fillArgon(d, true);
    type(d, "line_mw", "39,948");
    click(d, "but_save");
    EXPECT_EQ(messages.texts(), QStringList{"Invalid molecular weight"});
    EXPECT_FALSE(std::filesystem::exists(SPECIES));
    QLocale::setDefault(before);
}

TEST_F(SpeciesEditor, OneTemperatureReactantHasThreeEnthalpyElementsAndNoIntervals)
{
    PropAuxAddSP d(SpeciesEditorMode::Reactant);
    d.show();
    type(d, "line_name", " ");
    type(d, "line_comp", "N/H4/Cl/O4");
    type(d, "line_mw", "117.5");
    type(d, "line_enth", "-295");
    child<QComboBox>(d, "unit_enth")->setCurrentIndex(2);
    child<QComboBox>(d, "sel_phase")->setCurrentIndex(2);
    child<QGroupBox>(d, "Box_cp")->setChecked(false);
    click(d, "but_save");
    EXPECT_EQ(messages.lastText(), "Successful save");
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Reactants)));
    const json stored = fileJson("Reactants.json");
    ASSERT_TRUE(stored.contains(" ")); // a name of blanks is stored as typed
    EXPECT_EQ(stored[" "].dump(),
              R"({"Composition":[[1.0,"N"],[4.0,"H"],[1.0,"Cl"],[4.0,"O"]],)"
              R"("Enthalpy":[-295.0,2,298.15],"MolecWeight":[117.5,0],"Phase":2,"isActive":true})");
}

TEST_F(SpeciesEditor, OverwriteIsAskedAndCancelLeavesTheFileUnchanged)
{
    const std::string original = R"({"Ar": {"Composition": [[1.0, "Ar"]], "Enthalpy": [0.0, 0],
        "Intervals": [{"T_int": [200.0, 6000.0], "a": [2.5], "b": [-745.375, 4.38], "exp": [0.0]}],
        "MolecWeight": [39.948, 0], "Phase": 0,
        "Viscosity": [{"Coef": [1.0, 2.0, 3.0, 4.0], "T_int": [200.0, 5000.0]}], "isActive": false},
        "He": {"Phase": 0}})";
    app.write("Data/Species.json", original);

    {
        PropAuxAddSP d(SpeciesEditorMode::Species);
        d.show();
        fillArgon(d, true);
        messages.answer(Msg::Cancel);
        click(d, "but_save");
        ASSERT_EQ(messages.messages().size(), 1u);
        const MessageRequest& q = messages.messages()[0];
        EXPECT_EQ(q.text, "You are about to overwrite a save with the same name. Continue?");
        EXPECT_EQ(q.icon, Msg::Warning);
        EXPECT_EQ(q.buttons, Msg::Yes | Msg::Cancel);
        EXPECT_EQ(q.defaultButton, Msg::Yes);
        EXPECT_EQ(app.read("Data/Species.json"), original);
        EXPECT_NE(d.result(), 1);

        // Yes replaces the whole entry: the viscosity box is now off, so no "Viscosity".
        messages.clear();
        child<QGroupBox>(d, "box_visc")->setChecked(false);
        click(d, "but_save");
        ASSERT_EQ(messages.messages().size(), 2u);
        EXPECT_EQ(messages.lastText(), "Successful save");
    }
    const json stored = fileJson("Species.json");
    EXPECT_FALSE(stored["Ar"].contains("Viscosity"));
    EXPECT_TRUE(stored["Ar"]["isActive"].get<bool>());
    EXPECT_EQ(stored["He"], json::parse(R"({"Phase": 0})")); // other entries are kept
}

TEST_F(SpeciesEditor, AnEmptyStoredValueIsFilledWithoutAsking)
{
    app.write("Data/Species.json", "{\"Ar\": null}");
    PropAuxAddSP d(SpeciesEditorMode::Species);
    d.show();
    fillArgon(d, true);
    click(d, "but_save");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Successful save");
    EXPECT_TRUE(fileJson("Species.json")["Ar"].is_object());
}

TEST_F(SpeciesEditor, UnreadableFilesAreNeverReplaced)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString message;
        uint32_t flags;
    };
    const std::string broken = "{\"Ar\": {\"Phase\": 0},";
    const std::vector<Case> cases = {
            {"unparsable", [&] { app.write("Data/Species.json", broken); }, "", code::fileCorrupt(code::Species)},
            {"cannot be opened", [&] { std::filesystem::create_directories(SPECIES); },
             "Save aborted because species file could not be opened, close it or change its accesibility restrictions",
             0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(SPECIES);
        c.prepare();
        messages.clear();
        flagsF = 0;
        PropAuxAddSP d(SpeciesEditorMode::Species);
        d.show();
        fillArgon(d, true);
        click(d, "but_save");
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
        if (!c.message.isEmpty())
            EXPECT_EQ(messages.lastText(), c.message);
        else
            EXPECT_TRUE(messages.lastText().contains(QString::fromStdString(SPECIES)))
                    << messages.lastText().toStdString();
        EXPECT_EQ(flagsF.load(), c.flags);
        EXPECT_NE(d.result(), 1);
    }
    std::filesystem::remove_all(SPECIES);
    app.write("Data/Species.json", broken);
    // The unparsable file is still exactly what the user had.
    EXPECT_EQ(app.read("Data/Species.json"), broken);
}

TEST_F(SpeciesEditor, AFailedWriteIsReportedNotAnnouncedAsSuccess)
{
    SPECIES = app.path() + "/missing folder/Species.json";
    PropAuxAddSP d(SpeciesEditorMode::Species);
    d.show();
    fillArgon(d, true);
    click(d, "but_save");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_TRUE(messages.lastText().contains("could not be written")) << messages.lastText().toStdString();
    EXPECT_NE(d.result(), 1);
}

TEST_F(SpeciesEditor, LoadShowsEveryStoredPartAndSavesItBackRounded)
{
    NUM_DIS_PREC = 4;
    json seven = json::array();
    const json terms = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
    app.write("Data/Species.json", serializeJson(json::parse(R"({"H2O": {
        "Composition": [[2.0, "H"], [1.0, "O"]], "Enthalpy": [-241.826, 2], "MolecWeight": [18.01528, 0], "Phase": 0,
        "Intervals": [
          {"T_int": [200.0, 1000.0], "a": [1,2,3,4,5,6,7], "b": [-30000.0, 5.0], "exp": [-2,-1,0,1,2,3,4]},
          {"T_int": [1000.0, 6000.0], "a": [1,2,3,4,5,6,7.123456], "b": [-29000.0, 6.0], "exp": [-2,-1,0,1,2,3,4]}],
        "Conductivity": [{"Coef": [1.0, 2.0, 3.0, 4.0], "T_int": [300.0, 1000.0]},
                         {"Coef": [5.0, 6.0, 7.0, 8.0], "T_int": [1000.0, 5000.0]}],
        "isActive": false}})")));
    PropAuxAddSP d(SpeciesEditorMode::Species);
    d.show();
    d.load("H2O");
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(field(d, "line_name")->text(), "H2O");
    EXPECT_EQ(field(d, "line_comp")->text(), "H2/O1");
    EXPECT_EQ(field(d, "line_enth")->text(), "-241.8");
    EXPECT_EQ(child<QComboBox>(d, "unit_enth")->currentIndex(), 2);
    EXPECT_EQ(d.cpIntervalCount(), 2);
    EXPECT_EQ(d.cpTermCount(), 7);
    EXPECT_EQ(field(d, "line_coef_1_6")->text(), "7.123");
    EXPECT_EQ(field(d, "line_exp_1_0")->text(), "-2");
    EXPECT_FALSE(child<QGroupBox>(d, "box_visc")->isChecked());
    EXPECT_TRUE(child<QGroupBox>(d, "Box_cond")->isChecked());
    EXPECT_EQ(d.conductivityRowCount(), 2);
    EXPECT_EQ(field(d, "line_D_cond_1")->text(), "8");

    click(d, "but_save"); // same name: asked, answered Yes by default
    ASSERT_EQ(messages.messages().size(), 2u);
    EXPECT_EQ(messages.lastText(), "Successful save");
    const json stored = fileJson("Species.json")["H2O"];
    EXPECT_EQ(stored["Intervals"][1]["a"][6].get<double>(), 7.123);
    EXPECT_EQ(stored["MolecWeight"][0].get<double>(), 18.02);
    EXPECT_FALSE(stored.contains("Viscosity"));
    EXPECT_EQ(stored["Conductivity"].size(), 2u);
}

TEST_F(SpeciesEditor, SavingALoadedEntryUnderANewNameKeepsBoth)
{
    app.write("Data/Reactants.json", R"({"AP": {"Composition": [[1.0,"N"],[4.0,"H"],[1.0,"Cl"],[4.0,"O"]],
        "Enthalpy": [-295.0, 2, 298.15], "MolecWeight": [117.5, 0], "Phase": 2, "isActive": true}})");
    PropAuxAddSP d(SpeciesEditorMode::Reactant);
    d.show();
    d.load("AP");
    type(d, "line_name", "AP fine");
    click(d, "but_save");
    ASSERT_EQ(messages.messages().size(), 1u); // no overwrite question
    EXPECT_EQ(messages.lastText(), "Successful save");
    const json stored = fileJson("Reactants.json");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored["AP"], stored["AP fine"]);
}

TEST_F(SpeciesEditor, MoreTermsThanTheEngineHoldsAreRefused)
{
    PropAuxAddSP d(SpeciesEditorMode::Species);
    fillArgon(d, true);
    for (int k = 1; k < 256; ++k)
        d.add_term();
    ASSERT_EQ(d.cpTermCount(), 256);
    for (QLineEdit* f : d.findChildren<QLineEdit*>())
        if (f->objectName().startsWith("line_coef_") || f->objectName().startsWith("line_exp_"))
            f->setText("1");
    d.save();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "More than 255 Cp terms");
    EXPECT_FALSE(std::filesystem::exists(SPECIES));
    d.rem_term();
    d.save();
    EXPECT_EQ(messages.lastText(), "Successful save");
}

TEST_F(SpeciesEditor, LoadOfAOneTemperatureReactantShowsItsTemperature)
{
    app.write("Data/Reactants.json", R"({"AP": {"Composition": [[1.0,"N"],[4.0,"H"],[1.0,"Cl"],[4.0,"O"]],
        "Enthalpy": [-295.0, 2, 300.5], "MolecWeight": [117.5, 0], "Phase": 2, "isActive": true}})");
    PropAuxAddSP d(SpeciesEditorMode::Reactant);
    d.load("AP");
    EXPECT_FALSE(child<QGroupBox>(d, "Box_cp")->isChecked());
    EXPECT_FALSE(field(d, "line_Tref")->isHidden());
    EXPECT_EQ(field(d, "line_Tref")->text(), "300.5");
    EXPECT_EQ(field(d, "line_comp")->text(), "N1/H4/Cl1/O4");
    EXPECT_EQ(child<QComboBox>(d, "sel_phase")->currentIndex(), 2);
}

TEST_F(SpeciesEditor, MalformedOrMissingEntriesLoadWithoutCrashing)
{
    app.write("Data/Species.json", R"({
        "bad": {"Composition": [["H", 2.0], [1.0, "O"]], "Enthalpy": "x", "Phase": 7,
                "Intervals": [{"T_int": [200.0], "a": [1, 2, 3], "exp": [0]},
                              {"a": [1], "b": 5}, 3],
                "Viscosity": [{"Coef": [1.0]}, null]},
        "empty": {}})");
    for (const char* name : {"bad", "empty", "absent"}) {
        SCOPED_TRACE(name);
        PropAuxAddSP d(SpeciesEditorMode::Species);
        d.load(name);
        EXPECT_EQ(field(d, "line_name")->text(), name);
    }
    PropAuxAddSP d(SpeciesEditorMode::Species);
    d.load("bad");
    EXPECT_EQ(d.cpIntervalCount(), 3);
    EXPECT_EQ(d.cpTermCount(), 3);
    EXPECT_EQ(field(d, "line_coef_1_2")->text(), "");
    EXPECT_EQ(field(d, "line_comp")->text(), "O1");
    EXPECT_EQ(d.viscosityRowCount(), 2);
    EXPECT_TRUE(messages.messages().empty());

    // A file that cannot be opened is reported and leaves the fields alone.
    std::filesystem::remove(SPECIES);
    std::filesystem::create_directories(SPECIES);
    PropAuxAddSP e(SpeciesEditorMode::Species);
    e.load("bad");
    EXPECT_EQ(
            messages.lastText(),
            "Load aborted because species file could not be opened, close it or change its accesibility restrictions");
    EXPECT_EQ(field(e, "line_name")->text(), "");
}

} // namespace
