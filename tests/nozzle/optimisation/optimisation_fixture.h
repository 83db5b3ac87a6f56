#pragma once
// The optimisation panel's model under test: the propellant, burn-law and grain loaders
// replaced by the perfect-gas propellant of the engine tests and a grain of constant
// burning area (0.04 m^2 burning 12 mm), the default Bezier nozzle of the form as the
// current nozzle, and the process-wide values put back afterwards.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../bezier_defaults.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode/perfect_gas.h"
#include "engine/rocket_variables.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_model.h"
#include "nozzle/optimisation.h"
#include "support/qstring_printer.h"

namespace optimisation_test {

namespace pg = perfect_gas;

// A grain of constant burning area 0.04 m^2 burning 12 mm.
inline const std::vector<double> kGrainY{0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
inline const std::vector<double> kGrainA(7, 0.04);

class OptimisationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = optimisationProviders();
        optimisationProviders().propellantMixture = [this](const std::string& name, ViewMessages*) {
            propellantsAsked.push_back(name);
            raiseFlag(flagsL, propellantCodesToRaise);
            return pg::mixture();
        };
        optimisationProviders().burnLaw
                = [](const std::string&, double& rho, auto& limits, auto& a, auto& n, ViewMessages*) {
                      rho = pg::RHO_P;
                      limits = {{1e5, 1e8}};
                      a = {pg::LAW_A};
                      n = {pg::LAW_N};
                      return true;
                  };
        optimisationProviders().grainBurnback
                = [this](const std::string&, std::vector<double>* y, std::vector<double>* A, ViewMessages*) {
                      if (grainResult < 0)
                          return -1.0;
                      *y = grainY;
                      *A = grainA;
                      raiseFlag(flagsL, grainCodesToRaise);
                      return grainA.front();
                  };
        flagsL = 0;
        unitFlag = 0;
        abortFlag = 0;
        OPT_AREA = 4;
        INT_METHOD = 1;
        currentNozzle = CurrentNozzle{};
        // The panel's nozzle: the default Bezier contour, in mm.
        NozzleModel model;
        ASSERT_TRUE(model.computeBezier(bezierDefaults(), 0).accepted());
        nozzle = currentNozzle;
    }
    void TearDown() override
    {
        optimisationProviders() = saved;
        flagsL = 0;
        unitFlag = 0;
        abortFlag = 0;
        OPT_AREA = 4;
        currentNozzle = CurrentNozzle{};
    }

    // The panel's fields for a valid thrust maximisation.
    static OptimisationForm thrustForm()
    {
        OptimisationForm f;
        f.propellantIndex = 0;
        f.propellant = "PG";
        f.grainIndex = 0;
        f.ambient = "1";
        f.ambientUnit = 1; // atm
        f.target = optTarget::Thrust;
        f.targetUnit = 0;
        f.minPressure = "10";
        f.maxPressure = "80";
        f.minPressureUnit = f.maxPressureUnit = 2; // bar
        f.minThroatRadius = "1";
        f.minThroatRadiusUnit = 0; // mm
        f.minAreaRatio = "1.2";
        return f;
    }
    OptimisationSteps steps()
    {
        OptimisationSteps s;
        s.loadBurnLaw = [this](RocketVariables& run, ViewMessages* refusals) {
            return burnLawOk
                    && optimisationProviders().burnLaw("PG", run.propellantDensity, run.vieilleLimits, run.vieilleA,
                                                       run.vieilleN, refusals);
        };
        s.rebuildNozzle = [this] { return nozzleOk; };
        return s;
    }
    // The panel's record after selecting the grain.
    std::shared_ptr<RocketVariables> grainRecord()
    {
        auto record = std::make_shared<RocketVariables>();
        EXPECT_EQ(selectOptimisationGrain("G", *record).value, GrainSelection::Loaded);
        return record;
    }

public:
    bool burnLawOk = true, nozzleOk = true;

protected:
    OptimisationProviders saved;
    std::vector<std::string> propellantsAsked;
    uint32_t propellantCodesToRaise = 0;
    uint32_t grainCodesToRaise = 0;
    double grainResult = 0.0;
    std::vector<double> grainY = kGrainY, grainA = kGrainA;
    CurrentNozzle nozzle;
};

} // namespace optimisation_test
