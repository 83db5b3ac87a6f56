// The three display modes through their actions: night mode, baby mode and the hidden
// solid-motor simulation, alone and together, and as the preferences start them.
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStyle>

#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

// What the tabs hide in the restricted (baby) mode and for the solid motor, read from
// the widgets themselves.
struct Visible {
    bool databaseButtons; // propellant tab: open the chemical databases (baby mode hides)
    bool propellantData; // propellant tab: density and burn law (both modes hide)
    bool optimisation; // nozzle tab: optimisation button (both modes hide)
    bool kineticModel; // calculation tab: kinetic model (baby mode hides)
    bool grainChoice; // calculation tab: grain list (both modes hide)
};

Visible visible(Ui_MainWindow& f)
{
    auto shown = [](QWidget* tab, const char* name) {
        auto* w = tab->findChild<QWidget*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w && !w->isHidden();
    };
    return {shown(f.PropWin, "but_Reac"), shown(f.PropWin, "PropData"), shown(f.NozzleWin, "but_opt_ode"),
            shown(f.DataWin, "radio_odk"), shown(f.DataWin, "comb_grain")};
}

void expectVisible(Ui_MainWindow& f, Visible want)
{
    const Visible got = visible(f);
    EXPECT_EQ(got.databaseButtons, want.databaseButtons);
    EXPECT_EQ(got.propellantData, want.propellantData);
    EXPECT_EQ(got.optimisation, want.optimisation);
    EXPECT_EQ(got.kineticModel, want.kineticModel);
    EXPECT_EQ(got.grainChoice, want.grainChoice);
}

} // namespace

TEST_F(WindowTest, BabyModeAndHiddenSolidsCombineWithoutUndoingEachOther)
{
    writePreferences({{"hideSolid", false}, {"BabyMode", false}});
    build();
    auto& f = form();
    expectVisible(f, {true, true, true, true, true});
    EXPECT_EQ(f.tabs->count(), 4);

    f.actionBaby_mode->setChecked(true);
    EXPECT_TRUE(babyModeActive);
    EXPECT_FALSE(f.menuChange_data_files->isEnabled());
    EXPECT_TRUE(f.actionPreferences->isEnabled()); // BLOCK_PREFERENCES is off
    expectVisible(f, {false, false, false, false, false});

    f.actionHide_solid_motor_simulation->setChecked(true);
    EXPECT_TRUE(solidsHidden);
    EXPECT_EQ(f.tabs->count(), 3);
    EXPECT_EQ(f.tabs->indexOf(f.GrainWin), -1);
    EXPECT_FALSE(f.GrainWin->isEnabled());
    EXPECT_NE(f.GrainWin->parent(), nullptr); // the page lives on while the tab is gone

    // Solids shown again while in baby mode: what baby mode hides stays hidden.
    f.actionHide_solid_motor_simulation->setChecked(false);
    EXPECT_FALSE(solidsHidden);
    EXPECT_EQ(f.tabs->count(), 4);
    EXPECT_EQ(f.tabs->widget(1), f.GrainWin);
    EXPECT_EQ(f.tabs->tabText(1), "Grain geometry");
    EXPECT_TRUE(f.GrainWin->isEnabled());
    expectVisible(f, {false, false, false, false, false});

    // Baby mode off while solids are hidden: the solid-motor widgets stay hidden.
    f.actionHide_solid_motor_simulation->setChecked(true);
    f.actionBaby_mode->setChecked(false);
    EXPECT_FALSE(babyModeActive);
    EXPECT_TRUE(f.menuChange_data_files->isEnabled());
    expectVisible(f, {true, false, false, true, false});

    f.actionHide_solid_motor_simulation->setChecked(false);
    expectVisible(f, {true, true, true, true, true});
    EXPECT_EQ(f.tabs->count(), 4);
}

TEST_F(WindowTest, BabyModeBlocksPreferencesOnlyWhenAskedAndFreesThemWhenLeft)
{
    writePreferences({{"hideSolid", false}, {"BLOCK_PREFERENCES", true}});
    build();
    form().actionBaby_mode->setChecked(true);
    EXPECT_FALSE(form().actionPreferences->isEnabled());
    form().actionBaby_mode->setChecked(false);
    EXPECT_TRUE(form().actionPreferences->isEnabled());
    EXPECT_TRUE(form().actionBaby_mode->isEnabled());
}

// The start-up state from the preferences: the table gives the "General" members and
// what the window must then show.
TEST_F(WindowTest, PreferencesStartTheModes)
{
    struct Case {
        const char* name;
        nlohmann::json general;
        int tabCount;
        const char* currentPage;
        bool baby, babyActionEnabled, solids;
    };
    const Case cases[] = {
            // The defaults: solids hidden, so the calculation tab (default_tab 3) is now at 2.
            {"defaults", nlohmann::json::object(), 3, "DataWin", false, true, true},
            {"all shown", {{"hideSolid", false}}, 4, "DataWin", false, true, false},
            {"baby mode",
             {{"hideSolid", false}, {"BabyMode", true}, {"default_tab", 0}},
             4,
             "PropWin",
             true,
             true,
             false},
            // The lock forces baby mode on and leaves no way out of it.
            {"locked",
             {{"hideSolid", false}, {"LOCK_BABYMODE", true}, {"default_tab", 2}},
             4,
             "NozzleWin",
             true,
             false,
             false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writePreferences(c.general);
        solidsHidden = babyModeActive = false;
        build();
        auto& f = form();
        EXPECT_EQ(f.tabs->count(), c.tabCount);
        EXPECT_EQ(f.tabs->currentWidget()->objectName(), c.currentPage);
        EXPECT_EQ(f.actionBaby_mode->isChecked(), c.baby);
        EXPECT_EQ(babyModeActive, c.baby);
        EXPECT_EQ(f.actionBaby_mode->isEnabled(), c.babyActionEnabled);
        EXPECT_EQ(f.actionHide_solid_motor_simulation->isChecked(), c.solids);
        EXPECT_EQ(solidsHidden, c.solids);
        window.reset();
    }
}

// default_tab 1 is made current and then removed with the hidden solids: a remaining tab
// is current, never the absent grain tab.
TEST_F(WindowTest, DefaultGrainTabWithHiddenSolidsLeavesAnotherTabCurrent)
{
    writePreferences({{"default_tab", 1}});
    build();
    EXPECT_EQ(form().tabs->count(), 3);
    ASSERT_NE(form().tabs->currentWidget(), nullptr);
    EXPECT_NE(form().tabs->currentWidget(), form().GrainWin);
}

TEST_F(WindowTest, NightModeSwitchesPaletteAndTextColourBothWays)
{
    writePreferences({{"NightMode", true}});
    build();
    EXPECT_TRUE(form().actionNight_mode->isChecked());
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor(53, 53, 53));
    EXPECT_EQ(qApp->styleSheet(), "QWidget {color: white;}");

    form().actionNight_mode->setChecked(false);
    EXPECT_EQ(qApp->styleSheet(), "QWidget {color: black;}");
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Window),
              QApplication::style()->standardPalette().color(QPalette::Active, QPalette::Window));

    form().actionNight_mode->setChecked(true);
    EXPECT_EQ(qApp->styleSheet(), "QWidget {color: white;}");
    EXPECT_EQ(QApplication::palette().color(QPalette::Active, QPalette::Base), QColor(25, 25, 25));
    form().actionNight_mode->setChecked(false);
}

namespace {

// The colour of row `row`'s text in the open popup of `combo`: of the row's pixels, the
// one farthest from the row's background.
QColor rowTextColour(QComboBox* combo, int row)
{
    QAbstractItemView* view = combo->view();
    QImage image(view->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    view->render(&image);
    const QRect rect = view->visualRect(combo->model()->index(row, 0)).intersected(image.rect());
    const QColor background = image.pixelColor(rect.left() + 1, rect.center().y());
    QColor text = background;
    int farthest = -1;
    for (int x = rect.left(); x <= rect.right(); ++x)
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            const int d = std::abs(c.red() - background.red()) + std::abs(c.green() - background.green())
                    + std::abs(c.blue() - background.blue());
            if (d > farthest) {
                farthest = d;
                text = c;
            }
        }
    return text;
}

} // namespace

// The calculation tab's variable list offers the variables a run cannot show disabled.
// The application's style sheet gives every widget one text colour, so they looked like
// the others in day mode; in both modes they are drawn in the palette's disabled text
// colour, the others in the mode's text colour.
TEST_F(WindowTest, DisabledVariablesLookDisabledByDayAndByNight)
{
    writePreferences({{"NightMode", false}, {"hideSolid", false}});
    build();
    QComboBox* variables = nullptr;
    for (QComboBox* c : form().DataWin->findChildren<QComboBox*>())
        if (c->objectName().isEmpty() && c->count() == 18)
            variables = c;
    ASSERT_NE(variables, nullptr);
    auto* model = qobject_cast<QStandardItemModel*>(variables->model());
    ASSERT_NE(model, nullptr);
    model->item(16)->setEnabled(false); // as for a run without wall heat transfer
    window->show();
    form().tabs->setCurrentWidget(form().DataWin);

    for (const bool night : {false, true, false}) {
        SCOPED_TRACE(night ? "night" : "day");
        form().actionNight_mode->setChecked(night);
        variables->showPopup();
        const QColor enabled = rowTextColour(variables, 15);
        const QColor disabled = rowTextColour(variables, 16);
        variables->hidePopup();
        EXPECT_EQ(enabled.name(), night ? "#ffffff" : "#000000");
        EXPECT_EQ(disabled.name(), QApplication::palette().color(QPalette::Disabled, QPalette::Text).name());
        EXPECT_NE(disabled.name(), enabled.name());
    }
}
