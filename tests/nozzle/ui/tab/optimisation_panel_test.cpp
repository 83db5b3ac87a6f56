// The nozzle optimisation panel through its widgets: targets and units, selections,
// runs on a worker thread with their write-back, abort, failure and the tab's end
// during a run. The propellant is the perfect gas of the engine tests, the grain burns
// a constant area, so every result has a closed form.
#include <string>

#include <QPointer>
#include <QSignalSpy>
#include <QThread>

#include "core/calculation_activity.h"
#include "tab_fixture.h"

namespace pg = perfect_gas;

namespace {

class PanelTest : public NozzleTabTest {
protected:
    // One propellant "PG" and two grains (G: 0.04 m^2, G2: 0.08 m^2) stored, both
    // selected; the tab built on them.
    TestTab& makeWithSelections()
    {
        app.write("Data/Propellants.json", R"({"PG": {}})");
        app.write("Data/Grains.json", R"({"G": {}, "G2": {}})");
        TestTab& t = make();
        w<QComboBox>("comb_prop")->setCurrentIndex(0);
        w<QComboBox>("comb_grain")->setCurrentIndex(1); // "G"
        return t;
    }
    QPushButton* button() const { return w<QPushButton>("but_opt_ode"); }
    void setTarget(int target, const QString& value = QString(), int unit = 0) const
    {
        w<QComboBox>("combo_opt_target")->setCurrentIndex(target);
        line("line_opt_target")->setText(value);
        w<QComboBox>("combo_opt_target_units")->setCurrentIndex(unit);
    }
    // Waits (bounded) until the run has come back to the window.
    bool waitForCompletion() const
    {
        return QTest::qWaitFor([this] { return button()->text() == "Optimize ODE"; }, 20000);
    }
    static double diameterOf(double area) { return 2.0 * std::sqrt(area / 3.141592); }
};

} // namespace

TEST_F(PanelTest, TargetChangeSwitchesUnitsAndRestrictions)
{
    make();
    struct Case {
        int target;
        QStringList units;
        bool restrictions;
    };
    for (const Case& c :
         {Case{0, {"Mpa", "atm", "bar"}, false}, Case{2, {"s", "ms"}, false}, Case{3, {"N s", "kN s", "kgf s"}, true},
          Case{4, {"m/s", "km/s", "s"}, true}, Case{1, {"N", "kN", "kgf"}, true}}) {
        line("line_opt_target")->setText("7");
        w<QComboBox>("combo_opt_target")->setCurrentIndex(c.target);
        EXPECT_EQ(items(w<QComboBox>("combo_opt_target_units")), c.units) << c.target;
        EXPECT_EQ(w<QCheckBox>("check_OptAdapt")->isHidden(), c.restrictions) << c.target;
        for (const char* name : {"line_Pc_min", "line_Pc_max", "line_Rt_min", "line_AeAt_min"})
            EXPECT_EQ(line(name)->isHidden(), !c.restrictions) << c.target << name;
        EXPECT_EQ(w<QWidget>("label_Rt_min")->isHidden(), !c.restrictions);
        EXPECT_EQ(w<QWidget>("units_Pc_max")->isHidden(), !c.restrictions);
        EXPECT_EQ(line("line_opt_target")->isReadOnly(), c.restrictions) << c.target;
        // A result field shows the (reset) optimum, 0; a required value starts empty.
        EXPECT_EQ(line("line_opt_target")->text(), c.restrictions ? "0" : "") << c.target;
    }
}

TEST_F(PanelTest, SelectionsLoadTheirItemsAndReport)
{
    app.write("Data/Propellants.json", R"({"PG": {}})");
    app.write("Data/Grains.json", R"({"G": {}})");
    TestTab& t = make();
    QSignalSpy flags(&t, &NozzleTab::FlagsUpdated);
    w<QComboBox>("comb_prop")->setCurrentIndex(0);
    EXPECT_EQ(propellantsLoaded, std::vector<std::string>{"PG"});
    ASSERT_EQ(flags.size(), 1);
    EXPECT_EQ(flags[0], (QList<QVariant>{true, false}));

    // A propellant whose load raises a propellant code: reported, and the shell shows it.
    propellantCodes = code::L05;
    w<QComboBox>("comb_prop")->setCurrentIndex(-1);
    w<QComboBox>("comb_prop")->setCurrentIndex(0);
    EXPECT_EQ(messages.lastText(), "A critical error occured in propellant definition");
    EXPECT_EQ(messages.messages().back().informativeText, "Please check active flags for further detail");
    EXPECT_EQ(flags.last(), (QList<QVariant>{true, true}));
    propellantCodes = 0;

    // A grain that cannot be loaded is deselected.
    grainFails = true;
    flags.clear();
    w<QComboBox>("comb_grain")->setCurrentIndex(1);
    EXPECT_EQ(w<QComboBox>("comb_grain")->currentIndex(), -1);
    EXPECT_EQ(flags.last(), (QList<QVariant>{true, true}));
    messages.clear();
    t.OptimizeODE();
    EXPECT_EQ(messages.texts(), QStringList{"A critical error occured in propellant definition"});
    w<QComboBox>("comb_prop")->setCurrentIndex(-1);
    w<QComboBox>("comb_prop")->setCurrentIndex(0); // loads cleanly now
    messages.clear();
    t.OptimizeODE();
    EXPECT_EQ(messages.texts(), QStringList{"A grain must be selected"});
}

// The loaders hand their boxes back; the panel shows each before its own box and before
// it tells the shell to update the flags, without a parent.
TEST_F(PanelTest, ALoadersBoxIsShownBeforeThePanelsOwnAndTheFlags)
{
    TestTab& t = makeWithSelections();
    QStringList log;
    const MessagePresenter recorder = messagePresenter();
    setMessagePresenter([&](QObject* parent, const MessageRequest& r) {
        log << r.text + (parent ? " (child)" : "");
        return recorder(parent, r);
    });
    QObject::connect(&t, &NozzleTab::FlagsUpdated, [&log] { log << "flags"; });
    loadersReport = true;

    propellantCodes = code::L05;
    w<QComboBox>("comb_prop")->setCurrentIndex(-1);
    w<QComboBox>("comb_prop")->setCurrentIndex(0);
    EXPECT_EQ(log,
              (QStringList{"propellant loader", "A critical error occured in propellant definition (child)", "flags"}));
    propellantCodes = 0;
    log.clear();
    w<QComboBox>("comb_prop")->setCurrentIndex(-1);
    w<QComboBox>("comb_prop")->setCurrentIndex(0);
    EXPECT_EQ(log, (QStringList{"propellant loader", "flags"}));

    grainFails = true;
    log.clear();
    w<QComboBox>("comb_grain")->setCurrentIndex(2);
    EXPECT_EQ(log, (QStringList{"grain loader", "flags"}));
    grainFails = false;
    log.clear();
    w<QComboBox>("comb_grain")->setCurrentIndex(1);
    EXPECT_EQ(log, (QStringList{"grain loader", "flags"}));

    // A burn law refused at the start: the loader's box is the start's only one.
    burnLawAvailable = false;
    log.clear();
    t.OptimizeODE();
    EXPECT_EQ(log, QStringList{"burn law loader"});
    EXPECT_TRUE(button()->isEnabled());
    setMessagePresenter(recorder);
}

TEST_F(PanelTest, StartRefusalsLeaveTheFormAndStartNothing)
{
    TestTab& t = make();
    QSignalSpy flags(&t, &NozzleTab::FlagsUpdated);
    t.OptimizeODE();
    EXPECT_EQ(messages.texts(), QStringList{"A propellant must be selected"});
    EXPECT_EQ(button()->text(), " Optimize w/ ODE ");

    makeWithSelections();
    QSignalSpy flags2(tab.get(), &NozzleTab::FlagsUpdated);
    messages.clear();
    line("line_ambient")->setText("-1");
    tab->OptimizeODE();
    line("line_ambient")->setText("1");
    setTarget(0, "0", 2);
    tab->OptimizeODE();
    setTarget(1);
    line("line_fgdiv")->setText("");
    tab->OptimizeODE();
    line("line_fgdiv")->setText("9.55");
    raiseFlag(flagsL, code::L08);
    tab->OptimizeODE();
    EXPECT_EQ(messages.texts(),
              (QStringList{"Invalid ambient pressure", "Invalid optimization target",
                           "Blank parameters in nozzle definition",
                           "A full nozzle definition is requiered for optimization",
                           "Critical errors prior to calculations, process aborted"}));
    EXPECT_EQ(flags2.last(), (QList<QVariant>{true, true})); // after the critical-codes box
    EXPECT_EQ(line("line_throat_bezier")->text(), "25");
    // A burn law the loader cannot give ends the start without a box of the panel.
    flagsL = 0;
    messages.clear();
    burnLawAvailable = false;
    tab->OptimizeODE();
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(button()->isEnabled());
}

// The panel holds its values to the ranges a run of the calculation tab allows them,
// after conversion to SI, and keeps a typed ",": each of these used to start a run (a
// target of 1e6 MPa even ended as a success writing a 0.254 mm throat). Each is refused
// with the field's own message, no run starts and the nozzle's fields stay; a sound
// value then runs.
TEST_F(PanelTest, ValuesOutsideTheirPhysicalRangeStartNoRun)
{
    TestTab& t = makeWithSelections();
    struct Case {
        const char* label;
        std::function<void()> fill;
        QString message;
    };
    // Typed key by key, as the user does.
    auto typed = [this](const char* name, const char* keys) {
        line(name)->clear();
        QTest::keyClicks(line(name), keys);
        EXPECT_EQ(line(name)->text(), keys);
    };
    const Case cases[] = {
            {"pressure target 1e6 MPa (1e12 Pa)", [this] { setTarget(0, "1e6", 0); }, "Invalid optimization target"},
            {"pressure target 1e308 MPa", [this] { setTarget(0, "1e308", 0); }, "Invalid optimization target"},
            {"pressure target 1e-300 MPa", [this] { setTarget(0, "1e-300", 0); }, "Invalid optimization target"},
            {"pressure target 1,5 bar, typed",
             [this, typed] {
                 setTarget(0, "", 2);
                 typed("line_opt_target", "1,5");
             },
             "Invalid optimization target"},
            {"combustion time 1e308 s", [this] { setTarget(2, "1e308", 0); }, "Invalid optimization target"},
            {"ambient 1e308 atm",
             [this] {
                 setTarget(0, "30", 2);
                 w<QComboBox>("comb_pres")->setCurrentIndex(1);
                 line("line_ambient")->setText("1e308");
             },
             "Invalid ambient pressure"},
            {"ambient 1,013 bar, typed",
             [this, typed] {
                 setTarget(0, "30", 2);
                 w<QComboBox>("comb_pres")->setCurrentIndex(2);
                 typed("line_ambient", "1,013");
             },
             "Invalid ambient pressure"},
            {"restrictions 1e308 bar",
             [this] {
                 setTarget(1);
                 for (const char* unit : {"units_Pc_min", "units_Pc_max"})
                     w<QComboBox>(unit)->setCurrentIndex(2);
                 line("line_Pc_min")->setText("1e308");
                 line("line_Pc_max")->setText("1e308");
             },
             "Invalid optimization restriction for minimum chamber pressure"},
            {"maximum restriction 1e308 bar",
             [this] {
                 setTarget(3);
                 w<QComboBox>("units_Pc_max")->setCurrentIndex(2);
                 line("line_Pc_max")->setText("1e308");
             },
             "Invalid optimization restriction for maximum chamber pressure"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        line("line_ambient")->setText("1");
        w<QComboBox>("comb_pres")->setCurrentIndex(1); // atm
        line("line_Pc_min")->setText("1");
        line("line_Pc_max")->setText("100");
        c.fill();
        messages.clear();
        t.OptimizeODE();
        EXPECT_EQ(messages.texts(), QStringList{c.message});
        EXPECT_FALSE(t.optimisationModel().running());
        EXPECT_EQ(calculationsRunning(), 0);
        EXPECT_TRUE(button()->isEnabled());
        if (t.optimisationModel().running()) { // what used to happen: let the run end
            ASSERT_TRUE(waitForCompletion());
        }
        EXPECT_EQ(line("line_throat_bezier")->text(), "25");
        EXPECT_EQ(line("line_exit_bezier")->text(), "100");
    }

    // A sound target runs and sizes the throat: 30 bar through the 0.04 m^2 grain (on a
    // Bezier nozzle that stays coherent whatever throat and exit the run gives it).
    line("line_fgdiv")->setText("0");
    line("line_div_length_bezier")->setText("30");
    line("line_ambient")->setText("1");
    setTarget(0, "30", 2);
    messages.clear();
    t.OptimizeODE();
    ASSERT_TRUE(waitForCompletion());
    EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    EXPECT_NEAR(line("line_throat_bezier")->text().toDouble() / (1000 * diameterOf(pg::balancedThroat(0.04, 3e6))), 1.0,
                1e-4);
}

TEST_F(PanelTest, PressureTargetWritesBackInTheUnitOfTheStart)
{
    TestTab& t = makeWithSelections();
    QSignalSpy flags(&t, &NozzleTab::FlagsUpdated);
    // A Bezier nozzle that stays coherent whatever throat and exit the runs give it.
    line("line_fgdiv")->setText("0");
    line("line_div_length_bezier")->setText("30");
    setTarget(0, "30", 2); // 30 bar
    flagsSP = code::SP03; // warnings of an earlier run are cleared at the start
    t.OptimizeODE();
    EXPECT_EQ(flagsSP.load(), 0u);
    EXPECT_EQ(calculationsRunning(), 1); // the Preferences dialog holds solver settings meanwhile
    EXPECT_FALSE(button()->isEnabled());
    EXPECT_EQ(button()->text(), "Optimizing...");
    EXPECT_FALSE(w<QWidget>("scroll_bezier")->isEnabled());
    // The completion arrives through the event loop: edits made now come before it.
    // The length unit and the grain change; the run keeps what it started with.
    w<QComboBox>("comb_units")->setCurrentIndex(1);
    w<QComboBox>("comb_grain")->setCurrentIndex(2); // "G2", twice the area
    ASSERT_TRUE(waitForCompletion());
    EXPECT_EQ(calculationsRunning(), 0);
    EXPECT_TRUE(button()->isEnabled());
    EXPECT_TRUE(w<QWidget>("scroll_bezier")->isEnabled());
    EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    EXPECT_EQ(flags.last(), (QList<QVariant>{true, true}));

    // Throat of the 0.04 m^2 grain balancing at 3 MPa, in mm (the unit at the start).
    const double throat = line("line_throat_bezier")->text().toDouble();
    EXPECT_NEAR(throat / (1000 * diameterOf(pg::balancedThroat(0.04, 3e6))), 1.0, 1e-4);
    // The exit adapted to 1 atm (check_OptAdapt on).
    const double exit = line("line_exit_bezier")->text().toDouble();
    EXPECT_NEAR(std::pow(exit / throat, 2) / pg::areaRatio(pg::expansionMach(3e6, 101325)), 1.0, 1e-3);
    // The contour was rebuilt from the written fields.
    EXPECT_DOUBLE_EQ(currentNozzle.throatDiameter, throat);

    // A second run, without adaptation now: only the throat changes.
    w<QComboBox>("comb_units")->setCurrentIndex(0);
    w<QComboBox>("comb_grain")->setCurrentIndex(1);
    w<QCheckBox>("check_OptAdapt")->setChecked(false);
    line("line_exit_bezier")->setText("100");
    setTarget(0, "6", 0); // 6 MPa
    t.OptimizeODE();
    ASSERT_TRUE(waitForCompletion());
    EXPECT_NEAR(line("line_throat_bezier")->text().toDouble() / (1000 * diameterOf(pg::balancedThroat(0.04, 6e6))), 1.0,
                1e-4);
    EXPECT_EQ(line("line_exit_bezier")->text(), "100");
}

TEST_F(PanelTest, MaximisationShowsTheOptimumInTheChosenUnit)
{
    TestTab& t = makeWithSelections();
    w<QComboBox>("comb_type")->setCurrentIndex(1); // conical: its fields take the result
    setTarget(1); // thrust, restrictions 1..100 bar
    line("line_Pc_max")->setText("80");
    line("line_AeAt_min")->setText("1");
    t.OptimizeODE();
    EXPECT_FALSE(w<QWidget>("scroll_conical")->isEnabled());
    ASSERT_TRUE(waitForCompletion());
    ASSERT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    const double newtons = line("line_opt_target")->text().toDouble();
    EXPECT_GT(newtons, 0.0);
    // Thrust of the adapted nozzle at the best pressure, the top of the range: the mass
    // flow of 0.04 m^2 burning at 8 MPa times the exit velocity.
    const double mdot = 0.04 * pg::RHO_P * pg::LAW_A * std::sqrt(8e6);
    EXPECT_NEAR(newtons / (mdot * pg::velocityAt(pg::expansionMach(8e6, 101325))), 1.0, 0.02);
    w<QComboBox>("combo_opt_target_units")->setCurrentIndex(1);
    EXPECT_NEAR(line("line_opt_target")->text().toDouble(), newtons / 1000, 1e-9 * newtons);
    w<QComboBox>("combo_opt_target_units")->setCurrentIndex(2);
    EXPECT_NEAR(line("line_opt_target")->text().toDouble(), newtons / 9.81, 1e-9 * newtons);
    EXPECT_NE(line("line_throat_conical")->text(), "25");
    EXPECT_NE(line("line_exit_conical")->text(), "80");
    EXPECT_EQ(line("line_throat_bezier")->text(), "25");
}

TEST_F(PanelTest, AbortDiscardsTheRunAndFailureIsReported)
{
    TestTab& t = makeWithSelections();
    setTarget(2, "3", 0); // combustion time 3 s
    t.OptimizeODE();
    t.OptimizeODE(); // the second press asks for the abort
    EXPECT_EQ(messages.texts(), QStringList{"Optimization aborted"});
    EXPECT_EQ(abortFlag, 1);
    ASSERT_TRUE(waitForCompletion());
    EXPECT_EQ(messages.texts(), QStringList{"Optimization aborted"}); // nothing more
    EXPECT_EQ(abortFlag, 0);
    EXPECT_EQ(line("line_throat_bezier")->text(), "25");

    // A run whose solver fails: its message and no write-back.
    messages.clear();
    const uint32_t iterations = MAX_ITER_EQ;
    MAX_ITER_EQ = 0;
    setTarget(0, "30", 2);
    t.OptimizeODE();
    ASSERT_TRUE(waitForCompletion());
    MAX_ITER_EQ = iterations;
    EXPECT_EQ(messages.texts(), QStringList{"Optimization failed"});
    EXPECT_EQ(line("line_throat_bezier")->text(), "25");
}

TEST_F(PanelTest, AbortButtonAppearsWhenItsTimerFiresDuringTheRun)
{
    TestTab& t = makeWithSelections();
    ABORT = 3600; // the run's own timer stays out of the test
    setTarget(2, "3", 0);
    t.OptimizeODE();
    // Until the completion has been handled the run is in progress for the window.
    t.showAbortButton(); // its timer fires
    EXPECT_TRUE(button()->isEnabled());
    EXPECT_EQ(button()->text(), "Abort Optimization");
    t.OptimizeODE();
    EXPECT_EQ(messages.texts(), QStringList{"Optimization aborted"});
    ASSERT_TRUE(waitForCompletion());
    EXPECT_EQ(abortFlag, 0);
    ABORT = 15;
}

TEST_F(PanelTest, ClosingTheTabDuringARunWaitsForIt)
{
    TestTab& t = makeWithSelections();
    setTarget(2, "3", 0);
    t.OptimizeODE();
    QPointer<QThread> thread = t.optimisationModel().runThread();
    ASSERT_FALSE(thread.isNull());
    tab.reset(); // asks the run to stop and waits for its thread
    ASSERT_FALSE(thread.isNull()); // its deletion waits for the event loop
    EXPECT_TRUE(thread->isFinished());
    EXPECT_EQ(abortFlag, 0);
    EXPECT_EQ(calculationsRunning(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread.isNull(); }, 10000)); // the thread's own deletion
}

// The whole road through the program's own loaders: the perfect gas stored as species,
// reactants and a solid propellant with its burn law, the grain tab's current grain.
TEST_F(PanelTest, StoredPropellantAndCurrentGrainThroughTheProviders)
{
    optimisationProviders() = standardOptimisationProviders();
    const double R = pg::R, Tc = pg::TC;
    // Each gas is the only carrier of its element, as many atoms as make its molar mass
    // (He 4.002602, Ne 20.1797 g/mol, standard atomic weights): a molar mass fits its formula.
    auto atoms = [](const char* element, double M) { return M / (element == std::string("He") ? 4.002602 : 20.1797); };
    auto gas = [&](const char* element, double M, double cpR) {
        return nlohmann::json{
                {"Composition", {{atoms(element, M), element}}},
                {"Enthalpy", {0.0, 0}},
                {"MolecWeight", {M, 0}},
                {"Phase", 0},
                {"Intervals", {{{"T_int", {10.0, 20000.0}}, {"a", {cpR}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}}}},
                {"isActive", true}};
    };
    // Reactants defined at one temperature whose formation enthalpy is cp Tc: the chamber
    // is at Tc whatever the pressure.
    auto reactant = [&](const char* element, double M, double cpR) {
        return nlohmann::json{{"Composition", {{atoms(element, M), element}}},
                              {"Enthalpy", {cpR * R * Tc, 0, 298.15}},
                              {"MolecWeight", {M, 0}},
                              {"Phase", 0},
                              {"isActive", true}};
    };
    const nlohmann::json species{{"A", gas("He", pg::MA, pg::CPA)}, {"B", gas("Ne", pg::MB, pg::CPB)}};
    const nlohmann::json reactants{{"A0", reactant("He", pg::MA, pg::CPA)}, {"B0", reactant("Ne", pg::MB, pg::CPB)}};
    // Burn law r = 1.5e-3 m/s (p/MPa)^0.5 from 0.1 to 100 MPa, i.e. 1.5e-6 p^0.5 in SI;
    // density 1.8 g/cm^3.
    const nlohmann::json propellants{{"PG",
                                      {{"Composition",
                                        nlohmann::json::array({nlohmann::json::array({"A0", 100.0 * pg::WA}),
                                                               nlohmann::json::array({"B0", 100.0 * pg::WB})})},
                                       {"ELEMENTS", nlohmann::json::array({"He", "Ne", "E"})},
                                       {"Species", nlohmann::json::array({"A", "B"})},
                                       {"Reactions", nlohmann::json::array()},
                                       {"Density", 1.8},
                                       {"Units", {0, 0, 0}},
                                       {"Intervals", {{{"Pressure", {0.1, 100.0}}, {"a", 1.5e-3}, {"n", 0.5}}}}}}};
    const std::vector<std::string> savedFiles{SPECIES, REACTANTS, KINETICS};
    SPECIES = app.dataFile("Species.json");
    REACTANTS = app.dataFile("Reactants.json");
    KINETICS = app.dataFile("Kinetics.json");
    app.write("Data/Species.json", species.dump());
    app.write("Data/Reactants.json", reactants.dump());
    app.write("Data/Kinetics.json", "{}");
    app.write("Data/Propellants.json", propellants.dump());
    // The grain tab shows a grain of constant area 40000 mm^2 burning 12 mm.
    const GrainBurnback savedGrain = currentGrain;
    currentGrain.y = {0, 2, 4, 6, 8, 10, 12};
    currentGrain.area.assign(7, 40000.0f);
    currentGrain.unitIndex = 0;

    TestTab& t = make();
    w<QComboBox>("comb_prop")->setCurrentIndex(0);
    ASSERT_EQ(w<QComboBox>("comb_grain")->currentText(), "Current");
    ASSERT_TRUE(messages.messages().empty()) << messages.texts().join(" | ").toStdString();
    line("line_fgdiv")->setText("0");
    line("line_div_length_bezier")->setText("30");
    setTarget(0, "3", 0); // 3 MPa
    t.OptimizeODE();
    ASSERT_TRUE(waitForCompletion());
    EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    EXPECT_NEAR(line("line_throat_bezier")->text().toDouble() / (1000 * diameterOf(pg::balancedThroat(0.04, 3e6))), 1.0,
                1e-4);

    currentGrain = savedGrain;
    SPECIES = savedFiles[0];
    REACTANTS = savedFiles[1];
    KINETICS = savedFiles[2];
}
