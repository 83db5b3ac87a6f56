#include "nozzle/selection_lists.h"

#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"

const char* const propellantFileCannotOpenMessage
        = "Propellant file could not be opened, it may be opened by another software or have accesibility "
          "restrictions";
const char* const grainFileCannotOpenMessage
        = "Grain file could not be opened, it may be opened by another software or have accesibility restrictions";

namespace {

std::optional<std::vector<std::string>> memberNames(const std::string& path, code::DataFile file)
{
    const JsonReadResult read = readJsonFile(path);
    std::vector<std::string> names;
    switch (read.status) {
    case JsonReadStatus::CannotOpen: return std::nullopt;
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissing(file)); break;
    case JsonReadStatus::Unparsable: raiseFlag(flagsF, code::fileCorrupt(file)); break;
    case JsonReadStatus::Ok:
        if (!read.document.is_object()) {
            raiseFlag(flagsF, code::fileCorrupt(file));
            break;
        }
        for (auto it = read.document.begin(); it != read.document.end(); ++it)
            names.push_back(it.key());
        break;
    }
    return names;
}

} // namespace

std::optional<std::vector<std::string>> storedPropellantNames()
{
    return memberNames(PROPELLANT.empty() ? appDirectory + "/Data/Propellants.json" : PROPELLANT, code::Propellants);
}

std::optional<std::vector<std::string>> storedGrainNames()
{
    return memberNames(GRAIN.empty() ? appDirectory + "/Data/Grains.json" : GRAIN, code::Grains);
}
