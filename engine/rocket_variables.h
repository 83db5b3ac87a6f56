#pragma once
// The record of one engine calculation: the run's inputs (names, model switches,
// chamber, nozzle, grain, burn law and optimisation targets), the per-station and
// per-species results the nozzle-flow solvers write, the chamber results and the run
// summary with the burn-time series. Plain public data, always held through a
// std::shared_ptr shared by the tab that edits it, the solver that fills it and the
// list of finished runs. SI units throughout.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RocketVariables {
public:
    // Names and run options.
    std::string propellantName;
    std::string nozzleName;
    std::string grainName;
    double givenPressure = 0.0; // chamber pressure given for a pressure run
    bool isODE = true; // equilibrium/frozen solver (false: kinetic)
    bool isIAC = true; // infinite-area combustor (false: finite-area)
    double ambientPressure = 0.0;
    double chamberArea = 0.0; // finite-area combustor cross-section
    double reactantTemperature = 298.15;
    double wallTemperature = 1.0;
    std::string configurationName;
    bool calcTransport = false;
    bool calcHeatTransfer = false;

    // Species and their mole fractions, [species][station].
    std::vector<std::string> speciesNames;
    std::vector<std::vector<double>> moleFractions;
    std::vector<double> molecularWeight; // station vector, kg/kmol

    // Grain and burn law.
    double combustionArea = 0.0;
    std::vector<double> burnDistance;
    std::vector<double> burnArea;
    bool isGrain = false;
    double propellantDensity = 1.0;
    uint32_t burnPoints = 1;
    std::vector<std::pair<double, double>> vieilleLimits; // [pMin, pMax) per interval
    std::vector<double> vieilleA; // r = a p^n, p in Pa, r in m/s
    std::vector<double> vieilleN;

    // Nozzle.
    std::vector<double> x; // axial coordinate, throat at 0
    std::vector<double> area; // cross-section area
    uint32_t throatIndex = 0;
    uint32_t frozenIndex = 0; // stationCount when the run is not frozen
    uint32_t stationCount = 0;
    double throatCurvatureRadius = 1.0;
    double throatDiameter = 1.0;

    // Sizing and optimisation targets and results.
    double targetPressure = 0.0;
    double targetBurnTime = 0.0;
    bool adaptExit = false;
    uint8_t optTarget = 0; // 0 thrust, 2 total impulse, 3 specific impulse
    double optMinPressure = 0.0;
    double optMaxPressure = 0.0;
    double optMinThroatRadius = 0.0;
    double optMinAreaRatio = 0.0;
    double optBestValue = 0.0;
    // Why the last sizing for a target wrote no nozzle, for the panel to say.
    enum class SizingRefusal : uint8_t {
        None,
        PressureNotReached, // from ignition the motor settles below the target pressure
        BurnRateUnreachable, // no chamber pressure gives the burn rate the combustion time needs
        ExitUnbounded, // the exit adapted to the ambient pressure has no finite area
    };
    SizingRefusal sizingRefusal = SizingRefusal::None;
    double settledPressure = 0.0; // PressureNotReached: the balance the motor reaches, Pa (0: none)
    double requiredBurnRate = 0.0; // BurnRateUnreachable: the mean burn rate needed, m/s
    double throatArea = 1.0;
    double exitArea = 1.0;

    // Station vectors.
    std::vector<double> T;
    std::vector<double> p;
    std::vector<double> h;
    std::vector<double> s;
    std::vector<double> massFlow; // rho u A
    std::vector<double> rho;
    std::vector<double> soundSpeed;
    std::vector<double> u;
    std::vector<double> mach;
    std::vector<double> gamma;
    std::vector<double> cp;
    std::vector<double> cv;
    std::vector<double> viscosity;
    std::vector<double> conductivity;
    std::vector<double> prandtlCp;
    std::vector<double> prandtl;
    std::vector<double> bartzH;

    // Chamber.
    double chamberT; // start value of the chamber equilibrium, then its result
    double chamberPressure = 3e6;
    double chamberH = 0.0; // stagnation enthalpy of the station velocities
    double chamberS = 0.0;
    double chamberEntropySum = 0.0;
    double chamberGamma = 1.1;
    double chamberRho = 1.0;
    double chamberSoundSpeed = 1.0;
    double chamberMW = 1.0;
    double chamberCp = 1.0;
    double chamberCv = 1.0;
    double chamberViscosity = 0.0;
    double chamberConductivity = 0.0;
    double chamberPrandtl = 0.0;
    double chamberBartzH = 0.0;
    double chamberPrandtlCp = 0.0;
    std::vector<double> chamberMoleFractions;
    double injectorPressure = 3e6;
    double injectorH = 0.0;
    double stagnationH = 0.0;

    // Kinetic solver.
    uint32_t convergentSwitchIndex = 0;
    uint32_t divergentSwitchIndex = 0;
    double odkMinArea = 0.0;
    double odkMinAreaX = 0.0;
    double odkMinAreaRho = 0.0;
    double odkMinAreaU = 0.0;

    // Run summary.
    double runMassFlow = 0.0;
    double thrust = 0.0;
    double cStar = 0.0;
    double CE = 0.0;
    double specificImpulse = 0.0;
    double burnTime = 0.0; // -1 for a pressure run

    // Burn-time series, one entry per burn-back point.
    std::vector<double> burnTimes;
    std::vector<double> burnChamberPressure;
    std::vector<double> burnChamberT;
    std::vector<double> burnMassFlow;
    std::vector<double> burnThrust;
    std::vector<double> burnCStar;
    std::vector<double> burnCE;
    std::vector<double> burnIsp;
    std::vector<double> burnRate;

    // Kinetic right-hand-side sources (nothing sets the three scalars).
    double odkSourceA = 0.0;
    double odkSourceB = 0.0;
    double odkSourceC = 0.0;
    std::vector<double> odkSpeciesSource;
    std::vector<double> stationScale; // 1.0 at every station
    std::vector<double> stationScaleSlope;

    // chamberT takes the current T_SEED preference.
    RocketVariables();

    // Resizes the nineteen station vectors to stationCount; new entries 0 (1 in
    // stationScale), existing entries kept. moleFractions, x and area are untouched.
    void resizeStations();
};

// Relative margin by which a station may lie below the throat station's area and still
// count as part of a flat throat region (areas from one contour agree far closer).
constexpr double THROAT_AREA_TOLERANCE = 1e-6;

// Whether no station of the record is narrower than its throat station (within
// THROAT_AREA_TOLERANCE): a narrower station cannot pass the throat's mass flow, so a
// nozzle-flow run on such a contour has no solution. Needs stationCount areas and a
// throat index among them.
bool throatIsNarrowest(const RocketVariables& rv);
