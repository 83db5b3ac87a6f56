// The run driver without its window: the checks of a run start in their order with their
// messages, the solver member for each model and combustor, the judgement of a finished
// run, and whole runs of the published hydrogen/oxygen case on a worker thread (kept,
// aborted, cleared meanwhile, with a selection for the next run raising a load code).
#include <cmath>

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <gtest/gtest.h>

#include "../../engine/support/worker_run.h"
#include "../../engine/test_mixtures.h"
#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "calculations/run_inputs.h"
#include "engine/engine_messages.h"
#include "engine/threader.h"
#include "support/message_recorder.h"

using namespace calc;

namespace {

// Area ratios of a short contour ending at the published area ratio 25, 2 cm apart,
// throat area 0.01 m^2 (x = 0 at the throat, station 1).
calc_test::Nozzle referenceNozzle()
{
    calc_test::Nozzle n;
    const double ratios[] = {1.58, 1.0, 2.0, 5.0, 10.0, 25.0};
    for (int j = 0; j < 6; ++j) {
        n.x.push_back((j - 1) * 0.02);
        n.area.push_back(0.01 * ratios[j]);
    }
    n.throatDiameter = std::sqrt(4.0 * 0.01 / M_PI);
    return n;
}

class RunDriver : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        auto h2o2 = hydrogenOxygenRocket();
        h2o2->setReactantEnthalpy(298.15);
        stores.propellants["H2/O2"] = h2o2;
        stores.nozzles["N1"] = referenceNozzle();
        stores.grains["G1"] = {{0.0, 0.001, 0.002}, {0.01, 0.012, 0.014}};
        stores.nozzleRefusalBox.clear();
        stores.grainRefusalBox.clear();
        stores.burnLaws["H2/O2"] = calc_test::BurnLaw();
        model = std::make_unique<CalculationModel>(nullptr, stores.providers());
        showViewMessages(nullptr, model->selectPropellant("H2/O2", false));
        showViewMessages(nullptr, model->selectNozzle("N1").messages);
        form = TabForm();
        saveResult = true;
        form.frozenPosition = "0";
        form.name = "Run";
        form.propellantIndex = 0;
        form.propellant = "H2/O2";
        form.nozzleIndex = 1;
        form.nozzle = "N1";
        form.pressure = "5.33172"; // MPa
        form.wallTemperature = "300";
        form.ambient = "0.1";
        form.homT = "298.15";
    }
    void TearDown() override
    {
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The tab's input slots as the window performs them, on the current form.
    FormActions actions()
    {
        FormActions a;
        a.save = [this] { return saveResult; };
        a.rereadCurrentNozzle = [this] {
            const NozzleSelection selection = model->selectNozzle("Current");
            showViewMessages(nullptr, selection.messages);
            return CurrentReread{selection.loaded, !selection.messages.empty()};
        };
        a.rereadCurrentGrain = [this] {
            const Reported<bool> selection = model->selectGrain("Current");
            const bool told = !selection.messages.empty();
            return CurrentReread{showReported(nullptr, selection), told};
        };
        return a;
    }

    // Starts the prepared run and waits until it is taken back.
    CalculationModel::Completion runToEnd(PreparedRun run, const std::function<void()>& whileRunning = {})
    {
        return calc_test::runToEnd(*model, std::move(run), 20000, whileRunning);
    }

    calc_test::FakeStores stores;
    std::unique_ptr<CalculationModel> model;
    MessageRecorder messages;
    TabForm form;
    bool saveResult = true;
};

TEST_F(RunDriver, ChecksComeInTheirOrderAndStopAtTheFirstRefusal)
{
    struct Case {
        const char* what;
        std::function<void(RunDriver&)> change;
        QString message; // empty: the run is prepared
        QString informative = QString();
    };
    const QString flagsInfo = "Please check active flags for further detail";
    const Case cases[] = {
            {"valid", [](RunDriver&) {}, ""},
            {"no name", [](RunDriver& t) { t.form.name.clear(); }, "Must enter a name for the configuration"},
            // The autosave refused with its own message: no further message.
            {"autosave refused",
             [](RunDriver& t) {
                 t.form.autosave = true;
                 t.saveResult = false;
                 t.form.propellantIndex = -1;
             },
             ""},
            {"no propellant", [](RunDriver& t) { t.form.propellantIndex = -1; }, "A propellant must be selected"},
            {"propellant code", [](RunDriver&) { raiseFlag(flagsL, code::L05); },
             "Calculations can not be performed with a critical error in propellant definition", flagsInfo},
            {"no nozzle", [](RunDriver& t) { t.form.nozzleIndex = -1; }, "A nozzle must be selected"},
            {"Current nozzle gone",
             [](RunDriver& t) {
                 t.form.nozzleIndex = 0;
                 t.form.nozzle = "Current";
             },
             "A nozzle must be selected"},
            // The tab's nozzle read again and refused by its loader with a box that says why:
            // that box alone.
            {"Current nozzle refused with its reason",
             [](RunDriver& t) {
                 t.form.nozzleIndex = 0;
                 t.form.nozzle = "Current";
                 t.stores.nozzleRefusalBox = "the nozzle's reason";
             },
             "the nozzle's reason"},
            {"no grain",
             [](RunDriver& t) {
                 t.form.grainMode = true;
                 t.form.grainIndex = -1;
             },
             "A grain geometry must be selected"},
            {"Current grain refused with its reason",
             [](RunDriver& t) {
                 t.form.grainMode = true;
                 t.form.grainIndex = 0;
                 t.form.grain = "Current";
                 t.stores.grainRefusalBox = "the grain's reason";
             },
             "the grain's reason"},
            {"grain code",
             [](RunDriver& t) {
                 t.form.grainMode = true;
                 t.form.grainIndex = 1;
                 t.form.grain = "G1";
                 raiseFlag(flagsL, code::L09);
             },
             "Calculations can not be performed with a critical error in grain geometry definition", flagsInfo},
            // The grain tab's grain read again and refused with L09 (out of the grain limits,
            // as the store's fake refuses a name it lacks): the grain's critical error, not a
            // missing choice.
            {"Current grain refused with its load code",
             [](RunDriver& t) {
                 t.form.grainMode = true;
                 t.form.grainIndex = 0;
                 t.form.grain = "Current";
             },
             "Calculations can not be performed with a critical error in grain geometry definition", flagsInfo},
            {"no pressure", [](RunDriver& t) { t.form.pressure.clear(); }, "Pressure value must be explicitely given"},
            {"negative pressure", [](RunDriver& t) { t.form.pressure = "-1"; }, "Invalid Pressure"},
            // The field takes 0, but no run starts from it; nor from a chamber below 1 Pa
            // (1e-6 bar is 0.1 Pa) or one no double holds in pascals.
            {"pressure 0", [](RunDriver& t) { t.form.pressure = "0"; }, "Invalid Pressure"},
            {"pressure -0", [](RunDriver& t) { t.form.pressure = "-0"; }, "Invalid Pressure"},
            {"pressure 1e-300 MPa", [](RunDriver& t) { t.form.pressure = "1e-300"; }, "Invalid Pressure"},
            {"pressure 5e-324 MPa", [](RunDriver& t) { t.form.pressure = "5e-324"; }, "Invalid Pressure"},
            {"pressure 1e-6 bar",
             [](RunDriver& t) {
                 t.form.pressure = "1e-6";
                 t.form.pressureUnit = 2;
             },
             "Invalid Pressure"},
            {"pressure 1e308 MPa", [](RunDriver& t) { t.form.pressure = "1e308"; }, "Invalid Pressure"},
            {"pressure 1e5 MPa (1e11 Pa)", [](RunDriver& t) { t.form.pressure = "1e5"; }, "Invalid Pressure"},
            {"pressure nan", [](RunDriver& t) { t.form.pressure = "nan"; }, "Invalid Pressure"},
            {"pressure inf", [](RunDriver& t) { t.form.pressure = "inf"; }, "Invalid Pressure"},
            {"uniform temperature 0",
             [](RunDriver& t) {
                 t.form.homTChecked = true;
                 t.form.homT = "0";
             },
             "Invalid homogeneous temperature"},
            {"uniform temperature 1e308 K",
             [](RunDriver& t) {
                 t.form.homTChecked = true;
                 t.form.homT = "1e308";
             },
             "Invalid homogeneous temperature"},
            {"uniform temperature nan",
             [](RunDriver& t) {
                 t.form.homTChecked = true;
                 t.form.homT = "nan";
             },
             "Invalid homogeneous temperature"},
            {"unit code", [](RunDriver&) { unitFlag.store(1); }, "A unit used was invalid",
             "This is probably caused by a manual alteration of the save files, please revert it"},
            {"stale grain code in pressure mode", [](RunDriver&) { raiseFlag(flagsL, code::L09); },
             "Unrecognized critical error has occured", flagsInfo},
            {"ambient -1", [](RunDriver& t) { t.form.ambient = "-1"; }, "Invalid atmosferic pressure"},
            {"ambient 1e308 bar, infinite in pascals",
             [](RunDriver& t) {
                 t.form.ambient = "1e308";
                 t.form.ambientUnit = 2;
             },
             "Invalid atmosferic pressure"},
            {"ambient 1e4 MPa", [](RunDriver& t) { t.form.ambient = "1e4"; }, "Invalid atmosferic pressure"},
            {"ambient nan", [](RunDriver& t) { t.form.ambient = "nan"; }, "Invalid atmosferic pressure"},
            {"ambient inf", [](RunDriver& t) { t.form.ambient = "inf"; }, "Invalid atmosferic pressure"},
            // The wall temperature is checked even with wall heat off.
            {"wall -0.1", [](RunDriver& t) { t.form.wallTemperature = "-0.1"; }, "Invalid nozzle wall temperature"},
            {"wall 1e308 K", [](RunDriver& t) { t.form.wallTemperature = "1e308"; }, "Invalid nozzle wall temperature"},
            {"wall 10001 K", [](RunDriver& t) { t.form.wallTemperature = "10001"; }, "Invalid nozzle wall temperature"},
            {"wall nan", [](RunDriver& t) { t.form.wallTemperature = "nan"; }, "Invalid nozzle wall temperature"},
            {"FAC area 0",
             [](RunDriver& t) {
                 t.form.fac = true;
                 t.form.chamberArea = "0";
             },
             "Invalid combustion chamber area"},
            {"FAC area 1e308 cm^2",
             [](RunDriver& t) {
                 t.form.fac = true;
                 t.form.chamberArea = "1e308";
                 t.form.areaUnit = 1;
             },
             "Invalid combustion chamber area"},
            // 10001 times the 0.01 m^2 throat.
            {"FAC area 100.01 m^2",
             [](RunDriver& t) {
                 t.form.fac = true;
                 t.form.chamberArea = "100.01";
                 t.form.areaUnit = 3;
             },
             "Invalid combustion chamber area"},
            {"FAC area inf",
             [](RunDriver& t) {
                 t.form.fac = true;
                 t.form.chamberArea = "inf";
             },
             "Invalid combustion chamber area"},
            {"frozen point text",
             [](RunDriver& t) {
                 t.form.frozen = true;
                 t.form.frozenPosition = "abc";
             },
             "Invalid position"},
            {"ODK FAC pressure",
             [](RunDriver& t) {
                 t.form.ode = false;
                 t.form.fac = true;
                 t.form.chamberArea = "1";
                 t.form.areaUnit = 3; // m^2, 100 times the throat
             },
             "ODK FAC not yet supported"},
            {"ODE FAC grain",
             [](RunDriver& t) {
                 t.form.fac = true;
                 t.form.chamberArea = "1";
                 t.form.areaUnit = 3;
                 t.form.grainMode = true;
                 t.form.grainIndex = 1;
                 t.form.grain = "G1";
             },
             "ODE FAC with grain not yet supported"},
    };
    for (const Case& c : cases) {
        SetUp();
        c.change(*this);
        flagsSP.store(code::SP03);
        flagsV.store(code::V02);
        messages.clear();
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        EXPECT_EQ(run.has_value(), c.message.isEmpty() && std::string(c.what) == "valid") << c.what;
        EXPECT_EQ(messages.lastText(), c.message) << c.what;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(messages.messages().size(), 1u) << c.what;
            EXPECT_EQ(messages.messages().back().informativeText, c.informative) << c.what;
            EXPECT_EQ(messages.messages().back().icon, Msg::Critical) << c.what;
        }
        // A refused press clears the warning words all the same.
        EXPECT_EQ(flagsSP.load(), 0u) << c.what;
        EXPECT_EQ(flagsV.load(), 0u) << c.what;
        // Nothing is started or appended before the worker starts; the abort byte is untouched.
        EXPECT_EQ(model->results.size(), 1u) << c.what;
        EXPECT_FALSE(model->running) << c.what;
        EXPECT_EQ(abortFlag.load(), 0) << c.what;
    }
}

// Inputs no rocket runs on are refused at the start with the field's own text and the
// reason as its informative text; inputs just on the other side of the line start. The
// chamber is the given 5.33172 MPa; N1's throat is 0.01 m^2 (100 cm^2).
TEST_F(RunDriver, InputsNoRocketRunsOnAreRefusedAtTheStart)
{
    struct Case {
        const char* what;
        std::function<void(RunDriver&)> change;
        QString message; // empty: the run starts
        QString informative = QString();
    };
    const QString ambientOver = "The chamber pressure must be above the ambient pressure";
    const QString throatWider = "The combustion chamber must be wider than the nozzle throat";
    auto fac = [](RunDriver& t, const char* area, int unit) {
        t.form.fac = true;
        t.form.chamberArea = area;
        t.form.areaUnit = unit; // 0 mm^2, 1 cm^2, 2 dm^2, 3 m^2
    };
    const Case cases[] = {
            // A nozzle under 100 MPa blows no gas out of a 5.33 MPa chamber.
            {"ambient 100 MPa over the chamber", [](RunDriver& t) { t.form.ambient = "100"; }, text::invalidAmbient,
             ambientOver},
            {"ambient equal to the chamber", [](RunDriver& t) { t.form.ambient = "5.33172"; }, text::invalidAmbient,
             ambientOver},
            // 1 atm is 101325 Pa, above a chamber of 1 bar (100000 Pa); the other way round
            // the chamber is 1325 Pa above the ambient and the run starts.
            {"1 atm over a chamber of 1 bar",
             [](RunDriver& t) {
                 t.form.pressure = "1";
                 t.form.pressureUnit = 2;
                 t.form.ambient = "1";
                 t.form.ambientUnit = 1;
             },
             text::invalidAmbient, ambientOver},
            {"1 bar under a chamber of 1 atm",
             [](RunDriver& t) {
                 t.form.pressure = "1";
                 t.form.pressureUnit = 1;
                 t.form.ambient = "1";
                 t.form.ambientUnit = 2;
             },
             ""},
            // The comparison sits with the ambient field's own check, before the wall's.
            {"ambient over the chamber and a wall temperature refused",
             [](RunDriver& t) {
                 t.form.ambient = "100";
                 t.form.wallTemperature = "-1";
             },
             text::invalidAmbient, ambientOver},
            // A grain run's chamber pressure is known only once the grain burns: the run
            // starts, and its burn is judged against the ambient pressure.
            {"grain run under 100 MPa",
             [](RunDriver& t) {
                 t.form.grainMode = true;
                 t.form.grainIndex = 1;
                 t.form.grain = "G1";
                 t.form.ambient = "100";
             },
             ""},
            {"FAC 50 cm^2 against the 100 cm^2 throat", [&](RunDriver& t) { fac(t, "50", 1); }, text::invalidArea,
             throatWider},
            {"FAC 100 cm^2, the throat's area", [&](RunDriver& t) { fac(t, "100", 1); }, text::invalidArea,
             throatWider},
            {"FAC 0.01 m^2, the throat's area", [&](RunDriver& t) { fac(t, "0.01", 3); }, text::invalidArea,
             throatWider},
            {"FAC 1 mm^2", [&](RunDriver& t) { fac(t, "1", 0); }, text::invalidArea, throatWider},
            {"FAC 101 cm^2, just wider than the throat", [&](RunDriver& t) { fac(t, "101", 1); }, ""},
            // The ambient is checked before the combustor, the combustor before the frozen point.
            {"FAC too narrow under an ambient over the chamber",
             [&](RunDriver& t) {
                 fac(t, "50", 1);
                 t.form.ambient = "100";
             },
             text::invalidAmbient, ambientOver},
            {"FAC too narrow and a frozen position refused",
             [&](RunDriver& t) {
                 fac(t, "50", 1);
                 t.form.frozen = true;
                 t.form.frozenPosition = "abc";
             },
             text::invalidArea, throatWider},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.change(*this);
        messages.clear();
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        EXPECT_EQ(run.has_value(), c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
            continue;
        }
        ASSERT_EQ(messages.messages().size(), 1u) << messages.texts().join("|").toStdString();
        EXPECT_EQ(messages.messages().back().text, c.message);
        EXPECT_EQ(messages.messages().back().informativeText, c.informative);
        EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
        EXPECT_EQ(model->results.size(), 1u);
        EXPECT_FALSE(model->running);
    }
}

// The frozen point matters only when "Frozen at" is ticked with the equilibrium model (the
// only one that offers it): an emptied or wrong position under an unticked box stops no
// run, and nothing is frozen then. The stations lie at x = -2, 0, 2, 4, 6, 8 cm.
TEST_F(RunDriver, TheFrozenPositionIsReadOnlyWhenFrozenAtIsTicked)
{
    struct Case {
        const char* what;
        bool ode, frozen;
        const char* position;
        QString message; // empty: the run starts
        uint32_t frozenIndex = 0; // of a started run
    };
    const Case cases[] = {
            {"unticked, emptied", true, false, "", "", 6},
            {"unticked, no number", true, false, "abc", "", 6},
            {"kinetic model, ticked box left over, emptied", false, true, "", "", 6},
            {"ticked, emptied", true, true, "", text::invalidPosition},
            {"ticked, no number", true, true, "abc", text::invalidPosition},
            {"ticked, at the throat", true, true, "0", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        form.ode = c.ode;
        form.frozen = c.frozen;
        form.frozenPosition = c.position;
        messages.clear();
        RunStart start = model->prepareRun(form, actions());
        showViewMessages(nullptr, start.messages);
        ASSERT_EQ(start.run.has_value(), c.message.isEmpty()) << messages.texts().join("|").toStdString();
        if (!c.message.isEmpty()) {
            EXPECT_EQ(messages.texts(), QStringList{c.message});
            continue;
        }
        EXPECT_TRUE(messages.messages().empty());
        EXPECT_EQ(start.run->record->frozenIndex, c.frozenIndex);
        // Only a position that was read comes back to the form.
        EXPECT_EQ(start.echo.frozenStation.has_value(), c.ode && c.frozen);
    }
}

TEST_F(RunDriver, TheRecordHoldsTheFormsInputsInSI)
{
    form.ambient = "1";
    form.ambientUnit = 2; // bar
    form.fac = true;
    form.chamberArea = "50000";
    form.areaUnit = 0; // mm^2: 5 times the 0.01 m^2 throat
    form.heatWall = true;
    form.frozen = true;
    form.frozenPosition = "40"; // mm: station 3 (x = 0.04 m)
    form.homTChecked = true;
    form.homT = "310";
    std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run);
    const RocketVariables& r = *run->record;
    EXPECT_EQ(r.configurationName, "Run");
    EXPECT_EQ(r.propellantName, "H2/O2");
    EXPECT_EQ(r.nozzleName, "N1");
    EXPECT_FALSE(r.isGrain);
    EXPECT_DOUBLE_EQ(r.givenPressure, 5.33172e6);
    EXPECT_DOUBLE_EQ(r.ambientPressure, 1e5);
    EXPECT_DOUBLE_EQ(r.chamberArea, 0.05);
    EXPECT_FALSE(r.isIAC);
    EXPECT_EQ(r.frozenIndex, 3u);
    EXPECT_TRUE(r.calcHeatTransfer);
    EXPECT_DOUBLE_EQ(r.wallTemperature, 300.0);
    EXPECT_DOUBLE_EQ(r.reactantTemperature, 310.0);
    EXPECT_EQ(run->member, RunMember::OdeFac);
    // The run has its own record: the form's record is not the one handed to the solver.
    EXPECT_NE(run->record.get(), &model->edited());

    // Without the uniform temperature the run keeps the reactants' own temperatures (0),
    // and without freezing nothing is frozen.
    form.homTChecked = false;
    form.frozen = false;
    run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run);
    EXPECT_EQ(run->record->reactantTemperature, 0.0);
    EXPECT_EQ(run->record->frozenIndex, run->record->stationCount);
}

TEST_F(RunDriver, TheFormsValuesComeInOnceAndWhatTheFormShowsComesBack)
{
    // The stations lie at x = -2, 0, 2, 4, 6, 8 cm. The frozen point is read in the length
    // unit and lands on the nearest station (outside the nozzle: its end station), which
    // the form then shows; no call back into the form is needed for any field.
    struct Case {
        const char* position;
        int unit; // 0 mm, 1 cm, 2 dm, 3 m
        uint32_t station;
    };
    const Case cases[] = {{"5.1", 1, 4}, {"1", 3, 5}, {"-1", 2, 0}, {"31", 0, 3}};
    form.frozen = true;
    for (const Case& c : cases) {
        form.frozenPosition = c.position;
        form.lengthUnit = c.unit;
        RunStart start = model->prepareRun(form, FormActions());
        ASSERT_TRUE(start.run) << c.position;
        EXPECT_TRUE(start.messages.empty()) << c.position;
        EXPECT_EQ(start.echo.frozenStation, std::optional<uint32_t>(c.station)) << c.position;
        EXPECT_EQ(start.run->record->frozenIndex, c.station) << c.position;
        EXPECT_FALSE(start.echo.clearPressure) << c.position;
    }

    // A refused pressure: the box, the field to be emptied, and the record keeps the
    // pressure it had.
    const double before = model->edited().chamberPressure;
    form.pressure = "-1";
    RunStart refused = model->prepareRun(form, FormActions());
    EXPECT_FALSE(refused.run);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0].box.text, text::invalidPressure);
    EXPECT_TRUE(refused.echo.clearPressure);
    EXPECT_FALSE(refused.echo.frozenStation); // refused before the point is placed
    EXPECT_EQ(model->edited().chamberPressure, before);
    EXPECT_TRUE(messages.messages().empty()); // nothing shown by the model itself
}

TEST(RunMembers, EachModelCombustorAndModeHasItsMemberOrRefusal)
{
    struct Case {
        bool ode, iac, grain;
        RunMember member;
        const char* message;
    };
    const Case cases[] = {
            {true, true, false, RunMember::OdeIac, ""},
            {true, true, true, RunMember::OdeIacGrain, ""},
            {true, false, false, RunMember::OdeFac, ""},
            {true, false, true, RunMember::Unsupported, "ODE FAC with grain not yet supported"},
            {false, true, false, RunMember::OdkIac, ""},
            {false, true, true, RunMember::Unsupported, "ODK with grain not yet supported"},
            {false, false, true, RunMember::Unsupported, "ODK FAC with grain not yet supported"},
            {false, false, false, RunMember::Unsupported, "ODK FAC not yet supported"},
    };
    for (const Case& c : cases) {
        const RunMemberChoice choice = chooseRunMember(c.ode, c.iac, c.grain);
        EXPECT_EQ(choice.member, c.member) << c.ode << c.iac << c.grain;
        EXPECT_EQ(choice.message, c.message) << c.ode << c.iac << c.grain;
    }
}

TEST(RunJudgement, CriticalCodesFirstThenConvergenceThenAbortThenTheSolversWord)
{
    struct Case {
        const char* what;
        RunReport report;
        RunOutcome outcome;
    };
    auto report = [](bool result, bool abort, bool unit, uint32_t l, uint32_t odk, uint32_t sp) {
        RunReport r;
        r.result = result;
        r.abortRequested = abort;
        r.unitRaised = unit;
        r.newLoadCodes = l;
        r.kineticCodes = odk;
        r.speciesCodes = sp;
        return r;
    };
    const Case cases[] = {
            {"good", report(true, false, false, 0, 0, 0), RunOutcome::Succeeded},
            {"warnings only", report(true, false, false, 0, code::ODK03, code::SP03), RunOutcome::Succeeded},
            {"abort", report(true, true, false, 0, 0, 0), RunOutcome::Aborted},
            {"abort ended early", report(false, true, false, 0, 0, 0), RunOutcome::Aborted},
            {"condensed rank", report(true, true, false, code::L01, 0, 0), RunOutcome::CriticalError},
            {"unit", report(true, false, true, 0, 0, 0), RunOutcome::CriticalError},
            {"kinetic critical", report(true, false, false, 0, code::ODK01, 0), RunOutcome::CriticalError},
            {"not converged", report(true, true, false, 0, 0, code::SP10), RunOutcome::NotConverged},
            {"critical and not converged", report(true, false, false, 0, code::ODK00, code::SP10),
             RunOutcome::CriticalError},
            {"no usable result", report(false, false, false, 0, 0, 0), RunOutcome::CriticalError},
            {"nozzle-flow warning",
             [&] {
                 RunReport r = report(true, false, false, 0, 0, 0);
                 r.flowCodes = code::ODE00 | code::ODE04;
                 return r;
             }(),
             RunOutcome::Succeeded},
            {"figures judged impossible",
             [&] {
                 RunReport r = report(true, false, false, 0, 0, 0);
                 r.flowCodes = code::ODE06;
                 return r;
             }(),
             RunOutcome::CriticalError},
            {"an equilibrium far beyond the species data",
             [&] {
                 RunReport r = report(true, false, false, 0, 0, code::SP02);
                 r.flowCodes = code::ODE08;
                 return r;
             }(),
             RunOutcome::CriticalError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(judgeRun(c.report), c.outcome) << c.what;
}

// The published case (RP-1311 example 8): c* 2332.3 m/s and, at area ratio 25 with the
// exit pressure as ambient pressure, Isp 4124.4 m/s.
TEST_F(RunDriver, AKeptRunMatchesThePublishedFiguresAndGetsItsSummary)
{
    std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run);
    const CalculationModel::Completion done = runToEnd(std::move(*run));
    ASSERT_EQ(done.outcome, RunOutcome::Succeeded);
    ASSERT_EQ(done.runIndex, 0u);
    ASSERT_EQ(model->results.size(), 2u);
    EXPECT_EQ(model->finishedCount(), 1u);
    RocketVariables& r = *model->results[0];
    EXPECT_NEAR(r.cStar / 2332.3, 1.0, 0.002);
    EXPECT_EQ(r.burnTime, -1.0);
    // Thrust with the ambient pressure of the run (0.1 MPa), then with the exit's.
    const std::size_t e = r.stationCount - 1;
    EXPECT_NEAR(r.thrust, (r.p[e] - 1e5) * r.area[e] + r.u[e] * r.runMassFlow, 1e-9 * r.thrust);
    computeSummary(r, r.p[e]);
    EXPECT_NEAR(r.specificImpulse / 4124.4, 1.0, 0.002);
    EXPECT_DOUBLE_EQ(r.specificImpulse, r.u[e]);
    // The form's record was not touched by the solver.
    EXPECT_TRUE(model->edited().T.empty() || model->edited().T[0] == 0.0);
}

TEST_F(RunDriver, ARunIsJudgedByItsOwnCodesAndFoundByIdentity)
{
    // A selection for the next run raises L08 while the run goes on; the results are
    // cleared meanwhile. The run is kept and found where it now is.
    std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run);
    model->results.insert(model->results.begin(), std::make_shared<RocketVariables>()); // an earlier run
    const auto record = run->record;
    const CalculationModel::Completion done = runToEnd(std::move(*run), [this] {
        EXPECT_FALSE(model->selectNozzle("gone").loaded);
        EXPECT_TRUE(flagRaised(flagsL, code::L08));
        model->clearResults();
    });
    EXPECT_EQ(done.outcome, RunOutcome::Succeeded);
    ASSERT_EQ(model->results.size(), 2u);
    EXPECT_EQ(model->results[0], record);
    EXPECT_EQ(done.runIndex, 0u);
}

TEST_F(RunDriver, AnAbortedRunIsDroppedAndTheFormsRecordStays)
{
    std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
    ASSERT_TRUE(run);
    RocketVariables* formRecord = &model->edited();
    // The equilibrium run does not poll the abort byte: it completes and is still dropped.
    const CalculationModel::Completion done = runToEnd(std::move(*run), [] { abortFlag.store(1); });
    EXPECT_EQ(done.outcome, RunOutcome::Aborted);
    ASSERT_EQ(model->results.size(), 1u);
    EXPECT_EQ(model->results[0].get(), formRecord);
    EXPECT_EQ(abortFlag.load(), 0);
    EXPECT_FALSE(model->running);
}

} // namespace

namespace {

// What a finished run that is no result leaves: dropped, with the critical code that
// explains it in the Critical Errors menu.
struct FailedRunCase {
    const char* what;
    std::function<void(RunDriver&)> setUp;
    RunOutcome outcome;
    uint32_t flowCode; // flagsODE code raised
};

} // namespace

TEST_F(RunDriver, RunsThatAreNoResultAreDroppedWithTheirCode)
{
    // Grain runs on N1 (throat 0.01 m^2) with the stand-in law r = a p^n over 0.1 to 10 MPa.
    auto grain = [](RunDriver& t, std::vector<double> area, calc_test::BurnLaw law) {
        const std::vector<double> distance = {0.0, 0.001, 0.002};
        t.stores.grains["G"] = {distance, std::move(area)};
        t.stores.burnLaws["H2/O2"] = law;
        ASSERT_TRUE(showReported(nullptr, t.model->selectGrain("G")));
        t.form.grainMode = true;
        t.form.grainIndex = 1;
        t.form.grain = "G";
    };
    calc_test::BurnLaw unitExponent;
    unitExponent.a = {1e-6};
    unitExponent.n = {1.0};
    calc_test::BurnLaw minusOne;
    minusOne.a = {1e4}; // r = 1e4 / p m/s: 1 cm/s at 1 MPa
    minusOne.n = {-1.0};
    const FailedRunCase cases[] = {
            // n = 1: gas production and nozzle flow both grow as p, so no pressure balances
            // them (here the production, rho a c* Ab/At = 1800 x 1e-6 x 2330 x 1 = 4.2 times
            // the flow, wins at every pressure): the search leaves the chamber pressures of
            // a real engine.
            {"burn law n = 1",
             [&](RunDriver& t) {
                 grain(t, {0.01, 0.012, 0.014}, unitExponent);
             },
             RunOutcome::CriticalError, code::ODE07},
            // n = -1: the balance p = (Kn a rho c*)^(1/2), (1 x 1e4 x 1800 x 2330)^(1/2),
            // about 0.2 MPa, lies above the ambient 0.1 MPa at every point: a result.
            {"burn law n = -1",
             [&](RunDriver& t) {
                 grain(t, {0.01, 0.012, 0.014}, minusOne);
             },
             RunOutcome::Succeeded, 0},
            // Some 1e9 m^2 burning (a grain of 2^31 charges): the balance, (Kn a rho c*)^(1/0.7)
            // = (1e11 x 1e-4 x 1800 x 2330)^(1/0.7), about 1e19 Pa, lies beyond 1e10 Pa.
            {"absurd burning area",
             [&](RunDriver& t) {
                 grain(t, {1e9, 1e9, 1e9}, calc_test::BurnLaw());
             },
             RunOutcome::CriticalError, code::ODE07},
            // A burning point in the middle of the burn without burning surface: no gas, no
            // balance there.
            {"a point without burning surface",
             [&](RunDriver& t) {
                 grain(t, {1.0, 0.0, 1.2}, calc_test::BurnLaw());
             },
             RunOutcome::CriticalError, code::ODE07},
            // The burnout (the last point without burning surface) ends the burn: a result.
            {"burnt out at the last point",
             [&](RunDriver& t) {
                 grain(t, {1.0, 1.1, 0.0}, calc_test::BurnLaw());
             },
             RunOutcome::Succeeded, 0},
    };
    for (const FailedRunCase& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.setUp(*this);
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        EXPECT_EQ(done.outcome, c.outcome);
        EXPECT_EQ(flagsODE.load() & (code::ODE05 | code::ODE06 | code::ODE07), c.flowCode);
        EXPECT_EQ(model->results.size(), c.outcome == RunOutcome::Succeeded ? 2u : 1u);
        EXPECT_FALSE(model->running);
    }
}

// The hydrogen/oxygen case with a reactant's heat of formation raised (J/mol, inside the
// entry bound of 1e12 J per kg): a chamber far above the top of the species data (20000 K,
// that of the H, O, H2, O2 and OH fits in the data file) is no result, whatever figures
// the solver would give; one a few percent above it is a result with its warning. The
// chamber temperatures: see the equilibrium's own test of these reactants.
TEST_F(RunDriver, ARunFarBeyondTheSpeciesDataIsDroppedWithItsCode)
{
    struct Case {
        const char* what;
        const char* reactant;
        double joulesPerMole;
        RunOutcome outcome;
    };
    const Case cases[] = {
            {"O2(L) at 6.3e8 J/mol, some 3.9e6 K", "O2(L)", 6.3e8, RunOutcome::CriticalError},
            {"H2(L) at 1.99e9 J/mol, some 3.6e7 K", "H2(L)", 1.99e9, RunOutcome::CriticalError},
            {"O2(L) at 5.2e6 J/mol, a few percent above 20000 K", "O2(L)", 5.2e6, RunOutcome::Succeeded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        auto m = hydrogenOxygenRocketWith(c.reactant, c.joulesPerMole);
        ASSERT_TRUE(m);
        m->setReactantEnthalpy(298.15);
        stores.propellants["H2/O2"] = m;
        showViewMessages(nullptr, model->selectPropellant("H2/O2", false));
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        EXPECT_EQ(done.outcome, c.outcome);
        const bool kept = c.outcome == RunOutcome::Succeeded;
        EXPECT_EQ(flagRaised(flagsODE, code::ODE08), !kept);
        EXPECT_TRUE(flagRaised(flagsSP, code::SP02));
        ASSERT_EQ(model->results.size(), kept ? 2u : 1u);
        if (kept) {
            EXPECT_GT(model->results[0]->chamberT, 20000.0);
            EXPECT_EQ(flagsODE.load() & (code::ODE05 | code::ODE06 | code::ODE07), 0u);
        }
    }
}

// A badly over-expanded nozzle: the exit of area ratio 25 at about 0.02 MPa under an
// ambient pressure of 2 MPa. The pressure thrust, (pe - pa) Ae = (0.02 - 2) MPa x
// 0.25 m^2, about -0.5 MN, outweighs the momentum thrust, mdot ue (about 23 kg/s x
// 4100 m/s, 0.1 MN): the thrust is negative, and the run is a result all the same. So it
// is with the ambient just below the 5.33172 MPa chamber (about -1.3 MN of pressure
// thrust): the chamber is above the ambient, the gas flows out.
TEST_F(RunDriver, ANegativeThrustOfAnOverExpandedNozzleIsAResult)
{
    for (const char* ambient : {"2", "5.3"}) {
        SCOPED_TRACE(ambient);
        SetUp();
        form.ambient = ambient;
        std::optional<PreparedRun> run = calc_test::shownStart(*model, form, actions());
        ASSERT_TRUE(run) << messages.texts().join("|").toStdString();
        const CalculationModel::Completion done = runToEnd(std::move(*run));
        ASSERT_EQ(done.outcome, RunOutcome::Succeeded);
        const RocketVariables& r = *model->results[done.runIndex];
        EXPECT_LT(r.thrust, 0.0);
        EXPECT_LT(r.specificImpulse, 0.0);
        EXPECT_EQ(flagsODE.load() & (code::ODE05 | code::ODE06 | code::ODE07), 0u);
    }
}
