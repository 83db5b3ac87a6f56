// Propellants.json from the tab model: the save in its order (name, fields, files, the
// overwrite question, the selection check, the write, the confirmation), the refusals
// that keep the file, the selection a load re-applies to the databases, and deletion.
#include <filesystem>

#include "propellant/compatibility.h"
#include "propellant/propellant_model.h"
#include "propellant/tab_fixture.h"

namespace {

using nlohmann::json;

class Store : public PropellantTabTest {
protected:
    void SetUp() override
    {
        PropellantTabTest::SetUp();
        showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel", "Oxidiser"}));
        showReported(&tab, updateCompatibleReactionsFor(false));
    }
    bool save(const QString& name, const SolidDataForm& form = {}, bool topLimit = true)
    {
        // The model's boxes shown as the tab shows them.
        return showReported(&tab, model.save(name, {{"Fuel", "70"}, {"Oxidiser", "30"}}, form, topLimit, &tab, [this] {
            ++verifications;
            return updateCompatibleReactionsFor(true);
        }));
    }
    static SolidDataForm solidData()
    {
        SolidDataForm f;
        f.enabled = true;
        f.density = "1.8";
        f.intervals = {{"1", "10", "2.5", "0.4"}, {"10", "", "3.1", "0.35"}};
        f.burnRateUnit = 1;
        return f;
    }

    QObject tab;
    PropellantModel model;
    int verifications = 0;
};

TEST_F(Store, SavesTheEntryAsTheFileLayoutWants)
{
    setActive("Species.json", "OH", false);
    setActive("Kinetics.json", "water", false);
    ASSERT_TRUE(save("Prop_A", solidData(), false));
    EXPECT_EQ(boxes.texts(), QStringList{"Successful save"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Information);
    EXPECT_EQ(refreshFlag.load(), 1);
    const json expected = json::parse(R"json({"Prop_A": {
        "Composition": [["Fuel", 70.0], ["Oxidiser", 30.0]],
        "Density": 1.8,
        "ELEMENTS": ["H", "O", "E"],
        "Intervals": [{"Pressure": [1.0, 10.0], "a": 2.5, "n": 0.4}, {"Pressure": [10.0], "a": 3.1, "n": 0.35}],
        "Reactions": ["colliders absent", "dissociation", "no products", "no reactants"],
        "Species": ["H", "H+", "H2", "H2O", "O", "O2", "e-"],
        "Units": [0, 1, 0]}})json");
    EXPECT_EQ(text("Propellants.json"), serializeJson(expected));
}

TEST_F(Store, NameIsCheckedBeforeTheFields)
{
    SolidDataForm broken = solidData();
    broken.density = "abc";
    EXPECT_FALSE(save("", broken));
    EXPECT_FALSE(save("Current", broken));
    EXPECT_EQ(boxes.texts(), (QStringList{"Cannot have empty name", "Cannot me named Current"}));
    EXPECT_FALSE(save("P", broken));
    EXPECT_EQ(boxes.lastText(), "Invalid density");
    EXPECT_FALSE(std::filesystem::exists(dir.dataFile("Propellants.json")));
    EXPECT_EQ(refreshFlag.load(), 0);
}

TEST_F(Store, OverwriteAsksAndReplacesTheWholeEntry)
{
    ASSERT_TRUE(save("P", solidData(), false));
    const std::string first = text("Propellants.json");
    boxes.clear();
    boxes.answer(Msg::Cancel);
    EXPECT_FALSE(save("P"));
    ASSERT_EQ(boxes.texts(), QStringList{"You are about to overwrite a save with the same name. Continue?"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(boxes.messages()[0].buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(boxes.messages()[0].defaultButton, Msg::Yes);
    EXPECT_EQ(text("Propellants.json"), first);

    boxes.clear();
    boxes.answer(Msg::Yes);
    ASSERT_TRUE(save("P")); // the data group now off: the density goes
    EXPECT_EQ(boxes.lastText(), "Successful save");
    EXPECT_FALSE(read("Propellants.json")["P"].contains("Density"));
    EXPECT_FALSE(read("Propellants.json")["P"].contains("Intervals"));
}

TEST_F(Store, RefusalsWriteNothing)
{
    ASSERT_TRUE(save("Kept"));
    const std::string kept = text("Propellants.json");
    refreshFlag = 0;

    // An active reaction using a deselected species: the check's message, no write.
    boxes.clear();
    setActive("Species.json", "H2O", false);
    EXPECT_FALSE(save("New"));
    EXPECT_EQ(boxes.texts(), QStringList{"Reaction 'water' has a non-selected specie as product"});
    EXPECT_EQ(text("Propellants.json"), kept);
    setActive("Species.json", "H2O", true);

    // No species selected: the entry could not be calculated.
    boxes.clear();
    json species = read("Species.json");
    for (auto& [name, entry] : species.items())
        entry["isActive"] = false;
    write("Species.json", species);
    json kinetics = read("Kinetics.json");
    for (auto& [name, entry] : kinetics.items())
        entry["isActive"] = false;
    write("Kinetics.json", kinetics);
    EXPECT_FALSE(save("New"));
    EXPECT_EQ(boxes.texts(), QStringList{"At least one species must be selected for the propellant"});
    EXPECT_EQ(text("Propellants.json"), kept);
    EXPECT_EQ(refreshFlag.load(), 0);
}

// A burn law every grain run would refuse is not stored: the field's message with the
// rule, and the file as it was (or none).
TEST_F(Store, BurnLawsNoGrainRunCanUseAreNotStored)
{
    SolidDataForm steep = solidData();
    steep.intervals = {{"0.779", "2.57", "8.26", "1"}};
    EXPECT_FALSE(save("Steep", steep));
    ASSERT_EQ(boxes.texts(), QStringList{"Invalid exponent: 1"});
    EXPECT_FALSE(boxes.messages()[0].informativeText.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.dataFile("Propellants.json")));

    ASSERT_TRUE(save("Kept", solidData(), false));
    const std::string kept = text("Propellants.json");
    refreshFlag = 0;
    SolidDataForm upper = solidData();
    upper.intervals[1].exponent = "1.5";
    SolidDataForm zero = solidData();
    zero.intervals[0].coefficient = "0";
    for (const auto& [form, message] :
         {std::pair{upper, QString("Invalid exponent: 1.5")}, std::pair{zero, QString("Invalid coefficient: 0")}}) {
        SCOPED_TRACE(message.toStdString());
        boxes.clear();
        EXPECT_FALSE(save("Kept", form, false));
        EXPECT_EQ(boxes.texts(), QStringList{message});
        EXPECT_EQ(text("Propellants.json"), kept);
    }
    EXPECT_EQ(refreshFlag.load(), 0);
}

TEST_F(Store, UnreadableFilesAreNeverWrittenOver)
{
    const struct {
        const char* file;
        const char* content; // null: a folder in its place
        uint32_t flag;
        QString message;
    } cases[] = {
            {"Propellants.json", "{\"A\": {\"Composition\": [[\"Fuel\", 1.0]]", code::F(22),
             "Propellant file was corrupted, save process aborted"},
            {"Propellants.json", nullptr, 0,
             "Propellant file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
            {"Species.json", "not json", code::F(16), "Species file was corrupted, save process aborted"},
            {"Kinetics.json", "[1,", code::F(20), "Kinetics file was corrupted, save process aborted"},
            {"Kinetics.json", nullptr, 0,
             "Kinetics file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SetUp();
        boxes.clear();
        std::filesystem::remove_all(dir.dataFile("Propellants.json"));
        std::filesystem::remove_all(dir.dataFile(c.file));
        if (c.content)
            dir.write(std::string("Data/") + c.file, c.content);
        else
            std::filesystem::create_directory(dir.dataFile(c.file));
        flagsF = 0;
        EXPECT_FALSE(save("P"));
        EXPECT_EQ(boxes.texts(), QStringList{c.message});
        EXPECT_EQ(flagsF.load() & ~code::F(6), c.flag);
        if (c.content) {
            EXPECT_EQ(text(c.file), c.content);
        }
        EXPECT_EQ(verifications, 0);
        std::filesystem::remove_all(dir.dataFile(c.file));
    }
}

TEST_F(Store, FailedWriteIsReportedNotConfirmed)
{
    // The preference points into a folder that is gone: nothing to read, nowhere to write.
    PROPELLANT = dir.path() + "/Gone/Propellants.json";
    EXPECT_FALSE(save("P"));
    PROPELLANT.clear();
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_TRUE(boxes.lastText().startsWith("The propellant file ")) << boxes.lastText().toStdString();
    EXPECT_TRUE(boxes.lastText().endsWith(" could not be written"));
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(refreshFlag.load(), 0);
}

TEST_F(Store, LoadAppliesTheStoredSelection)
{
    PropellantEntry entry;
    entry.species = {"H2", "H2O", "O2", "Xe"}; // Xe: no longer in the database
    entry.reactions = {};
    json species = read("Species.json");
    species["Null"] = nullptr; // an entry the start-up check emptied
    write("Species.json", species);
    compatibleSpecies.push_back("Null");
    std::optional<LoadDocuments> docs = showReported(&tab, PropellantModel::readLoadDocuments());
    ASSERT_TRUE(docs);
    ASSERT_TRUE(showReported(&tab, PropellantModel::applyStoredSelection(entry, *docs)));
    const json after = read("Species.json");
    for (const std::string& name : compatibleSpecies) {
        if (name == "Null")
            continue;
        const bool listed = name == "H2" || name == "H2O" || name == "O2";
        EXPECT_EQ(after[name]["isActive"], listed) << name;
    }
    EXPECT_TRUE(after["Null"].is_null()); // not turned into a partial entry
    EXPECT_FALSE(after.contains("Xe"));
    EXPECT_EQ(after["Al"]["isActive"], true); // not compatible: untouched
    // "Reactions": [] leaves every compatible reaction inactive; the others keep theirs.
    const json kinetics = read("Kinetics.json");
    for (const std::string& key : compatibleReactions)
        EXPECT_EQ(kinetics[key]["isActive"], false) << key;
    EXPECT_EQ(kinetics["uses argon"]["isActive"], true);
    EXPECT_TRUE(boxes.messages().empty());
}

TEST_F(Store, LoadStopsAtUnusableFilesAndCreatesNoDatabase)
{
    dir.write("Data/Species.json", "{");
    EXPECT_FALSE(showReported(&tab, PropellantModel::readLoadDocuments()));
    EXPECT_EQ(boxes.texts(), QStringList{"Species file was corrupted, load process aborted"});
    boxes.clear();
    write("Species.json", tab_fixture::speciesDoc());
    dir.write("Data/Kinetics.json", "{");
    EXPECT_FALSE(showReported(&tab, PropellantModel::readLoadDocuments()));
    EXPECT_EQ(boxes.texts(), QStringList{"Kinetics file was corrupted, load process aborted"});

    // A missing kinetics database stays missing after the load.
    std::filesystem::remove(dir.dataFile("Kinetics.json"));
    boxes.clear();
    std::optional<LoadDocuments> docs = showReported(&tab, PropellantModel::readLoadDocuments());
    ASSERT_TRUE(docs);
    EXPECT_TRUE(showReported(&tab, PropellantModel::applyStoredSelection(PropellantEntry{}, *docs)));
    EXPECT_FALSE(std::filesystem::exists(dir.dataFile("Kinetics.json")));
    // An unparsable propellant file lists nothing but does not stop a load.
    dir.write("Data/Propellants.json", "{");
    docs = showReported(&tab, PropellantModel::readLoadDocuments());
    ASSERT_TRUE(docs);
    EXPECT_TRUE(docs->propellants.document.empty());
    EXPECT_TRUE(flagRaised(flagsF, code::F(22)));
}

TEST_F(Store, DeletingTheLastLeavesAnEmptyObject)
{
    ASSERT_TRUE(save("A"));
    ASSERT_TRUE(save("B"));
    refreshFlag = 0;
    std::optional<PropellantDocument> doc = showReported(&tab, PropellantModel::readPropellants());
    ASSERT_TRUE(doc);
    EXPECT_EQ(documentKeys(doc->document), (std::vector<std::string>{"A", "B"}));
    ASSERT_TRUE(showReported(&tab, PropellantModel::erasePropellant(*doc, "A")));
    ASSERT_TRUE(showReported(&tab, PropellantModel::erasePropellant(*doc, "B")));
    EXPECT_EQ(text("Propellants.json"), "{}\n");
    EXPECT_EQ(refreshFlag.load(), 0);
}

} // namespace
