#pragma once
// The one export flow of the four tabs. The export dialog gives the choice; the tab
// turns it into a plan (or refuses it, having said why); the CSV file, when the plan
// has one, is asked for and written; then the images, in the plan's order, each named
// beside the CSV file under SAME_NAME_EXPORT or asked for. PATH_EXPORT follows every
// file chosen or derived, so the next file dialog starts there. A cancelled file dialog
// ends the export without a word; a file that cannot be written ends it with a failure
// for the tab to report. The tab supplies only what differs: its checks, captions, the
// CSV text, how each image is drawn, and its messages.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

// The dialogs of an export, supplied by the tab (tests answer them).
struct ExportDialogs {
    // The export dialog in the tab's mode: the bit mask of the choice, 0 for none.
    std::function<int()> chooseExport;
    // A save-file dialog with `caption`, starting at `directory`, offering `filter`:
    // the chosen name, empty when cancelled.
    std::function<QString(const QString& caption, const QString& directory, const QString& filter)> saveFileName;
};

// A file of the export that could not be written.
struct ExportFailure {
    QString path;
    QString reason; // empty when the writer gives none (an image)
    bool csv = false; // the CSV file (else an image)
};

struct ExportCsv {
    QString caption; // of its file dialog
    std::function<std::string()> text; // the whole file
};

struct ExportImage {
    using Writer = std::function<std::optional<ExportFailure>(const QString& name)>;

    QString caption; // of its file dialog
    // Appended to the CSV file's base name (imageBase) when the name is derived.
    QString suffix = QStringLiteral(".png");
    // The name is the base of a series of images (folder and base name, no extension):
    // derived, it is the CSV file's base itself; asked for, the base of the file chosen.
    bool series = false;
    // Draws and writes the image (or the series) under `name`; the failure, if any.
    Writer write;

    // One image file.
    static ExportImage file(const QString& caption, const QString& suffix, Writer write)
    {
        return ExportImage{caption, suffix, false, std::move(write)};
    }
    // A series of image files named after one base.
    static ExportImage seriesBase(const QString& caption, Writer write)
    {
        return ExportImage{caption, QString(), true, std::move(write)};
    }
};

// What one export writes, in this order.
struct ExportPlan {
    std::optional<ExportCsv> csv;
    std::vector<ExportImage> images;
};

enum class ExportEnd {
    NothingChosen, // the export dialog gave no choice
    Refused, // the tab refused the choice (and said why)
    Cancelled, // a file dialog was cancelled
    Failed, // a file could not be written (`failure`)
    Finished,
};

struct ExportResult {
    ExportEnd end = ExportEnd::NothingChosen;
    std::optional<ExportFailure> failure;
};

// The tab's plan for a choice, or nothing when it refuses the choice.
using ExportPlanner = std::function<std::optional<ExportPlan>(uint32_t mask)>;

ExportResult runExport(const ExportDialogs& dialogs, const ExportPlanner& planFor);

// The base of the images named after a CSV file: its folder, "/" and its name up to the
// first dot ("D/run.final.csv" gives "D/run").
QString imageBase(const QString& csvPath);
