// The one writer of the exported text files: the whole file written and replaced, a
// failure reported with its reason and leaving what was there.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/text_file.h"
#include "support/temp_app_dir.h"

namespace {

QString pathIn(const TempAppDir& app, const char* relative)
{
    return QString::fromStdString(app.path() + "/" + relative);
}

TEST(TextFile, WritesAndReplacesTheWholeFile)
{
    TempAppDir app;
    QString error;
    ASSERT_TRUE(writeTextFile(pathIn(app, "out.csv"), "\nN\n;a", &error));
    EXPECT_EQ(app.read("out.csv"), "\nN\n;a");
    ASSERT_TRUE(writeTextFile(pathIn(app, "a.csv"), "one"));
    ASSERT_TRUE(writeTextFile(pathIn(app, "a.csv"), "\nx")); // replaced whole
    EXPECT_EQ(app.read("a.csv"), "\nx");
}

TEST(TextFile, FailuresAreReported)
{
    TempAppDir app;
    app.write("Blocked", "a file, not a folder");
    std::filesystem::create_directory(app.path() + "/Folder");
    const char* unwritable[] = {"Blocked/out.csv", "missing/a.csv", "Folder"};
    for (const char* relative : unwritable) {
        QString error;
        EXPECT_FALSE(writeTextFile(pathIn(app, relative), "x", &error)) << relative;
        EXPECT_FALSE(error.isEmpty()) << relative;
    }
    EXPECT_EQ(app.read("Blocked"), "a file, not a folder");
    EXPECT_TRUE(std::filesystem::is_directory(app.path() + "/Folder"));
    QString error;
    EXPECT_FALSE(writeTextFile("/nonexistent-folder/x.csv", "text", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
