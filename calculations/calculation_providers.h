#pragma once
// What the calculation tab loads from the other tabs' stores: a propellant's mixture and
// burn law, a grain's burn-back curve and a nozzle's stations. The tab calls them through
// this table so that a test can stand in for a store; the program uses the owners'
// loaders (defaultProviders). A loader shows no box: it appends the boxes it has to
// `refusals` (never null), and the model hands them to the tab, which shows them.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/view_message.h"

class Mixture;

struct CalculationProviders {
    // The mixture of a stored propellant (never null; an empty one with L codes raised on
    // failure); fills `species` with its species names when given.
    std::function<std::shared_ptr<Mixture>(const std::string& name, std::vector<std::string>* species,
                                           ViewMessages* refusals)>
            loadPropellantMixture;
    // Density [kg/m^3] and burn-law intervals ([lower, upper] Pa, a SI, n); false, with
    // the loader's box in `refusals`, when the propellant has none.
    std::function<bool(const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                       std::vector<double>& a, std::vector<double>& n, ViewMessages* refusals)>
            loadVielleParameters;
    // Burnt distance [m] and burning area [m^2] per grain point; returns the initial area,
    // or -1 when the grain could not be loaded.
    std::function<double(const std::string& name, std::vector<double>& distance, std::vector<double>& area,
                         ViewMessages* refusals)>
            loadGrainBurnback;
    // Station x [m] (0 at the throat) and areas [m^2], throat diameter and curvature
    // radius [m]; false when the nozzle could not be loaded.
    std::function<bool(const std::string& name, std::vector<double>& x, std::vector<double>& area,
                       double& throatDiameter, double& throatCurvature, ViewMessages* refusals)>
            loadNozzle;
};

// The loaders of the propellant, grain and nozzle subsystems.
CalculationProviders defaultProviders();

// A copy of the mixture that shares no mutable record with the original: a run computes
// on it while the form may change the tab's mixture (a uniform temperature, say).
std::shared_ptr<Mixture> copyMixtureForRun(const Mixture& mixture);
