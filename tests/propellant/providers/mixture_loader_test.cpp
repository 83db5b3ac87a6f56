// The mixture of a stored propellant: records, amounts, reactions (left-out
// participants, reverse third bodies, J/mol activation energies), the refusals of names
// the databases lack, and what each of the four files does when missing, unreadable or
// corrupted.
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/json_file.h"
#include "engine/engine_messages.h"
#include "propellant/fixture_entries.h"
#include "propellant/mixture_loader.h"
#include "propellant/propellant_entry.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

using nlohmann::json;

const char* const SPECIES_FILE = "Species.json";
const char* const REACTANTS_FILE = "Reactants.json";
const char* const KINETICS_FILE = "Kinetics.json";
const char* const PROPELLANTS_FILE = "Propellants.json";

json propellant(const std::vector<std::string>& species, const std::vector<std::string>& reactions)
{
    PropellantEntry e;
    e.composition = {{"Fuel", 1.0}, {"Oxidiser", 3.0}};
    e.elements = {"H", "O", "E"};
    e.species = species;
    e.reactions = reactions;
    return toJson(e);
}

const std::vector<std::string> ALL_SPECIES = {"H2", "H", "O2", "O", "H2O", "OH"};

class MixtureLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsL = 0;
        flagsSP = 0;
        flagsF = 0;
        setEngineMessageHandler([this](const EngineMessage& m) { engineMessages.push_back(m.text); });
        write(SPECIES_FILE, fixture::speciesDoc());
        write(REACTANTS_FILE, fixture::reactantsDoc());
        write(KINETICS_FILE, fixture::kineticsDoc());
        write(PROPELLANTS_FILE,
              {{"Full", propellant(ALL_SPECIES, {"dissociation", "no products", "water", "no reactants"})},
               {"Argon", propellant(ALL_SPECIES, {"uses argon"})},
               {"Colliders", propellant(ALL_SPECIES, {"colliders absent"})},
               {"Plain", propellant({"H2", "H2O", "O2"}, {})}});
    }
    void TearDown() override { setEngineMessageHandler({}); }

public:
    void write(const std::string& file, const json& doc) { ASSERT_TRUE(writeJsonFile(dir.dataFile(file), doc)); }
    // Changes one entry of the propellant file.
    void store(const std::string& name, const json& entry)
    {
        json doc = readJsonFile(dir.dataFile(PROPELLANTS_FILE)).document;
        doc[name] = entry;
        write(PROPELLANTS_FILE, doc);
    }

    // The load with the boxes it hands back shown through the seam, as a view shows them.
    std::shared_ptr<Mixture> load(const std::string& name, std::vector<std::string>* names = nullptr)
    {
        ViewMessages handed;
        std::shared_ptr<Mixture> m = loadPropellantMixture(name, &handed, names);
        showViewMessages(nullptr, handed);
        return m;
    }

    // The propellant "P" of every species, loaded afresh over the fixture's databases as
    // `change` leaves them, with no code raised before.
    std::shared_ptr<Mixture> loadOverChanged(const std::function<void(json& species, json& reactants)>& change)
    {
        SetUp();
        boxes.clear();
        json species = fixture::speciesDoc();
        json reactants = fixture::reactantsDoc();
        change(species, reactants);
        write(SPECIES_FILE, species);
        write(REACTANTS_FILE, reactants);
        store("P", propellant(ALL_SPECIES, {}));
        flagsL = 0;
        unitFlag = 0;
        return load("P");
    }

protected:
    TempAppDir dir;
    MessageRecorder boxes;
    std::vector<std::string> engineMessages;
};

TEST_F(MixtureLoader, BuildsTheStoredPropellant)
{
    std::vector<std::string> names{"left over"};
    auto m = load("Full", &names);
    ASSERT_TRUE(m);
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(boxes.messages().empty());
    EXPECT_EQ(names, ALL_SPECIES);
    EXPECT_EQ(m->nSpecies, 6);
    EXPECT_EQ(m->speciesNames, ALL_SPECIES); // all gaseous: the stored order
    EXPECT_EQ(m->elementSymbols, (std::vector<std::string>{"H", "O", "E"}));
    // Relative masses 1 and 3, molar masses 2.016 and 32: 1/4 kg of fuel per kg is
    // 1/(4 x 2.016) kmol, 3/4 kg of oxidiser 3/(4 x 32) kmol.
    ASSERT_EQ(m->nReactants, 2);
    EXPECT_DOUBLE_EQ(m->reactants[0]->moles, 1.0 / 8.064);
    EXPECT_DOUBLE_EQ(m->reactants[1]->moles, 3.0 / 128.0);
    EXPECT_EQ(m->reactants[0]->referenceTemperature, 20.27);
    // Element totals follow: 2 H per fuel molecule, 2 O per oxidiser molecule.
    EXPECT_DOUBLE_EQ(m->elementTargets[0], 2.0 / 8.064);
    EXPECT_DOUBLE_EQ(m->elementTargets[1], 6.0 / 128.0);

    // The reactions without products (key absent) or reactants (empty list) are left out.
    ASSERT_EQ(m->nReactions, 2);
    const Reaction& dissociation = *m->reactions[0];
    EXPECT_EQ(dissociation.reactantSpecies, (std::vector<uint16_t>{0}));
    EXPECT_EQ(dissociation.productSpecies, (std::vector<uint16_t>{1}));
    EXPECT_EQ(dissociation.productCoefficients, (std::vector<double>{2.0}));
    EXPECT_EQ(dissociation.A, 1e13);
    EXPECT_EQ(dissociation.b, 0.5);
    // Stored H2 2.5, AR 0.8, H2O 6.0: argon is no species of the propellant (SP13, no
    // box); the others are kept last first.
    EXPECT_EQ(dissociation.thirdBodyCount, 2);
    EXPECT_EQ(dissociation.thirdBodySpecies, (std::vector<uint16_t>{4, 0}));
    EXPECT_EQ(dissociation.thirdBodyEfficiencies, (std::vector<double>{6.0, 2.5}));
    EXPECT_TRUE(dissociation.hasThirdBody);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP13));
    // 4184 J/mol is 1000 cal/mol, the unit the rates compute with.
    const Reaction& water = *m->reactions[1];
    EXPECT_DOUBLE_EQ(water.Ea, 1000.0);
    EXPECT_EQ(water.reactantSpecies, (std::vector<uint16_t>{0, 3}));
    EXPECT_FALSE(water.hasThirdBody);
}

// The loader shows no box itself: the participants it leaves out and a file it cannot
// use come back in order, parentless critical boxes with the window icon, no title.
TEST_F(MixtureLoader, BoxesAreHandedBackNotShown)
{
    ViewMessages handed;
    ASSERT_TRUE(loadPropellantMixture("Argon", &handed));
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0].box.text, "Reaction reactant 'AR' could not be found in composition");
    EXPECT_EQ(handed[1].box.text, "Reaction product 'AR' could not be found in composition");

    dir.write(std::string("Data/") + KINETICS_FILE, "{");
    ASSERT_TRUE(loadPropellantMixture("Plain", &handed));
    ASSERT_EQ(handed.size(), 3u);
    EXPECT_EQ(handed[2].box.text, "Kinetics file was corrupted, save process aborted");
    for (const ViewMessage& m : handed) {
        EXPECT_TRUE(m.parentless);
        EXPECT_EQ(m.box.icon, Msg::Critical);
        EXPECT_TRUE(m.box.windowIcon);
        EXPECT_TRUE(m.box.title.isEmpty());
    }
    EXPECT_TRUE(boxes.messages().empty());
}

TEST_F(MixtureLoader, ParticipantOutsideThePropellantIsLeftOutAndReported)
{
    auto m = load("Argon");
    ASSERT_EQ(boxes.messages().size(), 2u);
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Reaction reactant 'AR' could not be found in composition",
                           "Reaction product 'AR' could not be found in composition"}));
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(boxes.parents()[k], nullptr);
        EXPECT_EQ(boxes.messages()[k].icon, Msg::Critical);
        EXPECT_TRUE(boxes.messages()[k].windowIcon);
        EXPECT_TRUE(boxes.messages()[k].title.isEmpty());
    }
    EXPECT_EQ(flagsL.load(), code::L04);
    // The load went on: the reaction holds what was found.
    ASSERT_EQ(m->nReactions, 1);
    EXPECT_EQ(m->reactions[0]->reactantCount, 1);
    EXPECT_EQ(m->reactions[0]->productCount, 1);
    EXPECT_EQ(m->reactions[0]->reactantSpecies, (std::vector<uint16_t>{0}));
    EXPECT_EQ(m->nSpecies, 6);
}

TEST_F(MixtureLoader, ReactionWhoseCollidersAreAllAbsentKeepsItsThirdBody)
{
    auto m = load("Colliders");
    ASSERT_EQ(m->nReactions, 1);
    EXPECT_EQ(m->reactions[0]->thirdBodyCount, 0);
    EXPECT_TRUE(m->reactions[0]->thirdBodySpecies.empty());
    // 2 O + M = O2 + M still needs its collider: every species then counts with
    // efficiency 1.
    EXPECT_TRUE(m->reactions[0]->hasThirdBody);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP13));
    EXPECT_TRUE(boxes.messages().empty());
}

// A propellant naming what its database lacks (or holds as null, or cannot read) is
// refused with the code of the kind, never half built; the empty mixture's "undetermined"
// L07 is not added to the precise code.
TEST_F(MixtureLoader, NamesTheDatabasesLackAreRefused)
{
    const struct {
        const char* what;
        std::function<void(MixtureLoader&)> change;
        uint32_t code;
    } cases[] = {
            {"species missing",
             [](MixtureLoader& t) {
                 t.store("P", propellant({"H2", "H2O", "Xe"}, {}));
             },
             code::L04},
            {"species emptied to null",
             [](MixtureLoader& t) {
                 json s = fixture::speciesDoc();
                 s["H2O"] = nullptr;
                 t.write(SPECIES_FILE, s);
                 t.store("P", propellant({"H2", "H2O", "O2"}, {}));
             },
             code::L04},
            {"species mistyped",
             [](MixtureLoader& t) {
                 json s = fixture::speciesDoc();
                 s["O2"]["MolecWeight"] = "32";
                 t.write(SPECIES_FILE, s);
                 t.store("P", propellant({"H2", "H2O", "O2"}, {}));
             },
             code::L04},
            {"reactant missing",
             [](MixtureLoader& t) {
                 json p = propellant({"H2", "H2O", "O2"}, {});
                 p["Composition"][1][0] = "Peroxide";
                 t.store("P", p);
             },
             code::L05},
            {"reactant emptied to null",
             [](MixtureLoader& t) {
                 json r = fixture::reactantsDoc();
                 r["Fuel"] = nullptr;
                 t.write(REACTANTS_FILE, r);
                 t.store("P", propellant({"H2", "H2O", "O2"}, {}));
             },
             code::L05},
            {"reaction missing",
             [](MixtureLoader& t) {
                 t.store("P", propellant(ALL_SPECIES, {"water", "gone"}));
             },
             code::L06},
            {"reaction mistyped",
             [](MixtureLoader& t) {
                 json k = fixture::kineticsDoc();
                 k["water"]["A"] = 1e13;
                 t.write(KINETICS_FILE, k);
                 t.store("P", propellant(ALL_SPECIES, {"water"}));
             },
             code::L06},
            {"propellant entry mistyped",
             [](MixtureLoader& t) {
                 json p = propellant(ALL_SPECIES, {});
                 p["Composition"][0][1] = "1";
                 t.store("P", p);
             },
             code::L07},
            {"negative relative mass",
             [](MixtureLoader& t) {
                 json p = propellant(ALL_SPECIES, {});
                 p["Composition"][0][1] = -1.0;
                 t.store("P", p);
             },
             code::L07},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.change(*this);
        flagsL = 0;
        auto m = load("P");
        ASSERT_TRUE(m);
        EXPECT_EQ(m->nSpecies, 0);
        EXPECT_EQ(m->nReactants, 0);
        EXPECT_EQ(flagsL.load(), c.code);
    }
}

// Stored entries that the species and reactant editor would refuse to save are refused
// at load as well, whatever wrote them: L07 alone, the empty mixture, and one box naming
// the entry and the rule it breaks.
TEST_F(MixtureLoader, EntriesTheEditorRefusesAreRefusedNamingTheEntryAndTheRule)
{
    using Change = std::function<void(json & species, json & reactants)>;
    const json twoIntervals
            = json::array({{{"T_int", {1000.0, 6000.0}}, {"a", {3.5}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}},
                           {{"T_int", {200.0, 1000.0}}, {"a", {3.5}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}}});
    const struct {
        const char* what;
        Change change;
        const char* box;
        const char* rule; // the start of the informative text
    } cases[] = {
            {"species with an empty interval list", [](json& s, json&) { s["H2O"]["Intervals"] = json::array(); },
             "Invalid specie 'H2O' in the species database, propellant load failed",
             "A species needs at least one Cp interval"},
            {"species without intervals", [](json& s, json&) { s["H2O"].erase("Intervals"); },
             "Invalid specie 'H2O' in the species database, propellant load failed",
             "A species needs at least one Cp interval"},
            {"inverted Cp range",
             [](json& s, json&) {
                 s["O2"]["Intervals"][0]["T_int"] = {6000.0, 200.0};
             },
             "Invalid specie 'O2' in the species database, propellant load failed", "Invalid Cp Tmax: 200"},
            {"Cp intervals in descending order", [&](json& s, json&) { s["H2"]["Intervals"] = twoIntervals; },
             "Invalid specie 'H2' in the species database, propellant load failed", "Invalid Cp Tmin: 200"},
            {"molar mass -18",
             [](json& s, json&) {
                 s["H2O"]["MolecWeight"] = {-18.0, 0};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed", "Invalid molecular weight: -18"},
            {"molar mass -1e308",
             [](json& s, json&) {
                 s["H2O"]["MolecWeight"] = {-1e308, 0};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed",
             "Invalid molecular weight: -1e+308"},
            {"molar mass 1e308 kg/mol (1e311 kg/kmol)",
             [](json& s, json&) {
                 s["H2O"]["MolecWeight"] = {1e308, 1};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed",
             "Invalid molecular weight: 1e+308"},
            // 1.8e308 hydrogen atoms cannot weigh 18.015 g/mol (each weighs at least 1 g/mol).
            {"composition count 1.8e308",
             [](json& s, json&) {
                 s["H2O"]["Composition"] = {{std::numeric_limits<double>::max(), "H"}, {1.0, "O"}};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed", "Invalid composition"},
            // -1e308 J/kmol is finite, but -5.6e306 J per kg of water.
            {"formation enthalpy -1e308 J/kmol",
             [](json& s, json&) {
                 s["H2O"]["Enthalpy"] = {-1e308, 0};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed", "Invalid enthalpy: -1e+308"},
            {"empty composition", [](json& s, json&) { s["OH"]["Composition"] = json::array(); },
             "Invalid specie 'OH' in the species database, propellant load failed", "The composition holds no atoms"},
            {"formation enthalpy 1e308 J/mol",
             [](json& s, json&) {
                 s["H2O"]["Enthalpy"] = {1e308, 1};
             },
             "Invalid specie 'H2O' in the species database, propellant load failed", "Invalid enthalpy: 1e+308"},
            {"formation enthalpy -1e308 J/mol",
             [](json&, json& r) {
                 r["Fuel"]["Enthalpy"] = {-1e308, 1, 20.27};
             },
             "Invalid reactant 'Fuel' in the reactants database, propellant load failed", "Invalid enthalpy: -1e+308"},
            {"reactant formation temperature 0",
             [](json&, json& r) {
                 r["Oxidiser"]["Enthalpy"] = {-13.0e6, 0, 0.0};
             },
             "Invalid reactant 'Oxidiser' in the reactants database, propellant load failed",
             "Invalid temperature for formation enthalpy: 0"},
            {"reactant formation temperature -1 K",
             [](json&, json& r) {
                 r["Oxidiser"]["Enthalpy"] = {-13.0e6, 0, -1.0};
             },
             "Invalid reactant 'Oxidiser' in the reactants database, propellant load failed",
             "Invalid temperature for formation enthalpy: -1"},
            {"reactant molar mass -2",
             [](json&, json& r) {
                 r["Fuel"]["MolecWeight"] = {-2.0, 0};
             },
             "Invalid reactant 'Fuel' in the reactants database, propellant load failed",
             "Invalid molecular weight: -2"},
            {"reactant molar mass -1e308",
             [](json&, json& r) {
                 r["Fuel"]["MolecWeight"] = {-1e308, 0};
             },
             "Invalid reactant 'Fuel' in the reactants database, propellant load failed",
             "Invalid molecular weight: -1e+308"},
            // A molar mass must be the weight of its formula: H2 is 2 x 1.008 g/mol, O2
            // 2 x 15.999 g/mol (IUPAC standard atomic weights).
            {"reactant H2 at ten times its molar mass",
             [](json&, json& r) {
                 r["Fuel"]["MolecWeight"] = {20.1588, 0};
             },
             "Invalid reactant 'Fuel' in the reactants database, propellant load failed",
             "Invalid composition: its atoms weigh 2.016 g/mol, the molar mass 20.1588 g/mol"},
            {"species O2 at 2 g/mol",
             [](json& s, json&) {
                 s["O2"]["MolecWeight"] = {2.0, 0};
             },
             "Invalid specie 'O2' in the species database, propellant load failed",
             "Invalid composition: its atoms weigh 31.998 g/mol, the molar mass 2 g/mol"},
            {"reactant O2 at 0.0032 kg/mol",
             [](json&, json& r) {
                 r["Oxidiser"]["MolecWeight"] = {0.0032, 1};
             },
             "Invalid reactant 'Oxidiser' in the reactants database, propellant load failed",
             "Invalid composition: its atoms weigh 31.998 g/mol, the molar mass 0.0032 kg/mol"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = loadOverChanged(c.change);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->nSpecies, 0);
        EXPECT_EQ(m->nReactants, 0);
        EXPECT_EQ(flagsL.load(), code::L07);
        ASSERT_EQ(boxes.texts(), QStringList{c.box});
        EXPECT_TRUE(boxes.messages()[0].informativeText.startsWith(c.rule))
                << boxes.messages()[0].informativeText.toStdString();
        EXPECT_EQ(boxes.parents()[0], nullptr);
        EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
    }

    // The same databases unharmed: the propellant loads without a code or a box.
    SetUp();
    boxes.clear();
    store("P", propellant(ALL_SPECIES, {}));
    flagsL = 0;
    auto m = load("P");
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(boxes.messages().empty());
    EXPECT_EQ(m->nSpecies, 6);
}

// Stored entries outside the layout the editor writes, which the program has always
// loaded: a third "Enthalpy" element beside Cp intervals (a species ignores it, a reactant
// takes it as its reference temperature) and a unit index the unit list lacks (the value
// is taken as stored and U raised, which the run start refuses; no load code).
TEST_F(MixtureLoader, StoredEntriesOutsideTheWrittenLayoutLoadAsTheyAlwaysHave)
{
    const json interval = json::array({{{"T_int", {200.0, 6000.0}}, {"a", {3.5}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}}});
    const struct {
        const char* what;
        std::function<void(json& species, json& reactants)> change;
        bool unitCode;
        std::function<void(const Mixture&)> check;
    } cases[] = {
            {"species with a third enthalpy element",
             [](json& s, json&) {
                 s["H2O"]["Enthalpy"] = {-241826.0, 1, 298.15};
             },
             false,
             [](const Mixture& m) {
                 const Species& water = *m.species[4];
                 ASSERT_EQ(water.name, "H2O");
                 EXPECT_EQ(water.referenceTemperature, -1.0);
                 EXPECT_DOUBLE_EQ(water.formationEnthalpy, -241826.0e3); // J/mol x 1000
                 EXPECT_EQ(water.nIntervals, 1);
             }},
            {"reactant with Cp intervals and a third enthalpy element",
             [&](json&, json& r) {
                 r["Fuel"]["Intervals"] = interval;
                 r["Fuel"]["Enthalpy"] = {-9.0e6, 0, 250.0};
             },
             false,
             [](const Mixture& m) {
                 const Species& fuel = *m.reactants[0];
                 EXPECT_EQ(fuel.referenceTemperature, 250.0);
                 EXPECT_EQ(fuel.nIntervals, 1);
                 EXPECT_EQ(fuel.minTemperature, 200.0);
                 EXPECT_EQ(fuel.maxTemperature, 6000.0);
             }},
            {"species enthalpy unit 7",
             [](json& s, json&) {
                 s["H2O"]["Enthalpy"] = {-241826.0, 7};
             },
             true, [](const Mixture& m) { EXPECT_EQ(m.species[4]->formationEnthalpy, -241826.0); }},
            {"reactant molar mass unit -1",
             [](json&, json& r) {
                 r["Oxidiser"]["MolecWeight"] = {32.0, -1};
             },
             true, [](const Mixture& m) { EXPECT_EQ(m.reactants[1]->molarMass, 32.0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = loadOverChanged(c.change);
        ASSERT_TRUE(m);
        EXPECT_EQ(flagsL.load(), 0u);
        EXPECT_EQ(unitFlag.load(), c.unitCode ? 1 : 0);
        EXPECT_TRUE(boxes.messages().empty()) << boxes.texts().join("|").toStdString();
        ASSERT_EQ(m->nSpecies, 6);
        ASSERT_EQ(m->nReactants, 2);
        c.check(*m);
    }
    unitFlag = 0;
}

TEST_F(MixtureLoader, NameThatIsNoKeyGivesTheEmptyListsMixture)
{
    std::vector<std::string> names{"left over"};
    auto m = load("Nobody", &names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(m->nSpecies, 0);
    // The mixture's own check reports it.
    EXPECT_TRUE(flagRaised(flagsL, code::L02));
    ASSERT_FALSE(engineMessages.empty());
    EXPECT_EQ(engineMessages.back(), "At least one specie in gaseous phase needs to be selected");
}

TEST_F(MixtureLoader, StoredElementsGetTheElectronOnceAndLast)
{
    json p = propellant({"H2", "H2O", "O2"}, {});
    p["ELEMENTS"] = {"H", "E", "O", "E"};
    store("P", p);
    auto m = load("P");
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_EQ(m->elementSymbols, (std::vector<std::string>{"H", "O", "E"}));
}

// Each of the four files missing, present but unreadable, or unparsable: the empty
// mixture with L07, the file's code, and a box only when the file is there.
TEST_F(MixtureLoader, FileStates)
{
    struct File {
        const char* name;
        const char* word;
        uint32_t missing, corrupt;
    };
    const File files[] = {{PROPELLANTS_FILE, "Propellant", code::F(6), code::F(22)},
                          {REACTANTS_FILE, "Reactants", code::F(2), code::F(18)},
                          {SPECIES_FILE, "Species", code::F(0), code::F(16)},
                          {KINETICS_FILE, "Kinetics", code::F(4), code::F(20)}};
    enum State { Missing, Unreadable, Unparsable, NotAnObject };
    for (const File& f : files) {
        for (State state : {Missing, Unreadable, Unparsable, NotAnObject}) {
            SCOPED_TRACE(std::string(f.name) + " state " + std::to_string(state));
            SetUp();
            boxes.clear();
            const std::string path = dir.dataFile(f.name);
            std::filesystem::remove(path);
            if (state == Unreadable)
                std::filesystem::create_directory(path);
            else if (state == Unparsable)
                dir.write(std::string("Data/") + f.name, "{ not json");
            else if (state == NotAnObject)
                dir.write(std::string("Data/") + f.name, "[1, 2]");
            flagsL = 0;
            flagsF = 0;
            // "Plain" has no reaction: a missing Kinetics.json fails it all the same.
            auto m = load("Plain");
            ASSERT_TRUE(m);
            EXPECT_EQ(m->nSpecies, 0);
            EXPECT_EQ(flagsL.load(), code::L07);
            const QString word = QString::fromLatin1(f.word);
            switch (state) {
            case Missing:
                EXPECT_EQ(flagsF.load(), f.missing);
                EXPECT_TRUE(boxes.messages().empty());
                break;
            case Unreadable:
                EXPECT_EQ(flagsF.load(), 0u);
                EXPECT_EQ(boxes.texts(),
                          QStringList{word
                                      + " file could not be opened, it may be opened by another software or have "
                                        "accesibility restrictions"});
                break;
            case Unparsable:
            case NotAnObject:
                EXPECT_EQ(flagsF.load(), f.corrupt);
                EXPECT_EQ(boxes.texts(), QStringList{word + " file was corrupted, save process aborted"});
                break;
            }
            for (std::size_t k = 0; k < boxes.messages().size(); ++k) {
                EXPECT_EQ(boxes.parents()[k], nullptr);
                EXPECT_EQ(boxes.messages()[k].icon, Msg::Critical);
                EXPECT_TRUE(boxes.messages()[k].windowIcon);
                EXPECT_TRUE(boxes.messages()[k].title.isEmpty());
            }
            std::filesystem::remove_all(path);
        }
    }
}

TEST_F(MixtureLoader, NullFileReadsAsEmpty)
{
    dir.write("Data/Propellants.json", "null\n");
    auto m = load("Plain");
    EXPECT_EQ(m->nSpecies, 0);
    EXPECT_FALSE(flagRaised(flagsF, code::F(22)));
    EXPECT_TRUE(flagRaised(flagsL, code::L02));
}

} // namespace
