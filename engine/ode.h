#pragma once
// One-dimensional nozzle flow in chemical equilibrium or with frozen composition.
// The combustion products of a Mixture expand isentropically from the chamber through
// the stations of a nozzle contour; every station is found from an estimate of
// ln(pc/p) taken from its area ratio and Newton corrections on ln(pc/p) until its mass
// flux matches the throat's. Results go into the run's RocketVariables; problems are
// reported through the flag words only, the members never throw.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/mixture.h"
#include "engine/rocket_variables.h"

// The pressure range of the next pass of the performance search, from the indices of
// the best (b) and second-best (s) of the K samples over [lo, hi]; false when the range
// cannot shrink (best at the top with the second best at the bottom, or no usable sample).
bool shrinkPerformanceRange(int b, int s, int K, double& lo, double& hi);

// First estimate of ln(pc/p) at a subsonic station of area ratio A/At, from the
// throat's ln(pc/pt); 10 % lower close to the throat (A/At below 1.09).
double subsonicPressureEstimate(double lnThroatPressureRatio, double areaRatio);

class ODE {
public:
    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
    uint32_t frozenIndex = 0; // stations after it are frozen; the last station means no freezing
    bool transport = false;
    bool writeOutputs = true;
    bool heatTransfer = false;
    double lnPressureRatio = 0.0; // ln(pc/pt) of the latest throat solution
    double burnCoefficient = 0.0; // burn-law a of the latest lookup
    double burnExponent = 0.0; // burn-law n of the latest lookup
    // Set when the last run member ended without a usable result: a failed chamber
    // solve, or inputs refused because they cannot give a meaningful flow.
    bool failed = false;

    // Frozen from station frozenIndex on.
    ODE(std::shared_ptr<Mixture> mixture, std::shared_ptr<RocketVariables> rocket, uint32_t frozenIndex, bool transport,
        bool heatTransfer);
    // Equilibrium all the way (frozenIndex = last station).
    ODE(std::shared_ptr<Mixture> mixture, std::shared_ptr<RocketVariables> rocket, bool transport, bool heatTransfer);
    // The same, with the per-station outputs switched by writeOutputs.
    ODE(bool writeOutputs, std::shared_ptr<Mixture> mixture, std::shared_ptr<RocketVariables> rocket, bool transport,
        bool heatTransfer);

    // Station building blocks.
    // Solves station j; false only when an equilibrium solve failed.
    bool solveStation(unsigned j, bool frozen);
    // One pass of the throat iteration; true means stop iterating (converged, or the
    // equilibrium failed: see throatFailed).
    bool solveThroat(bool frozen);
    // Up to MAX_ITER_THROAT passes from the current throat state (ODE00 at the limit);
    // false when the throat equilibrium failed.
    bool throatIteration(bool frozen);
    // Throat start from the chamber: pt = pc/((1 + gc)/2)^(gc/(gc - 1)), Tt = chamberT.
    void throatStart(double chamberPressure);
    // Throat (and with adaptExit the exit) a grain needs at targetPressure; the mixture
    // holds the chamber solution at that pressure. False when the throat or the exit
    // could not be solved or the burn law has no interval for the pressure.
    bool sizeThroat();
    // The first half of sizeThroat: the chamber's properties from the mixture's chamber
    // solution and the equilibrium throat at targetPressure; false when it failed.
    bool solveSizingThroat();
    // Exit area of an expansion to ambientPressure; false when the equilibrium fails or
    // the ambient pressure is not positive.
    bool adaptedExitStation();
    // Burn-law coefficients at pressure P into burnCoefficient/burnExponent (V00/V01
    // outside the range, while lawRangeCodes is set); false when there is no interval or
    // P falls in a gap.
    bool burnLawLookup(double P);
    // The lookups raise V00/V01. A grain run silences them while it searches a point's
    // chamber pressure and judges only the pressure that balances: a trial pressure
    // outside the law is no pressure of the burn.
    bool lawRangeCodes = true;
    // Frozen temperature at pressure P for station k with the mixture's composition.
    void frozenTemperature(unsigned k, double P);
    // u, a, gamma and rho of station k from the mixture's current state.
    void stationState(unsigned k);
    // Station k's state at its present pressure p[k]: the frozen temperature, or the
    // equilibrium with its properties, then stationState; false when the equilibrium
    // fails.
    bool stateAtPressure(unsigned k, bool frozen);

    // Runs.
    void calculateIAC();
    void calculateIACGrain();
    void calculateFAC();
    void calculateFACGrain();

    // Optimisations; true when a result was found.
    bool optimizeForPressure();
    bool optimizeForBurnTime();
    bool optimizeForPerformance();

    // Outputs.
    void stationOutputs(unsigned j, bool frozen);
    void chamberOutputs();

    // Set by solveThroat when its equilibrium solve failed.
    bool throatFailed = false;

private:
    void construct();
    // The user asked the running calculation to stop (the process-wide abort byte).
    static bool abortRequested();
    // What the throat solve of a run leaves of the freezing station to the stations
    // ahead of the throat.
    enum class FreezingStation {
        Failed, // an equilibrium of the throat or of the freezing station failed
        Solve, // solved again by its flux balance, like the other stations
        // Placed by the bracketed balance: it keeps that pressure (Newton on its flux
        // balance would crawl there, next to the station's largest flux).
        Held,
    };
    // The common station sweep that ends every run; false when the run must end.
    bool stationSweep(FreezingStation freezing);
    // Frozen-throat procedure for a flow frozen upstream of the throat; false when it did
    // not settle (ODE03) or an equilibrium of the freezing station failed.
    bool frozenThroatProcedure(bool finiteArea);
    // The same balance by bracketing the freezing station's pressure between its
    // equilibrium solution and the equilibrium throat (which the throat holds on entry).
    // Where no state at the station lets the frozen flow choke at the throat, the station
    // takes the equilibrium sonic state and the throat stays frozen-subsonic. Solve when
    // the bracket did not settle (ODE03).
    FreezingStation frozenThroatBalance(bool finiteArea);
    // Equilibrium throat iteration from the current throat state, lnPressureRatio from
    // it, then the frozen-throat procedure when the flow freezes upstream of the throat,
    // and the bracketed balance when the procedure does not settle.
    FreezingStation throatAndFreezing(bool finiteArea);
    // Station j ahead of the freezing point, in equilibrium: solved, or at its held pressure.
    bool solveUpstreamStation(unsigned j, FreezingStation freezing);
    // Stations, areas, throat index and station vectors that a run can work on.
    bool usableNozzle() const;
    // Opens a run: clears the last run's failure, or marks this one failed, raises the
    // nozzle code L08 and returns false when the contour cannot carry a run.
    bool startRun();
    // Burn-back points a grain run can use (min of burnPoints and the curve lengths).
    std::size_t usableBurnPoints() const;
    // A burn law that can produce gas: positive density, and in every interval a
    // positive coefficient a and an exponent n that are numbers.
    bool burnLawUsable() const;
    // The chamber (h,p) solve at pc from `start` when there is one (falling back to the
    // initial estimate when that fails), else from the initial estimate; `start` then
    // holds the converged state, or is emptied when the solve failed.
    bool solveChamber(double pc, std::optional<Mixture::EquilibriumStart>& start);
    // What the chamber-pressure search found at one burn point.
    enum class BurnPoint {
        Burning, // balanced above the pressure at which the burn ends
        BurntOut, // no gas worth a chamber: negligible area, or a balance at or below it
        Unbalanced, // real burning area, and no balance found (V02)
        Failed, // the chamber equilibrium failed: the run ends
        Aborted,
    };
    // The points of a grain burn that burnt and those that found no balance; completed
    // when every point was searched (no abort, no failed chamber, inputs usable).
    struct BurnCount {
        std::size_t burning = 0;
        std::size_t unbalanced = 0;
        bool completed = false;
    };
    // The chamber pressure at which the gas the grain makes at combustionArea passes the
    // nozzle's throat, searched from pc (which leaves with the last trial). A balance at
    // or below `burnoutPressure` is the end of the burn, not a chamber.
    BurnPoint balanceBurnPoint(double& pc, double burnoutPressure,
                               std::optional<Mixture::EquilibriumStart>& lastChamber);
    // The grain run on the contour as it stands (the optimisations change its throat
    // between their inner runs); calculateIACGrain checks the contour first. Its first
    // chamber starts from `lastChamber` when that holds a state (an optimisation hands on
    // the last chamber of its search), and `lastChamber` leaves with the run's last one.
    // Sets `failed` when its inputs were refused, a chamber failed or no point burnt; the
    // count tells the rest.
    BurnCount grainBurn(std::optional<Mixture::EquilibriumStart>& lastChamber);

    // The burn law as pieces of the pressure axis, each [lower, upper) with r = a p^n:
    // the first reaches down to 0 and the last up to infinity (the lookup's V00/V01
    // extensions). Empty when the law has no stable balances to walk along (an n of 1
    // or more, or intervals out of order): the search of balanceBurnPoint then.
    struct LawPiece {
        double lower, upper, a, n;
    };
    std::vector<LawPiece> stableLawPieces() const;
    // The pressure at which a grain's burn ends [Pa]: the chamber would fall to the
    // ambient pressure (and never below the lowest pressure of a real chamber).
    double burnoutPressure() const;
    // The chamber solve at p and the throat mass flux rho_t u_t there; false when an
    // equilibrium failed.
    bool throatFluxAt(double p, std::optional<Mixture::EquilibriumStart>& lastChamber, double& flux);
    struct Balance {
        BurnPoint point = BurnPoint::Unbalanced;
        double pressure = 0.0; // Pa
        double rate = 0.0; // burn rate of the balanced point, m/s
    };
    // The balance a motor's chamber reaches from `from` (the last point's balance; none
    // at ignition and after a burnout, when it fills from `burnoutPressure`) for
    // combustionArea on a throat of area `throat`: it moves the way the gas surplus
    // drives it and stops at the first balance, in a piece or at a limit where the burn
    // rate steps down (the rate there is the one that passes the nozzle). The mixture
    // and throat are left at the balanced pressure.
    Balance motorBalance(std::optional<double> from, double burnoutPressure, double throat,
                         const std::vector<LawPiece>& pieces, std::optional<Mixture::EquilibriumStart>& lastChamber);

    enum class SizingFailure { None, Equilibrium, BurnLaw, Exit };
    SizingFailure sizingFailure = SizingFailure::None;
};
