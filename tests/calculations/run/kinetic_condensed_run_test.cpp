// Kinetic runs of propellants with condensed products as a user makes them: the species
// and reactants imported from the public NASA records, the hydrogen/oxygen mechanism
// imported into the kinetics database, the propellants and the nozzle stored as their
// tabs store them, each run started on the tab and taken back as the tab takes it. A
// condensed phase carries mass and enthalpy but takes no volume: a kinetic flow without
// reactions keeps the composition of its first station, so it is the flow frozen there;
// a kinetic flow with reactions recombines part of the way, so its impulse lies between
// the frozen and the equilibrium ones.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "../../engine/support/worker_run.h"
#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "engine/engine_messages.h"
#include "propellant/propellant_entry.h"
#include "stored_run_data.h"
#include "support/h2o2_mechanism.h"
#include "support/message_recorder.h"

using namespace calc;

namespace {

// The eight species of the hydrogen/oxygen mechanism.
const std::vector<std::string> mechanismSpecies = {"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};

enum class Flow { Equilibrium, FrozenAtFirstStation, Kinetic };

const char* flowName(Flow f)
{
    switch (f) {
    case Flow::Equilibrium: return "equilibrium";
    case Flow::FrozenAtFirstStation: return "frozen at the first station";
    case Flow::Kinetic: return "kinetic";
    }
    return "";
}

class KineticCondensedRun : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        // The potassium nitrate / sucrose records (with crystalline sucrose), then the
        // records of the hydrogen/oxygen/aluminium products and reactants.
        for (const char* file : {"/calculations/knsu_thermo.inp", "/engine/thermo_subset.inp"})
            ASSERT_TRUE(data.importThermo(file)) << file;
        ImportCallbacks quiet;
        ASSERT_TRUE(importMechanismFile(hydrogenOxygenMechanismFile(), quiet, KINETICS).ok);
        ASSERT_TRUE(writeJsonFile(GRAIN, nlohmann::json::object()));
        // The starting data set's conical nozzle on 100 stations.
        data.app.write("Data/Nozzles.json", R"({"Conical 25": )" + calc_test::startingConicalNozzle(100) + "}");

        // 65 % potassium nitrate, 35 % sucrose, no reaction: potassium carbonate condenses
        // in the chamber.
        PropellantEntry knsu;
        knsu.composition = {{"KNO3(a)", 65.0}, {"C12H22O11(cr)", 35.0}};
        knsu.elements = {"K", "N", "O", "C", "H", "E"};
        knsu.species = {"CO",    "CO2",      "H",        "H2",       "H2O",    "N2",     "OH",    "O",  "O2",
                        "NO",    "NH3",      "CH4",      "K",        "KH",     "KO",     "KOH",   "K2", "KCN",
                        "C(gr)", "K2CO3(a)", "K2CO3(b)", "K2CO3(L)", "KOH(a)", "KOH(b)", "KOH(L)"};
        // Liquid hydrogen and oxygen at O/F 5.55157 with 20 % aluminium by mass, every
        // reaction of the mechanism: alumina, liquid and solid, holds all the aluminium;
        // no reaction names it.
        PropellantEntry aluminised;
        aluminised.composition = {{"AL(cr)", 0.2}, {"H2(L)", 0.8 * 0.15263517}, {"O2(L)", 0.8 * 0.84736483}};
        aluminised.elements = {"Al", "H", "O", "E"};
        aluminised.species = mechanismSpecies;
        aluminised.species.push_back("AL2O3(L)");
        aluminised.species.push_back("AL2O3(a)");
        const JsonReadResult kinetics = readJsonFile(KINETICS);
        ASSERT_EQ(kinetics.status, JsonReadStatus::Ok);
        for (auto it = kinetics.document.begin(); it != kinetics.document.end(); ++it)
            aluminised.reactions.push_back(it.key());
        ASSERT_EQ(aluminised.reactions.size(), 27u);
        PropellantEntry aluminisedFrozen = aluminised;
        aluminisedFrozen.reactions.clear();
        ASSERT_TRUE(writeJsonFile(PROPELLANT,
                                  nlohmann::json{{"KNSU", toJson(knsu)},
                                                 {"H2/O2/Al", toJson(aluminised)},
                                                 {"H2/O2/Al frozen", toJson(aluminisedFrozen)}}));

        model = std::make_unique<CalculationModel>(nullptr, defaultProviders());
        const NozzleSelection nozzle = model->selectNozzle("Conical 25");
        showViewMessages(nullptr, nozzle.messages);
        ASSERT_TRUE(nozzle.loaded);
    }
    void TearDown() override
    {
        model.reset();
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The run of `propellant` at `pressure` MPa in vacuum on the infinite-area combustor,
    // through the tab's run start and run; the record of the kept run, or null. The
    // frozen run freezes at the nozzle's first station, its x typed in mm.
    const RocketVariables* run(const char* propellant, const char* pressure, Flow flow)
    {
        SCOPED_TRACE(std::string(propellant) + ", " + flowName(flow));
        calc_test::resetCalculationGlobals();
        showViewMessages(nullptr, model->selectPropellant(propellant, false));
        EXPECT_EQ(flagsL.load(), 0u);
        const double entrance = model->results.back()->x.front(); // m
        TabForm form;
        form.name = QString(propellant) + ", " + flowName(flow);
        form.propellantIndex = 1;
        form.propellant = propellant;
        form.nozzleIndex = 1;
        form.nozzle = "Conical 25";
        form.pressure = pressure;
        form.pressureUnit = 0; // MPa
        form.ode = flow != Flow::Kinetic;
        form.frozen = flow == Flow::FrozenAtFirstStation;
        form.frozenPosition = QString::number(entrance * 1e3, 'g', 17);
        form.lengthUnit = 0; // mm
        form.transport = false;
        form.wallTemperature = "300";
        form.ambient = "0";
        std::optional<PreparedRun> prepared = calc_test::shownStart(*model, form);
        EXPECT_TRUE(prepared) << messages.texts().join("|").toStdString();
        if (!prepared)
            return nullptr;
        const CalculationModel::Completion done = calc_test::runToEnd(*model, std::move(*prepared), 300000);
        EXPECT_EQ(done.outcome, RunOutcome::Succeeded)
                << "ODE " << flagsODE.load() << " ODK " << flagsODK.load() << " SP " << flagsSP.load();
        if (done.outcome != RunOutcome::Succeeded)
            return nullptr;
        const RocketVariables* r = model->results[done.runIndex].get();
        if (flow == Flow::FrozenAtFirstStation) {
            EXPECT_EQ(r->frozenIndex, 0u);
        }
        // A kinetic result with no code of the kinetic solver: no iteration limit met,
        // no switch station refused, the throat sonic.
        if (flow == Flow::Kinetic) {
            EXPECT_EQ(flagsODK.load(), 0u);
        }
        return r;
    }

    calc_test::StoredRunData data;
    MessageRecorder messages;
    std::unique_ptr<CalculationModel> model;
};

double relative(double a, double b)
{
    return std::fabs(a / b - 1.0);
}

// Vacuum specific impulse and exit temperature of a kept run.
struct Figures {
    double isp, exitT;
};

Figures figuresOf(const RocketVariables& r)
{
    return {r.specificImpulse, r.T[r.stationCount - 1]};
}

} // namespace

TEST_F(KineticCondensedRun, KineticRunIsFrozenWithoutReactionsAndBetweenFrozenAndEquilibriumWithThem)
{
    struct Case {
        const char* propellant;
        const char* pressure; // MPa
        const char* condensed; // the condensed product the runs must carry
        bool reactions;
    };
    const Case cases[] = {
            {"KNSU", "5", "K2CO3(L)", false},
            {"H2/O2/Al frozen", "5.33172", "AL2O3(L)", false},
            {"H2/O2/Al", "5.33172", "AL2O3(L)", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.propellant);
        const RocketVariables* frozen = run(c.propellant, c.pressure, Flow::FrozenAtFirstStation);
        const RocketVariables* equilibrium = run(c.propellant, c.pressure, Flow::Equilibrium);
        const RocketVariables* kinetic = run(c.propellant, c.pressure, Flow::Kinetic);
        ASSERT_NE(frozen, nullptr);
        ASSERT_NE(equilibrium, nullptr);
        ASSERT_NE(kinetic, nullptr);
        ASSERT_EQ(kinetic->stationCount, frozen->stationCount);
        ASSERT_EQ(kinetic->throatIndex, frozen->throatIndex);

        // A condensed phase to test: some of the moles at the first station.
        std::size_t condensed = 0;
        while (condensed < kinetic->speciesNames.size() && kinetic->speciesNames[condensed] != c.condensed)
            ++condensed;
        ASSERT_LT(condensed, kinetic->moleFractions.size());
        ASSERT_GT(kinetic->moleFractions[condensed][0], 0.01);

        // No flow beats equilibrium, and recombination only adds: frozen <= kinetic <=
        // equilibrium, in impulse and in exit temperature.
        const Figures fr = figuresOf(*frozen), eq = figuresOf(*equilibrium), ki = figuresOf(*kinetic);
        EXPECT_LT(fr.isp, eq.isp);
        EXPECT_LE(ki.isp, eq.isp) << "kinetic " << ki.isp << ", equilibrium " << eq.isp;
        EXPECT_LE(ki.exitT, eq.exitT) << "kinetic " << ki.exitT << ", equilibrium " << eq.exitT;
        if (c.reactions) {
            EXPECT_LE(fr.isp, ki.isp) << "frozen " << fr.isp << ", kinetic " << ki.isp;
            EXPECT_LE(fr.exitT, ki.exitT) << "frozen " << fr.exitT << ", kinetic " << ki.exitT;
            continue;
        }

        // Without reactions the kinetic run is the frozen one, station by station.
        //
        // Where the areas are given (up to the convergent switch station, and from the
        // divergent one on) both runs solve the same flow on the nozzle's own areas: the
        // frozen stations to CONV_COND (4e-5) in ln p, each with its last correction
        // applied, so that what remains is of the order of its square (2e-9); the kinetic
        // integration to REL_TOL (1e-10), its divergent part started from the switch
        // station's state carried onto the nozzle's area at constant mass flux (the
        // near-throat miss below enters there at second order, (2e-4)^2). What is left
        // is the difference of the two choked mass flows: the frozen one from its throat
        // state converged to THROAT_CONV (4e-5), the kinetic one scaled on every pass
        // until its smallest area meets the throat's within MF_TOL_ODK (1e-4), the last
        // scaling applied, so both within the square of their tolerances and the error
        // of placing the smallest area between stations. At the slow first stations the
        // velocity carries that difference whole (the density hardly moves), the pressure
        // gamma M^2 / |1 - M^2| of it, at most 2.5 at the convergent switch (Mach 0.83).
        // 1e-5 leaves a mass-flow difference of 4e-6 to that.
        //
        // Between the switch stations the kinetic run's pressures are given and corrected
        // by half steps until each step is under POINT_TOL_ODK (1e-4 in ln p), so up to
        // twice that remains; the throat station's pressure places the smallest area
        // within THROATPOS_TOL_ODK (1e-3) of the station spacing (6.5 and 8.7 mm), where
        // ln p falls at gamma sqrt(2 / ((gamma + 1) rt rc)), about 22 /m (throat radius
        // and fillet 50 mm), so within 2e-4. There the flow is sonic or faster, so the
        // velocity moves by at most as much as ln p, the temperature by (gamma - 1)/gamma
        // of it: 3 POINT_TOL_ODK holds them.
        const unsigned s1 = kinetic->convergentSwitchIndex, s2 = kinetic->divergentSwitchIndex;
        ASSERT_LT(s1, kinetic->throatIndex);
        ASSERT_GT(s2, kinetic->throatIndex);
        for (unsigned k = 0; k < kinetic->stationCount; ++k) {
            SCOPED_TRACE(k);
            const double tolerance = k > s1 && k < s2 ? 3.0 * POINT_TOL_ODK : 1e-5;
            EXPECT_LT(relative(kinetic->p[k], frozen->p[k]), tolerance) << kinetic->p[k] << " against " << frozen->p[k];
            EXPECT_LT(relative(kinetic->T[k], frozen->T[k]), tolerance) << kinetic->T[k] << " against " << frozen->T[k];
            EXPECT_LT(relative(kinetic->u[k], frozen->u[k]), tolerance) << kinetic->u[k] << " against " << frozen->u[k];
        }
        // The impulse takes the exit state and the throat station's mass flux, which is
        // stationary in the pressure at the sonic point: the near-throat miss enters at
        // second order.
        EXPECT_LT(relative(ki.isp, fr.isp), 1e-5) << ki.isp << " against " << fr.isp;
    }
}
