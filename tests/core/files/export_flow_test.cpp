// The export flow the four tabs share: which file dialogs are shown and where they start,
// the image names taken from the CSV file under SAME_NAME_EXPORT, PATH_EXPORT following
// every file, and how a cancelled dialog, a refused choice or a failed write ends it.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/export_flow.h"
#include "core/preferences.h"
#include "support/temp_app_dir.h"

namespace {

class ExportFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        PATH_EXPORT = app.path() + "/Exports";
        SAME_NAME_EXPORT = true;
        dialogs.chooseExport = [this] { return mask; };
        dialogs.saveFileName = [this](const QString& caption, const QString& directory, const QString& filter) {
            asked << caption + " | " + directory + " | " + filter;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    }
    void TearDown() override
    {
        PATH_EXPORT = pathBefore;
        SAME_NAME_EXPORT = sameNameBefore;
    }

    QString at(const char* name) const { return QString::fromStdString(app.path()) + "/" + name; }
    // An image that records the name it was written under (and fails when asked to).
    ExportImage image(const char* caption, const char* suffix, bool fails = false)
    {
        return ExportImage::file(caption, suffix, [this, fails](const QString& name) -> std::optional<ExportFailure> {
            written << name;
            if (fails)
                return ExportFailure{name, QString(), false};
            return std::nullopt;
        });
    }
    ExportCsv csv(const char* caption = "CSV caption")
    {
        return ExportCsv{caption, [] { return std::string("\nName\n;a;1\n"); }};
    }
    ExportResult run(const ExportPlan& plan)
    {
        return runExport(dialogs, [this, plan](uint32_t chosen) {
            chosenMasks.push_back(chosen);
            return std::optional<ExportPlan>(plan);
        });
    }

    TempAppDir app;
    ExportDialogs dialogs;
    int mask = 0x2;
    QStringList answers; // the file dialogs' answers, in order
    QStringList asked; // "caption | directory | filter" of each file dialog
    QStringList written; // the names the images were written under
    std::vector<uint32_t> chosenMasks;
    const std::string pathBefore = PATH_EXPORT;
    const bool sameNameBefore = SAME_NAME_EXPORT;
};

TEST_F(ExportFlow, ImagesTakeTheCsvNameWithOneDialog)
{
    answers << at("run.final.csv");
    const QString start = QString::fromStdString(PATH_EXPORT);
    ExportPlan plan{csv(), {image("graph caption", "_graph.png"), image("picture caption", "_img.png")}};
    const ExportResult result = run(plan);
    EXPECT_EQ(result.end, ExportEnd::Finished);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(chosenMasks, std::vector<uint32_t>{0x2});
    EXPECT_EQ(asked, QStringList{"CSV caption | " + start + " | data file (*.csv)"});
    EXPECT_EQ(app.read("run.final.csv"), "\nName\n;a;1\n");
    // The base name stops at the first dot.
    EXPECT_EQ(written, QStringList({at("run_graph.png"), at("run_img.png")}));
    EXPECT_EQ(PATH_EXPORT, at("run_img.png").toStdString());
}

TEST_F(ExportFlow, WithoutACsvFileOrTheSameNameEachImageIsAsked)
{
    // Images alone are asked for, even under SAME_NAME_EXPORT; each dialog starts at the
    // file chosen before it.
    answers << at("a.png") << at("b.png");
    const QString start = QString::fromStdString(PATH_EXPORT);
    EXPECT_EQ(run({std::nullopt, {image("first", ".png"), image("second", ".png")}}).end, ExportEnd::Finished);
    EXPECT_EQ(asked,
              QStringList({"first | " + start + " | image file (*.png)",
                           "second | " + at("a.png") + " | image file (*.png)"}));
    EXPECT_EQ(written, QStringList({at("a.png"), at("b.png")}));
    EXPECT_EQ(PATH_EXPORT, at("b.png").toStdString());

    // Without SAME_NAME_EXPORT a CSV file does not name the images either.
    SAME_NAME_EXPORT = false;
    asked.clear();
    written.clear();
    answers << at("data.csv") << at("plot.png");
    EXPECT_EQ(run({csv(), {image("plot", ".png")}}).end, ExportEnd::Finished);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1], "plot | " + at("data.csv") + " | image file (*.png)");
    EXPECT_EQ(written, QStringList{at("plot.png")});
}

TEST_F(ExportFlow, ASeriesIsNamedByItsBase)
{
    auto series = [this](bool* called) {
        return ExportImage::seriesBase("series caption", [this, called](const QString& base) {
            *called = true;
            written << base;
            return std::optional<ExportFailure>();
        });
    };
    bool called = false;
    answers << at("results.v2.csv");
    EXPECT_EQ(run({csv(), {series(&called)}}).end, ExportEnd::Finished);
    EXPECT_TRUE(called);
    EXPECT_EQ(written, QStringList{at("results")});
    // A derived base names no file: the next dialog starts at the CSV file.
    EXPECT_EQ(PATH_EXPORT, at("results.v2.csv").toStdString());

    written.clear();
    answers << at("series.png");
    EXPECT_EQ(run({std::nullopt, {series(&called)}}).end, ExportEnd::Finished);
    EXPECT_EQ(written, QStringList{at("series")});
    EXPECT_EQ(PATH_EXPORT, at("series.png").toStdString());
}

TEST_F(ExportFlow, NothingChosenOrARefusalOpensNoFileDialog)
{
    mask = 0;
    EXPECT_EQ(run({csv(), {}}).end, ExportEnd::NothingChosen);
    EXPECT_TRUE(chosenMasks.empty()); // the tab is not even asked
    mask = -1;
    EXPECT_EQ(run({csv(), {}}).end, ExportEnd::NothingChosen);

    mask = 0x8;
    const ExportResult refused = runExport(dialogs, [](uint32_t) -> std::optional<ExportPlan> { return std::nullopt; });
    EXPECT_EQ(refused.end, ExportEnd::Refused);
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(ExportFlow, ACancelledDialogEndsTheExportQuietly)
{
    const std::string start = PATH_EXPORT;
    // The CSV dialog cancelled: no image either.
    EXPECT_EQ(run({csv(), {image("img", ".png")}}).end, ExportEnd::Cancelled);
    EXPECT_TRUE(written.isEmpty());
    EXPECT_EQ(PATH_EXPORT, start);

    // The image dialog cancelled after a written CSV file: the file stays.
    SAME_NAME_EXPORT = false;
    answers << at("kept.csv");
    EXPECT_EQ(run({csv(), {image("img", ".png"), image("never", ".png")}}).end, ExportEnd::Cancelled);
    EXPECT_TRUE(std::filesystem::exists(at("kept.csv").toStdString()));
    EXPECT_EQ(asked.size(), 3); // the first CSV dialog, then this CSV and its image; not the second image
    EXPECT_TRUE(written.isEmpty());
}

TEST_F(ExportFlow, AFileThatCannotBeWrittenEndsTheExport)
{
    answers << at("missing/data.csv");
    const ExportResult csvFailed = run({csv(), {image("img", ".png")}});
    EXPECT_EQ(csvFailed.end, ExportEnd::Failed);
    ASSERT_TRUE(csvFailed.failure);
    EXPECT_TRUE(csvFailed.failure->csv);
    EXPECT_EQ(csvFailed.failure->path, at("missing/data.csv"));
    EXPECT_FALSE(csvFailed.failure->reason.isEmpty());
    EXPECT_TRUE(written.isEmpty()); // no image after a failed CSV file

    answers << at("data.csv");
    const ExportResult imageFailed = run({csv(), {image("img", "_a.png", true), image("img", "_b.png")}});
    EXPECT_EQ(imageFailed.end, ExportEnd::Failed);
    ASSERT_TRUE(imageFailed.failure);
    EXPECT_FALSE(imageFailed.failure->csv);
    EXPECT_EQ(imageFailed.failure->path, at("data_a.png"));
    EXPECT_EQ(written, QStringList{at("data_a.png")}); // the next image is not tried
}

TEST(ExportImageNames, BaseIsTheFolderAndTheNameUpToTheFirstDot)
{
    const struct {
        const char* csv;
        const char* suffix;
        const char* image;
    } cases[] = {
            {"D/run.final.csv", "_graph.png", "D/run_graph.png"},
            {"/tmp/out/grain.csv", "_img.png", "/tmp/out/grain_img.png"},
            {"/tmp/out/noext", "_img.png", "/tmp/out/noext_img.png"},
            {"/out/run.final.csv", ".png", "/out/run.png"},
            {"/out/dir.v2/run.csv", ".png", "/out/dir.v2/run.png"},
            {"/out/run", ".png", "/out/run.png"},
            {"/tmp/out/results.v2.csv", "", "/tmp/out/results"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imageBase(c.csv) + c.suffix, c.image) << c.csv;
}

} // namespace
