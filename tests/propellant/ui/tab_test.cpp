// The propellant tab's behaviour: reactant rows and the optimise button, interval rows
// with and without the top limit, the display modes, the database buttons, and the
// save, load and delete round trips through the real dialogs.
#include <filesystem>

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include "databases/ui/prop_aux_data.h"
#include "modal_helper.h"
#include "propellant/tab_fixture.h"
#include "propellant/ui/prop_tab.h"

namespace {

using nlohmann::json;

class PropTabBehaviour : public PropellantTabTest {
protected:
    QComboBox* selector(PropTab& tab) { return tab.findChild<QComboBox*>("sel_react"); }
    // Chooses a reactant in the selector as the user does.
    void choose(PropTab& tab, const QString& name) { selector(tab)->setCurrentIndex(selector(tab)->findText(name)); }
    QWidget* widget(PropTab& tab, const char* name) { return tab.findChild<QWidget*>(name); }
    // The cell of a widget in PropCompGrid: row, column, column span.
    std::vector<int> compositionCell(PropTab& tab, QWidget* w)
    {
        auto* grid = tab.findChild<QGridLayout*>("PropCompGrid");
        int r = -1, c = -1, rs = 0, cs = 0;
        const int index = grid->indexOf(w);
        if (index >= 0)
            grid->getItemPosition(index, &r, &c, &rs, &cs);
        return {r, c, cs};
    }
};

TEST_F(PropTabBehaviour, ReactantRowsAndTheOptimiseButton)
{
    PropTab tab;
    EXPECT_EQ(selector(tab)->count(), 4); // the keys of Reactants.json
    EXPECT_EQ(selector(tab)->currentIndex(), -1);
    EXPECT_EQ(tab.reactantRowCount(), 0);

    const struct {
        const char* step;
        std::function<void()> act;
        int rows;
        bool optimiseShown;
    } steps[] = {
            {"first", [&] { choose(tab, "Fuel"); }, 1, false},
            {"second", [&] { choose(tab, "Oxidiser"); }, 2, true},
            {"third", [&] { choose(tab, "AlO"); }, 3, false},
            {"one of three removed", [&] { tab.rem_reactant(2); }, 2, true},
            {"one of two removed", [&] { tab.rem_reactant(1); }, 1, false},
            {"second again", [&] { choose(tab, "AlO"); }, 2, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        EXPECT_EQ(tab.reactantRowCount(), s.rows);
        EXPECT_EQ(!tab.optimiseButton()->isHidden(), s.optimiseShown);
        EXPECT_EQ(compositionCell(tab, tab.optimiseButton()),
                  s.optimiseShown ? (std::vector<int>{3, 1, 2}) : (std::vector<int>{-1, -1, 0}));
        EXPECT_EQ(selector(tab)->currentIndex(), -1);
    }
    EXPECT_EQ(tab.reactantLabel(0)->text(), "Fuel");
    EXPECT_EQ(tab.reactantLabel(1)->text(), "AlO");
    EXPECT_EQ(tab.relativeMassField(1)->placeholderText(), "Relative mass");
    EXPECT_TRUE(tab.relativeMassField(1)->text().isEmpty());
    EXPECT_EQ(tab.removeButton(1)->text(), "Remove");
    EXPECT_EQ(compositionCell(tab, tab.reactantLabel(1)), (std::vector<int>{1, 0, 1}));
    // The lists follow the rows.
    EXPECT_EQ(propellantElements, (std::vector<std::string>{"H", "Al", "O", "E"}));
    EXPECT_TRUE(boxes.messages().empty());
}

TEST_F(PropTabBehaviour, DuplicateReactantIsRefused)
{
    PropTab tab;
    choose(tab, "Fuel");
    choose(tab, "Fuel");
    EXPECT_EQ(tab.reactantRowCount(), 1);
    ASSERT_EQ(boxes.texts(), QStringList{"Reactant already present"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(boxes.parents()[0], &tab);
    EXPECT_FALSE(boxes.messages()[0].windowIcon);
    EXPECT_EQ(selector(tab)->currentIndex(), -1);
}

TEST_F(PropTabBehaviour, RemovingRows)
{
    PropTab tab;
    for (const char* r : {"Fuel", "Oxidiser", "AlO"})
        choose(tab, r);
    // The user's remove button asks; Cancel keeps the row.
    boxes.answer(Msg::Cancel);
    emit tab.removeButton(1)->released();
    ASSERT_EQ(boxes.texts(), QStringList{"Do you want to remove this reactant?"});
    EXPECT_EQ(boxes.messages()[0].informativeText, "Oxidiser");
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Question);
    EXPECT_EQ(boxes.messages()[0].defaultButton, Msg::Yes);
    EXPECT_EQ(tab.reactantRowCount(), 3);
    // Yes removes it; the row below moves up.
    boxes.answer(Msg::Yes);
    emit tab.removeButton(1)->released();
    ASSERT_EQ(tab.reactantRowCount(), 2);
    EXPECT_EQ(tab.reactantLabel(1)->text(), "AlO");
    EXPECT_EQ(compositionCell(tab, tab.removeButton(1)), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(propellantElements, (std::vector<std::string>{"H", "Al", "O", "E"}));

    // Indices that name no row change nothing.
    boxes.clear();
    tab.rem_reactant(7);
    tab.rem_reactant(-5);
    EXPECT_EQ(tab.reactantRowCount(), 2);
    tab.removeAllReactants();
    EXPECT_EQ(tab.reactantRowCount(), 0);
    EXPECT_TRUE(boxes.messages().empty()); // no question
    tab.rem_reactant(); // no row, no sender
    tab.rem_reactant(0);
    EXPECT_EQ(tab.reactantRowCount(), 0);
    EXPECT_EQ(propellantElements, (std::vector<std::string>{"E"}));
}

TEST_F(PropTabBehaviour, IntervalsWithoutTopLimit)
{
    PRES_VIELLE_TOP_LIMIT = false;
    PropTab tab;
    auto* box = tab.findChild<QGroupBox*>("PropDataBox");
    box->setChecked(true);
    EXPECT_FALSE(tab.upperField(0)->isEnabled());
    tab.AddInterval();
    EXPECT_TRUE(tab.upperField(0)->isEnabled());
    EXPECT_FALSE(tab.upperField(1)->isEnabled());
    tab.upperField(0)->setText("10");
    tab.lowerField(1)->setText("10");
    tab.RemInterval();
    EXPECT_EQ(tab.intervalRowCount(), 1);
    EXPECT_TRUE(tab.upperField(0)->text().isEmpty());
    EXPECT_FALSE(tab.upperField(0)->isEnabled());
    // Unchecking and checking the group keeps the last upper field disabled.
    tab.AddInterval();
    box->setChecked(false);
    box->setChecked(true);
    EXPECT_TRUE(tab.upperField(0)->isEnabled());
    EXPECT_FALSE(tab.upperField(1)->isEnabled());
    // With the group off, a row added later enables the earlier upper field with it.
    box->setChecked(false);
    tab.AddInterval();
    EXPECT_FALSE(tab.upperField(1)->isEnabled());
    box->setChecked(true);
    EXPECT_TRUE(tab.upperField(1)->isEnabled());
    EXPECT_FALSE(tab.upperField(2)->isEnabled());
}

TEST_F(PropTabBehaviour, RemovingTheOnlyIntervalEmptiesIt)
{
    PropTab tab;
    tab.findChild<QGroupBox*>("PropDataBox")->setChecked(true);
    for (QLineEdit* f : {tab.lowerField(0), tab.upperField(0), tab.coefficientField(0), tab.exponentField(0)})
        f->setText("1");
    tab.RemInterval();
    EXPECT_EQ(tab.intervalRowCount(), 1);
    for (QLineEdit* f : {tab.lowerField(0), tab.upperField(0), tab.coefficientField(0), tab.exponentField(0)})
        EXPECT_TRUE(f->text().isEmpty());
    EXPECT_TRUE(tab.upperField(0)->isEnabled());
}

TEST_F(PropTabBehaviour, DisplayModes)
{
    PropTab tab;
    tab.show();
    auto* grid = tab.findChild<QGridLayout*>("PropTabGrid");
    auto graphRows = [&] {
        int r, c, rs, cs;
        grid->getItemPosition(grid->indexOf(widget(tab, "Graph")), &r, &c, &rs, &cs);
        return std::make_pair(r, rs);
    };
    auto* box = tab.findChild<QGroupBox*>("PropDataBox");
    box->setChecked(true);

    babyModeActive = true;
    tab.BabyMode(true);
    EXPECT_TRUE(widget(tab, "PropData")->isHidden());
    EXPECT_TRUE(widget(tab, "but_Reac")->isHidden());
    EXPECT_TRUE(widget(tab, "but_Species")->isHidden());
    EXPECT_TRUE(widget(tab, "but_Kinetics")->isHidden());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(grid->rowStretch(0), 6);
    EXPECT_EQ(graphRows(), std::make_pair(0, 6));

    solidsHidden = true;
    tab.hideSolid(true);
    babyModeActive = false;
    tab.BabyMode(false);
    // Solids still hidden: the data stay away, the graph keeps the column.
    EXPECT_TRUE(widget(tab, "PropData")->isHidden());
    EXPECT_FALSE(widget(tab, "but_Reac")->isHidden());
    EXPECT_EQ(graphRows(), std::make_pair(0, 6));

    solidsHidden = false;
    tab.hideSolid(false);
    EXPECT_FALSE(widget(tab, "PropData")->isHidden());
    EXPECT_EQ(graphRows(), std::make_pair(0, 3));

    // Leaving solids-hidden while baby mode is on shows nothing.
    babyModeActive = true;
    tab.BabyMode(true);
    tab.hideSolid(false);
    EXPECT_TRUE(widget(tab, "PropData")->isHidden());
    babyModeActive = false;
    tab.BabyMode(false);
    EXPECT_FALSE(widget(tab, "PropData")->isHidden());
    EXPECT_EQ(grid->rowStretch(0), 12);
}

TEST_F(PropTabBehaviour, ReactantListFollowsItsFile)
{
    PropTab tab;
    std::filesystem::remove(dir.dataFile("Reactants.json"));
    tab.updateReactantList();
    EXPECT_EQ(selector(tab)->count(), 0);
    EXPECT_TRUE(flagRaised(flagsF, code::F(2)));
    write("Reactants.json", tab_fixture::reactantsDoc());
    tab.updateReactantList();
    EXPECT_EQ(selector(tab)->count(), 4);
    // A file that cannot be opened keeps the list and says so.
    std::filesystem::remove(dir.dataFile("Reactants.json"));
    std::filesystem::create_directory(dir.dataFile("Reactants.json"));
    tab.updateReactantList();
    EXPECT_EQ(selector(tab)->count(), 4);
    EXPECT_EQ(boxes.texts(),
              QStringList{"Reactants file could not be opened, it may be opened by another software or "
                          "have accesibility restrictions"});
    EXPECT_EQ(tab.reactantRowCount(), 0);
}

// The browsers the tab opens: its modes, the tab as owner of the lists, nothing left
// behind; after the reactant browser the lists follow an edited reactant.
TEST_F(PropTabBehaviour, DatabaseButtons)
{
    PropTab tab;
    choose(tab, "Fuel");
    ASSERT_EQ(propellantElements, (std::vector<std::string>{"H", "E"}));
    const struct {
        const char* button;
        BrowserMode mode;
    } cases[] = {{"but_Species", BrowserMode::Species},
                 {"but_Kinetics", BrowserMode::Reactions},
                 {"but_Reac", BrowserMode::Reactants}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        bool seen = false;
        onNextModal([&](QDialog& d) {
            auto* browser = qobject_cast<PropAuxData*>(&d);
            seen = browser && browser->parent() == &tab && browser->browserMode() == c.mode
                    && tab.openBrowser() == browser;
            if (c.mode == BrowserMode::Reactants) {
                // The fuel's entry edited meanwhile: it now holds aluminium.
                json reactants = read("Reactants.json");
                reactants["Fuel"]["Composition"].push_back({1.0, "Al"});
                write("Reactants.json", reactants);
            }
            d.reject();
        });
        emit qobject_cast<QPushButton*>(widget(tab, c.button))->released();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(tab.findChildren<PropAuxData*>().isEmpty());
        EXPECT_EQ(tab.openBrowser(), nullptr);
    }
    EXPECT_EQ(propellantElements, (std::vector<std::string>{"H", "Al", "E"}));
    EXPECT_EQ(selector(tab)->count(), 4);
}

// ---- Save, load and delete through the tab -------------------------------------------------

class PropTabStore : public PropTabBehaviour {
protected:
    // Picks the radio button `name` in the next selection dialog and accepts it.
    void pick(const QString& name)
    {
        onNextModal([name](QDialog& d) {
            for (QRadioButton* r : d.findChildren<QRadioButton*>())
                if (r->text() == name)
                    r->setChecked(true);
            emit d.findChild<QPushButton*>("but_select")->released();
        });
    }
    void fill(PropTab& tab)
    {
        choose(tab, "Fuel");
        choose(tab, "Oxidiser");
        tab.relativeMassField(0)->setText("70");
        tab.relativeMassField(1)->setText("30");
        tab.findChild<QGroupBox*>("PropDataBox")->setChecked(true);
        tab.findChild<QLineEdit*>("line_dens")->setText("1.8");
        tab.findChild<QComboBox*>("Box_a_units")->setCurrentIndex(1);
        tab.lowerField(0)->setText("1");
        tab.upperField(0)->setText("10");
        tab.coefficientField(0)->setText("2.5");
        tab.exponentField(0)->setText("0.4");
        tab.AddInterval();
        tab.lowerField(1)->setText("10");
        tab.coefficientField(1)->setText("3.1");
        tab.exponentField(1)->setText("0.35");
        tab.findChild<QLineEdit*>("line_Name")->setText("Prop_A");
    }
};

TEST_F(PropTabStore, SaveThenLoadBringsThePropellantBack)
{
    PRES_VIELLE_TOP_LIMIT = false;
    PropTab tab;
    fill(tab);
    setActive("Species.json", "OH", false);
    ASSERT_TRUE(tab.save_prop());
    EXPECT_EQ(boxes.texts(), QStringList{"Successful save"});
    EXPECT_EQ(refreshFlag.load(), 1);
    const json stored = read("Propellants.json")["Prop_A"];
    EXPECT_EQ(stored["Intervals"][1]["Pressure"], json::array({10.0}));
    EXPECT_EQ(stored["Units"], json::array({0, 1, 0}));

    // Everything changed, and the selection in the species database too.
    tab.removeAllReactants();
    choose(tab, "AlO");
    tab.findChild<QLineEdit*>("line_Name")->setText("other");
    tab.findChild<QGroupBox*>("PropDataBox")->setChecked(false);
    tab.RemInterval();
    setActive("Species.json", "OH", true);
    setActive("Species.json", "H2", false);

    QSignalSpy flags(&tab, &PropTab::FlagsUpdated);
    boxes.clear();
    pick("Prop_A");
    tab.load_prop();
    EXPECT_TRUE(boxes.messages().empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(tab.findChild<QLineEdit*>("line_Name")->text(), "Prop_A");
    ASSERT_EQ(tab.reactantRowCount(), 2);
    EXPECT_EQ(tab.reactantLabel(0)->text(), "Fuel");
    EXPECT_EQ(tab.relativeMassField(0)->text(), "70");
    EXPECT_EQ(tab.relativeMassField(1)->text(), "30");
    EXPECT_FALSE(tab.optimiseButton()->isHidden());
    EXPECT_TRUE(tab.findChild<QGroupBox*>("PropDataBox")->isChecked());
    EXPECT_EQ(tab.findChild<QLineEdit*>("line_dens")->text(), "1.8");
    EXPECT_EQ(tab.findChild<QComboBox*>("Box_a_units")->currentIndex(), 1);
    ASSERT_EQ(tab.intervalRowCount(), 2);
    EXPECT_EQ(tab.upperField(0)->text(), "10");
    EXPECT_EQ(tab.coefficientField(1)->text(), "3.1");
    EXPECT_TRUE(tab.upperField(1)->text().isEmpty());
    EXPECT_FALSE(tab.upperField(1)->isEnabled());
    // The stored selection is back in the database.
    const json species = read("Species.json");
    EXPECT_EQ(species["OH"]["isActive"], false);
    EXPECT_EQ(species["H2"]["isActive"], true);
    EXPECT_EQ(flags.count(), 0);

    // The tab now saves what it loaded, byte for byte.
    const std::string before = text("Propellants.json");
    boxes.clear();
    boxes.answer(Msg::Yes);
    ASSERT_TRUE(tab.save_prop());
    EXPECT_EQ(text("Propellants.json"), before);
}

TEST_F(PropTabStore, LoadingAPropellantWithoutSolidData)
{
    PropTab tab;
    fill(tab);
    ASSERT_TRUE(tab.save_prop() == false); // top limit on: the last upper pressure is missing
    tab.upperField(1)->setText("20");
    boxes.clear();
    ASSERT_TRUE(tab.save_prop());
    tab.findChild<QLineEdit*>("line_Name")->setText("Prop_B");
    tab.findChild<QGroupBox*>("PropDataBox")->setChecked(false);
    ASSERT_TRUE(tab.save_prop());
    tab.findChild<QGroupBox*>("PropDataBox")->setChecked(true);

    pick("Prop_B");
    tab.load_prop();
    EXPECT_FALSE(tab.findChild<QGroupBox*>("PropDataBox")->isChecked());
    EXPECT_TRUE(tab.findChild<QLineEdit*>("line_dens")->text().isEmpty());
    ASSERT_EQ(tab.intervalRowCount(), 1);
    EXPECT_TRUE(tab.lowerField(0)->text().isEmpty());

    // Cancelling the dialog changes nothing.
    const std::string species = text("Species.json");
    onNextModal([](QDialog& d) { d.reject(); });
    tab.load_prop();
    EXPECT_EQ(tab.findChild<QLineEdit*>("line_Name")->text(), "Prop_B");
    EXPECT_EQ(text("Species.json"), species);
}

// The state after start-up: "Propellant data" unchecked, one empty interval row. Loading
// a propellant with one burn-law interval checks the box before the rows are reset, so
// with PRES_VIELLE_TOP_LIMIT on the interval's "to" field is enabled like its others (it
// used to stay disabled until an interval was added and removed again).
TEST_F(PropTabStore, LoadedSingleIntervalHasItsUpperLimitEnabled)
{
    PRES_VIELLE_TOP_LIMIT = true;
    json entry = {{"Composition", json::array({json::array({"Fuel", 1.0})})},
                  {"ELEMENTS", {"H", "E"}},
                  {"Species", {"H2"}},
                  {"Reactions", json::array()},
                  {"Density", 1.8},
                  {"Units", {0, 1, 0}},
                  {"Intervals", json::array({{{"Pressure", {1.0, 10.0}}, {"a", 2.5}, {"n", 0.4}}})}};
    write("Propellants.json", {{"One", entry}});
    PropTab tab;
    ASSERT_FALSE(tab.findChild<QGroupBox*>("PropDataBox")->isChecked());
    pick("One");
    tab.load_prop();
    ASSERT_TRUE(tab.findChild<QGroupBox*>("PropDataBox")->isChecked());
    ASSERT_EQ(tab.intervalRowCount(), 1);
    EXPECT_EQ(tab.upperField(0)->text(), "10");
    for (QLineEdit* field : {tab.lowerField(0), tab.upperField(0), tab.coefficientField(0), tab.exponentField(0)})
        EXPECT_TRUE(field->isEnabled());

    // Loaded again over itself (the box now checked), and without the top limit: the
    // last interval's upper field is then empty and disabled.
    PRES_VIELLE_TOP_LIMIT = false;
    pick("One");
    tab.load_prop();
    EXPECT_TRUE(tab.upperField(0)->text().isEmpty());
    EXPECT_FALSE(tab.upperField(0)->isEnabled());
    EXPECT_TRUE(tab.lowerField(0)->isEnabled());
}

// The burn-law fields follow the "Propellant data" box after any load: with and without
// solid data, one after the other, on a fresh tab (box unchecked) or one the user checked
// first. Ticked, every field of the one interval is enabled, the "to" field too unless the
// last interval is open (PRES_VIELLE_TOP_LIMIT off); unticked, none is.
TEST_F(PropTabStore, TheBurnLawFieldsFollowTheDataBoxAfterEveryLoad)
{
    json liquid = {{"Composition", json::array({json::array({"Fuel", 2.0}), json::array({"Oxidiser", 16.0})})},
                   {"ELEMENTS", {"H", "O", "E"}},
                   {"Species", {"H2"}},
                   {"Reactions", json::array()}};
    json solid = liquid;
    solid["Density"] = 1.8;
    solid["Units"] = {0, 1, 0};
    solid["Intervals"] = json::array({{{"Pressure", {1.0, 10.0}}, {"a", 2.5}, {"n", 0.4}}});
    write("Propellants.json", {{"Liquid", liquid}, {"Solid", solid}});
    struct Case {
        const char* what;
        bool topLimit;
        bool checkedFirst; // the user ticked the box before loading
        std::vector<QString> loads;
        bool toEnabled; // the "to" field with the box ticked
    };
    const Case cases[] = {
            {"without solid data", true, false, {"Liquid"}, true},
            {"without solid data, box ticked first", true, true, {"Liquid"}, true},
            {"with solid data", true, false, {"Solid"}, true},
            {"with, then without", true, false, {"Solid", "Liquid"}, true},
            {"without, then with", true, false, {"Liquid", "Solid"}, true},
            {"without solid data, open last interval", false, false, {"Liquid"}, false},
            {"with solid data, open last interval", false, false, {"Solid"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PRES_VIELLE_TOP_LIMIT = c.topLimit;
        PropTab tab;
        auto* box = tab.findChild<QGroupBox*>("PropDataBox");
        box->setChecked(c.checkedFirst);
        for (const QString& name : c.loads) {
            pick(name);
            tab.load_prop();
        }
        ASSERT_EQ(tab.findChild<QLineEdit*>("line_Name")->text(), c.loads.back());
        ASSERT_EQ(tab.intervalRowCount(), 1);
        for (bool ticked : {true, false, true}) {
            box->setChecked(ticked);
            EXPECT_EQ(tab.upperField(0)->isEnabled(), ticked && c.toEnabled) << ticked;
            for (QLineEdit* field : {tab.lowerField(0), tab.coefficientField(0), tab.exponentField(0)})
                EXPECT_EQ(field->isEnabled(), ticked) << ticked;
        }
    }
}

TEST_F(PropTabStore, HandEditedEntries)
{
    PropTab tab;
    // (Explicit arrays: pairs led by a text would otherwise read as an object.)
    json twice = json::array({json::array({"Fuel", 1.0}), json::array({"Fuel", 2.0}), json::array({"Oxidiser", 3.0})});
    json doc = {{"Twice", {{"Composition", twice}, {"ELEMENTS", {"H", "O", "E"}}, {"Species", {"H2"}}}},
                {"Broken", {{"Composition", "Fuel"}}}};
    write("Propellants.json", doc);
    pick("Twice");
    tab.load_prop();
    ASSERT_EQ(tab.reactantRowCount(), 2);
    EXPECT_EQ(tab.relativeMassField(0)->text(), "1");
    EXPECT_EQ(tab.relativeMassField(1)->text(), "3");
    EXPECT_EQ(boxes.texts(), QStringList{"Reactant already present"});

    boxes.clear();
    const std::string species = text("Species.json");
    pick("Broken");
    tab.load_prop();
    ASSERT_EQ(boxes.texts(), QStringList{"The propellant 'Broken' could not be read"});
    EXPECT_EQ(tab.findChild<QLineEdit*>("line_Name")->text(), "Twice");
    EXPECT_EQ(text("Species.json"), species);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PropTabStore, DeleteThroughTheDialog)
{
    PropTab tab;
    fill(tab);
    tab.findChild<QGroupBox*>("PropDataBox")->setChecked(false);
    ASSERT_TRUE(tab.save_prop());
    tab.findChild<QLineEdit*>("line_Name")->setText("Second");
    ASSERT_TRUE(tab.save_prop());
    refreshFlag = 0;
    boxes.clear();

    onNextModal([](QDialog& d) { d.reject(); });
    tab.del_prop();
    EXPECT_EQ(documentKeys(read("Propellants.json")), (std::vector<std::string>{"Prop_A", "Second"}));

    pick("Prop_A"); // the dialog asks its own confirmation, answered Yes
    tab.del_prop();
    EXPECT_EQ(documentKeys(read("Propellants.json")), (std::vector<std::string>{"Second"}));
    EXPECT_EQ(boxes.texts(), QStringList{"Are you sure you want to delete this item?"});
    EXPECT_EQ(refreshFlag.load(), 0);
}

} // namespace
