// The starting data set's engine frozen at the throat as a user runs it on fine station
// grids: the liquid hydrogen / liquid oxygen propellant of the published rocket case
// (imported from the public NASA records) and the conical nozzle of exit area ratio 25,
// stored as their tabs store them, the nozzle once with the default 200 stations and once
// with 20,000; the run started on the tab with "Frozen at" 0 mm and 0.01 mm. A flow frozen
// at an equilibrium throat is still subsonic in the frozen sense there (its frozen sound
// speed is the higher one), so the stations a hair past the throat of the fine grid have
// a subsonic root beside the supersonic one; the stations only sample one flow, and the
// fine grid must give the coarse grid's exit.
#include <cmath>
#include <string>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "../../engine/support/worker_run.h"
#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "propellant/propellant_entry.h"
#include "stored_run_data.h"
#include "support/message_recorder.h"

using namespace calc;

namespace {

class FrozenFineGridRun : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        ASSERT_TRUE(data.importThermo("/import/thermo.inp"));
        ASSERT_TRUE(writeJsonFile(KINETICS, nlohmann::json::object()));
        ASSERT_TRUE(writeJsonFile(GRAIN, nlohmann::json::object()));
        // O/F 5.55157 as relative masses, the products the hydrogen/oxygen mechanism knows.
        PropellantEntry loxLh2;
        loxLh2.composition = {{"H2(L)", 1.0}, {"O2(L)", 5.55157}};
        loxLh2.elements = {"H", "O", "E"};
        loxLh2.species = {"H", "H2", "H2O", "H2O2", "HO2", "O", "O2", "OH"};
        ASSERT_TRUE(writeJsonFile(PROPELLANT, nlohmann::json{{"LOX/LH2", toJson(loxLh2)}}));
        data.app.write("Data/Nozzles.json",
                       R"({"Conical 25": )" + calc_test::startingConicalNozzle(200) + R"(, "Conical 25 fine": )"
                               + calc_test::startingConicalNozzle(20000) + "}");
        model = std::make_unique<CalculationModel>(nullptr, defaultProviders());
        showViewMessages(nullptr, model->selectPropellant("LOX/LH2", false));
        ASSERT_EQ(flagsL.load(), 0u);
    }
    void TearDown() override
    {
        model.reset();
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The run of the starting configuration (53.3172 bar, equilibrium flow frozen at
    // `frozenAt` mm, infinite-area combustor, vacuum) on the named nozzle, through the
    // tab's run start and run; the record of the kept run, or null.
    const RocketVariables* run(const QString& nozzle, const QString& frozenAt)
    {
        const NozzleSelection selection = model->selectNozzle(nozzle.toStdString());
        showViewMessages(nullptr, selection.messages);
        if (!selection.loaded)
            return nullptr;
        TabForm form;
        form.name = "LOX/LH2 frozen at " + frozenAt + " mm on " + nozzle;
        form.propellantIndex = 0;
        form.propellant = "LOX/LH2";
        form.nozzleIndex = 1;
        form.nozzle = nozzle;
        form.pressure = "53.3172";
        form.pressureUnit = 2; // bar
        form.frozen = true;
        form.frozenPosition = frozenAt;
        form.lengthUnit = 0; // mm
        form.transport = false;
        form.wallTemperature = "300";
        form.ambient = "0";
        std::optional<PreparedRun> prepared = calc_test::shownStart(*model, form);
        if (!prepared)
            return nullptr;
        const CalculationModel::Completion done = calc_test::runToEnd(*model, std::move(*prepared), 300000);
        EXPECT_EQ(done.outcome, RunOutcome::Succeeded)
                << "ODE " << flagsODE.load() << " SP " << flagsSP.load() << " on " << nozzle.toStdString();
        if (done.outcome != RunOutcome::Succeeded)
            return nullptr;
        return model->results[done.runIndex].get();
    }

    calc_test::StoredRunData data;
    MessageRecorder messages;
    std::unique_ptr<CalculationModel> model;
};

struct Exit {
    double vacuumIsp, T, p;
};

Exit exitOf(const RocketVariables& r)
{
    const unsigned t = r.throatIndex, e = r.stationCount - 1;
    const double mdot = r.rho[t] * r.u[t] * r.area[t];
    return {r.u[e] + r.p[e] * r.area[e] / mdot, r.T[e], r.p[e]};
}

} // namespace

TEST_F(FrozenFineGridRun, FrozenAtTheThroatGivesTheCoarseGridsExitOnTwentyThousandStations)
{
    const RocketVariables* coarse = run("Conical 25", "0");
    ASSERT_NE(coarse, nullptr) << messages.texts().join("|").toStdString();
    ASSERT_EQ(coarse->frozenIndex, coarse->throatIndex);
    const Exit reference = exitOf(*coarse);

    // 0.01 mm lies nearer the throat station than its neighbours on 20,000 stations
    // (0.04 mm apart there): both freeze at the throat.
    for (const QString frozenAt : {"0", "0.01"}) {
        SCOPED_TRACE("frozen at " + frozenAt.toStdString() + " mm");
        flagsODE.store(0);
        flagsSP.store(0);
        const RocketVariables* fine = run("Conical 25 fine", frozenAt);
        ASSERT_NE(fine, nullptr) << messages.texts().join("|").toStdString();
        ASSERT_EQ(fine->stationCount, 20000u);
        ASSERT_EQ(fine->frozenIndex, fine->throatIndex);
        EXPECT_FALSE(flagRaised(flagsODE, code::ODE01 | code::ODE02)) << flagsODE.load();
        EXPECT_FALSE(flagRaised(flagsSP, code::SP00)) << flagsSP.load();

        // Both grids share the throat station (x = 0, the same area) and the exit area
        // ratio, and each station is its own solution of the same flux balance: ln(pc/p)
        // converged to CONV_COND (4e-5) and the frozen temperature to FROZ_COND (5e-5),
        // each with its last correction applied, so that what remains is of the order of
        // their squares (2e-9). The exit states agree to that, within 1e-7.
        const Exit exit = exitOf(*fine);
        EXPECT_NEAR(exit.vacuumIsp / reference.vacuumIsp, 1.0, 1e-7)
                << exit.vacuumIsp << " against " << reference.vacuumIsp;
        EXPECT_NEAR(exit.T / reference.T, 1.0, 1e-7) << exit.T << " against " << reference.T;
        EXPECT_NEAR(exit.p / reference.p, 1.0, 1e-7) << exit.p << " against " << reference.p;

        // Past the throat the frozen flow is supersonic at every station, and passes the
        // throat's flow.
        const unsigned t = fine->throatIndex;
        const double mdot = fine->rho[t] * fine->u[t] * fine->area[t];
        unsigned subsonic = 0, lost = 0;
        for (unsigned j = t + 1; j < fine->stationCount; ++j) {
            if (!(fine->mach[j] > 1.0))
                ++subsonic;
            if (!(std::fabs(fine->rho[j] * fine->u[j] * fine->area[j] / mdot - 1.0) < 1e-6))
                ++lost;
        }
        EXPECT_EQ(subsonic, 0u);
        EXPECT_EQ(lost, 0u);
    }
}
