// Grains.json: the exact text of a saved grain, the parameter orders that differ from the
// tab's (frontal [L, D], star [Dext, Dpoint, Din, ...]), what loading tolerates, and the
// save and delete paths with their messages, the overwrite question and the files that
// must survive (unparsable, unwritable).
#include <filesystem>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "grain/grain_store.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using namespace grain;

namespace {

// The initial grain of the form saved under its initial name: indent 4, keys sorted,
// lengths with a fraction, the count as an integer, one line feed at the end.
const char* const kInitialGrainFile = R"({
    "Grain_1": {
        "Comb_type": 0,
        "Geo_type": 0,
        "Parameters": [
            50.0,
            20.0,
            100.0,
            1
        ],
        "Points": 100,
        "Units": 0
    }
}
)";

const CylindricalInputs kCylinder{"50", "20", "100", "1"};
const FrontalInputs kFrontal{"50", "100"}; // D, L
const StarInputs kStar{"50", "30", "40", "5", "100", "1"}; // Dext, Din, Dpoint, points, L, N

class GrainStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keptPath = GRAIN;
        keptDigits = NUM_DIS_PREC;
        GRAIN = dir.dataFile("Grains.json");
        NUM_DIS_PREC = 10;
        flagsF = 0;
        flagsL = 0;
        refreshFlag = 0;
    }
    void TearDown() override
    {
        GRAIN = keptPath;
        NUM_DIS_PREC = keptDigits;
        flagsF = 0;
        refreshFlag = 0;
    }
    std::string fileText() const { return dir.read("Data/Grains.json"); }
    // The store's save and delete, their boxes shown as the tab shows them.
    static SaveOutcome save(const std::string& name, const GrainEntry& entry)
    {
        return showReported(nullptr, saveGrainEntry(nullptr, name, entry));
    }
    static bool remove(GrainDocument& doc, const std::string& name)
    {
        return showReported(nullptr, deleteGrainEntry(doc, name));
    }

    TempAppDir dir;
    MessageRecorder recorder;
    std::string keptPath;
    uint8_t keptDigits = 0;
};

GrainEntry initialGrain()
{
    return grainEntryFromFields(Cylindrical, 0, RadialAndBase, "100", kCylinder, kFrontal, kStar);
}

} // namespace

TEST(GrainEntry, InitialGrainText)
{
    nlohmann::json doc = nlohmann::json::object();
    doc["Grain_1"] = toJson(initialGrain());
    EXPECT_EQ(serializeJson(doc), kInitialGrainFile);
}

TEST(GrainEntry, ParameterOrdersOfTheFile)
{
    const GrainEntry frontal = grainEntryFromFields(Frontal, 1, Base, "7", kCylinder, kFrontal, kStar);
    EXPECT_EQ(toJson(frontal).dump(), R"({"Comb_type":2,"Geo_type":1,"Parameters":[100.0,50.0],"Points":7,"Units":1})");
    const LoadedFields f = fieldsOfEntry(frontal);
    ASSERT_TRUE(f.frontal);
    EXPECT_FALSE(f.cylindrical || f.star);
    EXPECT_EQ(f.frontal->length, "100");
    EXPECT_EQ(f.frontal->diameter, "50");
    EXPECT_EQ(f.samples, "7");

    const GrainEntry star = grainEntryFromFields(Star, 0, Radial, "100", kCylinder, kFrontal, kStar);
    EXPECT_EQ(toJson(star)["Parameters"].dump(), "[50.0,40.0,30.0,100.0,1,5]");
    const LoadedFields s = fieldsOfEntry(star);
    ASSERT_TRUE(s.star);
    EXPECT_EQ(s.star->exteriorDiameter, "50");
    EXPECT_EQ(s.star->innerDiameter, "30");
    EXPECT_EQ(s.star->pointDiameter, "40");
    EXPECT_EQ(s.star->length, "100");
    EXPECT_EQ(s.star->charges, "1");
    EXPECT_EQ(s.star->starPoints, "5");
}

TEST(GrainEntry, RoundTripKeepsDecimals)
{
    const GrainEntry e
            = grainEntryFromFields(Cylindrical, 2, Radial, "33", {"12.75", "0.3", "1e2", "4"}, kFrontal, kStar);
    const std::optional<GrainEntry> back = parseGrainEntry(nlohmann::json::parse(toJson(e).dump()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->parameters, (std::vector<double>{12.75, 0.3, 100, 4}));
    EXPECT_EQ(back->units, 2);
    EXPECT_EQ(back->combustion, 1);
    EXPECT_EQ(back->points, 33);
    const LoadedFields f = fieldsOfEntry(*back);
    ASSERT_TRUE(f.cylindrical);
    EXPECT_EQ(f.cylindrical->exteriorDiameter, "12.75");
    EXPECT_EQ(f.cylindrical->interiorDiameter, "0.3");
    EXPECT_EQ(f.cylindrical->length, "100");
    EXPECT_EQ(f.cylindrical->charges, "4");
}

TEST(GrainEntry, DamagedEntriesAreRefused)
{
    const char* const damaged[] = {
            R"([])",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Parameters":[50.0,20.0,100.0,1]})",
            R"({"Geo_type":"0","Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0,1]})",
            R"({"Geo_type":0,"Units":0.5,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0,1]})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":{"a":1}})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0]})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,"20",100.0,1]})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0,1.5]})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0,-1]})",
            R"({"Geo_type":2,"Units":0,"Comb_type":1,"Points":100,"Parameters":[50.0,40.0,30.0,100.0,1]})",
            R"({"Geo_type":1,"Units":0,"Comb_type":2,"Points":100,"Parameters":[100.0]})",
            R"({"Geo_type":0,"Units":0,"Comb_type":0,"Points":100,"Parameters":[50.0,20.0,100.0,1e40]})",
    };
    for (const char* text : damaged)
        EXPECT_FALSE(parseGrainEntry(nlohmann::json::parse(text))) << text;
    // A geometry without a burn-back is an entry; what to do with it is the reader's call.
    const auto custom = parseGrainEntry(
            nlohmann::json::parse(R"({"Geo_type":3,"Units":0,"Comb_type":0,"Points":2,"Parameters":[]})"));
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->geometry, 3);
}

TEST(GrainNames, RefusedNames)
{
    EXPECT_EQ(grainNameRefusal(""), QString("Cannot have empty name"));
    EXPECT_EQ(grainNameRefusal("Current"), QString("Cannot me named Current"));
    EXPECT_FALSE(grainNameRefusal("current"));
    EXPECT_FALSE(grainNameRefusal("Current "));
}

TEST_F(GrainStoreTest, FirstSaveCreatesTheFile)
{
    EXPECT_EQ(save("Grain_1", initialGrain()), SaveOutcome::Saved);
    EXPECT_EQ(fileText(), kInitialGrainFile);
    EXPECT_TRUE(flagRaised(flagsF, code::F(10)));
    EXPECT_EQ(refreshFlag.load(), 1);
    ASSERT_EQ(recorder.messages().size(), 1u);
    const MessageRequest& m = recorder.messages()[0];
    EXPECT_EQ(m.text, "Successful save");
    EXPECT_EQ(m.icon, Msg::Information);
    EXPECT_TRUE(m.title.isEmpty());
    EXPECT_FALSE(m.windowIcon);
}

TEST_F(GrainStoreTest, OverwriteAsksOnce)
{
    ASSERT_EQ(save("Grain_1", initialGrain()), SaveOutcome::Saved);
    const GrainEntry frontal = grainEntryFromFields(Frontal, 0, Base, "100", kCylinder, kFrontal, kStar);
    recorder.clear();
    refreshFlag = 0;

    recorder.answer(Msg::Cancel);
    EXPECT_EQ(save("Grain_1", frontal), SaveOutcome::Cancelled);
    EXPECT_EQ(fileText(), kInitialGrainFile);
    EXPECT_EQ(refreshFlag.load(), 0);
    ASSERT_EQ(recorder.messages().size(), 1u);
    const MessageRequest& ask = recorder.messages()[0];
    EXPECT_EQ(ask.text, "You are about to overwrite a save with the same name. Continue?");
    EXPECT_EQ(ask.icon, Msg::Warning);
    EXPECT_EQ(ask.buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(ask.defaultButton, Msg::Yes);

    recorder.clear();
    recorder.answer(Msg::Yes);
    EXPECT_EQ(save("Grain_1", frontal), SaveOutcome::Saved);
    EXPECT_EQ(recorder.texts(),
              QStringList({"You are about to overwrite a save with the same name. Continue?", "Successful save"}));
    const nlohmann::json doc = nlohmann::json::parse(fileText());
    EXPECT_EQ(doc.size(), 1u);
    EXPECT_EQ(doc["Grain_1"], toJson(frontal)); // the whole entry replaced

    // An empty value under the name is no save to protect.
    dir.write("Data/Grains.json", R"({"Grain_1": null, "B": {}})");
    recorder.clear();
    EXPECT_EQ(save("Grain_1", frontal), SaveOutcome::Saved);
    EXPECT_EQ(recorder.texts(), QStringList({"Successful save"}));
}

TEST_F(GrainStoreTest, UnreadableFilesAreNeverReplaced)
{
    for (const char* content : {"{ \"Grain_1\": {", "[1, 2]", "\"text\""}) {
        dir.write("Data/Grains.json", content);
        recorder.clear();
        flagsF = 0;
        EXPECT_EQ(save("New", initialGrain()), SaveOutcome::Refused) << content;
        EXPECT_EQ(fileText(), content);
        EXPECT_TRUE(flagRaised(flagsF, code::F(26)));
        EXPECT_EQ(refreshFlag.load(), 0);
        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_EQ(recorder.lastText(), grainFileCorruptMessage(GRAIN));
        EXPECT_EQ(recorder.messages()[0].icon, Msg::Critical);

        GrainDocument doc = readGrainFile();
        EXPECT_TRUE(doc.names().empty());
        EXPECT_FALSE(remove(doc, "Grain_1"));
        EXPECT_EQ(fileText(), content);
    }

    // Something that cannot be opened at the path: the store's own message.
    std::filesystem::remove(GRAIN);
    std::filesystem::create_directory(GRAIN);
    recorder.clear();
    EXPECT_EQ(save("New", initialGrain()), SaveOutcome::Refused);
    EXPECT_EQ(recorder.texts(), QStringList({kGrainFileCannotOpen}));
    EXPECT_FALSE(readGrainFile().opened());
}

TEST_F(GrainStoreTest, FailedWriteIsReportedNotConfirmed)
{
    GRAIN = dir.path() + "/no such folder/Grains.json";
    EXPECT_EQ(save("Grain_1", initialGrain()), SaveOutcome::Refused);
    EXPECT_EQ(refreshFlag.load(), 0);
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_TRUE(recorder.lastText().startsWith(
            QString::fromStdString("The grain file " + GRAIN + " could not be written")));
    EXPECT_EQ(recorder.messages()[0].icon, Msg::Critical);
    EXPECT_FALSE(std::filesystem::exists(GRAIN));
}

TEST_F(GrainStoreTest, DeleteLastEntryLeavesAnEmptyObject)
{
    ASSERT_EQ(save("A", initialGrain()), SaveOutcome::Saved);
    ASSERT_EQ(save("B", initialGrain()), SaveOutcome::Saved);
    recorder.clear();
    refreshFlag = 0;

    GrainDocument doc = readGrainFile();
    EXPECT_EQ(doc.names(), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(remove(doc, "A"));
    EXPECT_FALSE(remove(doc, "missing"));
    doc = readGrainFile();
    EXPECT_EQ(doc.names(), (std::vector<std::string>{"B"}));
    EXPECT_TRUE(remove(doc, "B"));
    EXPECT_EQ(fileText(), "{}\n");
    EXPECT_TRUE(recorder.messages().empty()); // no message after a deletion
    EXPECT_EQ(refreshFlag.load(), 0);

    // The file went away meanwhile and its folder too: the failure is reported.
    doc = readGrainFile();
    doc.document["C"] = toJson(initialGrain());
    doc.path = dir.path() + "/gone/Grains.json";
    EXPECT_FALSE(remove(doc, "C"));
    EXPECT_EQ(recorder.messages().size(), 1u);
}

// A grain every run would refuse is not saved: the field's own refusal with the limit in
// its informative text, then the closing refusal, and nothing written (no file made, an
// existing file left as it was). The limits themselves save.
TEST_F(GrainStoreTest, SaveRefusesWhatARunWouldRefuse)
{
    const QString lengths = "Diameters and lengths must lie between 0.001 mm and 1000000 mm";
    const QString charges = "The number of charges must lie between 1 and 1000";
    struct Case {
        const char* what;
        GrainEntry entry;
        QString message, rule; // empty: saved
    };
    const Case cases[] = {
            {"cylinder 1e308 mm long",
             {Cylindrical, 0, RadialAndBase, 100, {50.0, 20.0, 1e308, 1}},
             "Invalid length",
             lengths},
            {"cylinder 5e-324 mm long",
             {Cylindrical, 0, RadialAndBase, 100, {50.0, 20.0, 5e-324, 1}},
             "Invalid length",
             lengths},
            {"case of 1e308 mm",
             {Cylindrical, 0, RadialAndBase, 100, {1e308, 20.0, 100.0, 1}},
             "Invalid exterior diameter",
             lengths},
            {"bore of 1e-4 micrometres",
             {Cylindrical, 0, Radial, 100, {50.0, 1e-7, 100.0, 1}},
             "Invalid interior diameter",
             lengths},
            {"web of 5e-13 m",
             {Cylindrical, 0, Radial, 100, {50.0, 49.999999999, 100.0, 1}},
             "Exterior diameter must be greater than interior",
             "The web between the port and the case (half the difference of the two diameters) must be at least "
             "0.001 mm"},
            {"5000 charges",
             {Cylindrical, 0, RadialAndBase, 100, {50.0, 20.0, 100.0, 5000}},
             "Invalid number of charges",
             charges},
            {"1000 charges", {Cylindrical, 0, RadialAndBase, 100, {50.0, 20.0, 100.0, 1000}}, {}, {}},
            {"frontal grain 1e308 mm long", {Frontal, 0, Base, 100, {1e308, 50.0}}, "Invalid length", lengths},
            {"frontal grain 5e-324 mm wide",
             {Frontal, 0, Base, 100, {100.0, 5e-324}},
             "Invalid exterior diameter",
             lengths},
            {"case of 2 km, in metres",
             {Cylindrical, 3, RadialAndBase, 100, {2000.0, 20.0, 100.0, 1}},
             "Invalid exterior diameter",
             "Diameters and lengths must lie between 1e-06 m and 1000 m"},
            {"1 km long, in metres", {Cylindrical, 3, Radial, 100, {0.05, 0.02, 1000.0, 1}}, {}, {}},
            {"star of 101 points",
             {Star, 0, Radial, 100, {50.0, 40.0, 30.0, 100.0, 1, 101}},
             "Invalid number of star points",
             "The number of star points must lie between 2 and 100"},
            {"star of 100 points", {Star, 0, Radial, 100, {50.0, 40.0, 30.0, 100.0, 1, 100}}, {}, {}},
            {"star of 5000 charges",
             {Star, 1, Radial, 100, {5.0, 4.0, 3.0, 10.0, 5000, 5}},
             "Invalid number of charges",
             charges},
            {"star of inner diameter 5e-324 mm",
             {Star, 0, Radial, 100, {50.0, 40.0, 5e-324, 100.0, 1, 5}},
             "Invalid inner diameter",
             lengths},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool existing : {false, true}) {
            std::filesystem::remove(GRAIN);
            if (existing) {
                ASSERT_EQ(save("Kept", initialGrain()), SaveOutcome::Saved);
            }
            const std::string before = existing ? fileText() : std::string();
            recorder.clear();
            refreshFlag = 0;
            const SaveOutcome outcome = save("G", c.entry);
            if (c.message.isEmpty()) {
                EXPECT_EQ(outcome, SaveOutcome::Saved);
                EXPECT_EQ(recorder.texts(), QStringList({"Successful save"}));
                continue;
            }
            EXPECT_EQ(outcome, SaveOutcome::Refused);
            EXPECT_EQ(recorder.texts(), QStringList({c.message, "Save not completed, invalid parameters"}));
            ASSERT_EQ(recorder.messages().size(), 2u);
            EXPECT_EQ(recorder.messages()[0].informativeText, c.rule);
            EXPECT_EQ(recorder.messages()[0].icon, Msg::Critical);
            EXPECT_EQ(refreshFlag.load(), 0);
            if (existing) {
                EXPECT_EQ(fileText(), before);
            } else {
                EXPECT_FALSE(std::filesystem::exists(GRAIN));
            }
        }
    }
}
