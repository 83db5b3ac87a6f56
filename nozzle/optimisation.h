#pragma once
// The nozzle optimisation panel's model: the targets with their units, the loading of
// the panel's propellant and grain, the checks that start a run in their order with
// their messages, the record the run is handed, and what a finished run writes back.
// The run itself is one optimisation member of the nozzle-flow solver, on its own copy
// of the panel's record, so that nothing the window does during the run reaches it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/units.h"
#include "core/view_message.h"

class Mixture;
class ODE;
class RocketVariables;
struct CurrentNozzle;

// The targets of combo_opt_target.
namespace optTarget {
constexpr int ChamberPressure = 0; // throat sized for a chamber pressure
constexpr int Thrust = 1; // best thrust within the restrictions
constexpr int CombustionTime = 2; // throat sized for a combustion time
constexpr int TotalImpulse = 3;
constexpr int SpecificImpulse = 4;
} // namespace optTarget

// The unit items of combo_opt_target_units for a target (none for an unknown one).
QStringList targetUnitItems(int target);
// The unit kind of the target's value: pressure, force, time, impulse, velocity.
UnitKind targetUnitKind(int target);
// Targets 1, 3 and 4 maximise a figure within restrictions; their value is a result,
// shown read-only. Targets 0 and 2 take a required value.
bool isMaximisation(int target);

// The loaders the panel takes its propellant, burn law and grain from. The program uses
// the propellant and grain providers; tests may put others in place. A loader shows no
// box: it appends its boxes to `refusals` (never null), which the selection or the start
// hands back to the panel to show.
struct OptimisationProviders {
    std::function<std::shared_ptr<Mixture>(const std::string& name, ViewMessages* refusals)> propellantMixture;
    std::function<bool(const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                       std::vector<double>& a, std::vector<double>& n, ViewMessages* refusals)>
            burnLaw;
    std::function<double(const std::string& name, std::vector<double>* y, std::vector<double>* A,
                         ViewMessages* refusals)>
            grainBurnback;
};
// The providers in use (the standard ones unless replaced).
OptimisationProviders& optimisationProviders();
// The propellant and grain providers of the program.
OptimisationProviders standardOptimisationProviders();

// The grain area that sizes the throat, by the OPT_AREA rule: 0 the initial area, 1 the
// final, 2 the smallest, 3 the largest, 4 the mean over the burnt distance (INT_METHOD);
// any other rule, empty curves, or a mean over no distance give the initial area.
double grainReferenceArea(int rule, double initialArea, const std::vector<double>& y, const std::vector<double>& A);

// Propellant selection: clears the propellant load codes, loads the mixture and, when
// no propellant code came up, sets its reactant enthalpy at OPT_TREAC.
struct PropellantSelection {
    std::shared_ptr<Mixture> mixture;
    bool critical = false; // a propellant load code is raised
    ViewMessages messages; // the loader's boxes, shown before the panel's own
};
PropellantSelection selectOptimisationPropellant(const std::string& name);

// Grain selection into the panel's record: clears L09, loads the burn-back curves, sets
// the point count, the nine burn series and the grain-run switch, and the reference area.
// The loader's boxes come back with the result, for the panel to show first.
enum class GrainSelection {
    Deselect, // the grain could not be loaded: the list is to show no grain
    Critical, // loaded with L09 raised
    Loaded,
};
Reported<GrainSelection> selectOptimisationGrain(const std::string& name, RocketVariables& record);

// What the panel's fields hold when a run is asked for.
struct OptimisationForm {
    int propellantIndex = -1; // comb_prop
    std::string propellant;
    int grainIndex = -1; // comb_grain
    QString ambient; // line_ambient
    int ambientUnit = 1; // comb_pres
    int target = optTarget::Thrust; // combo_opt_target
    QString targetValue; // line_opt_target
    int targetUnit = 0; // combo_opt_target_units
    bool adaptExit = true; // check_OptAdapt
    QString minPressure, maxPressure, minThroatRadius, minAreaRatio;
    int minPressureUnit = 2, maxPressureUnit = 2, minThroatRadiusUnit = 0;
    int nozzleType = 0; // comb_type: the type whose fields take the result
};

// The steps of the start that act on the tab: the burn law of the chosen propellant into
// the run's record (false: the loader's boxes, appended to `refusals`, say why and the
// start ends without a box of its own), and the rebuild of the current nozzle from the
// form (false: refused with its own message).
struct OptimisationSteps {
    std::function<bool(RocketVariables& run, ViewMessages* refusals)> loadBurnLaw;
    std::function<bool()> rebuildNozzle;
};

enum class OptimisationMember { Pressure, BurnTime, Performance };

struct OptimisationStart {
    QString refusal; // the box of the check that failed; empty when the run may start
    QString informative;
    // Boxes shown before the refusal's: those of the burn-law loader, the only ones of a
    // silent refusal.
    ViewMessages messages;
    bool silent = false; // refused without a box of its own
    bool reportFlags = false; // the shell is to show the critical codes after the box
    OptimisationMember member = OptimisationMember::Performance;
    // The start's values in SI: the target (Pa or s) and the restrictions.
    double targetValue = 0.0;
    double minChamberPressure = 0.0, maxChamberPressure = 0.0, minThroatRadius = 0.0, minAreaRatio = 0.0;
    int lengthUnit = 0; // unit of the nozzle's stations, for the write-back
    bool started() const { return refusal.isEmpty() && !silent; }
};

// The checks in their order; when they pass, `run` (the run's own record) holds the
// burn law, the current nozzle in SI with its throat at the station nearest x = 0, the
// ambient pressure, the target or the restrictions.
OptimisationStart prepareOptimisation(const OptimisationForm& form, const OptimisationSteps& steps,
                                      const CurrentNozzle& nozzle, RocketVariables& run);

// The solver member of a start.
std::function<bool(ODE&)> optimisationMember(OptimisationMember member);

// What a successful run writes into the form: the optimum (maximisations), the throat
// diameter and, for the maximisations or with the exit adapted, the exit diameter, in
// the length unit the stations were in when the run started.
struct OptimisationWriteBack {
    std::optional<double> targetValue; // in the target unit given
    double throatDiameter = 0.0;
    std::optional<double> exitDiameter;
};
OptimisationWriteBack optimisationWriteBack(int target, const RocketVariables& result, int lengthUnit, int targetUnit,
                                            bool adaptExitNow);

// Why a sizing for a target wrote no nozzle, for the informative text of "Optimization
// failed": the pressure the motor settles at (in the unit of combo_opt_target_units for a
// pressure) or the burn rate no pressure gives. Empty when the run gave no such reason.
QString sizingRefusalText(const RocketVariables& result, int pressureUnit);

// Why the nozzle a successful run sized may not be written (empty when it may): a throat
// or an exit (when written) outside the lengths of a nozzle, or an exit not wider than the
// throat (an exit adapted to an ambient pressure above the throat's).
QString writeBackRefusal(const RocketVariables& result, bool exitWritten);

// The abort button's timers: each run starts one; a timer makes the button an abort
// button only when it is the last one pending and a run is still going, so a timer left
// over from an earlier run never turns a later run's button early.
class AbortButtonTimers {
public:
    void started() { ++pending_; }
    // A timer fired: true when the button is to become the abort button.
    bool fired(bool running)
    {
        const bool show = running && pending_ == 1;
        --pending_;
        return show;
    }
    int pending() const { return pending_; }

private:
    int16_t pending_ = 0;
};
