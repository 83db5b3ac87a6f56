#include "calculations/calculation_providers.h"

#include <map>

#include "engine/mixture.h"
#include "grain/grain_provider.h"
#include "nozzle/nozzle_provider.h"
#include "propellant/mixture_loader.h"
#include "propellant/vielle_loader.h"

CalculationProviders defaultProviders()
{
    CalculationProviders p;
    p.loadPropellantMixture = [](const std::string& name, std::vector<std::string>* species, ViewMessages* refusals) {
        return ::loadPropellantMixture(name, refusals, species);
    };
    p.loadVielleParameters
            = [](const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                 std::vector<double>& a, std::vector<double>& n,
                 ViewMessages* refusals) { return ::loadVielleParameters(name, density, limits, a, n, refusals); };
    p.loadGrainBurnback = [](const std::string& name, std::vector<double>& distance, std::vector<double>& area,
                             ViewMessages* refusals) { return ::loadGrainBurnback(name, &distance, &area, refusals); };
    p.loadNozzle = [](const std::string& name, std::vector<double>& x, std::vector<double>& area,
                      double& throatDiameter, double& throatCurvature, ViewMessages* refusals) {
        return ::loadNozzle(name, x, area, throatDiameter, throatCurvature, refusals);
    };
    return p;
}

std::shared_ptr<Mixture> copyMixtureForRun(const Mixture& mixture)
{
    auto copy = std::make_shared<Mixture>(mixture);
    // The species, reactant and reaction records carry evaluation state (enthalpies at the
    // last temperature, rates), so each run gets records of its own; a record listed twice
    // stays one record.
    std::map<const Species*, std::shared_ptr<Species>> copied;
    auto own = [&copied](std::shared_ptr<Species>& s) {
        if (!s)
            return;
        auto& mine = copied[s.get()];
        if (!mine)
            mine = std::make_shared<Species>(*s);
        s = mine;
    };
    for (auto& s : copy->species)
        own(s);
    for (auto& r : copy->reactants)
        own(r);
    for (auto& k : copy->reactions)
        if (k)
            k = std::make_shared<Reaction>(*k);
    return copy;
}
