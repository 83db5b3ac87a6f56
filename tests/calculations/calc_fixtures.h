#pragma once
// Stand-ins for the propellant, grain and nozzle stores of the calculation tab's tests:
// named items with fixed contents, and the process-wide values the tab reads put back
// after each test.
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <functional>

#include <QObject>
#include <QPointer>
#include <QThread>
#include <gtest/gtest.h>

#include "../engine/support/worker_run.h"
#include "calculations/calculation_model.h"
#include "calculations/calculation_providers.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "core/view_message.h"
#include "engine/mixture.h"
#include "engine/rocket_variables.h"
#include "engine/species.h"

namespace calc_test {

// A run start as the tab makes it: the boxes it hands back are shown through the
// message seam, the run (none when refused) handed on.
inline std::optional<calc::PreparedRun> shownStart(calc::CalculationModel& model, const calc::TabForm& form,
                                                   const calc::FormActions& actions = {})
{
    calc::RunStart start = model.prepareRun(form, actions);
    showViewMessages(nullptr, start.messages);
    return std::move(start.run);
}

// Starts a prepared run on its worker, calls `whileRunning` (if given) and waits, at most
// `timeoutMs`, until the run is taken back; then judges it as the tab does.
inline calc::CalculationModel::Completion runToEnd(calc::CalculationModel& model, calc::PreparedRun run, int timeoutMs,
                                                   const std::function<void()>& whileRunning = {})
{
    QObject context;
    bool done = false;
    bool result = false;
    QPointer<QThread> thread = model.startRun(std::move(run), &context, [&](bool res) {
        done = true;
        result = res;
    });
    if (whileRunning)
        whileRunning();
    EXPECT_TRUE(worker_run::waitFor([&] { return done && thread.isNull(); }, timeoutMs));
    return model.finishRun(result);
}

struct Nozzle {
    std::vector<double> x, area;
    double throatDiameter = 0.1;
};
struct Grain {
    std::vector<double> distance, area;
};
struct BurnLaw {
    double density = 1800.0;
    std::vector<std::pair<double, double>> limits = {{1e5, 1e7}};
    std::vector<double> a = {1e-4}, n = {0.3};
};

// A reactant record: single-defined at `temperature` (or -1 for a range).
inline std::shared_ptr<Species> reactant(const std::string& name, double temperature)
{
    auto s = std::make_shared<Species>();
    s->name = name;
    s->referenceTemperature = temperature;
    return s;
}

// A mixture with the given reactants and species names only (never solved).
inline std::shared_ptr<Mixture> namedMixture(std::vector<std::shared_ptr<Species>> reactants,
                                             std::vector<std::string> species)
{
    auto m = std::make_shared<Mixture>();
    m->reactants = std::move(reactants);
    m->speciesNames = std::move(species);
    return m;
}

// The stores as maps; an unknown name fails the way the real loaders fail (L codes).
struct FakeStores {
    std::map<std::string, std::shared_ptr<Mixture>> propellants;
    std::map<std::string, BurnLaw> burnLaws;
    std::map<std::string, Grain> grains;
    std::map<std::string, Nozzle> nozzles;
    int nozzleLoads = 0;
    int grainLoads = 0;
    // The boxes with which a load of a name the stores lack is refused (none when empty),
    // as the program's loaders say why they refuse the tab's "Current".
    QString nozzleRefusalBox, grainRefusalBox;
    int propellantLoads = 0;

    CalculationProviders providers()
    {
        CalculationProviders p;
        p.loadPropellantMixture = [this](const std::string& name, std::vector<std::string>* species, ViewMessages*) {
            ++propellantLoads;
            auto it = propellants.find(name);
            if (it == propellants.end()) {
                raiseFlag(flagsL, code::L07);
                return std::make_shared<Mixture>();
            }
            if (species)
                *species = it->second->speciesNames;
            // A fresh mixture on every load, as the propellant loader builds one.
            return copyMixtureForRun(*it->second);
        };
        p.loadVielleParameters
                = [this](const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                         std::vector<double>& a, std::vector<double>& n, ViewMessages*) {
                      auto it = burnLaws.find(name);
                      if (it == burnLaws.end())
                          return false;
                      density = it->second.density;
                      limits = it->second.limits;
                      a = it->second.a;
                      n = it->second.n;
                      return true;
                  };
        p.loadGrainBurnback = [this](const std::string& name, std::vector<double>& d, std::vector<double>& A,
                                     ViewMessages* refusals) {
            ++grainLoads;
            auto it = grains.find(name);
            if (it == grains.end()) {
                raiseFlag(flagsL, code::L09);
                if (!grainRefusalBox.isEmpty())
                    refusals->push_back(ViewMessage{untitledRequest(Msg::Critical, grainRefusalBox), true});
                return -1.0;
            }
            d = it->second.distance;
            A = it->second.area;
            return A.empty() ? 0.0 : A.front();
        };
        p.loadNozzle = [this](const std::string& name, std::vector<double>& x, std::vector<double>& A, double& Dt,
                              double& Rc, ViewMessages* refusals) {
            ++nozzleLoads;
            auto it = nozzles.find(name);
            if (it == nozzles.end()) {
                raiseFlag(flagsL, code::L08);
                if (!nozzleRefusalBox.isEmpty())
                    refusals->push_back(ViewMessage{untitledRequest(Msg::Critical, nozzleRefusalBox), true});
                return false;
            }
            x = it->second.x;
            A = it->second.area;
            Dt = it->second.throatDiameter;
            Rc = Dt;
            return true;
        };
        return p;
    }
};

// The stations of the hand-made pressure runs: three, the throat in the middle, at x
// -0.05, 0 and 0.1 m with areas 4e-3, 1e-3 and 4e-3 m^2, not frozen (frozenIndex is the
// station count); every station vector sized to them.
inline void threeStations(RocketVariables& r)
{
    r.stationCount = 3;
    r.throatIndex = 1;
    r.frozenIndex = 3;
    r.x = {-0.05, 0.0, 0.1};
    r.area = {4e-3, 1e-3, 4e-3};
    r.resizeStations();
}

// The flag words and the preferences the tab reads, back to their start values.
inline void resetCalculationGlobals()
{
    for (auto* w : {&flagsSP, &flagsODE, &flagsODK, &flagsV, &flagsL, &flagsF})
        w->store(0);
    unitFlag.store(0);
    abortFlag.store(0);
    NUM_DIS_PREC = 10;
    DIG_OUT = 16;
    LIST_SEPARATOR = ';';
    TYPE_RESULTS = 0;
    ABORT = 15;
    NORMALIZED = false;
    GRAPH_Y_0 = false;
    SHOW_FREEZE = true;
    SHOW_AP_CHANGE = true;
    INT_METHOD = 1;
    DEF_REAC_T = 298.15;
    SAME_NAME_EXPORT = true;
    IMG_WIDTH = 800;
    IMG_HEIGHT = 450;
    solidsHidden = false;
    babyModeActive = false;
}

} // namespace calc_test
