// The keyed data files every store reads: each state raises its file's own code, and a
// file whose content could not be read is never written back.
#include <string>

#include <gtest/gtest.h>

#include "core/data_file.h"
#include "core/flags.h"
#include "support/temp_app_dir.h"

namespace {

struct StateCase {
    const char* name;
    const char* content; // nullptr: nothing at the path
    JsonReadStatus status;
    uint32_t raised; // F codes for the grains file (5): missing F10, corrupt F26
    bool writable;
    std::size_t items;
};

} // namespace

TEST(DataFile, EachStateRaisesItsFilesCodeAndGuardsTheContent)
{
    TempAppDir app;
    const StateCase cases[] = {
            {"absent", nullptr, JsonReadStatus::Missing, 1u << 10, true, 0},
            {"null", "null\n", JsonReadStatus::Ok, 0, true, 0},
            {"two items", "{\"b\": {}, \"a\": [1]}", JsonReadStatus::Ok, 0, true, 2},
            {"not JSON", "{\"a\": ", JsonReadStatus::Unparsable, 1u << 26, false, 0},
            {"an array", "[1, 2]", JsonReadStatus::Unparsable, 1u << 26, false, 0},
            // Read as a document it would hold one "Tube", and a save would drop the other.
            {"a name twice", "{\"Tube\": {\"a\": 1}, \"Tube\": {\"a\": 2}}", JsonReadStatus::Unparsable, 1u << 26,
             false, 0},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = app.dataFile(std::string("G_") + c.name + ".json");
        if (c.content)
            app.write(std::string("Data/G_") + c.name + ".json", c.content);
        flagsF = 0;
        DataFileDocument doc = readDataFile(path, code::Grains);
        EXPECT_EQ(doc.status, c.status);
        EXPECT_EQ(flagsF.load(), c.raised);
        EXPECT_EQ(doc.writable(), c.writable);
        EXPECT_TRUE(doc.document.is_object());
        EXPECT_EQ(doc.names().size(), c.items);

        doc.document["new"] = 1;
        std::string error;
        EXPECT_EQ(writeDataFile(doc, &error), c.writable);
        if (!c.writable) {
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(app.read(std::string("Data/G_") + c.name + ".json"), c.content); // left as it was
        }
    }
    flagsF = 0;
}

TEST(DataFile, NamesComeInByteOrder)
{
    TempAppDir app;
    app.write("Data/N.json", "{\"b\": 1, \"B\": 2, \"a\": 3}");
    EXPECT_EQ(readDataFile(app.dataFile("N.json"), code::Nozzles).names(), (std::vector<std::string>{"B", "a", "b"}));
    flagsF = 0;
}
