#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/json_file.h"
#include "support/temp_app_dir.h"

#include <sys/stat.h>

using nlohmann::json;

namespace {

struct ReadCase {
    const char* name;
    const char* content; // nullptr: nothing at the path
    JsonReadStatus status;
    const char* document; // expected document when Ok
};

} // namespace

// Every loader tells these states apart: a missing file is created, one that cannot be
// opened is reported and left alone, an unparsable one is never silently taken as empty.
TEST(JsonFile, ReadStates)
{
    TempAppDir app;
    const ReadCase cases[] = {
            {"absent", nullptr, JsonReadStatus::Missing, nullptr},
            {"empty file", "", JsonReadStatus::Unparsable, nullptr},
            {"garbage", "{\"a\": ", JsonReadStatus::Unparsable, nullptr},
            {"trailing garbage", "{} x", JsonReadStatus::Unparsable, nullptr},
            {"null document", "null", JsonReadStatus::Ok, "{}"},
            {"object", "{\"b\": [1, 2.5, \"x\"]}", JsonReadStatus::Ok, "{\"b\": [1, 2.5, \"x\"]}"},
            {"array", "[true]", JsonReadStatus::Ok, "[true]"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = app.dataFile(std::string(c.name) + ".json");
        if (c.content)
            app.write("Data/" + std::string(c.name) + ".json", c.content);
        const JsonReadResult r = readJsonFile(path);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.document, c.document ? json::parse(c.document) : json::object());
    }
}

// A name given twice in one object (two items "Tube" typed by hand) would be kept only
// once by a JSON parser, and writing the document back would lose the other: such a text
// is unparsable, and the names are reported where they stand. The same name in two
// different objects is no duplicate.
TEST(JsonFile, NamesGivenTwiceMakeTheTextUnparsable)
{
    struct Case {
        const char* name;
        const char* content;
        std::vector<DuplicateName> duplicates; // none: the text reads normally
        const char* described;
    };
    const Case cases[] = {
            {"two items", R"({"Tube": {"Units": 0}, "Star": {}, "Tube": {"Units": 1}})", {{{}, "Tube"}}, R"("Tube")"},
            {"three times is one duplicate", R"({"A": 1, "A": 2, "A": 3})", {{{}, "A"}}, R"("A")"},
            {"a member of an item",
             R"({"Tube": {"Units": 0, "Points": 5, "Units": 1}})",
             {{{"Tube"}, "Units"}},
             R"("Units" in "Tube")"},
            {"inside a list of objects",
             R"({"P": {"Intervals": [{"a": 1}, {"n": 2, "n": 3}]}})",
             {{{"P", "Intervals", "[1]"}, "n"}},
             R"("n" in "P")"},
            {"two at once",
             R"({"B": 1, "A": {"x": 1, "x": 2}, "B": 2})",
             {{{"A"}, "x"}, {{}, "B"}},
             R"("x" in "A", "B")"},
            {"the same name in different objects",
             R"({"A": {"x": 1}, "B": {"x": 2}, "C": [{"x": 1}, {"x": 2}]})",
             {},
             ""},
    };
    TempAppDir app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.write("Data/D.json", c.content);
        const JsonReadResult r = readJsonFile(app.dataFile("D.json"));
        ASSERT_EQ(r.duplicates.size(), c.duplicates.size());
        for (std::size_t i = 0; i < c.duplicates.size(); ++i) {
            EXPECT_EQ(r.duplicates[i].within, c.duplicates[i].within);
            EXPECT_EQ(r.duplicates[i].name, c.duplicates[i].name);
        }
        EXPECT_EQ(describeDuplicateNames(r.duplicates), c.described);
        if (c.duplicates.empty()) {
            EXPECT_EQ(r.status, JsonReadStatus::Ok);
            EXPECT_EQ(r.document, json::parse(c.content));
        } else {
            EXPECT_EQ(r.status, JsonReadStatus::Unparsable);
            EXPECT_EQ(r.document, json::object());
        }
    }
}

// A settings file, whose keys name no items, is read as JSON readers commonly take a
// repeated name: its last value stands, whole, and the text is no less readable for it.
// An item file keeps the refusal above.
TEST(JsonFile, ASettingsFileKeepsTheLastValueOfARepeatedName)
{
    struct Case {
        const char* name;
        const char* content;
        const char* document;
    };
    const Case cases[] = {
            {"a key twice", R"({"Datatab": {"ABORT": 30, "ABORT": 45}, "ODE": {"ABORT": 1}})",
             R"({"Datatab": {"ABORT": 45}, "ODE": {"ABORT": 1}})"},
            {"three times", R"({"A": 1, "A": 2, "A": 3})", R"({"A": 3})"},
            {"a section twice: the later object replaces the earlier", R"({"S": {"x": 1}, "S": {"y": 2}})",
             R"({"S": {"y": 2}})"},
            {"inside a list", R"({"L": [{"n": 2, "n": 3}]})", R"({"L": [{"n": 3}]})"},
    };
    TempAppDir app;
    JsonReadOptions settings;
    settings.repeatedNames = RepeatedNames::LastValueStands;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.write("Data/S.json", c.content);
        const JsonReadResult r = readJsonFile(app.dataFile("S.json"), settings);
        EXPECT_EQ(r.status, JsonReadStatus::Ok);
        EXPECT_EQ(r.document, json::parse(c.document));
        EXPECT_TRUE(r.duplicates.empty());
        // the same text as an item file
        EXPECT_EQ(readJsonFile(app.dataFile("S.json")).status, JsonReadStatus::Unparsable);
    }
}

// Every kind of value reads back as the library parses it.
TEST(JsonFile, EveryKindOfValueReadsAsTheLibraryParsesIt)
{
    const std::string text = R"({"a": [true, false, null, -3, 18446744073709551615, 2.5e-300, "é\n", [], {}],
        "b": {"c": {"d": [[1], [2, {"e": "f"}]]}}, "": 0})";
    TempAppDir app;
    app.write("Data/K.json", text);
    const JsonReadResult r = readJsonFile(app.dataFile("K.json"));
    ASSERT_EQ(r.status, JsonReadStatus::Ok);
    EXPECT_EQ(r.document, json::parse(text));
    EXPECT_TRUE(r.document["a"][4].is_number_unsigned());
    EXPECT_TRUE(r.document["a"][3].is_number_integer());
    EXPECT_TRUE(r.document["a"][5].is_number_float());
}

// Something is at the path but it cannot be read as a file: never "missing", which would
// let a caller replace it or forget where it was.
TEST(JsonFile, PresentButUnreadable)
{
    TempAppDir app;
    const std::string folder = app.dataFile("Folder.json");
    std::filesystem::create_directories(folder);
    EXPECT_EQ(readJsonFile(folder).status, JsonReadStatus::CannotOpen);

    const std::string loop = app.dataFile("Loop.json");
    std::filesystem::create_symlink(loop + ".other", loop);
    std::filesystem::create_symlink(loop, loop + ".other");
    EXPECT_EQ(readJsonFile(loop).status, JsonReadStatus::CannotOpen);
}

TEST(JsonFile, WrittenLayout)
{
    TempAppDir app;
    const std::string path = app.dataFile("Out.json");
    json document;
    document["b"] = 30.0;
    document["B"] = {{"z", 1u}, {"a", -2}};
    document["a"] = std::string("caf\xC3\xA9 \xFF"); // the last byte is not UTF-8
    ASSERT_TRUE(writeJsonFile(path, document));
    const std::string expected = "{\n"
                                 "    \"B\": {\n"
                                 "        \"a\": -2,\n"
                                 "        \"z\": 1\n"
                                 "    },\n"
                                 "    \"a\": \"caf\xC3\xA9 \xEF\xBF\xBD\",\n"
                                 "    \"b\": 30.0\n"
                                 "}\n";
    EXPECT_EQ(app.read("Data/Out.json"), expected);
    EXPECT_EQ(serializeJson(document), expected);
    const JsonReadResult back = readJsonFile(path);
    ASSERT_EQ(back.status, JsonReadStatus::Ok);
    EXPECT_EQ(back.document["B"], document["B"]);
}

TEST(JsonFile, FailedWritesSayWhyAndLeaveWhatWasThere)
{
    TempAppDir app;
    std::string error;
    EXPECT_FALSE(writeJsonFile(app.path() + "/NoSuchFolder/Out.json", json::object(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(app.path() + "/NoSuchFolder"));

    const std::string folder = app.dataFile("Folder.json");
    std::filesystem::create_directories(folder);
    error.clear();
    EXPECT_FALSE(writeJsonFile(folder, json::object(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // a successful replacement leaves no temporary file behind
    app.write("Data/Old.json", "{\"old\": true}");
    ASSERT_TRUE(writeJsonFile(app.dataFile("Old.json"), json{{"new", true}}));
    EXPECT_EQ(readJsonFile(app.dataFile("Old.json")).document, json({{"new", true}}));
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(app.path() + "/Data"))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"Folder.json", "Old.json"}));
}

namespace {

// `depth` arrays (or objects holding one member "a") inside each other around a 1.
std::string nested(int depth, bool objects)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += objects ? "{\"a\":" : "[";
    text += "1";
    text.append(static_cast<std::size_t>(depth), objects ? '}' : ']');
    return text;
}

} // namespace

// A small file nested tens of thousands deep once made the start-up rewrite produce
// gigabytes (indentation grows with depth) and overflowed the stack: such a document
// is refused as unparsable, so its file is kept and reported like any corrupted one.
TEST(JsonFile, DeepNestingIsUnparsable)
{
    TempAppDir app;
    struct Case {
        const char* name;
        std::string content;
        JsonReadStatus status;
    };
    const std::string stringOfBrackets = "[\"" + std::string(1000, '[') + "\\\"{{\"]";
    const Case cases[] = {
            {"arrays 30000 deep (60 KB)", nested(30000, false), JsonReadStatus::Unparsable},
            {"objects 100000 deep", nested(100000, true), JsonReadStatus::Unparsable},
            {"one level too deep", nested(maxJsonNesting + 1, false), JsonReadStatus::Unparsable},
            {"as deep as allowed", nested(maxJsonNesting, true), JsonReadStatus::Ok},
            {"brackets inside a string", stringOfBrackets, JsonReadStatus::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.write("Data/Deep.json", c.content);
        const JsonReadResult r = readJsonFile(app.dataFile("Deep.json"));
        EXPECT_EQ(r.status, c.status);
        if (c.status != JsonReadStatus::Ok) {
            EXPECT_EQ(r.document, json::object());
        }
        EXPECT_EQ(app.read("Data/Deep.json"), c.content);
    }
    EXPECT_GE(maxJsonNesting, 8); // the program's own files nest up to 7 levels
}

// A data-file path that names a FIFO (or a device): reading neither blocks nor takes it
// for missing, and writing never replaces it with a regular file.
TEST(JsonFile, OnlyRegularFilesAreReadOrReplaced)
{
    TempAppDir app;
    const std::string fifo = app.dataFile("Fifo.json");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(writeJsonFile(fifo, json{{"a", 1}}, &error));
    EXPECT_FALSE(error.empty());
    ASSERT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(readJsonFile(fifo).status, JsonReadStatus::CannotOpen); // without blocking

    // a link to a regular file is a regular file
    app.write("Data/Target.json", "{}");
    const std::string link = app.dataFile("Link.json");
    std::filesystem::create_symlink(app.dataFile("Target.json"), link);
    EXPECT_EQ(readJsonFile(link).status, JsonReadStatus::Ok);
    EXPECT_TRUE(writeJsonFile(link, json{{"a", 1}}));
    EXPECT_EQ(readJsonFile(link).document, json({{"a", 1}}));
}
