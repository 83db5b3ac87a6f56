#pragma once
// Configurations.json: named run configurations of the calculation tab. Values are
// stored as typed in the form with the index of their unit beside them; keys come out
// in byte order (the JSON library's object order), the file pretty-printed with an
// indent of 4 and one trailing newline, written atomically.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/json_file.h"

class QObject;

namespace calc {

// One configuration, as the form holds it.
struct Configuration {
    std::string propellant;
    std::string nozzle; // "Current" or a stored nozzle
    bool grainMode = false;
    std::string grain; // grain mode: "Current" or a stored grain
    double pressure = 0.0; // pressure mode, in the unit below
    int pressureUnit = 0; // 0 MPa, 1 atm, 2 bar
    bool ode = true;
    bool frozen = false; // ODE only
    uint32_t frozenStation = 0; // slider position when frozen, else 0
    bool fac = false;
    double chamberArea = 0.0; // 0 for the infinite-area combustor
    int areaUnit = 0; // 0 mm^2, 1 cm^2, 2 dm^2, 3 m^2
    bool transport = true;
    double ambient = 0.0;
    int ambientUnit = 0;
    bool uniformTemperature = false;
    double homT = 0.0; // K, kept also while the uniform temperature is off
    bool heatWall = false;
    double wallTemperature = 0.0; // K, stored only with heatWall
};

// The entry as stored: exactly one of "Grain"/"Pressure" and one of "Frozen"/"ODK".
nlohmann::json configurationEntry(const Configuration& configuration);
// The entry read back; nullopt with the reason in *error when a member is missing or
// of another type than the one stored (integral and floating numbers are both taken).
std::optional<Configuration> parseConfiguration(const nlohmann::json& entry, std::string* error);

// The file read for one operation.
using ConfigurationFile = DataFileDocument;
// Reads the file at CONFIGURATIONS. Missing: F12; unparsable (or not an object): F28,
// empty document; nullopt after "Configurations file could not be opened, ..." when it
// exists but cannot be opened.
std::optional<ConfigurationFile> readConfigurations(QObject* messageParent);

// The stored names, in key order.
std::vector<std::string> configurationNames(const ConfigurationFile& file);

// Writes `entry` under `name`: refuses an unparsable file (it is kept), asks before
// replacing a stored entry (declining writes nothing and counts as done), reports a
// failed write, and shows "Successful save" only after the write succeeded. False after
// a refusal or a failed write.
bool storeConfiguration(QObject* messageParent, const std::string& name, const nlohmann::json& entry);

// Removes the entry `name` and writes the file; false (with a message) when the write
// failed. An unparsable file is never written.
bool removeConfiguration(QObject* messageParent, ConfigurationFile file, const std::string& name);

} // namespace calc
