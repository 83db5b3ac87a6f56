// Per-station and chamber outputs: the mixture state copied into the run record, mass
// flow, Mach number, molecular weight, mole fractions, transport properties and the
// Bartz wall heat-transfer coefficient.
#include <cmath>

#include "core/preferences.h"
#include "engine/bartz.h"
#include "engine/ode.h"
#include "engine/station_outputs.h"

void ODE::stationOutputs(unsigned j, bool frozen)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const unsigned t = rv.throatIndex;
    const double T = rv.T[j];
    if (transport) {
        if (frozen || ONLY_FROZ)
            m.frozenTransport(T, true);
        else
            m.equilibriumTransport(T, true);
        recordStationTransport(rv, m, j);
    }
    rv.h[j] = m.enthalpy;
    rv.s[j] = m.entropy;
    if (ONLY_FROZ) {
        m.frozenProperties(T);
        rv.soundSpeed[j] = m.soundSpeed;
        rv.gamma[j] = m.gamma;
    }
    recordStationFlow(rv, j);
    rv.cp[j] = m.cp;
    rv.cv[j] = m.cv;
    if (heatTransfer) {
        rv.bartzH[j] = bartzStationCoefficient(m.conductivity, m.viscosity, rv.prandtl[j], rv.rho[t] * rv.u[t],
                                               rv.throatDiameter, rv.throatCurvatureRadius, rv.area[t] / rv.area[j], T,
                                               rv.wallTemperature);
    }
    recordStationComposition(rv, m, j);
}

void ODE::chamberOutputs()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const double Tc = rv.chamberT;
    rv.chamberH = m.enthalpy;
    rv.chamberS = m.entropy;
    rv.chamberEntropySum = m.entropySum;
    // The properties come before the transport, so that the chamber cp, gamma and
    // sound speed (the throat iteration starts from this gamma) can never depend on
    // whether transport was asked for.
    if (ONLY_FROZ)
        m.frozenProperties(Tc);
    else
        m.equilibriumProperties(Tc);
    rv.chamberSoundSpeed = m.soundSpeed;
    rv.chamberGamma = m.gamma;
    rv.chamberCp = m.cp;
    rv.chamberRho = m.density;
    rv.chamberCv = m.cv;
    if (transport) {
        if (ONLY_FROZ)
            m.frozenTransport(Tc, true);
        else
            m.equilibriumTransport(Tc, true);
        rv.chamberViscosity = m.viscosity;
        rv.chamberConductivity = m.conductivity;
        rv.chamberPrandtlCp = m.prandtlCp;
        rv.chamberPrandtl = m.prandtl;
    }
    if (heatTransfer) {
        if (rv.chamberArea <= 0.0 && !rv.area.empty())
            rv.chamberArea = rv.area[0];
        const double Dc = std::sqrt(4.0 * rv.chamberArea / 3.141592);
        rv.chamberBartzH = bartzChamberCoefficient(m.conductivity, m.viscosity, rv.chamberPrandtl, rv.chamberRho,
                                                   VEL_CHAMBER, Dc, Tc, rv.wallTemperature);
    }
    rv.chamberMW = 1.0 / m.totalMoles;
    for (std::size_t i = 0; i < rv.chamberMoleFractions.size() && i < m.species.size(); ++i)
        rv.chamberMoleFractions[i] = m.species[i]->moleFraction;
}
