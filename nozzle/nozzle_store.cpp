#include "nozzle/nozzle_store.h"

#include <cstdint>
#include <optional>

#include "core/flags.h"
#include "core/message_box.h"
#include "core/preferences.h"
#include "nozzle/tab_messages.h"

using nlohmann::json;

const char* const nozzleFileCannotOpenMessage
        = "Nozzle file could not be opened, it may be opened by another software or have accesibility restrictions";

std::string nozzleFilePath()
{
    return NOZZLE.empty() ? appDirectory + "/Data/Nozzles.json" : NOZZLE;
}

NozzleDocument readNozzleFile()
{
    return readDataFile(nozzleFilePath(), code::Nozzles);
}

json nozzleEntryToJson(const NozzleEntry& entry)
{
    json value = json::object();
    if (entry.type == 0)
        value["Options"] = !entry.options.empty() && entry.options[0];
    else
        value["Options"] = entry.options;
    value["Parameters"] = entry.parameters;
    value["Points"] = entry.points;
    value["Type"] = entry.type;
    value["Units"] = entry.units;
    return value;
}

bool parseNozzleEntry(const json& value, NozzleEntry& entry)
{
    if (!value.is_object())
        return false;
    auto member = [&value](const char* key) -> const json* {
        auto it = value.find(key);
        return it == value.end() ? nullptr : &*it;
    };
    const json* units = member("Units");
    const json* type = member("Type");
    const json* points = member("Points");
    const json* options = member("Options");
    const json* parameters = member("Parameters");
    if (!units || !type || !points || !options || !parameters)
        return false;
    if (!units->is_number_integer() || !type->is_number_integer() || !points->is_number_unsigned())
        return false;
    if (points->get<uint64_t>() > UINT32_MAX || !parameters->is_array())
        return false;
    NozzleEntry e;
    // A unit index no conversion knows stays unknown (-1) instead of wrapping onto a
    // valid one; the conversion then raises its unit code.
    const int64_t unitIndex = units->get<int64_t>();
    e.units = unitIndex >= INT16_MIN && unitIndex <= INT16_MAX ? static_cast<int>(unitIndex) : -1;
    e.type = static_cast<int>(type->get<int64_t>());
    e.points = static_cast<uint32_t>(points->get<uint64_t>());
    std::size_t parameterCount = 0;
    if (e.type == 0) {
        if (!options->is_boolean())
            return false;
        e.options = {options->get<bool>()};
        parameterCount = 10;
    } else if (e.type == 1) {
        if (!options->is_array() || options->size() != 4)
            return false;
        for (const json& o : *options) {
            if (!o.is_boolean())
                return false;
            e.options.push_back(o.get<bool>());
        }
        parameterCount = 7;
    } else {
        return false; // no contour routine for this type
    }
    if (parameters->size() != parameterCount)
        return false;
    for (const json& p : *parameters) {
        if (!p.is_number())
            return false;
        e.parameters.push_back(p.get<double>());
    }
    entry = std::move(e);
    return true;
}

namespace {

QString corruptMessage(const std::string& path)
{
    return QString::fromStdString("Save aborted because the nozzle file " + path
                                  + " could not be read (it is not a valid nozzle file); it was left unchanged");
}

// The refusal of a failed write, or nothing when the file was written.
std::optional<ViewMessage> write(const NozzleDocument& doc)
{
    std::string error;
    if (writeDataFile(doc, &error))
        return std::nullopt;
    QString text = QString::fromStdString("The nozzle file " + doc.path + " could not be written");
    if (!error.empty())
        text += QString::fromStdString(": " + error);
    return tabViewMessage(Msg::Critical, text);
}

} // namespace

Reported<StoreResult> saveNozzleEntry(QObject* parent, const std::string& name, const NozzleEntry& entry)
{
    NozzleDocument doc = readNozzleFile();
    if (!doc.opened())
        return {StoreResult::Refused, {tabViewMessage(Msg::Critical, nozzleFileCannotOpenMessage)}};
    // Writing would replace the nozzles stored in the unreadable file by this one.
    if (!doc.writable())
        return {StoreResult::Refused, {tabViewMessage(Msg::Critical, corruptMessage(doc.path))}};
    auto it = doc.document.find(name);
    if (it != doc.document.end() && !(it->is_null() || ((it->is_object() || it->is_array()) && it->empty()))) {
        MessageRequest question
                = tabRequest(Msg::Warning, "You are about to overwrite a save with the same name. Continue?");
        question.buttons = Msg::Yes | Msg::Cancel;
        question.defaultButton = Msg::Yes;
        if (showMessage(parent, question).button != Msg::Yes)
            return {StoreResult::Cancelled, {}};
    }
    doc.document[name] = nozzleEntryToJson(entry);
    if (std::optional<ViewMessage> refusal = write(doc))
        return {StoreResult::Refused, {*refusal}};
    refreshFlag = 1;
    return {StoreResult::Written, {tabViewMessage(Msg::Information, "Successful save")}};
}

Reported<StoreResult> deleteNozzleEntry(NozzleDocument& doc, const std::string& name)
{
    if (!doc.writable() || !doc.document.contains(name))
        return {StoreResult::Refused, {}};
    doc.document.erase(name);
    if (std::optional<ViewMessage> refusal = write(doc))
        return {StoreResult::Refused, {*refusal}};
    return {StoreResult::Written, {}};
}
