// Runs through the tab: the button's states, a kept run added to the selector and drawn,
// a refused or unsupported combination starting nothing, a run that fails, the abort
// while the window stays responsive, closing the tab during a run, the selection of runs
// and the clearing of the list, and the table view.
#include <memory>

#include <QStandardItemModel>

#include "../tab_fixture.h"
#include "calculations/calculation_labels.h"
#include "core/calculation_activity.h"

namespace {

using tab_test::TabTest;

class RunTab : public TabTest {
public:
    // A grain of `points` burn-back points about 1 m^2 in area.
    void addLongGrain(int points)
    {
        calc_test::Grain g;
        for (int i = 0; i < points; ++i) {
            g.distance.push_back(i * 1e-5);
            g.area.push_back(1.0 + 1e-4 * i);
        }
        stores.grains["Long"] = g;
        writeNames();
    }
    QComboBox* stationaryList() const
    {
        for (QComboBox* c : tab->findChildren<QComboBox*>())
            if (c->objectName().isEmpty() && c->count() == 18)
                return c;
        return nullptr;
    }
    QComboBox* timeList() const
    {
        for (QComboBox* c : tab->findChildren<QComboBox*>())
            if (c->objectName().isEmpty() && c->count() == 8)
                return c;
        return nullptr;
    }
};

TEST_F(RunTab, AKeptRunJoinsTheSelectorAndIsDrawn)
{
    DataTab& t = make();
    QSignalSpy status(&t, &DataTab::StatusMessage);
    QSignalSpy flags(&t, &DataTab::FlagsUpdated);
    chooseReferenceRun();
    flags.clear();
    release("but_run");
    EXPECT_EQ(button("but_run")->text(), "Running...");
    EXPECT_FALSE(button("but_run")->isEnabled());
    EXPECT_EQ(t.model().results.size(), 2u); // the run's record, then the form's
    ASSERT_TRUE(worker_run::waitFor([&] { return !t.model().running; }, 20000));
    EXPECT_EQ(button("but_run")->text(), "Run calculations");
    EXPECT_TRUE(button("but_run")->isEnabled());
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();

    ASSERT_EQ(combo("comb_select_conf")->count(), 3);
    EXPECT_EQ(combo("comb_select_conf")->itemText(2), "Config_1");
    EXPECT_EQ(combo("comb_select_conf")->currentIndex(), 2);
    EXPECT_EQ(line("line_time")->text(), "No Vielle parameters available");
    EXPECT_TRUE(line("line_massFlow")->text().endsWith("kg/s"));
    EXPECT_FALSE(line("line_massFlow")->text().endsWith(" kg/s"));
    // c* of the published case.
    const RocketVariables& run = *t.model().results[0];
    EXPECT_NEAR(run.cStar / 2332.3, 1.0, 0.002);
    EXPECT_EQ(line("line_cstar")->text(), QString::number(run.cStar, 'g', 10) + " m/s");
    ASSERT_EQ(graph()->graphCount(), 1);
    EXPECT_EQ(graph()->graph(0)->name(), "Config_1_Pressure [Pa]");
    EXPECT_EQ(graph()->graph(0)->dataCount(), 6);

    ASSERT_GE(status.size(), 2);
    EXPECT_EQ(status.first().at(0).toString(), "Calculating...");
    EXPECT_EQ(status.last().at(0).toString(), "Calculation finished");
    EXPECT_EQ(status.last().at(1).toInt(), 10000);
    ASSERT_FALSE(flags.isEmpty());
    EXPECT_EQ(flags.last(), (QList<QVariant>{true, true}));

    // The same name again: made unique, and after the two "Plot all" entries and run 0.
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(combo("comb_select_conf")->itemText(3), "Config_1_1");
    EXPECT_EQ(combo("comb_select_conf")->currentIndex(), 3);
    EXPECT_EQ(line("line_name")->text(), "Config_1");
    EXPECT_EQ(t.model().results.size(), 3u);
}

TEST_F(RunTab, UnsupportedCombinationsStartNothing)
{
    DataTab& t = make();
    chooseReferenceRun();
    choose("comb_grain", "G1");
    struct Case {
        bool odk, fac, grain;
        const char* message;
    };
    const Case cases[] = {
            {true, true, false, "ODK FAC not yet supported"},
            {false, true, true, "ODE FAC with grain not yet supported"},
            {true, false, true, "ODK with grain not yet supported"},
            {true, true, true, "ODK FAC with grain not yet supported"},
    };
    for (const Case& c : cases) {
        (c.odk ? radio("radio_odk") : radio("radio_ode"))->setChecked(true);
        (c.fac ? radio("radio_FAC") : radio("radio_IAC"))->setChecked(true);
        (c.grain ? radio("radio_spec_grain") : radio("radio_spec_pres"))->setChecked(true);
        messages.clear();
        release("but_run");
        EXPECT_EQ(messages.texts(), QStringList({c.message})) << c.message;
        EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
        EXPECT_FALSE(t.model().running) << c.message;
        EXPECT_EQ(t.model().results.size(), 1u) << c.message;
        EXPECT_EQ(abortFlag.load(), 0) << c.message; // a nozzle optimisation elsewhere is not aborted
        EXPECT_EQ(button("but_run")->text(), "Run calculations");
    }
}

TEST_F(RunTab, ARunWithoutAUsableResultIsReportedAndDropped)
{
    calc_test::Nozzle bad = tab_test::referenceNozzle();
    bad.area[3] = 0.0; // a station without flow area
    stores.nozzles["Bad"] = bad;
    writeNames();
    DataTab& t = make();
    QSignalSpy flags(&t, &DataTab::FlagsUpdated);
    QSignalSpy status(&t, &DataTab::StatusMessage);
    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "Bad");
    RocketVariables* formRecord = &t.model().edited();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(messages.texts(), QStringList({"Critical errors during calculations, process aborted"}));
    EXPECT_EQ(t.model().results.size(), 1u);
    EXPECT_EQ(&t.model().edited(), formRecord);
    EXPECT_EQ(combo("comb_select_conf")->count(), 2);
    EXPECT_EQ(flags.last(), (QList<QVariant>{true, true}));
    // The status bar no longer says "Calculating...": the run has ended.
    EXPECT_EQ(status.last().at(0).toString(), "Calculation failed");
    EXPECT_EQ(status.last().at(1).toInt(), 10000);
    // The nozzle code names the reason in the Critical Errors menu.
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
}

// However a press ends (refused, kept, failed, not converged), the status bar no longer
// says "Calculating..." afterwards; a failed run shows its box and names its code.
TEST_F(RunTab, TheStatusBarLeavesCalculatingHoweverTheRunEnds)
{
    const uint32_t equilibriumIterations = MAX_ITER_EQ;
    struct Case {
        const char* what;
        std::function<void(RunTab&)> setUp;
        QString status; // the last status message
        QStringList boxes;
        uint32_t flowCode; // the flagsODE code of a failed run
    };
    calc_test::BurnLaw unitExponent; // n = 1: no pressure balances the grain
    unitExponent.a = {1e-6};
    unitExponent.n = {1.0};
    const Case cases[] = {
            {"refused at the start",
             [](RunTab& t) { t.line("line_name")->clear(); },
             "",
             {"Must enter a name for the configuration"},
             0},
            {"kept", [](RunTab&) {}, "Calculation finished", {}, 0},
            {"grain run without a balanced pressure",
             [&](RunTab& t) {
                 t.stores.burnLaws["H2/O2"] = unitExponent;
                 t.choose("comb_grain", "G1");
                 t.radio("radio_spec_grain")->setChecked(true);
             },
             "Calculation failed",
             {"Critical errors during calculations, process aborted"},
             code::ODE07},
            {"chamber not converged",
             [](RunTab&) { MAX_ITER_EQ = 1; },
             "Calculation failed",
             {"Mixture composition could not converge, process aborted"},
             0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataTab& t = make();
        chooseReferenceRun();
        c.setUp(*this);
        QSignalSpy status(&t, &DataTab::StatusMessage);
        messages.clear();
        release("but_run");
        ASSERT_TRUE(worker_run::waitFor([&] { return !t.model().running; }, 20000));
        MAX_ITER_EQ = equilibriumIterations;
        ASSERT_GE(status.size(), 2);
        EXPECT_EQ(status.first().at(0).toString(), "Calculating...");
        EXPECT_EQ(status.last().at(0).toString(), c.status);
        EXPECT_EQ(messages.texts(), c.boxes);
        EXPECT_EQ(flagsODE.load() & (code::ODE05 | code::ODE06 | code::ODE07), c.flowCode);
    }
}

TEST_F(RunTab, TheAbortButtonStopsAGrainRunWhileTheWindowGoesOn)
{
    addLongGrain(20000);
    ABORT = 0; // the abort button right away
    DataTab& t = make();
    QSignalSpy status(&t, &DataTab::StatusMessage);
    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "N1");
    choose("comb_grain", "Long");
    radio("radio_spec_grain")->setChecked(true);
    release("but_run");
    ASSERT_TRUE(t.model().running);
    EXPECT_EQ(calculationsRunning(), 1); // the Preferences dialog holds solver settings meanwhile
    // The event loop turns while the worker computes: the timer fires and the button changes.
    ASSERT_TRUE(worker_run::waitFor([&] { return button("but_run")->text() == "Abort calculations"; }, 5000));
    EXPECT_TRUE(button("but_run")->isEnabled());
    EXPECT_TRUE(t.model().running);
    const std::shared_ptr<RocketVariables> run = t.model().runRecord();
    ASSERT_NE(run, nullptr);
    release("but_run");
    EXPECT_EQ(messages.texts(), QStringList({"Calculations aborted"}));
    ASSERT_TRUE(worker_run::waitFor([&] { return !t.model().running; }, 60000));
    // The run stopped at the request, long before the last of its 20000 burn points.
    ASSERT_EQ(run->burnRate.size(), 20000u);
    EXPECT_EQ(run->burnRate.back(), 0.0);
    EXPECT_EQ(status.last().at(0).toString(), "Calculation aborted");
    EXPECT_EQ(t.model().results.size(), 1u);
    EXPECT_EQ(combo("comb_select_conf")->count(), 2);
    EXPECT_EQ(abortFlag.load(), 0);
    EXPECT_EQ(calculationsRunning(), 0);
    EXPECT_EQ(button("but_run")->text(), "Run calculations");
}

TEST_F(RunTab, ClosingTheTabDuringARunStopsTheRunFirst)
{
    addLongGrain(20000);
    make();
    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "N1");
    choose("comb_grain", "Long");
    radio("radio_spec_grain")->setChecked(true);
    release("but_run");
    ASSERT_TRUE(tab->model().running);
    const std::shared_ptr<RocketVariables> run = tab->model().runRecord();
    ASSERT_NE(run, nullptr);
    tab.reset(); // asks the run to stop and waits for its thread
    // The run stopped at the request, long before the last of its 20000 burn points.
    ASSERT_EQ(run->burnRate.size(), 20000u);
    EXPECT_EQ(run->burnRate.back(), 0.0);
    EXPECT_EQ(abortFlag.load(), 0);
    EXPECT_EQ(calculationsRunning(), 0);
    QCoreApplication::processEvents(); // the run's report finds no tab
}

TEST_F(RunTab, OnlyTheNewestRunsTimerTurnsTheButton)
{
    ABORT = 1;
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(t.model().pendingAbortTimers, 2);
    ASSERT_TRUE(worker_run::waitFor([&] { return t.model().pendingAbortTimers == 0; }, 10000));
    EXPECT_EQ(button("but_run")->text(), "Run calculations");
}

TEST_F(RunTab, AGrainRunIsSummarisedOverItsBurnAndTabulatedAtThreeInstants)
{
    DataTab& t = make();
    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "N1");
    choose("comb_grain", "G1");
    radio("radio_spec_grain")->setChecked(true);
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(messages.texts().isEmpty() || messages.texts() == QStringList({"Invalid Pressure"}))
            << messages.texts().join("|").toStdString();
    ASSERT_EQ(combo("comb_select_conf")->count(), 3);
    const RocketVariables& run = *t.model().results[0];
    EXPECT_TRUE(run.isGrain);
    EXPECT_GT(run.burnTime, 0.0);
    EXPECT_EQ(line("line_time")->text(), QString::number(run.burnTime, 'g', 10) + " s");
    // The burn-time variables under the plot, the graph over the combustion time.
    EXPECT_TRUE(timeList()->isVisibleTo(&t));
    EXPECT_FALSE(stationaryList()->isVisibleTo(&t));
    EXPECT_EQ(graph()->xAxis->label(), "Combustion time [s]");
    EXPECT_EQ(graph()->graph(0)->name(), "Config_1_Chamber Pressure [Pa]");

    TYPE_RESULTS = 1;
    t.switchResultsView();
    release("but_plot");
    auto* table = t.findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->rowCount(), 8);
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "t=t_b/2");
    EXPECT_EQ(table->verticalHeaderItem(2)->text(), "Thrust [N]");
    EXPECT_EQ(table->item(2, 0)->text(), QString::number(run.burnThrust[0], 'g', 10));
}

TEST_F(RunTab, SelectingARunOffersTheVariablesItHas)
{
    DataTab& t = make();
    chooseReferenceRun();
    check("check_transport")->setChecked(false);
    line("line_name")->setText("NoTransport");
    ASSERT_TRUE(runToEnd());
    check("check_transport")->setChecked(true);
    line("line_name")->setText("Transport");
    ASSERT_TRUE(runToEnd());
    QComboBox* stationary = stationaryList();
    auto* model = qobject_cast<QStandardItemModel*>(stationary->model());
    ASSERT_NE(model, nullptr);

    stationary->setCurrentIndex(14); // viscosity
    combo("comb_select_conf")->setCurrentIndex(2);
    EXPECT_EQ(stationary->currentIndex(), 0);
    for (int k = 13; k <= 16; ++k)
        EXPECT_FALSE(model->item(k)->isEnabled()) << k; // no transport, no wall heat
    combo("comb_select_conf")->setCurrentIndex(3);
    for (int k = 13; k <= 15; ++k)
        EXPECT_TRUE(model->item(k)->isEnabled()) << k;
    EXPECT_FALSE(model->item(16)->isEnabled());
    const QString summary = line("line_thrust")->text();

    // "Plot all (time dependant)": the burn-time list, the summary as it was.
    combo("comb_select_conf")->setCurrentIndex(1);
    EXPECT_TRUE(timeList()->isVisibleTo(&t));
    EXPECT_FALSE(stationary->isVisibleTo(&t));
    EXPECT_EQ(line("line_thrust")->text(), summary);
    combo("comb_select_conf")->setCurrentIndex(0);
    EXPECT_TRUE(stationary->isVisibleTo(&t));
    for (int k = 13; k <= 16; ++k)
        EXPECT_TRUE(model->item(k)->isEnabled()) << k;
}

TEST_F(RunTab, ClearingForgetsTheRunsButNotWhatTheFormShows)
{
    DataTab& t = make();
    chooseReferenceRun();
    check("check_froz")->setChecked(true);
    type("line_froz", "40");
    radio("radio_FAC")->setChecked(true);
    line("line_chamberA")->setText("20000");
    combo("combo_unitsA")->setCurrentIndex(0); // mm^2
    radio("radio_IAC")->setChecked(true);
    ASSERT_TRUE(runToEnd());
    ASSERT_EQ(graph()->graphCount(), 1);

    release("but_clear_conf");
    EXPECT_EQ(t.model().results.size(), 1u);
    EXPECT_EQ(combo("comb_select_conf")->count(), 2);
    EXPECT_EQ(combo("comb_select_conf")->currentIndex(), -1);
    EXPECT_EQ(graph()->graphCount(), 1);
    EXPECT_EQ(w<QSlider>("Slider_frozen")->value(), 3);
    EXPECT_EQ(line("line_froz")->text(), "40");
    EXPECT_EQ(line("line_chamberA")->text(), "20000");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 0);
    EXPECT_EQ(t.model().edited().stationCount, 6u);
    EXPECT_EQ(t.model().edited().speciesNames.size(), 11u);

    // The next run starts the numbering again.
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(combo("comb_select_conf")->itemText(2), "Config_1");
}

// "Frozen at" ticked, its position emptied, then unticked: runs and the clearing go on
// without reading the position. Ticked again with the position emptied, the run is refused.
TEST_F(RunTab, AnUntickedFrozenPointIsNotRead)
{
    DataTab& t = make();
    chooseReferenceRun();
    check("check_froz")->setChecked(true);
    line("line_froz")->setText("");
    check("check_froz")->setChecked(false);
    messages.clear();
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(t.model().finishedCount(), 1u);
    const RocketVariables& run = *t.model().results[0];
    EXPECT_EQ(run.frozenIndex, run.stationCount); // nothing frozen

    line("line_froz")->setText("");
    release("but_clear_conf");
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(t.model().results.size(), 1u);

    check("check_froz")->setChecked(true);
    line("line_froz")->setText("");
    release("but_run");
    EXPECT_FALSE(t.model().running);
    EXPECT_EQ(messages.texts(), QStringList{"Invalid position"});
    EXPECT_EQ(t.model().results.size(), 1u);
}

TEST_F(RunTab, TheTableViewShowsOneRunAtATime)
{
    DataTab& t = make();
    t.show();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    ASSERT_EQ(graph()->graphCount(), 1);

    TYPE_RESULTS = 1;
    combo("comb_select_conf")->setCurrentIndex(1);
    t.switchResultsView();
    t.switchResultsView(); // twice changes nothing
    EXPECT_EQ(combo("comb_select_conf")->count(), 1);
    EXPECT_EQ(button("but_plot")->text(), "Show data");
    auto* table = t.findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_FALSE(graph()->isVisible());
    EXPECT_FALSE(button("but_clear_graph")->isEnabled());

    combo("comb_select_conf")->setCurrentIndex(0);
    release("but_plot");
    EXPECT_EQ(table->rowCount(), 17 + 11);
    EXPECT_EQ(table->verticalHeaderItem(17)->text(), QString::fromStdString(t.model().results[0]->speciesNames[0]));
    EXPECT_TRUE(table->isColumnHidden(4)); // no freezing
    EXPECT_EQ(table->item(10, 0)->text(), "N/A");
    EXPECT_EQ(graph()->graphCount(), 1); // the plot untouched

    // A new run in the table view is tabulated at once, at index N - 2.
    check("check_froz")->setChecked(true);
    type("line_froz", "20");
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(combo("comb_select_conf")->currentIndex(), 1);
    EXPECT_FALSE(table->isColumnHidden(4));
    EXPECT_EQ(graph()->graphCount(), 1);

    TYPE_RESULTS = 0;
    t.switchResultsView();
    EXPECT_EQ(combo("comb_select_conf")->count(), 4);
    EXPECT_EQ(combo("comb_select_conf")->itemText(0), "Plot all (stationary)");
    EXPECT_EQ(button("but_plot")->text(), "Plot");
    EXPECT_TRUE(graph()->isVisible());
    EXPECT_FALSE(table->isVisible());
}

} // namespace
