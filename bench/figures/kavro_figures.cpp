// Lists the key figures of the reference problems at full precision, one "case key value"
// line each, so that two builds of the engine can be compared figure by figure
// (scripts/compare_figures.py). It checks nothing itself.
//
// bench/figures/snapshot_before_engine_speed.txt holds the listing of the engine as it
// stood before its speed work (Release build); regenerate a listing with
//   build/bench/bench/kavro_figures > figures.txt
// and compare with
//   scripts/compare_figures.py bench/figures/snapshot_before_engine_speed.txt figures.txt
//
//   hydrogen/oxygen, 100-station equilibrium run (with and without transport)
//   kerosene/oxygen and ammonium perchlorate/aluminium/binder whole cases
//   hydrogen/oxygen kinetic run, 50 stations
//   potassium nitrate/sucrose grain run of 100 burn points
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/knsu_grain_run.h"
#include "bench/large_propellants.h"
#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "engine/odk.h"
#include "tests/engine/odk/kinetic_cases.h"
#include "tests/engine/test_mixtures.h"

namespace {

void figure(const std::string& c, const std::string& key, double value)
{
    std::printf("%s %s %.17g\n", c.c_str(), key.c_str(), value);
}

// Chamber and station figures of a finished run: T, p, molar mass, gamma, velocity
// (the ideal specific impulse of a station, m/s) and Mach number.
void stationFigures(const std::string& c, const RocketVariables& rv, bool failed)
{
    figure(c, "failed", failed ? 1.0 : 0.0);
    figure(c, "chamber.T", rv.chamberT);
    figure(c, "chamber.M", rv.chamberMW);
    figure(c, "chamber.gamma", rv.chamberGamma);
    figure(c, "chamber.viscosity", rv.chamberViscosity);
    figure(c, "chamber.conductivity", rv.chamberConductivity);
    for (uint32_t j = 0; j < rv.stationCount; ++j) {
        const std::string s = "station" + std::to_string(j) + ".";
        figure(c, s + "T", rv.T[j]);
        figure(c, s + "p", rv.p[j]);
        figure(c, s + "M", j < rv.molecularWeight.size() ? rv.molecularWeight[j] : 0.0);
        figure(c, s + "gamma", rv.gamma[j]);
        figure(c, s + "u", rv.u[j]);
        figure(c, s + "mach", rv.mach[j]);
        figure(c, s + "viscosity", rv.viscosity[j]);
        figure(c, s + "conductivity", rv.conductivity[j]);
    }
    // c* from the throat's mass flux: pc At / (rho u A) at the throat.
    const uint32_t t = rv.throatIndex;
    if (t < rv.stationCount && rv.massFlow[t] > 0.0)
        figure(c, "cstar", rv.chamberPressure * rv.area[t] / rv.massFlow[t]);
}

std::shared_ptr<RocketVariables> hundredStations()
{
    auto rv = std::make_shared<RocketVariables>();
    rv->chamberPressure = 53.3172e5;
    const double At = 0.01;
    for (int j = 0; j < 30; ++j) {
        const double f = j / 30.0;
        rv->x.push_back(-0.1 * (1.0 - f));
        rv->area.push_back(At * (4.0 - 3.0 * f));
    }
    rv->x.push_back(0.0);
    rv->area.push_back(At);
    for (int j = 1; j <= 69; ++j) {
        const double f = j / 69.0;
        rv->x.push_back(0.5 * f);
        rv->area.push_back(At * std::pow(50.0, f));
    }
    rv->stationCount = static_cast<uint32_t>(rv->x.size());
    rv->throatIndex = 30;
    rv->frozenIndex = rv->stationCount;
    rv->resizeStations();
    return rv;
}

void hydrogenOxygen(bool transport)
{
    auto m = hydrogenOxygenRocket(transport ? TransportData::With : TransportData::Without);
    m->setReactantEnthalpy(298.15);
    auto rv = hundredStations();
    rv->chamberT = 3800.0;
    ODE ode(m, rv, transport, false);
    ode.calculateIAC();
    stationFigures(transport ? "h2o2_transport" : "h2o2", *rv, ode.failed);
}

void largeCase(const std::string& c, const large_propellants::Propellant& p)
{
    auto m = large_propellants::mixture(p);
    m->setReactantEnthalpy(298.15);
    auto rv = large_propellants::wholeCase(p.chamberPressure);
    rv->chamberT = 3800.0;
    ODE ode(m, rv, false, false);
    ode.calculateIAC();
    stationFigures(c, *rv, ode.failed);
    figure(c, "species", m->nSpecies);
}

void kinetic()
{
    auto rv = std::make_shared<RocketVariables>();
    odk_test::smoothNozzle(*rv, 15, 34);
    rv->chamberPressure = 53.3172e5;
    auto m = odk_test::hydrogenOxygenKinetic(1.0, true);
    flagsODK = 0;
    ODK odk(m, rv, false, false);
    odk.calculateIAC();
    figure("h2o2_kinetic", "flagsODK", flagsODK.load());
    figure("h2o2_kinetic", "chamber.T", rv->chamberT);
    for (uint32_t j = 0; j < rv->stationCount; ++j) {
        const std::string s = "station" + std::to_string(j) + ".";
        figure("h2o2_kinetic", s + "T", rv->T[j]);
        figure("h2o2_kinetic", s + "p", rv->p[j]);
        figure("h2o2_kinetic", s + "u", rv->u[j]);
        figure("h2o2_kinetic", s + "M", j < rv->molecularWeight.size() ? rv->molecularWeight[j] : 0.0);
    }
    figure("h2o2_kinetic", "switch.convergent", rv->convergentSwitchIndex);
    figure("h2o2_kinetic", "switch.divergent", rv->divergentSwitchIndex);
}

void grain()
{
    knsu_grain::GrainRun g;
    if (!g.error.empty()) {
        std::printf("knsu_grain error %s\n", g.error.c_str());
        return;
    }
    auto rv = g.run();
    if (!rv) {
        std::printf("knsu_grain error run refused\n");
        return;
    }
    const std::string c = "knsu_grain";
    figure(c, "V02", flagRaised(flagsV, code::V02) ? 1.0 : 0.0);
    for (std::size_t i = 0; i < rv->burnTimes.size(); ++i) {
        const std::string s = "burn" + std::to_string(i) + ".";
        figure(c, s + "t", rv->burnTimes[i]);
        figure(c, s + "pc", rv->burnChamberPressure[i]);
        figure(c, s + "Tc", rv->burnChamberT[i]);
        figure(c, s + "thrust", rv->burnThrust[i]);
        figure(c, s + "cstar", rv->burnCStar[i]);
        figure(c, s + "Isp", rv->burnIsp[i]);
    }
}

} // namespace

int main()
{
    setEngineMessageHandler([](const EngineMessage&) {});
    hydrogenOxygen(false);
    hydrogenOxygen(true);
    largeCase("kerosene", large_propellants::kerosene());
    largeCase("composite", large_propellants::composite());
    kinetic();
    grain();
    setEngineMessageHandler({});
    return 0;
}
