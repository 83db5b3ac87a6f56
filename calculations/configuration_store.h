#pragma once
// Configurations.json: named run configurations of the calculation tab. Values are
// stored as typed in the form with the index of their unit beside them; keys come out
// in byte order (the JSON library's object order), the file pretty-printed with an
// indent of 4 and one trailing newline, written atomically.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QStringList>
#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/json_file.h"
#include "core/view_message.h"

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

// How a stored configuration fills the form: the list positions of its items and its
// numbers as the fields show them.
struct ConfigurationFill {
    int propellant = -1;
    int nozzle = -1;
    int grain = -1; // grain mode only
    QString pressure; // pressure mode only
    QString chamberArea; // finite-area combustor only
    QString ambient;
    QString homT; // uniform temperature only
    QString wallTemperature; // wall heat only
};
// The fill of `configuration` with numbers in `digits` significant digits; nullopt with
// the refusal when one of its items is no longer in its list (the propellant, the
// nozzle, then the grain are looked for).
Reported<std::optional<ConfigurationFill>> configurationFill(const Configuration& configuration,
                                                             const QStringList& propellants, const QStringList& nozzles,
                                                             const QStringList& grains, int digits);

// The file read for one operation.
using ConfigurationFile = DataFileDocument;
// Reads the file at CONFIGURATIONS. Missing: F12; unparsable (or not an object): F28,
// empty document; nullopt with "Configurations file could not be opened, ..." when it
// exists but cannot be opened.
Reported<std::optional<ConfigurationFile>> readConfigurations();

// The stored names, in key order.
std::vector<std::string> configurationNames(const ConfigurationFile& file);

// Writes `entry` under `name`: refuses an unparsable file (it is kept), asks before
// replacing a stored entry (the question a child of `questionParent`; declining writes
// nothing and counts as done), reports a failed write, and hands back "Successful save"
// only after the write succeeded. False after a refusal or a failed write.
Reported<bool> storeConfiguration(QObject* questionParent, const std::string& name, const nlohmann::json& entry);

// Removes the entry `name` and writes the file; false (with a box when the write failed).
// An unparsable file is never written.
Reported<bool> removeConfiguration(ConfigurationFile file, const std::string& name);

} // namespace calc
