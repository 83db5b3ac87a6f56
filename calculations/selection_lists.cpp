#include "calculations/selection_lists.h"

#include <string>

#include "calculations/calculation_labels.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/message_box.h"
#include "core/preferences.h"

namespace calc {

namespace {

struct ListFile {
    const std::string& path;
    code::DataFile file;
    const char* cannotOpen;
};

// The names of one file; false when it exists but cannot be opened.
bool readNames(const ListFile& f, QStringList& names)
{
    const JsonReadResult read = readJsonFile(f.path);
    switch (read.status) {
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissing(f.file)); return true;
    case JsonReadStatus::CannotOpen: return false;
    case JsonReadStatus::Unparsable: raiseFlag(flagsF, code::fileCorrupt(f.file)); return true;
    case JsonReadStatus::Ok: break;
    }
    if (!read.document.is_object()) {
        raiseFlag(flagsF, code::fileCorrupt(f.file));
        return true;
    }
    for (auto it = read.document.begin(); it != read.document.end(); ++it)
        names << QString::fromStdString(it.key());
    return true;
}

} // namespace

Reported<std::optional<SelectionLists>> readSelectionLists()
{
    const ListFile files[] = {
            {PROPELLANT, code::Propellants,
             "Propellant file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
            {NOZZLE, code::Nozzles,
             "Nozzle file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
            {GRAIN, code::Grains,
             "Grain file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
    };
    SelectionLists lists;
    lists.nozzles << currentItem;
    lists.grains << currentItem;
    QStringList* targets[] = {&lists.propellants, &lists.nozzles, &lists.grains};
    for (int k = 0; k < 3; ++k) {
        if (!readNames(files[k], *targets[k]))
            return {std::nullopt, {tabViewMessage(Msg::Critical, files[k].cannotOpen)}};
    }
    return {std::move(lists), {}};
}

int positionAfterRefresh(const QString& name, const QStringList& items)
{
    return name.isEmpty() ? -1 : static_cast<int>(items.indexOf(name));
}

} // namespace calc
