// Nozzles.json: entries written and read back, the save's questions and refusals, the
// deletion, and the shapes of entry that a hand-edited file can hold.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "nozzle/nozzle_store.h"
#include "support/message_recorder.h"
#include "support/qstring_printer.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

// A throw-away application folder whose Nozzles.json is the one in use, with the flag
// words and the refresh byte cleared before and after.
class NozzleStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousPath = NOZZLE;
        NOZZLE = app.dataFile("Nozzles.json");
        clearBytes();
    }
    void TearDown() override
    {
        NOZZLE = previousPath;
        clearBytes();
    }
    static void clearBytes()
    {
        flagsF = 0;
        flagsL = 0;
        refreshFlag = 0;
    }
    std::string file() const { return app.read("Data/Nozzles.json"); }
    void writeFile(const std::string& text) const { app.write("Data/Nozzles.json", text); }
    // The store's save and delete, their boxes shown as the tab shows them.
    static StoreResult save(const std::string& name, const NozzleEntry& entry)
    {
        return showReported(nullptr, saveNozzleEntry(nullptr, name, entry));
    }
    static StoreResult remove(NozzleDocument& doc, const std::string& name)
    {
        return showReported(nullptr, deleteNozzleEntry(doc, name));
    }

    TempAppDir app;
    MessageRecorder messages;
    std::string previousPath;
};

NozzleEntry conicalEntry()
{
    NozzleEntry e;
    e.units = 0;
    e.type = 1;
    e.points = 100;
    e.options = {false, false, true, true};
    e.parameters = {100, 20, 60, 45, 15, 5, 3};
    return e;
}

NozzleEntry bezierEntry()
{
    NozzleEntry e;
    e.units = 2;
    e.type = 0;
    e.points = 250;
    e.options = {true};
    e.parameters = {50, 25, 100, 30, 125, 2, 37.5, 9.55, 60, 5};
    return e;
}

const char* kConicalFile = R"({
    "Cone": {
        "Options": [
            false,
            false,
            true,
            true
        ],
        "Parameters": [
            100.0,
            20.0,
            60.0,
            45.0,
            15.0,
            5.0,
            3.0
        ],
        "Points": 100,
        "Type": 1,
        "Units": 0
    }
}
)";

} // namespace

TEST_F(NozzleStoreTest, SaveIntoMissingFileCreatesItWithTheEntryLayout)
{
    ASSERT_EQ(save("Cone", conicalEntry()), StoreResult::Written);
    EXPECT_EQ(file(), kConicalFile); // keys in byte order, indent 4, one trailing newline
    EXPECT_TRUE(flagRaised(flagsF, code::F(8))); // the file was not found
    EXPECT_EQ(messages.texts(), QStringList{"Successful save"});
    EXPECT_EQ(messages.messages().back().icon, Msg::Information);
    EXPECT_TRUE(messages.messages().back().title.isEmpty());
    EXPECT_FALSE(messages.messages().back().windowIcon);
    EXPECT_EQ(refreshFlag, 1);
}

TEST_F(NozzleStoreTest, EntriesReadBackAsTheyWereWritten)
{
    ASSERT_EQ(save("Bell", bezierEntry()), StoreResult::Written);
    ASSERT_EQ(save("Cone", conicalEntry()), StoreResult::Written);
    const NozzleDocument doc = readNozzleFile();
    ASSERT_EQ(doc.status, JsonReadStatus::Ok);
    EXPECT_EQ(doc.names(), (std::vector<std::string>{"Bell", "Cone"}));
    EXPECT_TRUE(doc.document["Bell"]["Options"].is_boolean()); // Type 0: a bare boolean
    for (const auto& [name, original] : {std::pair{"Bell", bezierEntry()}, std::pair{"Cone", conicalEntry()}}) {
        NozzleEntry back;
        ASSERT_TRUE(parseNozzleEntry(doc.document[name], back)) << name;
        EXPECT_EQ(back.units, original.units);
        EXPECT_EQ(back.type, original.type);
        EXPECT_EQ(back.points, original.points);
        EXPECT_EQ(back.options, original.options);
        EXPECT_EQ(back.parameters, original.parameters);
    }
}

TEST_F(NozzleStoreTest, OverwriteAsksAndCancelLeavesTheFileUntouched)
{
    writeFile(std::string(R"({"Cone": {"Old": 1, "Type": 1}, "Zeta": {}})") + "\n");
    const std::string before = file();

    messages.answer(Msg::Cancel);
    EXPECT_EQ(save("Cone", conicalEntry()), StoreResult::Cancelled);
    ASSERT_EQ(messages.messages().size(), 1u);
    const MessageRequest& q = messages.messages()[0];
    EXPECT_EQ(q.text, "You are about to overwrite a save with the same name. Continue?");
    EXPECT_EQ(q.icon, Msg::Warning);
    EXPECT_EQ(q.buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(q.defaultButton, Msg::Yes);
    EXPECT_EQ(file(), before);
    EXPECT_EQ(refreshFlag, 0);

    messages.clear();
    messages.answer(Msg::Yes);
    EXPECT_EQ(save("Cone", conicalEntry()), StoreResult::Written);
    const json doc = json::parse(file());
    EXPECT_FALSE(doc["Cone"].contains("Old")); // replaced whole
    EXPECT_EQ(doc["Cone"]["Points"], 100);
    EXPECT_TRUE(doc.contains("Zeta"));

    // An empty member is not a save: no question.
    messages.clear();
    EXPECT_EQ(save("Zeta", bezierEntry()), StoreResult::Written);
    EXPECT_EQ(messages.texts(), QStringList{"Successful save"});
    // Names are case-sensitive.
    messages.clear();
    EXPECT_EQ(save("cone", bezierEntry()), StoreResult::Written);
    EXPECT_EQ(messages.texts(), QStringList{"Successful save"});
}

TEST_F(NozzleStoreTest, UnreadableFilesAreNeverOverwritten)
{
    // A file that does not parse (or is not an object) keeps its content.
    for (const std::string text : {"{ \"Cone\": [1, 2", "[1, 2, 3]\n"}) {
        writeFile(text);
        flagsF = 0;
        messages.clear();
        EXPECT_EQ(save("New", conicalEntry()), StoreResult::Refused);
        EXPECT_EQ(file(), text);
        EXPECT_TRUE(flagRaised(flagsF, code::F(24)));
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
        EXPECT_TRUE(messages.lastText().contains("left unchanged"));
        EXPECT_EQ(refreshFlag, 0);
    }
    // Something at the path that cannot be opened as a file.
    std::filesystem::remove(NOZZLE);
    std::filesystem::create_directory(NOZZLE);
    messages.clear();
    flagsF = 0;
    EXPECT_EQ(save("New", conicalEntry()), StoreResult::Refused);
    EXPECT_EQ(messages.texts(),
              QStringList{"Nozzle file could not be opened, it may be opened by another software or "
                          "have accesibility restrictions"});
    EXPECT_EQ(flagsF, 0u);
    EXPECT_TRUE(std::filesystem::is_directory(NOZZLE));
}

TEST_F(NozzleStoreTest, FailedWriteIsReportedNotCalledSuccessful)
{
    // The folder of the path is a plain file: nothing can be created there.
    app.write("Blocked", "not a folder");
    NOZZLE = app.path() + "/Blocked/Nozzles.json";
    EXPECT_EQ(save("Cone", conicalEntry()), StoreResult::Refused);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_TRUE(messages.lastText().startsWith("The nozzle file "));
    EXPECT_TRUE(messages.lastText().contains("could not be written"));
    EXPECT_EQ(refreshFlag, 0);
}

TEST_F(NozzleStoreTest, DeleteRemovesOneMemberWithoutRefresh)
{
    ASSERT_EQ(save("Bell", bezierEntry()), StoreResult::Written);
    ASSERT_EQ(save("Cone", conicalEntry()), StoreResult::Written);
    refreshFlag = 0;
    messages.clear();
    NozzleDocument doc = readNozzleFile();
    EXPECT_EQ(remove(doc, "Bell"), StoreResult::Written);
    EXPECT_EQ(file(), kConicalFile);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(refreshFlag, 0);
    // Nothing is written from a document that was not read normally.
    writeFile("garbage");
    doc = readNozzleFile();
    EXPECT_EQ(remove(doc, "Cone"), StoreResult::Refused);
    EXPECT_EQ(file(), "garbage");
}

TEST(NozzleEntryShape, WrongShapesAreRefusedNotTrusted)
{
    const json good = json::parse(R"({"Options": [false, true, false, true], "Parameters": [1, 2, 3, 4, 5, 6, 7],
                                      "Points": 60, "Type": 1, "Units": 3})");
    NozzleEntry e;
    ASSERT_TRUE(parseNozzleEntry(good, e));
    EXPECT_EQ(e.units, 3);
    EXPECT_EQ(e.options, (std::vector<bool>{false, true, false, true}));
    struct Case {
        const char* label;
        std::function<void(json&)> edit;
    };
    const std::vector<Case> cases = {
            {"not an object", [](json& j) { j = json::array(); }},
            {"no Units", [](json& j) { j.erase("Units"); }},
            {"no Type", [](json& j) { j.erase("Type"); }},
            {"no Points", [](json& j) { j.erase("Points"); }},
            {"no Options", [](json& j) { j.erase("Options"); }},
            {"no Parameters", [](json& j) { j.erase("Parameters"); }},
            {"Units text", [](json& j) { j["Units"] = "mm"; }},
            {"Type 2 (no contour)", [](json& j) { j["Type"] = 2; }},
            {"Points negative", [](json& j) { j["Points"] = -100; }},
            {"Points fractional", [](json& j) { j["Points"] = 60.5; }},
            {"Points beyond 32 bits", [](json& j) { j["Points"] = 4294967296ull; }},
            {"conical with a boolean option", [](json& j) { j["Options"] = true; }},
            {"three options",
             [](json& j) {
                 j["Options"] = {true, true, true};
             }},
            {"option not boolean", [](json& j) { j["Options"][2] = 1; }},
            {"ten parameters for a cone",
             [](json& j) {
                 j["Parameters"] = json::array({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
             }},
            {"parameter text", [](json& j) { j["Parameters"][0] = "100"; }},
            {"Bezier with four options",
             [](json& j) {
                 j["Type"] = 0;
                 j["Parameters"] = json::array({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
             }},
    };
    for (const Case& c : cases) {
        json j = good;
        c.edit(j);
        NozzleEntry out = e;
        EXPECT_FALSE(parseNozzleEntry(j, out)) << c.label;
        EXPECT_EQ(out.parameters, e.parameters) << c.label; // untouched
    }
}
