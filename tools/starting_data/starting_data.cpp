// Makes the starting data set a fresh installation calculates with: the chemical
// databases imported by the program's own importers from the public NASA Glenn
// thermodynamic and transport files and the hydrogen/oxygen mechanism, and one worked
// example each of a propellant, a grain, a nozzle and a run configuration, written with
// the stores' own entry layouts, and the preferences file of the defaults, written by the
// preference store (so that a first start has nothing to repair and raises no code).
//
//   kavro_starting_data <folder of thermo.inp, trans.inp, h2o2-mechanism.mech> <output folder>
//
// The output folder is the build's own (the build copies its files into Data/ beside the
// executable only where the user has no such file); the eight files in it are made anew.
// Every example is read back through the loader the program uses for it, and any import
// failure or refused example ends the program with a non-zero exit code, so the build
// stops rather than installing a set that cannot calculate.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QStringList>

#include "calculations/configuration_store.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/message_box.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "core/view_message.h"
#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "grain/grain_provider.h"
#include "grain/grain_store.h"
#include "nozzle/nozzle_provider.h"
#include "nozzle/nozzle_store.h"
#include "propellant/mixture_loader.h"
#include "propellant/propellant_entry.h"

namespace fs = std::filesystem;

namespace {

// Names of the worked examples, as the user finds them in the lists.
const char* const kPropellant = "LOX/LH2";
const char* const kGrain = "Tube 70x25x100 (2 charges)";
const char* const kNozzle = "Conical 25";
const char* const kConfiguration = "LOX/LH2 at 53.3172 bar";

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "kavro_starting_data: %s\n", message.c_str());
    std::exit(1);
}

void note(const std::string& message)
{
    std::fprintf(stderr, "kavro_starting_data: note: %s\n", message.c_str());
}

// The importers' questions and reports. The output files are made anew, so an
// overwrite question can only come from a name repeated within one data file: the later
// record is taken, as the user answering Yes would. Reports (records refused, transport
// records for names the species file does not hold) are listed on the build's output.
ImportCallbacks buildCallbacks()
{
    ImportCallbacks c;
    c.askOverwrite = [](const std::string& question) {
        note("answered Yes: " + question);
        return OverwriteReply{OverwriteAnswer::Yes, false};
    };
    c.report = [](const std::string& message, const std::string& details) {
        note(details.empty() ? message : message + " (" + details + ")");
    };
    return c;
}

// Any other box (a loader's) is a fault of the set: it is shown on the output and
// answered with its default button, and the check that follows fails the build.
void installPresenter()
{
    setMessagePresenter([](QObject*, const MessageRequest& request) {
        std::string text = request.text.toStdString();
        if (!request.informativeText.isEmpty())
            text += " (" + request.informativeText.toStdString() + ")";
        note("message: " + text);
        MessageReply reply;
        reply.button = request.defaultButton != Msg::NoButton ? request.defaultButton : Msg::Ok;
        reply.customButton = request.defaultCustomButton;
        return reply;
    });
}

void requireImport(const ImportOutcome& out, const std::string& what)
{
    if (!out.ok)
        fail("the import of " + what + " failed" + (out.detail.empty() ? std::string() : ": " + out.detail));
    std::fprintf(stderr, "kavro_starting_data: %s: %d entries stored, %d refused, %d passed over\n", what.c_str(),
                 out.stored, out.refused, out.passedOver);
}

void writeDocument(const std::string& path, const nlohmann::json& document)
{
    std::string error;
    if (!writeJsonFile(path, document, &error))
        fail("cannot write " + path + ": " + error);
}

// The reference liquid hydrogen / liquid oxygen propellant (NASA RP-1311, example 8):
// oxidiser-to-fuel mass ratio 5.55157, typed as relative masses 1 and 5.55157. The
// products are the gaseous H/O species the hydrogen/oxygen mechanism knows, with all its
// reactions, so that the equilibrium, frozen and kinetic runs all work on it. (The
// published case also considers O3 and condensed water, which stay below 5e-6 in mole
// fraction at every station.)
PropellantEntry referencePropellant(const nlohmann::json& kinetics)
{
    PropellantEntry p;
    p.composition = {{"H2(L)", 1.0}, {"O2(L)", 5.55157}};
    p.elements = {"H", "O", "E"};
    p.species = {"H", "H2", "H2O", "H2O2", "HO2", "O", "O2", "OH"};
    for (auto it = kinetics.begin(); it != kinetics.end(); ++it)
        p.reactions.push_back(it.key());
    return p;
}

// A tubular grain of two charges, 70 mm outside and 25 mm core diameter, 100 mm long
// each, burning on the core and both ends; 100 samples of its burn-back.
grain::GrainEntry exampleGrain()
{
    grain::GrainEntry g;
    g.geometry = grain::Cylindrical;
    g.units = 0; // mm
    g.combustion = grain::RadialAndBase;
    g.points = 100;
    g.parameters = {70.0, 25.0, 100.0, 2.0};
    return g;
}

// A conical nozzle in mm: 200 entrance, 100 throat and 500 exit diameter (exit area
// ratio 25), 30-degree convergent and 15-degree divergent half-angles, a 50 mm throat
// fillet, 200 stations.
NozzleEntry exampleNozzle()
{
    NozzleEntry n;
    n.units = 0;
    n.type = 1; // conical
    n.points = 200;
    n.options = {false, false, false, true};
    n.parameters = {200.0, 100.0, 500.0, 30.0, 15.0, 0.0, 50.0};
    return n;
}

// The published case's run: 53.3172 bar (unit 2, bar), equilibrium flow, infinite-area
// combustor, transport properties, sea-level ambient pressure.
calc::Configuration exampleConfiguration()
{
    calc::Configuration c;
    c.propellant = kPropellant;
    c.nozzle = kNozzle;
    c.grainMode = false;
    c.pressure = 53.3172;
    c.pressureUnit = 2;
    c.ode = true;
    c.frozen = false;
    c.fac = false;
    c.transport = true;
    c.ambient = 1.01325;
    c.ambientUnit = 2;
    c.uniformTemperature = false;
    c.homT = 298.15;
    c.heatWall = false;
    return c;
}

// Reads every example back as a run takes it.
void checkExamples()
{
    flagsL.store(0);
    // The loaders' boxes go to the presenter's notes, each as soon as its loader returns.
    ViewMessages boxes;
    std::vector<std::string> species;
    loadPropellantMixture(kPropellant, &boxes, &species);
    showViewMessages(nullptr, std::exchange(boxes, {}));
    if (flagsL.load() != 0 || species.empty())
        fail(std::string("the example propellant does not load (L codes ") + std::to_string(flagsL.load()) + ")");
    std::vector<double> y, area;
    const double grainArea = loadGrainBurnback(kGrain, &y, &area, &boxes);
    showViewMessages(nullptr, std::exchange(boxes, {}));
    if (!(grainArea > 0.0))
        fail("the example grain does not load");
    std::vector<double> x, A;
    double throat = 0.0, curvature = 0.0;
    const bool nozzleLoaded = loadNozzle(kNozzle, x, A, throat, curvature, &boxes);
    showViewMessages(nullptr, std::exchange(boxes, {}));
    if (!nozzleLoaded)
        fail("the example nozzle does not load");
    std::string error;
    JsonReadResult configurations = readJsonFile(CONFIGURATIONS);
    if (configurations.status != JsonReadStatus::Ok
        || !calc::parseConfiguration(configurations.document[kConfiguration], &error))
        fail("the example configuration does not read back: " + error);
    if (flagsF.load() != 0 || flagsL.load() != 0 || unitFlag.load() != 0)
        fail("reading the examples raised codes");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail("usage: kavro_starting_data <folder of the NASA files> <output folder>");
    const fs::path source = args.at(1).toStdString();
    const fs::path out = args.at(2).toStdString();
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec)
        fail("cannot create " + out.string() + ": " + ec.message());

    // The program's paths, pointed at the output folder.
    appDirectory = out.string();
    SPECIES = (out / "Species.json").string();
    REACTANTS = (out / "Reactants.json").string();
    KINETICS = (out / "Kinetics.json").string();
    PROPELLANT = (out / "Propellants.json").string();
    GRAIN = (out / "Grains.json").string();
    NOZZLE = (out / "Nozzles.json").string();
    CONFIGURATIONS = (out / "Configurations.json").string();
    const std::string preferences = (out / "Preferences.json").string();
    for (const std::string* path : std::initializer_list<const std::string*>{
                 &SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE, &CONFIGURATIONS, &preferences})
        fs::remove(*path, ec); // the previous build's set, never the user's files
    installPresenter();

    const ImportCallbacks callbacks = buildCallbacks();
    const std::string thermo = (source / "thermo.inp").string();
    requireImport(importThermoFile(thermo, ChemicalDatabase::Species, callbacks, SPECIES), "species (thermo.inp)");
    requireImport(importTransportFile((source / "trans.inp").string(), ChemicalDatabase::Species, callbacks, SPECIES),
                  "species transport data (trans.inp)");
    requireImport(importThermoFile(thermo, ChemicalDatabase::Reactants, callbacks, REACTANTS),
                  "reactants (thermo.inp)");
    requireImport(importMechanismFile((source / "h2o2-mechanism.mech").string(), callbacks, KINETICS),
                  "reactions (h2o2-mechanism.mech)");

    const JsonReadResult kinetics = readJsonFile(KINETICS);
    if (kinetics.status != JsonReadStatus::Ok)
        fail("the imported reactions cannot be read back");
    writeDocument(PROPELLANT, nlohmann::json{{kPropellant, toJson(referencePropellant(kinetics.document))}});
    writeDocument(GRAIN, nlohmann::json{{kGrain, grain::toJson(exampleGrain())}});
    writeDocument(NOZZLE, nlohmann::json{{kNozzle, nozzleEntryToJson(exampleNozzle())}});
    writeDocument(CONFIGURATIONS, nlohmann::json{{kConfiguration, calc::configurationEntry(exampleConfiguration())}});
    writeDocument(preferences, startingPreferencesDocument());

    // Creating the files raised their "not found" codes; reading back starts clean.
    flagsF.store(0);
    checkExamples();
    return 0;
}
