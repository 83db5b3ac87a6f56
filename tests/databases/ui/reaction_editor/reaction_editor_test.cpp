// The reaction editor, driven through its widgets on the offscreen platform.
#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/ui/prop_aux_add_k.h"
#include "support/message_recorder.h"
#include "support/qstring_printer.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

const char* kSpecies = R"({
    "H":   {"Composition": [[1.0, "H"]], "Phase": 0},
    "H2":  {"Composition": [[2.0, "H"]], "Phase": 0},
    "O":   {"Composition": [[1.0, "O"]], "Phase": 0},
    "O2":  {"Composition": [[2.0, "O"]], "Phase": 0},
    "OH":  {"Composition": [[1.0, "O"], [1.0, "H"]], "Phase": 0},
    "H2O": {"Composition": [[2.0, "H"], [1.0, "O"]], "Phase": 0},
    "Cleared": null
})";

class ReactionEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        SPECIES = app.dataFile("Species.json");
        KINETICS = app.dataFile("Kinetics.json");
        app.write("Data/Species.json", kSpecies);
        flagsF.store(0);
    }
    void TearDown() override
    {
        SPECIES.clear();
        KINETICS.clear();
        flagsF.store(0);
    }

    template <typename T>
    static T* child(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void fill(PropAuxAddK& editor, const QString& reaction, const QString& Ea = "0", const QString& A = "1e13",
                     const QString& b = "-1")
    {
        child<QLineEdit>(editor, "line_reac")->setText(reaction);
        child<QLineEdit>(editor, "line_Ea")->setText(Ea);
        child<QLineEdit>(editor, "line_A")->setText(A);
        child<QLineEdit>(editor, "line_b")->setText(b);
    }
    static void clickSave(PropAuxAddK& editor)
    {
        QTest::mouseClick(child<QPushButton>(editor, "but_save"), Qt::LeftButton);
    }
    // The third-body rows: name and efficiency fields, grid rows 1 and down.
    static std::vector<std::pair<QLineEdit*, QLineEdit*>> rows(PropAuxAddK& editor)
    {
        auto* grid = child<QGridLayout>(editor, "Box_tb_grid");
        std::vector<std::pair<QLineEdit*, QLineEdit*>> out;
        for (int r = 1; r < grid->rowCount(); ++r) {
            QLayoutItem* name = grid->itemAtPosition(r, 0);
            QLayoutItem* eff = grid->itemAtPosition(r, 1);
            if (name && eff && name->widget() && eff->widget())
                out.emplace_back(qobject_cast<QLineEdit*>(name->widget()), qobject_cast<QLineEdit*>(eff->widget()));
        }
        return out;
    }
    // A click on the box's check mark, as the user makes it (space toggles a checkable box).
    static void clickThirdBodyBox(PropAuxAddK& editor)
    {
        QTest::keyClick(child<QGroupBox>(editor, "Box_tb"), Qt::Key_Space);
    }
    json kinetics() const { return readJsonFile(KINETICS).document; }
    QStringList texts() const { return messages.texts(); }

    TempAppDir app;
    MessageRecorder messages;
};

} // namespace

TEST_F(ReactionEditor, StartsEmptyWithOneThirdBodyRowAndBoxOff)
{
    PropAuxAddK editor;
    EXPECT_EQ(editor.windowTitle(), "KAVRO add chemical kinetics");
    EXPECT_EQ(editor.size(), QSize(672, 503));
    auto* box = child<QGroupBox>(editor, "Box_tb");
    EXPECT_TRUE(box->isCheckable());
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(child<QPushButton>(editor, "but_add")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(editor, "but_rem")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(editor, "check_forward")->isChecked());
    EXPECT_EQ(child<QComboBox>(editor, "units_Ea")->currentText(), "cal/mol");
    EXPECT_EQ(child<QComboBox>(editor, "units_Ea")->count(), 2);
    EXPECT_EQ(child<QComboBox>(editor, "units_A")->currentText(), "cm-mol-s-K");
    EXPECT_EQ(child<QLineEdit>(editor, "line_reac")->placeholderText(), "H + H = H2 or 2H = H2");
    EXPECT_EQ(rows(editor).size(), 1u);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ReactionEditor, NumberFieldsReadThePointWhateverTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PropAuxAddK editor;
    QLocale::setDefault(previous);
    // A German validator refuses a leading point and would leave "5" of ".5".
    for (const char* name : {"line_Ea", "line_A", "line_b"}) {
        auto* field = child<QLineEdit>(editor, name);
        QTest::keyClicks(field, ".5");
        EXPECT_EQ(field->text(), ".5") << name;
    }
    editor.add();
    auto* eff = rows(editor).back().second;
    eff->setEnabled(true);
    QTest::keyClicks(eff, ".5");
    EXPECT_EQ(eff->text(), ".5");

    // A "," stays as typed (it used to vanish: "2,5" became 25) and the save, which
    // cannot read it, refuses it with the field's message.
    struct Typed {
        QLineEdit* field;
        const char* keys;
        QString message;
    };
    for (const Typed& t : {Typed{child<QLineEdit>(editor, "line_Ea"), "1,000", "Invalid activation energy"},
                           Typed{child<QLineEdit>(editor, "line_A"), "2,5", "Invalid constant A"},
                           Typed{child<QLineEdit>(editor, "line_b"), "-0,5", "Invalid constant b"}}) {
        SCOPED_TRACE(t.keys);
        fill(editor, "H + H = H2");
        t.field->clear();
        QTest::keyClicks(t.field, t.keys);
        EXPECT_EQ(t.field->text(), t.keys);
        messages.clear();
        clickSave(editor);
        EXPECT_EQ(texts(), QStringList{t.message});
        EXPECT_FALSE(std::filesystem::exists(KINETICS));
    }
    eff->clear();
    QTest::keyClicks(eff, "2,5");
    EXPECT_EQ(eff->text(), "2,5");
}

TEST_F(ReactionEditor, SaveWritesTheEntryUnderTheTextAsTyped)
{
    PropAuxAddK editor;
    fill(editor, "H + H = H2", "1.5", "1e13", "-1");
    child<QComboBox>(editor, "units_Ea")->setCurrentIndex(1);
    child<QCheckBox>(editor, "check_forward")->setChecked(true);
    clickSave(editor);
    EXPECT_EQ(texts(), QStringList{"Successful save"});
    EXPECT_EQ(messages.messages().back().icon, Msg::Information);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    const json expected = json::parse(R"({"H + H = H2": {"A": [10000000000000.0, 0], "Ea": [1.5, 1],
        "Forward": true, "Products": [["H2", 1.0]], "Reactants": [["H", 2.0]], "b": -1.0, "isActive": true}})");
    EXPECT_EQ(kinetics(), expected);
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Kinetics))); // the first save creates the file
    const std::string text = app.read("Data/Kinetics.json");
    EXPECT_EQ(text, serializeJson(expected));
}

struct SaveRefusal {
    const char* Ea;
    const char* A;
    const char* b;
    const char* reaction;
    QStringList messages;
};

class ReactionEditorRefusals : public ReactionEditor, public ::testing::WithParamInterface<SaveRefusal> { };

TEST_P(ReactionEditorRefusals, StopsAtTheFirstFaultAndWritesNothing)
{
    const SaveRefusal& c = GetParam();
    PropAuxAddK editor;
    fill(editor, c.reaction, c.Ea, c.A, c.b);
    clickSave(editor);
    EXPECT_EQ(texts(), c.messages);
    for (const MessageRequest& m : messages.messages())
        EXPECT_EQ(m.icon, Msg::Critical);
    EXPECT_NE(editor.result(), QDialog::Accepted);
    EXPECT_FALSE(std::filesystem::exists(KINETICS));
}

const QString kInvalid = "Save not completed, invalid reaction";

INSTANTIATE_TEST_SUITE_P(
        Fields, ReactionEditorRefusals,
        ::testing::Values(
                SaveRefusal{"", "1", "0", "H + H = H2", {"Invalid activation energy"}},
                SaveRefusal{"x", "", "", "", {"Invalid activation energy"}},
                SaveRefusal{"0", "1e", "0", "H + H = H2", {"Invalid constant A"}},
                SaveRefusal{"-5", "-1", "", "H + H = H2", {"Invalid constant b"}},
                SaveRefusal{"0", "1", "0", "", {"Reaction is empty", kInvalid}},
                SaveRefusal{"0", "1", "0", "2 H = H2", {"The reacting specie '' is not in the database", kInvalid}},
                SaveRefusal{"0", "1", "0", "H + H => H2", {"The reacting specie '>' is not in the database", kInvalid}},
                SaveRefusal{"0", "1", "0", ".H = H2", {"Invalid coefficient for element '.H'", kInvalid}},
                SaveRefusal{"0",
                            "1",
                            "0",
                            "H + H + M = H2 + M",
                            {"The reacting specie 'M' is not in the database", kInvalid}},
                SaveRefusal{"0",
                            "1",
                            "0",
                            "Cleared = H2",
                            {"The reacting specie 'Cleared' is not in the database", kInvalid}},
                SaveRefusal{"0", "1", "0", "H + H", {"Missing products in reaction", kInvalid}},
                SaveRefusal{"0", "1", "0", "= H2", {"The reacting specie '' is not in the database", kInvalid}},
                SaveRefusal{"0", "1", "0", "H2 =", {"Missing products in reaction", kInvalid}}));

TEST_F(ReactionEditor, SameReactionUnderNewKeysAsksToDeleteTheOld)
{
    const char* keys[] = {"H + H = H2", "2H = H2", "H+H=H2"};
    for (std::size_t i = 0; i < 3; ++i) {
        messages.clear();
        PropAuxAddK editor;
        fill(editor, keys[i]);
        clickSave(editor);
        if (i > 0) {
            ASSERT_EQ(messages.messages().size(), 2u);
            EXPECT_EQ(messages.messages()[0].text,
                      "A save with the described reaction alrady exists, it will be deleted. Continue?");
            EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
            EXPECT_EQ(messages.messages()[0].buttons, Msg::Yes | Msg::Cancel);
            EXPECT_EQ(messages.messages()[0].defaultButton, Msg::Yes);
        }
        EXPECT_EQ(messages.lastText(), "Successful save");
        const json stored = kinetics();
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_TRUE(stored.contains(keys[i]));
        EXPECT_EQ(stored[keys[i]]["Reactants"], json::parse(R"([["H", 2.0]])"));
    }
}

TEST_F(ReactionEditor, CancelledQuestionsLeaveTheFileAlone)
{
    app.write("Data/Kinetics.json",
              R"({"H + H = H2": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["H2", 1.0]],
                  "Reactants": [["H", 2.0]], "b": 0.0, "isActive": false}})");
    const std::string before = app.read("Data/Kinetics.json");
    for (const char* text : {"H + H = H2", "2H = H2"}) {
        messages.clear();
        messages.answer(Msg::Cancel);
        PropAuxAddK editor;
        fill(editor, text);
        clickSave(editor);
        ASSERT_EQ(messages.messages().size(), 1u) << text;
        EXPECT_NE(editor.result(), QDialog::Accepted);
        EXPECT_EQ(app.read("Data/Kinetics.json"), before);
    }
    EXPECT_EQ(messages.lastText(), "A save with the described reaction alrady exists, it will be deleted. Continue?");
}

TEST_F(ReactionEditor, OverwriteReplacesTheWholeEntryWithoutDuplicateSearch)
{
    app.write("Data/Kinetics.json",
              R"({"H + H = H2": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["H2", 1.0]],
                  "Reactants": [["H", 2.0]], "Third Body": [["H2O", 5.0]], "b": 0.0, "isActive": false},
                  "2H = H2": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["H2", 1.0]],
                  "Reactants": [["H", 2.0]], "b": 0.0, "isActive": true}})");
    PropAuxAddK editor;
    fill(editor, "H + H = H2", "3", "2", "1");
    clickSave(editor);
    EXPECT_EQ(texts(),
              (QStringList{"You are about to overwrite a save with the same name. Continue?", "Successful save"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
    const json stored = kinetics();
    EXPECT_EQ(stored.size(), 2u); // the duplicate under the other key stays
    EXPECT_FALSE(stored["H + H = H2"].contains("Third Body"));
    EXPECT_EQ(stored["H + H = H2"]["isActive"], true);
    EXPECT_EQ(stored["H + H = H2"]["Ea"], json::parse("[3.0, 0]"));
}

TEST_F(ReactionEditor, EmptyStoredValueIsFilledWithoutOverwriteQuestion)
{
    app.write("Data/Kinetics.json", R"({"O + O = O2": null, "x": {}})");
    PropAuxAddK editor;
    fill(editor, "O + O = O2");
    clickSave(editor);
    EXPECT_EQ(texts(), QStringList{"Successful save"});
    EXPECT_EQ(kinetics()["O + O = O2"]["Products"], json::parse(R"([["O2", 1.0]])"));
}

TEST_F(ReactionEditor, ThirdBodyRowsAreCheckedOnlyWhenTheBoxIsOn)
{
    PropAuxAddK editor;
    fill(editor, "H + H = H2");
    rows(editor)[0].first->setText("H2");
    rows(editor)[0].second->setText("-1");
    clickSave(editor); // box off: rows ignored
    EXPECT_EQ(messages.lastText(), "Successful save");
    EXPECT_FALSE(kinetics()["H + H = H2"].contains("Third Body"));

    struct Case {
        const char* name;
        const char* eff;
        QString message;
    };
    for (const Case& c :
         {Case{"", "1", "Empty third body"}, Case{"H2", "-1", "Invalid third body value: -1"},
          Case{"H2", "", "Invalid third body value: "}, Case{"H2", "x", "Invalid third body value: x"}}) {
        messages.clear();
        PropAuxAddK second;
        fill(second, "H + H = H2");
        child<QGroupBox>(second, "Box_tb")->setChecked(true);
        rows(second)[0].first->setText(c.name);
        rows(second)[0].second->setText(c.eff);
        clickSave(second);
        EXPECT_EQ(texts(), QStringList{c.message}) << c.name << "/" << c.eff;
    }

    messages.clear();
    PropAuxAddK third;
    fill(third, "H + H = H2");
    clickThirdBodyBox(third);
    ASSERT_TRUE(child<QGroupBox>(third, "Box_tb")->isChecked());
    QTest::mouseClick(child<QPushButton>(third, "but_add"), Qt::LeftButton);
    ASSERT_EQ(rows(third).size(), 2u);
    rows(third)[0].first->setText("H2");
    rows(third)[0].second->setText("2.5");
    rows(third)[1].first->setText("H2O");
    rows(third)[1].second->setText("0");
    clickSave(third);
    EXPECT_EQ(texts(),
              (QStringList{"You are about to overwrite a save with the same name. Continue?", "Successful save"}));
    EXPECT_EQ(kinetics()["H + H = H2"]["Third Body"], json::parse(R"([["H2", 2.5], ["H2O", 0.0]])"));
}

TEST_F(ReactionEditor, ThirdBodyButtonsFollowClicksOnly)
{
    PropAuxAddK editor;
    auto* box = child<QGroupBox>(editor, "Box_tb");
    auto* add = child<QPushButton>(editor, "but_add");
    auto* rem = child<QPushButton>(editor, "but_rem");
    box->setChecked(true);
    EXPECT_FALSE(add->isEnabled());
    clickThirdBodyBox(editor);
    EXPECT_FALSE(box->isChecked());
    clickThirdBodyBox(editor);
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(add->isEnabled());
    EXPECT_TRUE(rem->isEnabled());

    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(rows(editor).size(), 3u);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(rem, Qt::LeftButton);
    EXPECT_EQ(rows(editor).size(), 1u);
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(rows(editor).size(), 2u); // a row added after removals lands right below the others
}

TEST_F(ReactionEditor, LoadFillsTheFormFromTheStoredEntry)
{
    NUM_DIS_PREC = 4;
    app.write("Data/Kinetics.json",
              R"({"H + H = H2": {"A": [12345678.9, 0], "Ea": [1.5, 1], "Forward": true, "Products": [["H2", 1.0]],
                  "Reactants": [["H", 2.0]], "Third Body": [["H2", 2.5], ["H2O", 12.0], ["Ar", 0.3333333]],
                  "b": -1.0, "isActive": true}})");
    PropAuxAddK editor;
    editor.load("H + H = H2");
    NUM_DIS_PREC = 10;
    EXPECT_EQ(child<QLineEdit>(editor, "line_reac")->text(), "H + H = H2");
    EXPECT_EQ(child<QLineEdit>(editor, "line_A")->text(), "1.235e+07");
    EXPECT_EQ(child<QLineEdit>(editor, "line_Ea")->text(), "1.5");
    EXPECT_EQ(child<QComboBox>(editor, "units_Ea")->currentIndex(), 1);
    EXPECT_EQ(child<QLineEdit>(editor, "line_b")->text(), "-1");
    EXPECT_TRUE(child<QCheckBox>(editor, "check_forward")->isChecked());
    EXPECT_TRUE(child<QGroupBox>(editor, "Box_tb")->isChecked());
    EXPECT_FALSE(child<QPushButton>(editor, "but_add")->isEnabled());
    const auto r = rows(editor);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[1].first->text(), "H2O");
    EXPECT_EQ(r[2].second->text(), "0.3333");
    EXPECT_TRUE(messages.messages().empty());

    // saving it unchanged asks to overwrite and keeps the third bodies
    clickSave(editor);
    EXPECT_EQ(texts(),
              (QStringList{"You are about to overwrite a save with the same name. Continue?", "Successful save"}));
    EXPECT_EQ(kinetics()["H + H = H2"]["Third Body"], json::parse(R"([["H2", 2.5], ["H2O", 12.0], ["Ar", 0.3333]])"));
}

TEST_F(ReactionEditor, LoadSurvivesMalformedEntries)
{
    app.write("Data/Kinetics.json",
              R"({"a": {"A": "x", "Ea": [1.0, 7], "b": [1], "Forward": 3, "Third Body": [5, ["H2"], [1, 2]]},
                  "b": null, "c": [1, 2]})");
    for (const char* key : {"a", "b", "c", "missing"}) {
        PropAuxAddK editor;
        editor.load(key);
        EXPECT_EQ(child<QComboBox>(editor, "units_Ea")->currentIndex(), 0) << key;
        EXPECT_EQ(child<QLineEdit>(editor, "line_reac")->text(), std::string(key) == "missing" ? "" : key);
    }
    PropAuxAddK editor;
    editor.load("a");
    EXPECT_EQ(rows(editor).size(), 3u);
    EXPECT_EQ(rows(editor)[1].first->text(), "H2");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ReactionEditor, KineticsFileStates)
{
    // cannot be opened: the save gives up and the editor closes rejected
    std::filesystem::create_directory(KINETICS);
    {
        PropAuxAddK editor;
        editor.show();
        fill(editor, "H + H = H2");
        clickSave(editor);
        EXPECT_EQ(texts(),
                  QStringList{"Save aborted. Kinetics file could not be opened, it might be open by a "
                              "different software or have restricted access"});
        EXPECT_EQ(editor.result(), QDialog::Rejected);
        EXPECT_FALSE(editor.isVisible());
        messages.clear();
        PropAuxAddK loader;
        loader.load("H + H = H2");
        EXPECT_EQ(messages.lastText(),
                  "Kinetics file could not be opened, it might be open by a different software "
                  "or have restricted access");
    }
    std::filesystem::remove(KINETICS);

    // not JSON: nothing is written over the user's file
    messages.clear();
    app.write("Data/Kinetics.json", "{\"H + H = H2\": {");
    {
        PropAuxAddK editor;
        fill(editor, "O + O = O2");
        clickSave(editor);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_TRUE(messages.lastText().startsWith("Save aborted because the kinetics file"))
                << messages.lastText().toStdString();
        EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
        EXPECT_NE(editor.result(), QDialog::Accepted);
        EXPECT_EQ(app.read("Data/Kinetics.json"), "{\"H + H = H2\": {");
        EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Kinetics)));
    }

    // the write itself fails: no "Successful save"
    messages.clear();
    KINETICS = app.path() + "/no/such/folder/Kinetics.json";
    {
        PropAuxAddK editor;
        fill(editor, "O + O = O2");
        clickSave(editor);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_TRUE(messages.lastText().startsWith("The kinetics file")) << messages.lastText().toStdString();
        EXPECT_NE(editor.result(), QDialog::Accepted);
    }
}

TEST_F(ReactionEditor, SpeciesFileStates)
{
    const QString noSpecies = "Species database is empty, missing or corrupted, reaction cannot be checked";
    struct Case {
        const char* content; // nullptr: no file
        uint32_t flag;
    };
    for (const Case& c : {Case{nullptr, code::fileMissing(code::Species)},
                          Case{"[1,", code::fileCorrupt(code::Species)}, Case{"null", 0u}, Case{"{}", 0u}}) {
        messages.clear();
        flagsF.store(0);
        std::filesystem::remove(SPECIES);
        if (c.content)
            app.write("Data/Species.json", c.content);
        PropAuxAddK editor;
        fill(editor, "H + H = H2");
        clickSave(editor);
        EXPECT_EQ(texts(), (QStringList{noSpecies, kInvalid})) << (c.content ? c.content : "missing");
        EXPECT_FALSE(std::filesystem::exists(KINETICS));
        EXPECT_EQ(flagsF.load(), c.flag);
    }

    messages.clear();
    std::filesystem::remove(SPECIES);
    std::filesystem::create_directory(SPECIES);
    PropAuxAddK editor;
    editor.show();
    fill(editor, "H + H = H2");
    clickSave(editor);
    EXPECT_EQ(texts(),
              (QStringList{"Species file could not be opened, it might be open by a different software or "
                           "have restricted access",
                           kInvalid}));
    EXPECT_EQ(editor.result(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(KINETICS));
}

TEST_F(ReactionEditor, ExitRejects)
{
    PropAuxAddK editor;
    editor.show();
    QTest::mouseClick(child<QPushButton>(editor, "but_exit"), Qt::LeftButton);
    EXPECT_EQ(editor.result(), QDialog::Rejected);
    EXPECT_FALSE(editor.isVisible());
}
