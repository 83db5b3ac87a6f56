#pragma once
// The state of the calculation tab without its widgets: the results list (finished runs,
// the run in progress, the record being edited last), the propellant's mixture, the
// uniform reactant temperature, what each input choice writes into the record being
// edited, the checks of a run start and of a configuration save in their order with
// their messages, the run member for the chosen model, and the judgement of a finished
// run. Refusals come back to the view as boxes to show (core/view_message.h); only the
// questions asked in the middle of an operation (the single-temperature warnings, the
// overwrite question of a save) go through the message seam from here.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>

#include "calculations/calculation_providers.h"
#include "calculations/performance_summary.h"
#include "core/view_message.h"
#include "engine/rocket_variables.h"

class Mixture;
class QObject;
class QThread;
class Threader;

namespace calc {

// The form as the user left it: the texts of the fields and the choices of the lists,
// boxes and buttons.
struct TabForm {
    QString name;
    bool autosave = false;
    int propellantIndex = -1;
    QString propellant;
    int nozzleIndex = -1;
    QString nozzle;
    bool grainMode = false;
    int grainIndex = -1;
    QString grain;
    QString pressure;
    int pressureUnit = 0;
    bool ode = true;
    bool frozen = false;
    QString frozenPosition; // the frozen point's x in the unit of the length combo
    int lengthUnit = 0; // 0 mm, 1 cm, 2 dm, 3 m
    bool fac = false;
    QString chamberArea;
    int areaUnit = 0;
    bool transport = true;
    bool heatWall = false;
    QString wallTemperature;
    QString ambient;
    int ambientUnit = 0;
    bool homTChecked = false;
    QString homT;
};

// Whether the form offers the frozen point (the rule of its widgets' enabling: the
// equilibrium model with "Frozen at" ticked), the only case in which its position is read.
bool frozenPointOffered(const TabForm& form);

// The tab's own operations a run start needs on the way: the autosave and the reading
// of the "Current" items of the other tabs (each, as the view's own choice does, shows the
// loader's boxes when it refuses).
// The values of the fields come in the TabForm and flow one way.
// A "Current" item read again: whether it stays selected, and whether the loader's boxes
// have already told why it cannot be used (the start then adds no box of its own).
struct CurrentReread {
    bool selected = false;
    bool told = false;
};
struct FormActions {
    std::function<bool()> save; // the configuration save (autosave before a run)
    std::function<CurrentReread()> rereadCurrentNozzle;
    std::function<CurrentReread()> rereadCurrentGrain;
};

// What a check hands back for the form to show besides its boxes: the pressure field
// emptied after its refusal, the frozen point moved onto the station it was placed on.
struct FormEcho {
    bool clearPressure = false;
    std::optional<uint32_t> frozenStation;
};

// Solver member of a run, by model, combustor and pressure or grain mode.
enum class RunMember { OdeIac, OdeIacGrain, OdeFac, OdkIac, Unsupported };
struct RunMemberChoice {
    RunMember member;
    QString message; // the refusal of an unsupported combination
};
RunMemberChoice chooseRunMember(bool ode, bool infiniteArea, bool grainRun);

// How a finished run is taken back.
enum class RunOutcome { CriticalError, NotConverged, Aborted, Succeeded };
struct RunReport {
    bool result = true; // what the worker reported (false: no usable result)
    bool abortRequested = false;
    bool unitRaised = false; // U raised during the run
    uint32_t newLoadCodes = 0; // L codes the run raised itself
    uint32_t kineticCodes = 0; // flagsODK at the end
    uint32_t speciesCodes = 0; // flagsSP at the end
    uint32_t flowCodes = 0; // flagsODE at the end
};
RunOutcome judgeRun(const RunReport& report);

// A run checked and built, not yet started. Made and destroyed where the worker's type
// is known, so that a view can hold one without the engine's headers.
struct PreparedRun {
    PreparedRun();
    PreparedRun(PreparedRun&&) noexcept;
    PreparedRun& operator=(PreparedRun&&) noexcept;
    ~PreparedRun();
    std::unique_ptr<Threader> worker;
    std::shared_ptr<RocketVariables> record;
    RunMember member = RunMember::OdeIac;
};

// The run start: the run when every check passed, else the refusal to show.
struct RunStart {
    std::optional<PreparedRun> run;
    ViewMessages messages;
    FormEcho echo;
};

// The configuration save: true when written or when the user declined to overwrite.
struct SaveOutcome {
    bool saved = false;
    ViewMessages messages; // the refusal, the failed write or "Successful save"
    FormEcho echo;
};

// Result of an input choice that loads a nozzle into the record being edited.
struct NozzleSelection {
    bool loaded = false;
    uint32_t throatIndex = 0; // the station nearest to x = 0
    uint32_t stationCount = 0;
    double entranceArea = 0.0; // [m^2]
    ViewMessages messages; // the nozzle loader's boxes, for the view to show
};

class CalculationModel {
public:
    explicit CalculationModel(QObject* messageParent, CalculationProviders providers = defaultProviders());
    ~CalculationModel();

    // Finished runs in run order, then (while a run is going) the running run's record,
    // then the record being edited. Never empty.
    std::vector<std::shared_ptr<RocketVariables>> results;
    std::shared_ptr<Mixture> mixture; // the chosen propellant's; null until one is chosen
    double homT = 0.0; // last accepted uniform reactant temperature [K]; 0 until then
    bool warnSingleDefined = true;
    bool running = false;
    uint16_t pendingAbortTimers = 0;

    RocketVariables& edited() { return *results.back(); }
    // The finished runs: every record but the one being edited and the one running.
    std::size_t finishedCount() const;
    std::vector<std::shared_ptr<RocketVariables>> finishedRuns() const;
    // The record the worker is filling, null outside a run.
    const std::shared_ptr<RocketVariables>& runRecord() const { return runRecord_; }

    // Input choices (the record being edited and the mixture). Each hands back the
    // loader's boxes for the view to show once the call returns.
    // Loads the propellant; applies the uniform temperature when it is on and set. The
    // single-temperature warnings of that are asked during the call, so before the view
    // shows the returned boxes: the tab passes false and reapplies after showing them.
    ViewMessages selectPropellant(const std::string& name, bool uniformTemperatureOn);
    // The accepted uniform temperature applied again to a newly loaded mixture (nothing
    // while it is 0), with the single-temperature warnings in 6 digits.
    void reapplyUniformTemperature();
    NozzleSelection selectNozzle(const std::string& name);
    // False when the grain could not be loaded.
    Reported<bool> selectGrain(const std::string& name);
    // Chamber pressure text in the unit of the pressure combo into the record being
    // edited; false with its refusal (`echo.clearPressure` says whether the field is
    // to be emptied).
    struct PressureChoice {
        bool accepted = false;
        ViewMessages messages;
        FormEcho echo;
    };
    PressureChoice selectChamberPressure(const QString& text, int unitIndex);
    // Uniform reactant temperature: applied to the mixture with the single-temperature
    // warnings; false with "Invalid homogeneous temperature" (homT is kept).
    Reported<bool> applyUniformTemperature(const QString& text);
    // The frozen point typed in the length unit, placed on the nearest station of the
    // nozzle being edited; nullopt with "Invalid position" when it is no number, or
    // without a box when no nozzle is loaded.
    Reported<std::optional<uint32_t>> placeFrozenPoint(const QString& text, int lengthUnit) const;
    // The reactants back at their own temperatures: the propellant is built again (with
    // the loader's boxes handed back).
    ViewMessages restoreReactantTemperatures(const std::string& propellant);

    // Run start: the checks in order with their refusals (for a grain run the burn-law
    // loader's box is the refusal), then the run's own copies of the record and the
    // mixture, the solver and its worker.
    RunStart prepareRun(const TabForm& form, const FormActions& actions);
    // Puts the run's record before the record being edited, notes the codes raised so
    // far and starts the worker; `onFinished` runs in the context's thread.
    QThread* startRun(PreparedRun run, QObject* context, std::function<void(bool)> onFinished);
    // The tab is closing: a run still going is asked to stop (the kinetic and grain runs
    // notice), its thread quit and joined; its completion is not delivered.
    void stopRunOnClose();
    // The run came back: judged by the codes it raised itself, then, when they allow a
    // result, by its figures after its summary (judgeRunFigures; a fault raises its code
    // and makes the run a critical error). A run that is not kept leaves the results list;
    // a failed one always carries a critical code (ODE05, or ODE07 for a grain run whose
    // points found no balanced pressure, when the solver named none). `runIndex` is its
    // position among the finished runs.
    struct Completion {
        RunOutcome outcome = RunOutcome::Succeeded;
        std::size_t runIndex = 0;
    };
    Completion finishRun(bool result);

    // Configuration save: the checks in order with their refusals, then the file.
    SaveOutcome saveConfiguration(const TabForm& form);

    // Forgets the finished runs (a running run stays until it reports) and starts a new
    // record being edited.
    void clearResults();

private:
    void singleDefinedWarnings(int digits);
    // Notes the L codes an input choice raised while a run is going (they are not the run's).
    void noteSelectionCodes(uint32_t before);
    QObject* parent_;
    CalculationProviders providers_;
    std::shared_ptr<RocketVariables> runRecord_;
    QPointer<QThread> runThread_;
    uint32_t loadCodesAtStart_ = 0;
    uint32_t loadCodesBySelections_ = 0; // L codes the input choices raised during the run
    bool unitAtStart_ = false;
};

// Messages of the run start and of the save.
namespace text {
inline const QString noName = QStringLiteral("Must enter a name for the configuration");
inline const QString noPropellant = QStringLiteral("A propellant must be selected");
inline const QString noNozzle = QStringLiteral("A nozzle must be selected");
inline const QString noGrain = QStringLiteral("A grain geometry must be selected");
inline const QString checkFlags = QStringLiteral("Please check active flags for further detail");
inline const QString invalidAmbient = QStringLiteral("Invalid atmosferic pressure");
inline const QString invalidWall = QStringLiteral("Invalid nozzle wall temperature");
inline const QString invalidArea = QStringLiteral("Invalid combustion chamber area");
inline const QString ambientOverChamber = QStringLiteral("The chamber pressure must be above the ambient pressure");
inline const QString chamberNarrowerThanThroat
        = QStringLiteral("The combustion chamber must be wider than the nozzle throat");
inline const QString invalidPosition = QStringLiteral("Invalid position");
inline const QString invalidPressure = QStringLiteral("Invalid Pressure");
inline const QString noPressure = QStringLiteral("Pressure value must be explicitely given");
inline const QString invalidHomT = QStringLiteral("Invalid homogeneous temperature");
inline const QString criticalRun = QStringLiteral("Critical errors during calculations, process aborted");
inline const QString notConverged = QStringLiteral("Mixture composition could not converge, process aborted");
inline const QString runAborted = QStringLiteral("Calculations aborted");
} // namespace text

} // namespace calc
