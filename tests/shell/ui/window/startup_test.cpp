// Start-up over a throw-away application folder: the files created, the codes listed at
// once, the paths recorded, and the refusals that end the program.
#include <filesystem>

#include <QTest>

#include "core/json_file.h"
#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

const char* const dataFiles[]
        = {"Species", "Reactants", "Kinetics", "Propellants", "Grains", "Nozzles", "Configurations"};

} // namespace

// Nothing at all in Data: every file is created as an empty object, construction
// completes, and the critical pop-up lists the not-found codes at once.
TEST_F(WindowTest, EmptyDataFolderStartsWithAWorkingSetOfFiles)
{
    build();
    EXPECT_FALSE(window->startupRefused());
    for (const char* name : dataFiles) {
        SCOPED_TRACE(name);
        const JsonReadResult read = readJsonFile(app.dataFile(std::string(name) + ".json"));
        ASSERT_EQ(read.status, JsonReadStatus::Ok);
        EXPECT_TRUE(read.document.is_object());
        EXPECT_TRUE(read.document.empty());
    }
    EXPECT_TRUE(std::filesystem::exists(app.dataFile("Preferences.json")));
    // Not found at the default place: the odd codes F01 ... F15 of the eight files.
    ASSERT_FALSE(flagLists.empty());
    EXPECT_EQ(flagLists[0].severity, Severity::Critical);
    for (const char* line : {"F01 - Species file could not be found at the default location",
                             "F13 - Configurations file could not be found at the default location",
                             "F15 - Preferences file could not be found at the default location"})
        EXPECT_TRUE(flagLists[0].lines.contains(line)) << line;
    EXPECT_EQ(entries(form().menuCritical_Errors), flagLists[0].lines);
    // A second start finds everything in place and raises nothing about files.
    window.reset();
    zeroFlags();
    flagLists.clear();
    build();
    EXPECT_EQ(flagsF.load() & 0xFFFFu, 0u);
}

// A first start as the build leaves it: Data holds the starting data set and nothing
// else. Nothing is missing or needs repair, so no code is raised and no pop-up comes up
// (a set without its preferences file would greet every new user with F15 and F31, back
// after each action until cleared). The preferences in force are the defaults, and the
// file is completed with the paths of the folder the program runs from.
TEST_F(WindowTest, FirstStartOnTheStartingDataSetRaisesNoCode)
{
    int copied = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KAVRO_STARTING_DATA_DIR)) {
        std::filesystem::copy_file(entry.path(), app.dataFile(entry.path().filename().string()));
        ++copied;
    }
    ASSERT_GE(copied, 7);
    build();
    EXPECT_FALSE(window->startupRefused());
    EXPECT_TRUE(flagLists.empty());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(entries(form().menuCritical_Errors), QStringList{"No critical errors found"});
    EXPECT_EQ(entries(form().menuWarnings), QStringList{"No warnings found"});
    EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(SPECIES, app.dataFile("Species.json"));
    EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports");
    EXPECT_EQ(MAX_ITER_EQ, 8000u); // the defaults, as published for the program
    EXPECT_EQ(COMP_OPT_NUM, 200u);
    EXPECT_TRUE(hideSolid);
    const nlohmann::json written = nlohmann::json::parse(app.read("Data/Preferences.json"));
    EXPECT_EQ(written["Files"]["PREFERENCES"], app.dataFile("Preferences.json"));
    EXPECT_EQ(written["General"]["PATH_EXPORT"], app.path() + "/Exports");
}

// A species file named in the preferences that is gone while the default one exists:
// the default is taken (F00), the preferences file records it, the warning shows at once.
TEST_F(WindowTest, MissingFileFallsBackToTheDefaultAndTheNewPathIsRecorded)
{
    writePreferences({});
    writeEmptyDataFiles(app);
    nlohmann::json prefs = nlohmann::json::parse(app.read("Data/Preferences.json"));
    const std::string gone = app.path() + "/elsewhere/Species.json";
    prefs["Files"]["SPECIES"] = gone;
    app.write("Data/Preferences.json", prefs.dump(4) + "\n");
    build();
    EXPECT_EQ(SPECIES, app.dataFile("Species.json"));
    prefs = nlohmann::json::parse(app.read("Data/Preferences.json"));
    EXPECT_EQ(prefs["Files"]["SPECIES"], app.dataFile("Species.json"));
    ASSERT_EQ(flagLists.size(), 1u);
    EXPECT_EQ(flagLists[0].severity, Severity::Warning);
    EXPECT_EQ(flagLists[0].lines,
              QStringList({"F00 - Species file could not be found at the location given in preferences"}));
}

// Each refusal names its file; the program must end: the window closes half a second
// later and main sees the refusal.
TEST_F(WindowTest, RefusedStartupNamesTheFileAndClosesTheWindow)
{
    struct Case {
        const char* name;
        std::function<void(TempAppDir&, MessageRecorder&)> prepare;
        const char* text;
    };
    const Case cases[] = {
            {"species folder",
             [](TempAppDir& a, MessageRecorder&) {
                 std::filesystem::remove(a.dataFile("Species.json"));
                 std::filesystem::create_directories(a.dataFile("Species.json"));
             },
             "Species file could not be opened, it could be because it is opened by a different software or it has "
             "restricted acccess"},
            {"grain repair refused",
             [](TempAppDir& a, MessageRecorder& m) {
                 a.write("Data/Grains.json", R"({"Broken grain": {"Units": 0}})");
                 m.answer(Msg::No);
             },
             "Grains file could not be opened, it could be because it is opened by a different software or it has "
             "restricted acccess"},
            {"preferences folder",
             [](TempAppDir& a, MessageRecorder&) {
                 std::filesystem::remove(a.dataFile("Preferences.json"));
                 std::filesystem::create_directories(a.dataFile("Preferences.json"));
             },
             "Preferences file could not be opened, it could be because it is opened by a different software or it "
             "has restricted acccess"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempAppDir folder;
        MessageRecorder recorder;
        writeEmptyDataFiles(folder);
        std::filesystem::remove(folder.dataFile("Species.json"));
        std::filesystem::remove(folder.dataFile("Grains.json"));
        folder.write("Data/Species.json", "{}");
        folder.write("Data/Grains.json", "{}");
        c.prepare(folder, recorder);
        zeroFlags();
        MainWindow w(nullptr, testDialogs());
        EXPECT_TRUE(w.startupRefused());
        EXPECT_TRUE(recorder.texts().contains(c.text)) << recorder.texts().join("|").toStdString();
        // The form is still built.
        EXPECT_EQ(w.form()->tabs->count() >= 3, true);
        int closes = 0;
        struct CloseCounter : QObject {
            int* n;
            explicit CloseCounter(int* count) : n(count) { }
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Close)
                    ++*n;
                return false;
            }
        } counter(&closes);
        w.installEventFilter(&counter);
        EXPECT_TRUE(QTest::qWaitFor([&] { return closes > 0; }, 3000));
        w.removeEventFilter(&counter);
    }
}

// The checks and the preferences file hand their reports back; the window shows each
// step's boxes as soon as the step returns, so the user meets them where they arise:
// here a name given twice in Kinetics.json, then the question about a faulty grain
// (asked by the check itself), then the refusal of the grain file the user kept.
TEST_F(WindowTest, HandedBackBoxesShowInTheirPlaceAtStartUp)
{
    writePreferences({});
    writeEmptyDataFiles(app);
    app.write("Data/Kinetics.json", R"({"R1": {"A": 1}, "R1": {"A": 2}})");
    app.write("Data/Grains.json", R"({"Broken grain": {"Units": 0}})");
    messages.answer(Msg::Ok); // the warning
    messages.answer(Msg::No); // keep the faulty grain
    build();
    EXPECT_TRUE(window->startupRefused());
    ASSERT_EQ(messages.texts(),
              (QStringList{"Kinetics file gives the same name more than once: \"R1\"",
                           "Problems were found for grain geometry  Broken grain",
                           "Grains file could not be opened, it could be because it is opened by a different software "
                           "or it has restricted acccess"}));
    const MessageRequest& twice = messages.messages()[0];
    EXPECT_EQ(twice.icon, Msg::Warning);
    EXPECT_TRUE(twice.title.isEmpty());
    EXPECT_TRUE(twice.windowIcon);
    EXPECT_EQ(twice.informativeText,
              QStringLiteral("The file was left unchanged and none of its items can be used until every name in it is "
                             "given once. Rename or remove the extra entries by hand in ")
                      + QString::fromStdString(app.dataFile("Kinetics.json")));
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(app.read("Data/Kinetics.json"), R"({"R1": {"A": 1}, "R1": {"A": 2}})");
}

// A Data folder that cannot be made (a file of that name is in the way): the preferences
// cannot be written at the load. The box reaches the user, critical, titled "KAVRO" and
// without parent, with the reason, and the program still starts on its defaults.
TEST_F(WindowTest, PreferencesFileBoxShowsAtStartUp)
{
    std::filesystem::remove_all(app.path() + "/Data");
    app.write("Data", "a file where the folder should be");
    build();
    EXPECT_FALSE(window->startupRefused());
    ASSERT_EQ(messages.texts(),
              QStringList{"The preferences file could not be written: "
                          + QString::fromStdString(app.dataFile("Preferences.json"))});
    const MessageRequest& box = messages.messages()[0];
    EXPECT_TRUE(box.informativeText.startsWith("The folder ")) << box.informativeText.toStdString();
    EXPECT_TRUE(box.informativeText.contains("could not be created"));
    EXPECT_EQ(box.icon, Msg::Critical);
    EXPECT_EQ(box.title, "KAVRO");
    EXPECT_TRUE(box.windowIcon);
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(app.read("Data"), "a file where the folder should be");
}
