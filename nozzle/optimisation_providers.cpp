#include "grain/grain_provider.h"
#include "nozzle/optimisation.h"
#include "propellant/mixture_loader.h"
#include "propellant/vielle_loader.h"

OptimisationProviders standardOptimisationProviders()
{
    OptimisationProviders p;
    // The panel asks for no species-name list.
    p.propellantMixture
            = [](const std::string& name, ViewMessages* refusals) { return loadPropellantMixture(name, refusals); };
    p.burnLaw = loadVielleParameters;
    p.grainBurnback = loadGrainBurnback;
    return p;
}
