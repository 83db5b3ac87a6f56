#pragma once
// One-dimensional nozzle flow with finite-rate chemistry. The state (species amounts,
// velocity, temperature, density, and the pressure or the area) is integrated along
// the nozzle axis by CVODES (BDF, dense matrix, dense direct linear solver). Upstream
// and downstream of the throat region the area is given and the pressure integrated;
// between the two switch stations the pressure is given and the area integrated, so
// the sonic singularity of the area-given equations is never crossed. A global
// iteration corrects the mass flow and the given pressures near the throat until the
// integrated flow passes the throat smoothly, then a final pass writes the results.
// Problems are reported through the flag words only; nothing throws.
#include <atomic>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include <cvodes/cvodes.h>
#include <nvector/nvector_serial.h>
#include <sundials/sundials_context.h>
#include <sunlinsol/sunlinsol_dense.h>
#include <sunmatrix/sunmatrix_dense.h>

#include "core/curves.h"
#include "engine/mixture.h"
#include "engine/rocket_variables.h"

class ODK;

// What the integrator hands back to the right-hand side. The flag is read through its
// pointer, so switching between area given and pressure given needs no new record.
struct OdkUserData {
    ODK* odk = nullptr;
    std::shared_ptr<RocketVariables>* rocket = nullptr;
    bool* areaGiven = nullptr;
};

// dy/dx of the kinetic flow (a CVRhsFn). Always returns 0: non-finite values go back to
// the integrator, whose failure the run reports.
int odkRightHandSide(sunrealtype x, N_Vector y, N_Vector ydot, void* userData);
// d(dy/dx)/dy of the same flow at (x, y) into the dense matrix J (a CVLsJacFn): the
// production rates' derivatives and the flow rows differentiated by hand. It sets the
// mixture to the state as the right-hand side does, without recording a smallest area.
// Always returns 0, like the right-hand side.
int odkJacobian(sunrealtype x, N_Vector y, N_Vector fy, SUNMatrix J, void* userData, N_Vector, N_Vector, N_Vector);

// Where the integrator's Newton iteration takes its Jacobian from.
enum class OdkJacobian {
    Analytic, // odkJacobian
    DifferenceQuotient, // CVODES' own difference quotients of the right-hand side
};

// Owners of the CVODES objects of one run. Whatever path a run leaves by, everything
// created is freed exactly once: the integrator memory first, the context last.
class OdkIntegrator {
public:
    OdkIntegrator() = default;
    ~OdkIntegrator() { release(); }
    OdkIntegrator(const OdkIntegrator&) = delete;
    OdkIntegrator& operator=(const OdkIntegrator&) = delete;

    // Creates the context, the BDF integrator, the initial and output vectors of the
    // given length, the dense matrix and the dense linear solver. The caller fills
    // initialState() before initialise(). False when anything cannot be created.
    bool create(sunindextype length);
    // CVodeInit at x0 with the initial state, scalar tolerances, the linear solver and
    // the Jacobian (null: CVODES' difference quotients).
    bool initialise(CVRhsFn rhs, CVLsJacFn jacobian, double x0, double relTol, double absTol);
    // Frees everything held; returns what freeing the context reported (0 when there
    // was nothing to free).
    int release();
    bool active() const { return static_cast<bool>(context_); }

    void* memory() const { return memory_.get(); }
    N_Vector initialState() const { return initial_.get(); }
    N_Vector outputState() const { return output_.get(); }
    // Scratch vector of the same length, for a right-hand side the run evaluates itself.
    N_Vector workState() const { return work_.get(); }

private:
    struct ContextDeleter {
        void operator()(std::remove_pointer_t<SUNContext>* c) const;
    };
    struct VectorDeleter {
        void operator()(std::remove_pointer_t<N_Vector>* v) const;
    };
    struct MatrixDeleter {
        void operator()(std::remove_pointer_t<SUNMatrix>* m) const;
    };
    struct SolverDeleter {
        void operator()(std::remove_pointer_t<SUNLinearSolver>* s) const;
    };
    struct MemoryDeleter {
        void operator()(void* mem) const;
    };
    // Declared in creation order: destroyed in reverse, the context last.
    std::unique_ptr<std::remove_pointer_t<SUNContext>, ContextDeleter> context_;
    std::unique_ptr<std::remove_pointer_t<N_Vector>, VectorDeleter> initial_;
    std::unique_ptr<std::remove_pointer_t<N_Vector>, VectorDeleter> output_;
    std::unique_ptr<std::remove_pointer_t<N_Vector>, VectorDeleter> work_;
    std::unique_ptr<std::remove_pointer_t<SUNMatrix>, MatrixDeleter> matrix_;
    std::unique_ptr<std::remove_pointer_t<SUNLinearSolver>, SolverDeleter> solver_;
    std::unique_ptr<void, MemoryDeleter> memory_;
};

class ODK {
public:
    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
    bool transport = false;
    bool heatTransfer = false;
    double lnPressureRatio = 1.0; // ln(pc/pt) of the first-point estimate
    bool areaGiven = true; // true: area given, pressure integrated; false: the reverse
    std::vector<double> computedArea; // area reached by the pressure-given integration
    std::vector<double> computedAreaSlope; // its d ln A/dx at each station, 1/m
    // Stations of the pressure-given segment whose given pressure is interpolated from
    // the corrected stations around them (1) instead of being corrected from their own
    // area (0); chosen once per run (see chooseCorrectedStations).
    std::vector<char> interpolatedPressure;
    std::vector<double> stationT;
    std::vector<double> stationU;
    std::vector<double> stationRho;
    std::vector<double> stationGasConstant; // mixture R n at the last evaluation before the station
    std::vector<double> stationCp; // mixture frozen cp, the same
    std::vector<double> stationMassFlow; // u rho A of the last pass
    double targetMassFlow = 0.0; // kg/s
    uint32_t throatIterations = 0;
    uint32_t massFlowIterations = 0;
    uint32_t pointIterations = 0;
    // Iteration passes completed by the running calculateIAC; may be read from another
    // thread while the run goes on.
    std::atomic<uint32_t> passesDone{0};
    // Right-hand-side evaluations of the running calculateIAC (the measure of its cost).
    uint64_t rhsEvaluations = 0;
    // Set when the last calculateIAC ended without results: a refused nozzle, a failed
    // equilibrium start, a failed integration or a critical kinetic code. An abort is
    // not a failure (the caller discards the aborted run).
    bool failed = false;

    // How the run integrates; the results do not depend on it beyond the integrator's
    // tolerances.
    struct Settings {
        OdkJacobian jacobian = OdkJacobian::Analytic;
    } settings;

    OdkIntegrator integrator;
    OdkUserData userData;
    // Work of odkJacobian: the production rates' derivatives and per-species terms.
    Mixture::RateDerivatives rateDerivatives;
    std::vector<double> jacobianWork;
    // The area (or pressure) curve of the station interval the right-hand side is in,
    // with its slope, expanded once per interval instead of at every evaluation.
    CurvePolynomials stationCurve;

    // Clears ODK00..ODK08, prepares the record and finds the switch stations (ODK03,
    // ODK04 when there is none).
    ODK(std::shared_ptr<Mixture> mixture, std::shared_ptr<RocketVariables> rocket, bool transport, bool heatTransfer);
    ODK(const ODK&) = delete;
    ODK& operator=(const ODK&) = delete;

    // Station 0 (subsonic) for the current targetMassFlow; leaves the mixture at its
    // equilibrium composition. False when that equilibrium cannot be solved.
    bool firstPoint();
    // Writes code to the debug log and frees the integrator (ODK02 when freeing the
    // context reports an error).
    void closeSolver(int code);

    // Whether the nozzle of the record can be run: throat neither first nor last and no
    // station narrower than it, the switch stations around it, enough stations past the
    // divergent switch station for the derivative window, positive areas and ascending
    // coordinates, and the station count the solver was built for.
    bool nozzleSupported() const;

    // The kinetic run with an infinite-area combustor at the record's chamber pressure.
    void calculateIAC();
    // Combinations the kinetic model does not offer: set the abort byte and return.
    void calculateFAC();
    void calculateIACGrain();
    void calculateFACGrain();

    // Outputs of station k from the record's T, p, u, rho and the mixture's amounts.
    void stationOutputs(unsigned k);

    // Corrections of the given throat pressure between passes, from the position of
    // the smallest computed area (odkMinAreaX) relative to the throat station.
    // Towards the value the neighbours predict, in proportion to the offset (after the
    // near-throat points changed); first for a minimum downstream, then upstream.
    void throatPressureCorrection();
    // Half the way to the pressure at which the flow reaches its smallest area (when
    // the area reached at the throat is off, or the smallest area lies beside the
    // throat); nothing while the minimum lies within THROATPOS_TOL_ODK of a station
    // spacing from the throat.
    void sonicPressureCorrection();
    // The smallest computed area lies within THROATPOS_TOL_ODK of a station spacing (on
    // its side) from the throat station.
    bool throatPositionAccepted() const;
    // odkMinArea and its place, u and rho from the areas and slopes the pressure-given
    // segment reached at its stations: the minimum of the cubic through the two stations
    // where the slope turns positive. Without such a pair the recorded values stay.
    void locateSmallestArea();

private:
    // Marks the stations of the pressure-given segment whose given pressure is
    // interpolated: those closer than CORRECTED_PRESSURE_STEP in ln p (on the given
    // curve as it stands) to the last corrected station on the way out from the throat,
    // and the last corrected one when it lies closer than half that step to the switch
    // station, which ends the curve.
    void chooseCorrectedStations();
    // The given pressure of the marked stations, interpolated in ln p over x from the
    // corrected stations between the switch stations, held between the two around it.
    void interpolatePressures();
    // Smallest step in ln p between two stations whose given pressures are corrected
    // from their own areas. Closer stations cannot be told apart by the area they
    // reach, and correcting each one from its own area makes the given curve wander
    // between them.
    static constexpr double CORRECTED_PRESSURE_STEP = 0.01;

    // Hands the state at the divergent switch station s2 from the pressure-given segment
    // to the area-given one. The area the pressure-given integration reached there
    // misses the nozzle's by what the near-throat corrections leave (their tolerance),
    // and starting the area-given segment on the nozzle's area with that state would
    // change the mass flow by as much for the rest of the nozzle. The state is moved
    // instead onto the nozzle's area along the flow of frozen composition (the step has
    // no length, so nothing reacts): d ln p = -(d ln A)/G with G = (1 - a^2/u^2)/gamma,
    // d ln u = -d ln p/w, d ln T = C d ln p, d ln rho = (1 - C) d ln p (w and C as in the
    // right-hand side), which keeps rho u A and p/(rho T) exactly and h + u^2/2 to the
    // square of the step. False (y untouched) when the flow there is not supersonic or
    // the step is too large to be taken as a linear one.
    bool stepOntoNozzleArea(sunrealtype* y);
    // Largest step in ln p that stepOntoNozzleArea takes.
    static constexpr double SWITCH_STEP_LIMIT = 0.01;

    // The kinetic run itself; true when its final pass wrote the stations.
    bool runKinetic();
    enum class PassEnd { Completed, Stopped };
    // First point and the three integration segments; the final pass also writes the
    // station results. Stopped when the run must end (codes already raised).
    PassEnd integrationPass(bool finalPass);
    // Integrates stations from+1 .. to, stopping at each station to store its values;
    // the integrator restarts at the stations whose given pressure is corrected on its
    // own (see the definition).
    PassEnd integrateSegment(unsigned from, unsigned to, int segment, bool finalPass);
    // The state at the last station reached, from which a failed interval is retried.
    std::vector<double> stationStateWork;
    // Corrections of the given pressures between the switch stations from the areas the
    // last pass reached (d of each corrected station into `corrections`); true when a
    // station misses (its d beyond POINT_TOL_ODK, or its mass flow beyond half of it),
    // and then the corrections of those stations are applied.
    bool nearThroatCorrections(std::vector<double>& corrections);
    // p[k] moved by d in ln(pc/p), never above the corrected station upstream.
    void correctPressure(unsigned k, double d);
    // The pressures past the divergent switch station that its given curve reads
    // (integrated by the last pass) follow a change of its pressure from `before`.
    void followSwitchStation(double before);
    bool reinitialise(double x0, N_Vector y);
    // The integrator's initial state from the mixture's amounts and station 0 of the
    // record (area given: the last entry is the pressure).
    void loadInitialState();
    void saveComposition();
    void restoreComposition();

    // Equilibrium composition of the last first point, the start of the next one.
    struct Composition {
        std::vector<double> moles, logMoles;
        double totalMoles = 0.0, logMoles_ = 0.0, gasMoles = 0.0, allMoles = 0.0, temperature = 0.0;
        bool valid = false;
    } firstPointComposition;
};
