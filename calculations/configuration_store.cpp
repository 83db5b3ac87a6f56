#include "calculations/configuration_store.h"

#include <QString>

#include "calculations/run_inputs.h"
#include "core/flags.h"
#include "core/message_box.h"
#include "core/preferences.h"

using nlohmann::json;

namespace calc {

namespace {

// null, {} and [] count as absent; "", 0 and false are values.
bool absent(const json& entry, const char* key)
{
    const auto it = entry.find(key);
    return it == entry.end() || it->is_null() || ((it->is_object() || it->is_array()) && it->empty());
}

// Reads the members of one entry, remembering the first that is missing or of the wrong type.
class EntryReader {
public:
    explicit EntryReader(const json& entry) : entry_(entry) { }

    std::string string(const char* key)
    {
        const json* v = member(key);
        if (v && !v->is_string())
            fail(key, "is not a text");
        return ok_ && v ? v->get<std::string>() : std::string();
    }
    bool boolean(const char* key)
    {
        const json* v = member(key);
        if (v && !v->is_boolean())
            fail(key, "is not true or false");
        return ok_ && v ? v->get<bool>() : false;
    }
    double number(const char* key)
    {
        const json* v = member(key);
        if (v && !v->is_number())
            fail(key, "is not a number");
        return ok_ && v ? v->get<double>() : 0.0;
    }
    // The array under `key` with exactly `size` elements, or null after a failure.
    const json* array(const char* key, std::size_t size)
    {
        const json* v = member(key);
        if (v && (!v->is_array() || v->size() != size))
            fail(key, ("is not a list of " + std::to_string(size) + " values").c_str());
        return ok_ ? v : nullptr;
    }
    bool elementBool(const json* a, std::size_t i, const char* key)
    {
        if (a && !(*a)[i].is_boolean())
            fail(key, "holds a value that is not true or false");
        return ok_ && a ? (*a)[i].get<bool>() : false;
    }
    double elementNumber(const json* a, std::size_t i, const char* key)
    {
        if (a && !(*a)[i].is_number())
            fail(key, "holds a value that is not a number");
        return ok_ && a ? (*a)[i].get<double>() : 0.0;
    }
    // A whole number in [0, limit].
    int64_t elementIndex(const json* a, std::size_t i, const char* key, int64_t limit)
    {
        if (a && !((*a)[i].is_number_integer() && (*a)[i].get<int64_t>() >= 0 && (*a)[i].get<int64_t>() <= limit))
            fail(key, "holds an index out of range");
        return ok_ && a ? (*a)[i].get<int64_t>() : 0;
    }

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

private:
    const json* member(const char* key)
    {
        if (!ok_)
            return nullptr;
        const auto it = entry_.find(key);
        if (it == entry_.end() || it->is_null()) {
            fail(key, "is missing");
            return nullptr;
        }
        return &*it;
    }
    void fail(const char* key, const char* what)
    {
        if (!ok_)
            return;
        ok_ = false;
        error_ = std::string("\"") + key + "\" " + what;
    }

    const json& entry_;
    bool ok_ = true;
    std::string error_;
};

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

json configurationEntry(const Configuration& c)
{
    json e = json::object();
    e["Propellant"] = c.propellant;
    e["Nozzle"] = c.nozzle;
    if (c.grainMode)
        e["Grain"] = c.grain;
    else
        e["Pressure"] = json::array({c.pressure, c.pressureUnit});
    if (c.ode)
        e["Frozen"] = json::array({c.frozen, c.frozen ? c.frozenStation : 0u});
    else
        e["ODK"] = true;
    e["FAC"] = json::array({c.fac, c.fac ? c.chamberArea : 0.0, c.areaUnit});
    e["Calculate transport"] = c.transport;
    e["Ambient Pressure"] = json::array({c.ambient, c.ambientUnit});
    e["Uniform reactant T"] = json::array({c.uniformTemperature, c.homT});
    if (c.heatWall)
        e["Wall temperature"] = c.wallTemperature;
    return e;
}

std::optional<Configuration> parseConfiguration(const json& entry, std::string* error)
{
    if (!entry.is_object()) {
        if (error)
            *error = "the entry is not a set of named values";
        return std::nullopt;
    }
    Configuration c;
    EntryReader r(entry);
    c.propellant = r.string("Propellant");
    c.nozzle = r.string("Nozzle");
    c.grainMode = !absent(entry, "Grain");
    if (c.grainMode) {
        c.grain = r.string("Grain");
    } else {
        const json* p = r.array("Pressure", 2);
        c.pressure = r.elementNumber(p, 0, "Pressure");
        c.pressureUnit = static_cast<int>(r.elementIndex(p, 1, "Pressure", 2));
    }
    c.ode = !absent(entry, "Frozen");
    if (c.ode) {
        const json* f = r.array("Frozen", 2);
        c.frozen = r.elementBool(f, 0, "Frozen");
        c.frozenStation = static_cast<uint32_t>(r.elementIndex(f, 1, "Frozen", UINT32_MAX));
    }
    const json* fac = r.array("FAC", 3);
    c.fac = r.elementBool(fac, 0, "FAC");
    c.chamberArea = r.elementNumber(fac, 1, "FAC");
    c.areaUnit = static_cast<int>(r.elementIndex(fac, 2, "FAC", 3));
    c.transport = r.boolean("Calculate transport");
    const json* amb = r.array("Ambient Pressure", 2);
    c.ambient = r.elementNumber(amb, 0, "Ambient Pressure");
    c.ambientUnit = static_cast<int>(r.elementIndex(amb, 1, "Ambient Pressure", 2));
    const json* homT = r.array("Uniform reactant T", 2);
    c.uniformTemperature = r.elementBool(homT, 0, "Uniform reactant T");
    c.homT = r.elementNumber(homT, 1, "Uniform reactant T");
    c.heatWall = !absent(entry, "Wall temperature");
    if (c.heatWall)
        c.wallTemperature = r.number("Wall temperature");
    if (!r.ok()) {
        if (error)
            *error = r.error();
        return std::nullopt;
    }
    return c;
}

Reported<std::optional<ConfigurationFill>> configurationFill(const Configuration& c, const QStringList& propellants,
                                                             const QStringList& nozzles, const QStringList& grains,
                                                             int digits)
{
    auto refuse = [](const char* text) {
        return Reported<std::optional<ConfigurationFill>>{std::nullopt, {tabViewMessage(Msg::Critical, text)}};
    };
    auto number = [digits](double v) { return formatNumber(v, digits); };
    ConfigurationFill fill;
    fill.propellant = static_cast<int>(propellants.indexOf(qs(c.propellant)));
    if (fill.propellant < 0)
        return refuse("Propellant in loaded configuration cannot be found in save files");
    fill.nozzle = static_cast<int>(nozzles.indexOf(qs(c.nozzle)));
    if (fill.nozzle < 0)
        return refuse("Nozzle in loaded configuration cannot be found in save files");
    if (c.grainMode) {
        fill.grain = static_cast<int>(grains.indexOf(qs(c.grain)));
        if (fill.grain < 0)
            return refuse("Grain in loaded configuration cannot be found in save files");
    } else {
        fill.pressure = number(c.pressure);
    }
    if (c.fac)
        fill.chamberArea = number(c.chamberArea);
    fill.ambient = number(c.ambient);
    if (c.uniformTemperature)
        fill.homT = number(c.homT);
    if (c.heatWall)
        fill.wallTemperature = number(c.wallTemperature);
    return {fill, {}};
}

Reported<std::optional<ConfigurationFile>> readConfigurations()
{
    ConfigurationFile file = readDataFile(CONFIGURATIONS, code::Configurations);
    if (!file.opened()) {
        return {std::nullopt,
                {tabViewMessage(Msg::Critical,
                                "Configurations file could not be opened, it may be opened by another software "
                                "or have accesibility restrictions")}};
    }
    return {std::move(file), {}};
}

std::vector<std::string> configurationNames(const ConfigurationFile& file)
{
    return file.names();
}

Reported<bool> storeConfiguration(QObject* questionParent, const std::string& name, const json& entry)
{
    Reported<std::optional<ConfigurationFile>> read = readConfigurations();
    if (!read.value)
        return {false, std::move(read.messages)};
    ConfigurationFile& file = *read.value;
    if (!file.writable()) {
        // Writing the one new entry would replace every configuration the file holds.
        return {false,
                {tabViewMessage(Msg::Critical,
                                "Save aborted because the configurations file " + qs(file.path)
                                        + " could not be read (it is not a valid configurations "
                                          "file); it was left unchanged")}};
    }
    if (!absent(file.document, name.c_str())) {
        MessageRequest ask;
        ask.icon = Msg::Warning;
        ask.text = "You are about to overwrite a save with the same name. Continue?";
        ask.buttons = Msg::Yes | Msg::Cancel;
        ask.defaultButton = Msg::Yes;
        if (showMessage(questionParent, ask).button != Msg::Yes)
            return {true, {}};
    }
    file.document[name] = entry;
    std::string error;
    if (!writeDataFile(file, &error)) {
        return {false,
                {tabViewMessage(Msg::Critical, "The configurations file " + qs(file.path) + " could not be written",
                                qs(error))}};
    }
    return {true, {tabViewMessage(Msg::Information, "Successful save")}};
}

Reported<bool> removeConfiguration(ConfigurationFile file, const std::string& name)
{
    if (!file.writable())
        return {false, {}};
    file.document.erase(name);
    std::string error;
    if (!writeDataFile(file, &error)) {
        return {false,
                {tabViewMessage(Msg::Critical, "The configurations file " + qs(file.path) + " could not be written",
                                qs(error))}};
    }
    return {true, {}};
}

} // namespace calc
