#include "core/export_flow.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "core/preferences.h"
#include "core/text_file.h"

namespace {

QString askFor(const ExportDialogs& dialogs, const QString& caption, const char* filter)
{
    return dialogs.saveFileName(caption, QString::fromStdString(PATH_EXPORT),
                                QCoreApplication::translate("ExportFlow", filter));
}

} // namespace

QString imageBase(const QString& csvPath)
{
    const QFileInfo info(csvPath);
    return info.path() + QStringLiteral("/") + info.baseName();
}

ExportResult runExport(const ExportDialogs& dialogs, const ExportPlanner& planFor)
{
    ExportResult result;
    const int chosen = dialogs.chooseExport();
    if (chosen <= 0)
        return result;
    const std::optional<ExportPlan> plan = planFor(static_cast<uint32_t>(chosen));
    if (!plan) {
        result.end = ExportEnd::Refused;
        return result;
    }
    result.end = ExportEnd::Cancelled;

    QString csvPath;
    if (plan->csv) {
        csvPath = askFor(dialogs, plan->csv->caption, "data file (*.csv)");
        if (csvPath.isEmpty())
            return result;
        PATH_EXPORT = csvPath.toStdString();
        QString reason;
        if (!writeTextFile(csvPath, plan->csv->text(), &reason)) {
            result.end = ExportEnd::Failed;
            result.failure = ExportFailure{csvPath, reason, true};
            return result;
        }
    }
    // Images take the CSV file's name only when this export wrote one.
    const bool sameName = SAME_NAME_EXPORT && !csvPath.isEmpty();
    for (const ExportImage& image : plan->images) {
        QString name;
        if (sameName) {
            name = imageBase(csvPath) + (image.series ? QString() : image.suffix);
            // A derived series base names no file the next dialog could start at.
            if (!image.series)
                PATH_EXPORT = name.toStdString();
        } else {
            const QString asked = askFor(dialogs, image.caption, "image file (*.png)");
            if (asked.isEmpty())
                return result;
            PATH_EXPORT = asked.toStdString();
            name = image.series ? imageBase(asked) : asked;
        }
        if (std::optional<ExportFailure> failure = image.write(name)) {
            result.end = ExportEnd::Failed;
            result.failure = std::move(failure);
            return result;
        }
    }
    result.end = ExportEnd::Finished;
    return result;
}
