// Stored configurations through the tab: every combination of mode, model, combustor,
// wall heat and uniform temperature saved from one tab and loaded into a fresh one shows
// the same form (the frozen slider and its text included); refused loads; deletion.
#include "../tab_fixture.h"
#include "calculations/configuration_store.h"
#include "core/json_file.h"

namespace {

using tab_test::TabTest;

struct FormState {
    QString name, propellant, nozzle, grain, pressure, frozen, area, ambient, homT, wall;
    bool grainMode, odk, frozenOn, fac, heat, transport, homTOn;
    int pressureUnit, slider, areaUnit, ambientUnit;
};

class ConfigurationsTab : public TabTest {
public:
    FormState state() const
    {
        FormState s;
        s.name = line("line_name")->text();
        s.propellant = combo("comb_prop")->currentText();
        s.nozzle = combo("comb_nozzle")->currentText();
        s.grainMode = radio("radio_spec_grain")->isChecked();
        s.grain = s.grainMode ? combo("comb_grain")->currentText() : QString();
        s.pressure = s.grainMode ? QString() : line("line_spec_pres")->text();
        s.pressureUnit = s.grainMode ? -1 : combo("combo_units_pres")->currentIndex();
        s.odk = radio("radio_odk")->isChecked();
        s.frozenOn = check("check_froz")->isChecked();
        s.slider = s.frozenOn ? w<QSlider>("Slider_frozen")->value() : -1;
        s.frozen = s.frozenOn ? line("line_froz")->text() : QString();
        s.fac = radio("radio_FAC")->isChecked();
        s.area = s.fac ? line("line_chamberA")->text() : QString();
        s.areaUnit = s.fac ? combo("combo_unitsA")->currentIndex() : -1;
        s.transport = check("check_transport")->isChecked();
        s.ambient = line("line_ambient")->text();
        s.ambientUnit = combo("combo_ambient_units")->currentIndex();
        s.homTOn = check("check_homT")->isChecked();
        s.homT = s.homTOn ? line("line_homT")->text() : QString();
        s.heat = check("check_heatWall")->isChecked();
        s.wall = s.heat ? line("line_wallT")->text() : QString();
        return s;
    }
};

#define EXPECT_SAME(field) EXPECT_EQ(loaded.field, saved.field) << k << " " #field

TEST_F(ConfigurationsTab, EveryCombinationComesBackAsSaved)
{
    for (int k = 0; k < 32; ++k) {
        const bool grain = k & 1, odk = k & 2, fac = k & 4, heat = k & 8, homT = k & 16;
        make();
        line("line_name")->setText(QString("Cfg %1").arg(k));
        choose("comb_prop", "H2/O2");
        choose("comb_nozzle", "N1");
        if (grain) {
            choose("comb_grain", "G1");
            radio("radio_spec_grain")->setChecked(true);
        } else {
            line("line_spec_pres")->setText("2.5");
            combo("combo_units_pres")->setCurrentIndex(2);
        }
        if (odk) {
            radio("radio_odk")->setChecked(true);
        } else {
            check("check_froz")->setChecked(true);
            type("line_froz", "40"); // station 3
        }
        if (fac) {
            radio("radio_FAC")->setChecked(true);
            line("line_chamberA")->setText("500");
            combo("combo_unitsA")->setCurrentIndex(0);
        }
        if (heat) {
            check("check_heatWall")->setChecked(true);
            line("line_wallT")->setText("450");
        }
        if (homT) {
            line("line_homT")->setText("350");
            check("check_homT")->setChecked(true);
        }
        line("line_ambient")->setText("1");
        combo("combo_ambient_units")->setCurrentIndex(1);
        messages.clear();
        release("but_save");
        ASSERT_EQ(messages.lastText(), "Successful save") << k << " " << messages.texts().join("|").toStdString();
        const FormState saved = state();

        make();
        const auto names = readJsonFile(CONFIGURATIONS).document;
        itemChoice = 2
                + static_cast<int>(std::distance(names.begin(), names.find(QString("Cfg %1").arg(k).toStdString())));
        messages.clear();
        release("but_load");
        EXPECT_EQ(chooseModes.back(), 0);
        const FormState loaded = state();
        EXPECT_SAME(name);
        EXPECT_SAME(propellant);
        EXPECT_SAME(nozzle);
        EXPECT_SAME(grainMode);
        EXPECT_SAME(grain);
        EXPECT_SAME(pressure);
        EXPECT_SAME(pressureUnit);
        EXPECT_SAME(odk);
        EXPECT_SAME(frozenOn);
        EXPECT_SAME(slider);
        EXPECT_SAME(frozen);
        EXPECT_SAME(fac);
        EXPECT_SAME(area);
        EXPECT_SAME(areaUnit);
        EXPECT_SAME(transport);
        EXPECT_SAME(ambient);
        EXPECT_SAME(ambientUnit);
        EXPECT_SAME(homTOn);
        EXPECT_SAME(homT);
        EXPECT_SAME(heat);
        EXPECT_SAME(wall);
        // The stored uniform temperature is the one applied, not the field's previous text.
        if (homT) {
            EXPECT_EQ(tab->model().homT, 350.0) << k;
        }
    }
    // One entry as stored: grain mode, ODK, finite area, wall heat, uniform temperature.
    const nlohmann::json e = readJsonFile(CONFIGURATIONS).document["Cfg 31"];
    EXPECT_EQ(e.dump(),
              R"({"Ambient Pressure":[1.0,1],"Calculate transport":true,"FAC":[true,500.0,0],)"
              R"("Grain":"G1","Nozzle":"N1","ODK":true,"Propellant":"H2/O2",)"
              R"("Uniform reactant T":[true,350.0],"Wall temperature":450.0})");
}

TEST_F(ConfigurationsTab, ALoadThatCannotBeCompletedSaysWhy)
{
    app.write("Data/Configurations.json",
              R"({"Gone": {"Propellant": "Kerosene", "Nozzle": "N1", "Pressure": [3.0, 0], "Frozen": [false, 0],)"
              R"( "FAC": [false, 0.0, 3], "Calculate transport": false, "Ambient Pressure": [0.2, 0],)"
              R"( "Uniform reactant T": [false, 300.0]},)"
              R"( "Odd": {"Propellant": "H2/O2", "Nozzle": "N1", "Pressure": "3"}})");
    make();
    check("check_homT")->setChecked(true);
    // A wrongly shaped entry: nothing on the form changes.
    itemChoice = 3;
    release("but_load");
    EXPECT_EQ(offeredNames, std::vector<std::string>({"Gone", "Odd"}));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Configuration 'Odd' could not be loaded");
    EXPECT_EQ(messages.messages().back().informativeText, "\"Pressure\" is not a list of 2 values");
    EXPECT_EQ(line("line_name")->text(), "Config_1");
    EXPECT_TRUE(check("check_homT")->isChecked());

    // A propellant no longer stored: the name is taken and the uniform temperature
    // unchecked, then the load stops.
    messages.clear();
    itemChoice = 2;
    release("but_load");
    EXPECT_EQ(messages.texts(), QStringList({"Propellant in loaded configuration cannot be found in save files"}));
    EXPECT_EQ(line("line_name")->text(), "Gone");
    EXPECT_FALSE(check("check_homT")->isChecked());
    EXPECT_TRUE(check("check_transport")->isChecked());
    EXPECT_EQ(line("line_ambient")->text(), "0.1");

    // Cancelled: nothing happens.
    messages.clear();
    itemChoice = -1;
    release("but_load");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ConfigurationsTab, DeletingAsksForTheEntryAndWritesTheRest)
{
    app.write("Data/Configurations.json", R"({"A": {}, "B": {"x": 1}, "C": {"y": 2}})");
    make();
    itemChoice = 3; // "B"
    release("but_delete");
    EXPECT_EQ(chooseModes.back(), 1);
    const nlohmann::json after = readJsonFile(CONFIGURATIONS).document;
    EXPECT_TRUE(after.contains("A"));
    EXPECT_FALSE(after.contains("B"));
    EXPECT_TRUE(after.contains("C"));
    EXPECT_TRUE(messages.messages().empty());
}

} // namespace

// A stored configuration goes through the same rule as a typed one: a number outside
// its physical range once converted (1e308 bar is infinite in pascals) refuses the run
// with the field's own message, never "Mixture composition could not converge".
TEST_F(ConfigurationsTab, StoredNumbersOutsideTheirRangeRefuseTheRunWithTheFieldsMessage)
{
    calc::Configuration base;
    base.propellant = "H2/O2";
    base.nozzle = "N1";
    base.pressure = 5.33172;
    base.ambient = 0.1;
    base.homT = 298.15;
    const struct {
        const char* what;
        void (*spoil)(nlohmann::json&);
        const char* message;
    } cases[] = {
            {"ambient 1e308 bar",
             [](nlohmann::json& e) {
                 e["Ambient Pressure"] = {1e308, 2};
             },
             "Invalid atmosferic pressure"},
            {"ambient beyond a double",
             [](nlohmann::json& e) {
                 e["Ambient Pressure"] = {1e300, 0};
             },
             "Invalid atmosferic pressure"},
            {"chamber pressure 0",
             [](nlohmann::json& e) {
                 e["Pressure"] = {0.0, 0};
             },
             "Invalid Pressure"},
            {"chamber pressure 1e-300 MPa",
             [](nlohmann::json& e) {
                 e["Pressure"] = {1e-300, 0};
             },
             "Invalid Pressure"},
            {"chamber pressure 1e308 MPa",
             [](nlohmann::json& e) {
                 e["Pressure"] = {1e308, 0};
             },
             "Invalid Pressure"},
            {"wall at 1e308 K", [](nlohmann::json& e) { e["Wall temperature"] = 1e308; },
             "Invalid nozzle wall temperature"},
            {"chamber area 1e308 cm^2",
             [](nlohmann::json& e) {
                 e["FAC"] = {true, 1e308, 1};
             },
             "Invalid combustion chamber area"},
            {"uniform temperature 1e308 K",
             [](nlohmann::json& e) {
                 e["Uniform reactant T"] = {true, 1e308};
             },
             "Invalid homogeneous temperature"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        nlohmann::json entry = calc::configurationEntry(base);
        c.spoil(entry);
        ASSERT_TRUE(writeJsonFile(CONFIGURATIONS, nlohmann::json{{"Stored", entry}}));
        DataTab& t = make();
        itemChoice = 2;
        release("but_load");
        ASSERT_EQ(combo("comb_nozzle")->currentText(), "N1");
        messages.clear();
        release("but_run");
        ASSERT_FALSE(messages.messages().empty());
        EXPECT_EQ(messages.lastText(), c.message);
        EXPECT_FALSE(t.model().running);
        EXPECT_EQ(t.model().results.size(), 1u);
    }
}
