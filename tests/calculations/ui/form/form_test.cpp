// The calculation tab as built, its option switches and display modes, its lists over
// the states of their files, and the input slots (frozen point, nozzle, grain, pressure,
// uniform temperature).
#include <filesystem>

#include <QDoubleValidator>
#include <QGridLayout>
#include <QStandardItemModel>

#include "../tab_fixture.h"
#include "calculations/calculation_labels.h"

namespace {

using tab_test::TabTest;

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

TEST_F(TabTest, AFreshTabShowsTheStartConfiguration)
{
    DEF_REAC_T = 300.0;
    DataTab& t = make();
    EXPECT_EQ(t.windowTitle(), "Form");
    EXPECT_EQ(t.model().results.size(), 1u);
    EXPECT_FALSE(t.model().mixture);
    // Lists filled, nothing chosen: their placeholders show.
    EXPECT_EQ(items(combo("comb_prop")), QStringList({"H2/O2"}));
    EXPECT_EQ(items(combo("comb_nozzle")), QStringList({"Current", "N1", "N2"}));
    EXPECT_EQ(items(combo("comb_grain")), QStringList({"Current", "G1"}));
    for (const char* c : {"comb_prop", "comb_nozzle", "comb_grain"})
        EXPECT_EQ(combo(c)->currentIndex(), -1) << c;
    EXPECT_EQ(combo("comb_prop")->placeholderText(), "Select propellant");
    EXPECT_FALSE(combo("comb_grain")->isEnabled());

    EXPECT_EQ(line("line_name")->text(), "Config_1");
    EXPECT_TRUE(radio("radio_spec_pres")->isChecked());
    EXPECT_EQ(line("line_spec_pres")->text(), "3");
    EXPECT_EQ(items(combo("combo_units_pres")), QStringList({"MPa", "atm", "bar"}));
    EXPECT_EQ(items(combo("combo_units_length")), QStringList({"mm", "cm", "dm", "m"}));
    EXPECT_EQ(items(combo("combo_unitsA")), QStringList({"mm^2", "cm^2", "dm^2", "m^2"}));
    EXPECT_TRUE(radio("radio_ode")->isChecked());
    EXPECT_FALSE(check("check_froz")->isChecked());
    EXPECT_FALSE(line("line_froz")->isEnabled());
    EXPECT_FALSE(w<QSlider>("Slider_frozen")->isEnabled());
    EXPECT_TRUE(radio("radio_IAC")->isChecked());
    EXPECT_FALSE(line("line_chamberA")->isEnabled());
    EXPECT_TRUE(check("check_transport")->isChecked());
    EXPECT_FALSE(check("check_heatWall")->isChecked());
    EXPECT_EQ(line("line_wallT")->text(), "300");
    EXPECT_FALSE(line("line_wallT")->isEnabled());
    EXPECT_EQ(line("line_ambient")->text(), "0.1");
    EXPECT_FALSE(check("check_homT")->isChecked());
    EXPECT_EQ(line("line_homT")->text(), "300"); // DEF_REAC_T in 10 digits, not the form's 298.15
    EXPECT_FALSE(check("check_autosave")->isChecked());
    EXPECT_EQ(button("but_export")->text(), "Export Data from all loaded configurations");
    EXPECT_EQ(button("but_run")->text(), "Run calculations");

    // The selector's "Plot all" entries, the first current; the stationary variables under
    // the plot, the burn-time ones hidden.
    EXPECT_EQ(items(combo("comb_select_conf")), QStringList({"Plot all (stationary)", "Plot all (time dependant)"}));
    EXPECT_EQ(combo("comb_select_conf")->currentIndex(), 0);
    QList<QComboBox*> varLists;
    for (QComboBox* c : t.findChildren<QComboBox*>())
        if (c->objectName().isEmpty())
            varLists << c;
    ASSERT_EQ(varLists.size(), 2);
    QComboBox* stationary = varLists[0]->count() == 18 ? varLists[0] : varLists[1];
    QComboBox* time = varLists[0]->count() == 18 ? varLists[1] : varLists[0];
    EXPECT_EQ(items(stationary), calc::stationaryVariables());
    EXPECT_EQ(items(time), calc::timeVariables());
    t.show();
    EXPECT_TRUE(stationary->isVisible());
    EXPECT_FALSE(time->isVisible());
    EXPECT_TRUE(graph()->isVisible());
    EXPECT_EQ(graph()->xAxis->label(), "Nozzle x coordinate [m]");

    // Status tips only, no tool tips.
    EXPECT_EQ(line("line_ambient")->statusTip(), "Used for thrust calculation");
    for (QWidget* child : t.findChildren<QWidget*>())
        EXPECT_TRUE(child->toolTip().isEmpty()) << child->objectName().toStdString();

    // Stretches of the layout.
    auto* grid = t.findChild<QGridLayout*>("mainGrid");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowStretch(0), 80);
    EXPECT_EQ(grid->rowStretch(1), 16);
    EXPECT_EQ(grid->rowStretch(2), 4);
    EXPECT_EQ(grid->columnStretch(0), 35);
    EXPECT_EQ(grid->columnStretch(1), 65);
}

TEST_F(TabTest, ATabBuiltInTheTableViewShowsTheTable)
{
    TYPE_RESULTS = 1;
    DataTab& t = make();
    EXPECT_EQ(combo("comb_select_conf")->count(), 0);
    EXPECT_EQ(button("but_plot")->text(), "Show data");
    EXPECT_FALSE(button("but_clear_last")->isEnabled());
    auto* table = t.findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisibleTo(&t));
    EXPECT_FALSE(graph()->isVisibleTo(&t));
    EXPECT_EQ(table->horizontalHeaderItem(4)->text(), "Nozle frozen point");
    // "Show data" with no run selected.
    release("but_plot");
    EXPECT_EQ(messages.texts(), QStringList({"No configuration was selected"}));
}

TEST_F(TabTest, NumberFieldsTakeScientificAndNegativeNumbersButNoLetters)
{
    make();
    for (const char* name :
         {"line_spec_pres", "line_froz", "line_chamberA", "line_wallT", "line_ambient", "line_homT"}) {
        const QValidator* v = line(name)->validator();
        ASSERT_NE(v, nullptr) << name;
        for (QString ok : {"1e6", "-3.5", "0.001"}) {
            int pos = 0;
            EXPECT_EQ(v->validate(ok, pos), QValidator::Acceptable) << name << " " << ok.toStdString();
        }
        QString letters = "abc";
        int pos = 0;
        EXPECT_EQ(v->validate(letters, pos), QValidator::Invalid) << name;
    }
    EXPECT_EQ(line("line_name")->validator(), nullptr);
}

// Each row of the dependency table: what a switch enables, disables or forces.
TEST_F(TabTest, OptionSwitchesFollowTheirDependencies)
{
    make();
    // The frozen point needs a nozzle: refused with a warning, the box unchecked again.
    check("check_froz")->setChecked(true);
    EXPECT_EQ(messages.texts(), QStringList({"A Nozzle must be chosen first"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
    EXPECT_FALSE(check("check_froz")->isChecked());
    EXPECT_FALSE(line("line_froz")->isEnabled());

    choose("comb_nozzle", "N1");
    check("check_froz")->setChecked(true);
    for (QWidget* x :
         std::initializer_list<QWidget*>{line("line_froz"), combo("combo_units_length"), w<QSlider>("Slider_frozen")})
        EXPECT_TRUE(x->isEnabled());
    // ODK takes the four frozen-point controls away; ODE gives them back, still checked.
    radio("radio_odk")->setChecked(true);
    EXPECT_FALSE(check("check_froz")->isEnabled());
    EXPECT_FALSE(line("line_froz")->isEnabled());
    EXPECT_TRUE(check("check_froz")->isChecked());
    radio("radio_ode")->setChecked(true);
    EXPECT_TRUE(check("check_froz")->isEnabled());
    EXPECT_TRUE(w<QSlider>("Slider_frozen")->isEnabled());

    // Wall heat forces transport; no transport, no wall heat.
    check("check_transport")->setChecked(false);
    check("check_heatWall")->setChecked(true);
    EXPECT_TRUE(check("check_transport")->isChecked());
    EXPECT_TRUE(line("line_wallT")->isEnabled());
    EXPECT_TRUE(w<QLabel>("label_wallT")->isEnabled());
    check("check_transport")->setChecked(false);
    EXPECT_FALSE(check("check_heatWall")->isChecked());
    EXPECT_FALSE(line("line_wallT")->isEnabled());
    check("check_heatWall")->setChecked(true);
    check("check_heatWall")->setChecked(false);
    EXPECT_TRUE(check("check_transport")->isChecked());

    // Pressure or grain.
    radio("radio_spec_grain")->setChecked(true);
    EXPECT_TRUE(combo("comb_grain")->isEnabled());
    EXPECT_FALSE(line("line_spec_pres")->isEnabled());
    EXPECT_FALSE(combo("combo_units_pres")->isEnabled());
    radio("radio_spec_pres")->setChecked(true);
    EXPECT_FALSE(combo("comb_grain")->isEnabled());
    EXPECT_TRUE(line("line_spec_pres")->isEnabled());

    // The uniform temperature field follows its box.
    check("check_homT")->setChecked(true);
    EXPECT_TRUE(line("line_homT")->isEnabled());
    check("check_homT")->setChecked(false);
    EXPECT_FALSE(line("line_homT")->isEnabled());
}

TEST_F(TabTest, FiniteAreaFillsAnEmptyAreaWithTheEntranceAreaOnly)
{
    make();
    // No nozzle: the fields are only enabled.
    radio("radio_FAC")->setChecked(true);
    EXPECT_TRUE(line("line_chamberA")->isEnabled());
    EXPECT_TRUE(line("line_chamberA")->text().isEmpty());
    radio("radio_IAC")->setChecked(true);
    EXPECT_FALSE(combo("combo_unitsA")->isEnabled());

    // Choosing a nozzle writes its entrance area in m^2 whatever was typed.
    line("line_chamberA")->setText("77");
    combo("combo_unitsA")->setCurrentIndex(1);
    choose("comb_nozzle", "N1");
    EXPECT_EQ(line("line_chamberA")->text(), "0.0158");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 3);

    // An empty field gets the entrance area; a typed one keeps value and unit.
    line("line_chamberA")->clear();
    combo("combo_unitsA")->setCurrentIndex(0);
    radio("radio_FAC")->setChecked(true);
    EXPECT_EQ(line("line_chamberA")->text(), "0.0158");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 3);
    radio("radio_IAC")->setChecked(true);
    EXPECT_EQ(line("line_chamberA")->text(), "0.0158"); // left in the disabled field
    line("line_chamberA")->setText("500");
    combo("combo_unitsA")->setCurrentIndex(0);
    radio("radio_FAC")->setChecked(true);
    EXPECT_EQ(line("line_chamberA")->text(), "500");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 0);
}

TEST_F(TabTest, FrozenPointShowsItsStationInTheChosenUnit)
{
    make();
    choose("comb_nozzle", "N1"); // x = -0.02, 0, 0.02, 0.04, 0.06, 0.08 m
    auto* slider = w<QSlider>("Slider_frozen");
    EXPECT_EQ(slider->maximum(), 5);
    EXPECT_EQ(slider->value(), 1); // the throat
    EXPECT_EQ(slider->tickInterval(), 1);
    EXPECT_EQ(line("line_froz")->text(), "0");

    // The user drags to station 3 (0.04 m); each unit rewrites the field at once.
    slider->setValue(3);
    emit slider->sliderMoved(3);
    EXPECT_EQ(line("line_froz")->text(), "40");
    const char* expected[] = {"40", "4", "0.4", "0.04"};
    for (int unit = 0; unit < 4; ++unit) {
        combo("combo_units_length")->setCurrentIndex(unit);
        EXPECT_EQ(line("line_froz")->text(), expected[unit]) << unit;
    }

    // Typed positions: to the nearest station; beyond the exit, the exit; refused text.
    combo("combo_units_length")->setCurrentIndex(0);
    type("line_froz", "25"); // mm: nearest 0.02
    EXPECT_EQ(slider->value(), 2);
    EXPECT_EQ(line("line_froz")->text(), "20");
    type("line_froz", "1000");
    EXPECT_EQ(slider->value(), 5);
    EXPECT_EQ(line("line_froz")->text(), "80");
    type("line_froz", "-50");
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(line("line_froz")->text(), "-20");
    messages.clear();
    line("line_froz")->setText("");
    EXPECT_FALSE(tab->lineModSlider());
    EXPECT_EQ(messages.texts(), QStringList({"Invalid position"}));
    EXPECT_EQ(slider->value(), 0);
}

TEST_F(TabTest, WithoutANozzleThePositionHasNothingToFallOn)
{
    make();
    line("line_froz")->setText("12");
    EXPECT_FALSE(tab->lineModSlider());
    EXPECT_TRUE(messages.messages().empty());
    // "Clear loaded configurations" on a fresh tab does not stumble over it.
    release("but_clear_conf");
    EXPECT_EQ(tab->model().results.size(), 1u);
}

// Re-reading the nozzle shown in the nozzle tab keeps what the user set; choosing another
// nozzle resets it.
TEST_F(TabTest, ReReadingTheCurrentNozzleKeepsTheFrozenPointAndArea)
{
    make();
    choose("comb_nozzle", "Current");
    check("check_froz")->setChecked(true);
    type("line_froz", "40");
    radio("radio_FAC")->setChecked(true);
    line("line_chamberA")->setText("900");
    combo("combo_unitsA")->setCurrentIndex(1);
    // The nozzle tab now shows a longer nozzle; the run re-reads it.
    calc_test::Nozzle longer = tab_test::referenceNozzle();
    longer.x.push_back(0.10);
    longer.area.push_back(0.3);
    stores.nozzles["Current"] = longer;
    tab->OnSelNozzle("Current");
    EXPECT_EQ(tab->model().edited().stationCount, 7u);
    EXPECT_EQ(w<QSlider>("Slider_frozen")->maximum(), 6);
    EXPECT_EQ(w<QSlider>("Slider_frozen")->value(), 3);
    EXPECT_EQ(line("line_froz")->text(), "40");
    EXPECT_EQ(line("line_chamberA")->text(), "900");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 1);

    // The nozzle tab shows none any more: the list loses its choice.
    stores.nozzles.erase("Current");
    tab->OnSelNozzle("Current");
    EXPECT_EQ(combo("comb_nozzle")->currentIndex(), -1);
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
}

TEST_F(TabTest, SwitchingToGrainModeReadsThePressureFirst)
{
    make();
    choose("comb_grain", "G1");
    line("line_spec_pres")->setText("-4");
    const int loadsBefore = stores.grainLoads;
    radio("radio_spec_grain")->setChecked(true);
    EXPECT_EQ(messages.texts(), QStringList({"Invalid Pressure"}));
    EXPECT_TRUE(line("line_spec_pres")->text().isEmpty());
    EXPECT_EQ(stores.grainLoads, loadsBefore + 1);
    EXPECT_EQ(tab->model().edited().burnPoints, 3u);
    EXPECT_EQ(tab->model().edited().burnTimes.size(), 3u);

    // A grain that cannot be loaded: nothing chosen.
    stores.grains.erase("G1");
    tab->OnSelGrain("G1");
    EXPECT_EQ(combo("comb_grain")->currentIndex(), -1);
}

TEST_F(TabTest, BabyModeAndHiddenSolidMotorsCombine)
{
    DataTab& t = make();
    t.show();
    radio("radio_odk")->setChecked(true);
    choose("comb_grain", "G1");
    radio("radio_spec_grain")->setChecked(true);
    radio("radio_FAC")->setChecked(true);
    check("check_homT")->setChecked(true);

    babyModeActive = true;
    t.BabyMode(true);
    EXPECT_TRUE(radio("radio_ode")->isChecked());
    EXPECT_TRUE(radio("radio_spec_pres")->isChecked());
    EXPECT_TRUE(radio("radio_IAC")->isChecked());
    EXPECT_FALSE(check("check_homT")->isChecked());
    for (QWidget* x : std::initializer_list<QWidget*>{
                 radio("radio_odk"), combo("comb_grain"), radio("radio_spec_grain"), radio("radio_FAC"),
                 line("line_chamberA"), combo("combo_unitsA"), line("line_homT"), check("check_homT")})
        EXPECT_FALSE(x->isVisible()) << x->objectName().toStdString();
    EXPECT_TRUE(check("check_froz")->isVisible());
    EXPECT_TRUE(line("line_spec_pres")->isVisible());

    // Hidden solid motors switched off while baby mode is on: the grain choice stays hidden.
    solidsHidden = true;
    t.hideSolid(true);
    solidsHidden = false;
    t.hideSolid(false);
    EXPECT_FALSE(combo("comb_grain")->isVisible());

    // Baby mode off while solid motors are hidden: everything but the grain choice, and
    // the choices stay as baby mode left them.
    solidsHidden = true;
    babyModeActive = false;
    t.BabyMode(false);
    EXPECT_TRUE(radio("radio_odk")->isVisible());
    EXPECT_TRUE(radio("radio_FAC")->isVisible());
    EXPECT_TRUE(check("check_homT")->isVisible());
    EXPECT_FALSE(combo("comb_grain")->isVisible());
    EXPECT_FALSE(radio("radio_spec_grain")->isVisible());
    EXPECT_TRUE(radio("radio_ode")->isChecked());
    solidsHidden = false;
    t.hideSolid(false);
    EXPECT_TRUE(combo("comb_grain")->isVisible());
}

TEST_F(TabTest, ListsKeepTheirChoiceByNameOverFileChanges)
{
    make();
    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "N2");
    choose("comb_grain", "Current");
    const int nozzleLoads = stores.nozzleLoads;

    // A nozzle saved elsewhere under a name that sorts first: N2 stays chosen and is read again.
    stores.nozzles["A0"] = tab_test::referenceNozzle();
    stores.propellants["Aardvark"] = stores.propellants["H2/O2"];
    writeNames();
    tab->refreshLists();
    EXPECT_EQ(combo("comb_nozzle")->currentText(), "N2");
    EXPECT_EQ(combo("comb_prop")->currentText(), "H2/O2");
    EXPECT_EQ(stores.nozzleLoads, nozzleLoads + 1);
    EXPECT_DOUBLE_EQ(tab->model().edited().area[0], 0.0316);

    // The chosen nozzle deleted: nothing chosen. The nozzle file removed: "Current" is still
    // listed and, chosen, stays chosen.
    stores.nozzles.erase("N2");
    writeNames();
    tab->refreshLists();
    EXPECT_EQ(combo("comb_nozzle")->currentIndex(), -1);
    choose("comb_nozzle", "Current");
    std::filesystem::remove(NOZZLE);
    std::filesystem::remove(GRAIN);
    tab->refreshLists();
    EXPECT_EQ(items(combo("comb_nozzle")), QStringList({"Current"}));
    EXPECT_EQ(combo("comb_nozzle")->currentText(), "Current");
    EXPECT_EQ(combo("comb_grain")->currentText(), "Current");
    EXPECT_TRUE(flagRaised(flagsF, 1u << 8)); // F08
    EXPECT_TRUE(flagRaised(flagsF, 1u << 10)); // F10

    // A nozzle file that cannot be opened stops the refresh with its message: the
    // propellant list is not refilled either.
    stores.propellants["Zeta"] = stores.propellants["H2/O2"];
    writeNames();
    std::filesystem::remove(NOZZLE);
    std::filesystem::create_directories(NOZZLE);
    messages.clear();
    tab->refreshLists();
    EXPECT_EQ(messages.texts(),
              QStringList({"Nozzle file could not be opened, it may be opened by another "
                           "software or have accesibility restrictions"}));
    EXPECT_FALSE(items(combo("comb_prop")).contains("Zeta"));
}

TEST_F(TabTest, UncheckingTheUniformTemperatureGivesTheReactantsTheirOwnTemperatures)
{
    // Gaseous hydrogen and oxygen: data over a temperature range, so a uniform
    // temperature changes the chamber enthalpy.
    auto gas = buildMixture({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3"},
                            {{"H2", 0.15263517}, {"O2", 0.84736483}}, {"H", "O", "E"});
    gas->setReactantEnthalpy(298.15);
    stores.propellants["GH2/GO2"] = gas;
    writeNames();
    make();
    choose("comb_prop", "GH2/GO2");
    const double own = tab->model().mixture->enthalpyTarget;
    line("line_homT")->setText("600");
    check("check_homT")->setChecked(true);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(tab->model().homT, 600.0);
    EXPECT_GT(tab->model().mixture->enthalpyTarget, own);
    const int loads = stores.propellantLoads;
    check("check_homT")->setChecked(false);
    EXPECT_EQ(stores.propellantLoads, loads + 1);
    EXPECT_DOUBLE_EQ(tab->model().mixture->enthalpyTarget, own);

    // A refused temperature is reported and not taken.
    check("check_homT")->setChecked(true);
    type("line_homT", "-5");
    EXPECT_EQ(messages.texts(), QStringList({"Invalid homogeneous temperature"}));
    EXPECT_EQ(tab->model().homT, 600.0);

    // Single-defined reactants cannot follow: each is named once per pass.
    messages.clear();
    choose("comb_prop", "H2/O2");
    EXPECT_EQ(
            messages.texts(),
            QStringList({"Rectant 'H2(L)' is only defined at 20.27 K", "Rectant 'O2(L)' is only defined at 90.17 K"}));
}

} // namespace
