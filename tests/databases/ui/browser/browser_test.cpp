// The database browser, driven through its widgets on the offscreen platform.
#include <filesystem>
#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "browser_test_support.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "databases/ui/prop_aux_add_k.h"
#include "databases/ui/prop_aux_data.h"
#include "support/message_recorder.h"
#include "support/qstring_printer.h"
#include "support/temp_app_dir.h"

using nlohmann::json;
using Names = std::vector<std::string>;

namespace {

const char* kSpecies = R"json({
    "Ar":     {"Composition": [[1.0, "Ar"]], "Phase": 0, "isActive": true},
    "H2O":    {"Composition": [[2.0, "H"], [1.0, "O"]], "Phase": 0, "isActive": false},
    "H2O(L)": {"Composition": [[2.0, "H"], [1.0, "O"]], "Phase": 1, "isActive": true},
    "OH":     {"Composition": [[1.0, "O"], [1.0, "H"]], "Phase": 0, "isActive": true},
    "h2o":    {"Composition": [[2.0, "H"], [1.0, "O"]], "Phase": 0, "isActive": false},
    "CO":     {"Composition": [[1.0, "C"], [1.0, "O"]], "Phase": 0, "isActive": true}
})json";

const char* kKinetics = R"json({
    "H + OH = H2O": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["H2O", 1.0]],
                     "Reactants": [["H", 1.0], ["OH", 1.0]], "b": 0.0, "isActive": true},
    "H2O = H2O(L)": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["H2O(L)", 1.0]],
                     "Reactants": [["H2O", 1.0]], "b": 0.0, "isActive": false},
    "CO + O = CO2": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false, "Products": [["CO2", 1.0]],
                     "Reactants": [["CO", 1.0], ["O", 1.0]], "b": 0.0, "isActive": true}
})json";

const char* kReactants = R"json({
    "AP":  {"Composition": [[1.0, "N"], [4.0, "H"], [1.0, "Cl"], [4.0, "O"]], "Enthalpy": [-295.0, 2, 298.15],
            "MolecWeight": [117.5, 0], "Phase": 2, "isActive": true},
    "H2O2": {"Composition": [[2.0, "H"], [2.0, "O"]], "Enthalpy": [-187.8, 2, 298.15],
            "MolecWeight": [34.0, 0], "Phase": 1, "isActive": true}
})json";

class Browser : public ::testing::Test {
protected:
    void SetUp() override
    {
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        app.write("Data/Species.json", kSpecies);
        app.write("Data/Kinetics.json", kKinetics);
        app.write("Data/Reactants.json", kReactants);
        flagsF.store(0);
        compatibleSpecies = {"Ar", "H2O", "H2O(L)", "OH", "h2o"};
        compatibleReactions = {"H + OH = H2O", "H2O = H2O(L)"};
        ONLY_COMPATIBLE = true;
        DISABLE_INCOMPATIBLE = true;
    }
    void TearDown() override { restoreBrowserGlobals(); }

    template <typename T>
    static T* child(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static std::vector<QAbstractButton*> listed(PropAuxData& browser) { return listedButtons(browser); }
    static QAbstractButton* entry(PropAuxData& browser, const QString& name)
    {
        for (QAbstractButton* b : listed(browser))
            if (b->text() == name)
                return b;
        ADD_FAILURE() << "not listed: " << name.toStdString();
        return nullptr;
    }
    static QStringList captions(PropAuxData& browser, bool shownOnly = false)
    {
        return listedCaptions(browser, shownOnly);
    }
    static void click(PropAuxData& browser, const char* button)
    {
        QTest::mouseClick(child<QPushButton>(browser, button), Qt::LeftButton);
    }
    // Shows the dialog and lets queued showing of new list entries happen.
    static void showAndSettle(QWidget& w)
    {
        w.show();
        QApplication::processEvents();
    }
    // Runs `act` on the next modal dialog the code under test opens; a dialog still open
    // after two seconds is rejected so that a broken flow fails instead of hanging.
    static void onNextModal(std::function<void(QDialog&)> act)
    {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            QTimer::singleShot(2000, dialog, [dialog] {
                if (dialog->isVisible())
                    dialog->reject();
            });
            act(*dialog);
        });
    }
    json file(const std::string& path) const { return readJsonFile(path).document; }
    QStringList texts() const { return messages.texts(); }

    TempAppDir app;
    MessageRecorder messages;
};

QStringList items(QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

} // namespace

TEST_F(Browser, EachModeAdaptsTheForm)
{
    ONLY_COMPATIBLE = false;
    struct Case {
        int mode;
        QStringList filters;
        QString checkCaption;
        bool checkVisible;
        QString saveCaption;
    };
    const Case cases[] = {
            {0,
             {"All", "Gaseous", "Liquids present", "Solids present"},
             "show only reactions compatible with reactants",
             true,
             "Load selected"},
            {1,
             {"All", "Gaseous", "Ions", "Liquids", "Solids", "With transport properties"},
             "Show only species compatible with reactants",
             true,
             "Load selected"},
            {2, {"All", "Gaseous", "Liquids", "Solids"}, "Show only species compatible with reactants", false, "Exit"},
    };
    for (const Case& c : cases) {
        PropAuxData browser(c.mode);
        showAndSettle(browser);
        EXPECT_EQ(static_cast<int>(browser.browserMode()), c.mode);
        auto* combo = child<QComboBox>(browser, "combo_search");
        EXPECT_EQ(items(combo), c.filters) << c.mode;
        EXPECT_EQ(combo->currentIndex(), -1);
        auto* check = child<QCheckBox>(browser, "check_all");
        EXPECT_EQ(check->text(), c.checkCaption);
        EXPECT_EQ(check->isVisible(), c.checkVisible);
        if (c.checkVisible) {
            EXPECT_FALSE(check->isChecked()); // from ONLY_COMPATIBLE
        }
        EXPECT_EQ(child<QPushButton>(browser, "But_sel")->isVisible(), c.checkVisible);
        EXPECT_EQ(child<QPushButton>(browser, "But_save")->text(), c.saveCaption);
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Browser, ListsCompatibleEntriesInKeyOrderWithTheirStoredState)
{
    PropAuxData browser(1);
    showAndSettle(browser);
    EXPECT_EQ(captions(browser), (QStringList{"Ar", "H2O", "H2O(L)", "OH", "h2o"})); // CO is incompatible
    EXPECT_TRUE(entry(browser, "Ar")->isChecked());
    EXPECT_FALSE(entry(browser, "H2O")->isChecked());
    EXPECT_FALSE(child<QPushButton>(browser, "but_edit")->isEnabled());

    // showing incompatible entries: listed with their state, greyed out
    QTest::mouseClick(child<QCheckBox>(browser, "check_all"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(captions(browser), (QStringList{"Ar", "CO", "H2O", "H2O(L)", "OH", "h2o"}));
    EXPECT_TRUE(entry(browser, "CO")->isChecked());
    EXPECT_FALSE(entry(browser, "CO")->isEnabled());
    EXPECT_TRUE(entry(browser, "Ar")->isEnabled());

    DISABLE_INCOMPATIBLE = false;
    browser.show_all();
    EXPECT_TRUE(entry(browser, "CO")->isEnabled());
    EXPECT_EQ(listed(browser).size(), 6u); // the old list is gone
}

TEST_F(Browser, ReactionModeUsesTheCompatibleReactions)
{
    PropAuxData browser(0);
    showAndSettle(browser);
    EXPECT_EQ(captions(browser), (QStringList{"H + OH = H2O", "H2O = H2O(L)"}));
    auto* combo = child<QComboBox>(browser, "combo_search");
    combo->setCurrentIndex(2); // "Liquids present"
    EXPECT_EQ(captions(browser, true), QStringList{"H2O = H2O(L)"});
    combo->setCurrentIndex(1); // "Gaseous": a gaseous participant is enough
    EXPECT_EQ(captions(browser, true), (QStringList{"H + OH = H2O", "H2O = H2O(L)"}));

    // Without a species database the search leaves the list as it is.
    combo->setCurrentIndex(2);
    std::filesystem::remove(SPECIES);
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "zzz");
    EXPECT_EQ(captions(browser, true), QStringList{"H2O = H2O(L)"});
}

TEST_F(Browser, ReactantModeListsExclusiveRadioButtons)
{
    PropAuxData browser(2);
    showAndSettle(browser);
    const auto buttons = listed(browser);
    ASSERT_EQ(buttons.size(), 2u);
    for (QAbstractButton* b : buttons) {
        ASSERT_NE(qobject_cast<QRadioButton*>(b), nullptr);
        EXPECT_FALSE(b->isChecked());
    }
    buttons[0]->click();
    buttons[1]->click();
    EXPECT_FALSE(buttons[0]->isChecked());
    EXPECT_TRUE(buttons[1]->isChecked());
    EXPECT_TRUE(child<QPushButton>(browser, "but_edit")->isEnabled());
    child<QComboBox>(browser, "combo_search")->setCurrentIndex(2); // "Liquids"
    EXPECT_EQ(captions(browser, true), QStringList{"H2O2"});

    // "Exit" accepts and writes nothing
    const std::string before = app.read("Data/Reactants.json");
    click(browser, "But_save");
    EXPECT_EQ(browser.result(), 1);
    EXPECT_EQ(app.read("Data/Reactants.json"), before);
}

TEST_F(Browser, SearchIsCaseSensitiveAndEditFollowsTheShownCheckedBoxes)
{
    PropAuxData browser(1);
    showAndSettle(browser);
    auto* edit = child<QPushButton>(browser, "but_edit");
    auto* search = child<QLineEdit>(browser, "line_search");
    QTest::keyClicks(search, "H");
    EXPECT_EQ(captions(browser, true), (QStringList{"H2O", "H2O(L)", "OH"}));
    // H2O(L) and OH are checked and shown
    EXPECT_FALSE(edit->isEnabled());
    QTest::keyClicks(search, "2");
    EXPECT_EQ(captions(browser, true), (QStringList{"H2O", "H2O(L)"}));
    EXPECT_TRUE(edit->isEnabled()); // one shown checked box, OH checked but hidden
    entry(browser, "H2O")->click();
    EXPECT_FALSE(edit->isEnabled());
    search->clear();
    EXPECT_EQ(captions(browser, true).size(), 5);

    child<QComboBox>(browser, "combo_search")->setCurrentIndex(3); // "Liquids"
    EXPECT_EQ(captions(browser, true), QStringList{"H2O(L)"});
    EXPECT_TRUE(edit->isEnabled());
}

TEST_F(Browser, DeselectAllThenLoadSelectedKeepsHiddenStates)
{
    PropAuxData browser(1);
    showAndSettle(browser);
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "O");
    EXPECT_EQ(captions(browser, true), (QStringList{"H2O", "H2O(L)", "OH"}));
    auto* sel = child<QPushButton>(browser, "But_sel");
    QTest::mouseClick(sel, Qt::LeftButton);
    EXPECT_EQ(sel->text(), "Select all");
    EXPECT_FALSE(entry(browser, "H2O(L)")->isChecked());
    EXPECT_TRUE(entry(browser, "Ar")->isChecked()); // hidden, untouched
    entry(browser, "H2O")->click();
    click(browser, "But_save");
    EXPECT_EQ(browser.result(), 1);
    const json stored = file(SPECIES);
    EXPECT_EQ(stored["H2O"]["isActive"], true);
    EXPECT_EQ(stored["H2O(L)"]["isActive"], false);
    EXPECT_EQ(stored["OH"]["isActive"], false);
    EXPECT_EQ(stored["Ar"]["isActive"], true);
    EXPECT_EQ(stored["h2o"]["isActive"], false);
    EXPECT_EQ(stored["CO"]["isActive"], true); // never listed
    EXPECT_EQ(stored["Ar"]["Composition"], json::parse(R"([[1.0, "Ar"]])")); // the rest of the entry stays

    // "Select all" checks the shown boxes again, and the caption returns
    QTest::mouseClick(sel, Qt::LeftButton);
    EXPECT_EQ(sel->text(), "Deselect all");
    EXPECT_TRUE(entry(browser, "OH")->isChecked());
}

TEST_F(Browser, LoadSelectedNeverInventsOrWipesEntries)
{
    PropAuxData browser(1);
    showAndSettle(browser);
    // Entries vanish from the file behind the browser's back: they stay vanished.
    app.write("Data/Species.json", R"({"Ar": {"Composition": [[1.0, "Ar"]], "isActive": false}, "OH": null})");
    click(browser, "But_save");
    EXPECT_EQ(browser.result(), 1);
    EXPECT_EQ(file(SPECIES), json::parse(R"({"Ar": {"Composition": [[1.0, "Ar"]], "isActive": true}, "OH": null})"));

    // An unreadable file is refused and left alone; the dialog stays open.
    PropAuxData second(1);
    showAndSettle(second);
    app.write("Data/Species.json", "{ broken");
    messages.clear();
    click(second, "But_save");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.lastText().startsWith("Save aborted because the species file"))
            << messages.lastText().toStdString();
    EXPECT_NE(second.result(), 1);
    EXPECT_TRUE(second.isVisible());
    EXPECT_EQ(app.read("Data/Species.json"), "{ broken");

    // A missing file gets no entries made of "isActive" only.
    std::filesystem::remove(SPECIES);
    click(second, "But_save");
    EXPECT_FALSE(std::filesystem::exists(SPECIES));
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Species)));
}

TEST_F(Browser, FilesThatCannotBeOpened)
{
    struct Case {
        int mode;
        std::string* path;
        QString construction;
        QString search;
        QString del;
    };
    const Case cases[] = {
            {0, &KINETICS,
             "Kinetics File could not be opened, it could be because it is opened by a different software or it has "
             "restricted acccess",
             "Search aborted because kinetics file could not be opened, close it or change its accesibility "
             "restrictions",
             "Cannot delete items aborted because kinetics file could not be opened, close it or change its "
             "accesibility "
             "restrictions"},
            {1, &SPECIES,
             "Species File could not be opened, it could be because it is opened by a different software or it has "
             "restricted acccess",
             "Search aborted because species file could not be opened, close it or change its accesibility "
             "restrictions",
             "Cannot delete items aborted because species file could not be opened, close it or change its "
             "accesibility "
             "restrictions"},
            {2, &REACTANTS,
             "Reactants File could not be opened, it could be because it is opened by a different software or it has "
             "restricted acccess",
             "Search aborted because reactants file could not be opened, close it or change its accesibility "
             "restrictions",
             "Cannot delete items because reactants file could not be opened, close it or change its accesibility "
             "restrictions"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(*c.path);
        std::filesystem::create_directory(*c.path);
        messages.clear();
        PropAuxData browser(c.mode);
        QSignalSpy closed(&browser, &QDialog::finished);
        browser.show();
        // the form's own first search, then the listing's search and the listing itself
        EXPECT_EQ(texts(), (QStringList{c.search, c.construction})) << c.mode;
        EXPECT_TRUE(listed(browser).empty());
        EXPECT_TRUE(!closed.isEmpty() || closed.wait(5000)) << "closes itself after the message";
        EXPECT_FALSE(browser.isVisible());

        messages.clear();
        browser.del();
        EXPECT_EQ(texts(), QStringList{c.del});
        if (c.mode != 2) {
            messages.clear();
            browser.save();
            EXPECT_EQ(texts(),
                      QStringList{"Save aborted because " + QString(c.mode == 0 ? "kinetics" : "species")
                                  + " file could not be opened, close it or change its accesibility "
                                    "restrictions"});
        }
        std::filesystem::remove(*c.path);
    }
}

TEST_F(Browser, DeleteRemovesEveryCheckedBoxAfterTheQuestion)
{
    PropAuxData browser(1);
    showAndSettle(browser);
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "H2");
    // Ar and OH are checked but hidden, H2O(L) checked and shown

    messages.answer(Msg::Cancel);
    click(browser, "but_del");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Are you sure you want to delete all selected items?");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Question);
    EXPECT_EQ(messages.messages()[0].buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(file(SPECIES).size(), 6u);

    click(browser, "but_del");
    const json stored = file(SPECIES);
    EXPECT_EQ(stored.size(), 3u);
    EXPECT_FALSE(stored.contains("Ar"));
    EXPECT_FALSE(stored.contains("OH"));
    EXPECT_FALSE(stored.contains("H2O(L)"));
    EXPECT_TRUE(stored.contains("CO")); // checked in the file but never listed
    EXPECT_EQ(captions(browser), (QStringList{"H2O", "h2o"}));
    EXPECT_EQ(captions(browser, true), QStringList{"H2O"}); // the search still applies

    // nothing checked: still asked, nothing removed
    messages.clear();
    for (QAbstractButton* b : listed(browser))
        b->setChecked(false);
    click(browser, "but_del");
    EXPECT_EQ(texts(), QStringList{"Are you sure you want to delete all selected items?"});
    EXPECT_EQ(file(SPECIES).size(), 3u);
}

TEST_F(Browser, DeleteInReactantModeAsksAboutTheCheckedItem)
{
    PropAuxData browser(2);
    showAndSettle(browser);
    click(browser, "but_del");
    EXPECT_TRUE(messages.messages().empty()); // nothing checked: no question, nothing removed
    EXPECT_EQ(file(REACTANTS).size(), 2u);

    entry(browser, "H2O2")->click();
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "AP"); // hides the checked one
    messages.answer(Msg::Cancel);
    click(browser, "but_del");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Are you sure you want to delete this item?");
    EXPECT_EQ(messages.messages()[0].informativeText, "H2O2");
    EXPECT_EQ(file(REACTANTS).size(), 2u);

    click(browser, "but_del");
    json expected = json::parse(kReactants);
    expected.erase("H2O2");
    EXPECT_EQ(file(REACTANTS), expected);
    EXPECT_EQ(captions(browser), QStringList{"AP"});
}

TEST_F(Browser, DeleteRefusesAnUnreadableFile)
{
    PropAuxData browser(0);
    showAndSettle(browser);
    app.write("Data/Kinetics.json", "[1, 2");
    messages.clear();
    click(browser, "but_del");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.lastText().startsWith("Delete aborted because the kinetics file"))
            << messages.lastText().toStdString();
    EXPECT_EQ(app.read("Data/Kinetics.json"), "[1, 2");
    EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Kinetics)));
    EXPECT_EQ(listed(browser).size(), 2u); // the list stays as it was
}

TEST_F(Browser, AcceptedAddRebuildsTheTabsListsThenTheList)
{
    CountingTab tab;
    PropAuxData browser(0, &tab, &tab);
    showAndSettle(browser);
    compatibleReactions.push_back("O + O = O2");
    app.write("Data/Species.json", R"({"O": {"Phase": 0}, "O2": {"Phase": 0}})");

    // a rejected editor changes nothing
    onNextModal([](QDialog& editor) { editor.reject(); });
    click(browser, "but_add_man");
    EXPECT_TRUE(tab.calls.empty());

    onNextModal([](QDialog& editor) {
        ASSERT_NE(qobject_cast<PropAuxAddK*>(&editor), nullptr);
        editor.findChild<QLineEdit*>("line_reac")->setText("O + O = O2");
        editor.findChild<QLineEdit*>("line_Ea")->setText("0");
        editor.findChild<QLineEdit*>("line_A")->setText("1");
        editor.findChild<QLineEdit*>("line_b")->setText("0");
        QTest::mouseClick(editor.findChild<QPushButton*>("but_save"), Qt::LeftButton);
    });
    click(browser, "but_add_man");
    EXPECT_EQ(messages.lastText(), "Successful save");
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));
    EXPECT_EQ(captions(browser), (QStringList{"H + OH = H2O", "H2O = H2O(L)", "O + O = O2"}));
}

TEST_F(Browser, EditOpensTheEditorOnTheShownCheckedEntry)
{
    CountingTab tab;
    PropAuxData browser(0, &tab, &tab);
    showAndSettle(browser);
    json species = json::parse(kSpecies);
    species["H"] = {{"Composition", {{1.0, "H"}}}, {"Phase", 0}};
    app.write("Data/Species.json", species.dump());
    // only "H + OH = H2O" is checked; "Edit" starts disabled until the filter changes
    EXPECT_FALSE(child<QPushButton>(browser, "but_edit")->isEnabled());
    child<QComboBox>(browser, "combo_search")->setCurrentIndex(0);
    std::string loaded;
    onNextModal([&loaded](QDialog& editor) {
        loaded = editor.findChild<QLineEdit*>("line_reac")->text().toStdString();
        QTest::mouseClick(editor.findChild<QPushButton*>("but_save"), Qt::LeftButton); // overwrite: Yes
    });
    click(browser, "but_edit");
    EXPECT_EQ(loaded, "H + OH = H2O");
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));
    EXPECT_EQ(texts(),
              (QStringList{"You are about to overwrite a save with the same name. Continue?", "Successful save"}));

    // nothing checked and shown: no editor
    tab.calls.clear();
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "(L)");
    bool opened = false;
    onNextModal([&opened](QDialog& editor) {
        opened = true;
        editor.reject();
    });
    browser.edit();
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(tab.calls.empty());
}

TEST_F(Browser, ReactantEditRebuildsOnlyTheList)
{
    CountingTab tab;
    PropAuxData browser(2, &tab, &tab);
    showAndSettle(browser);
    entry(browser, "AP")->click();
    onNextModal([](QDialog& editor) { editor.accept(); });
    click(browser, "but_edit");
    EXPECT_TRUE(tab.calls.empty());
    EXPECT_EQ(captions(browser), (QStringList{"AP", "H2O2"}));
    EXPECT_FALSE(entry(browser, "AP")->isChecked()); // a fresh list

    onNextModal([](QDialog& editor) { editor.accept(); });
    click(browser, "but_add_man");
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));

    // a delete asks the tab for nothing
    tab.calls.clear();
    entry(browser, "AP")->click();
    click(browser, "but_del");
    EXPECT_TRUE(tab.calls.empty());
}

TEST_F(Browser, NamesAreShownAsTheyAre)
{
    app.write("Data/Species.json", R"({"A&B": {"Phase": 0, "isActive": true}})");
    compatibleSpecies = {"A&B"};
    PropAuxData browser(1);
    showAndSettle(browser);
    ASSERT_EQ(listed(browser).size(), 1u);
    EXPECT_EQ(listed(browser)[0]->text(), "A&&B"); // a literal ampersand, not a shortcut
    QTest::keyClicks(child<QLineEdit>(browser, "line_search"), "A&B");
    EXPECT_FALSE(listed(browser)[0]->isHidden());
    click(browser, "But_save");
    EXPECT_EQ(file(SPECIES)["A&B"]["isActive"], true);
}
