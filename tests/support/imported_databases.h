#pragma once
// Chemical databases as the program fills them: the public NASA Glenn thermodynamic and
// transport records and the hydrogen/oxygen mechanism (support/h2o2_mechanism.h) kept in
// tests/data, imported by the program's own importers into a temporary data folder, read
// once per test program. The species, reactant and mixture records of the tests are then
// built from these entries by the propellant loader's entry reading, as a run builds them.
//
// Needs kavro_propellant (entry reading, mixture assembly) and kavro_databases (importers).
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QTemporaryDir>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/json_file.h"
#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "engine/mixture.h"
#include "engine/species.h"
#include "propellant/entry_reading.h"
#include "propellant/mixture_loader.h"
#include "support/h2o2_mechanism.h"

// Whether species records carry the viscosity and conductivity fits of the transport file.
enum class TransportData { Without, With };

struct ImportedDatabases {
    nlohmann::json species; // thermodynamic records only
    nlohmann::json speciesWithTransport; // the same, with the transport file imported into them
    nlohmann::json reactants; // every record, also the single-temperature ones (H2(L), O2(L))
    nlohmann::json kinetics; // the hydrogen/oxygen mechanism

    const nlohmann::json& speciesDoc(TransportData t) const
    {
        return t == TransportData::With ? speciesWithTransport : species;
    }
};

namespace imported_detail {

inline std::string dataFile(const std::string& relative)
{
    return std::string(KAVRO_TEST_DATA_DIR) + "/" + relative;
}

inline nlohmann::json importedDocument(const std::string& path)
{
    JsonReadResult read = readJsonFile(path);
    if (read.status != JsonReadStatus::Ok)
        throw std::runtime_error("import did not write " + path);
    return read.document;
}

inline ImportedDatabases importAll()
{
    const uint32_t filesBefore = flagsF.load();
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("no temporary folder for the imported databases");
    const std::string folder = dir.path().toStdString();
    const std::string species = folder + "/Species.json", transported = folder + "/SpeciesTransport.json",
                      reactants = folder + "/Reactants.json", kinetics = folder + "/Kinetics.json";
    const std::string thermo = dataFile("engine/thermo_subset.inp");
    // The single-temperature reactants are refused by the species database (they have no
    // Cp interval); every other record goes in.
    ImportCallbacks quiet;
    if (!importThermoFile(thermo, ChemicalDatabase::Species, quiet, species).ok
        || !importThermoFile(thermo, ChemicalDatabase::Species, quiet, transported).ok
        || !importTransportFile(dataFile("transport/trans_subset.inp"), ChemicalDatabase::Species, quiet, transported)
                    .ok
        || !importThermoFile(thermo, ChemicalDatabase::Reactants, quiet, reactants).ok
        || !importMechanismFile(hydrogenOxygenMechanismFile(), quiet, kinetics).ok)
        throw std::runtime_error("the test databases could not be imported");
    ImportedDatabases db{importedDocument(species), importedDocument(transported), importedDocument(reactants),
                         importedDocument(kinetics)};
    flagsF.store(filesBefore); // the new files' "not found" codes are no test's business
    return db;
}

} // namespace imported_detail

inline const ImportedDatabases& importedDatabases()
{
    static const ImportedDatabases db = imported_detail::importAll();
    return db;
}

// The whole public NASA Glenn thermodynamic file (tests/data/import/thermo.inp, not the
// subset above), imported by the program's importer into its species and reactant
// documents, once per program: the products of the large propellants.
struct WholeThermoFile {
    nlohmann::json species;
    nlohmann::json reactants;
};

inline const WholeThermoFile& wholeThermoFile()
{
    static const WholeThermoFile file = [] {
        const uint32_t filesBefore = flagsF.load();
        QTemporaryDir dir;
        if (!dir.isValid())
            throw std::runtime_error("no temporary folder for the imported thermodynamic file");
        const std::string folder = dir.path().toStdString();
        const std::string species = folder + "/Species.json", reactants = folder + "/Reactants.json";
        const std::string thermo = imported_detail::dataFile("import/thermo.inp");
        ImportCallbacks quiet;
        if (!importThermoFile(thermo, ChemicalDatabase::Species, quiet, species).ok
            || !importThermoFile(thermo, ChemicalDatabase::Reactants, quiet, reactants).ok)
            throw std::runtime_error("the thermodynamic file could not be imported");
        WholeThermoFile f{imported_detail::importedDocument(species), imported_detail::importedDocument(reactants)};
        flagsF.store(filesBefore); // the new files' "not found" codes are no test's business
        return f;
    }();
    return file;
}

// The binder of the composite propellants of the tests and the benchmarks: hydroxyl-
// terminated polybutadiene as C7.075 H10.65 O0.223 N0.063 with a formation enthalpy of
// -58 kJ/mol, a reactant the thermodynamic file lacks. Its molar mass is from the standard
// atomic weights (C 12.0107, H 1.00794, O 15.9994, N 14.0067 g/mol).
namespace binder {
constexpr double C = 7.075, H = 10.65, O = 0.223, N = 0.063;
constexpr double FORMATION_ENTHALPY = -58.0e6; // J/kmol
constexpr double MOLAR_MASS = C * 12.0107 + H * 1.00794 + O * 15.9994 + N * 14.0067; // g/mol

// Its reactant entry: a single-temperature reactant at 298.15 K.
inline nlohmann::json reactantEntry()
{
    return {{"Composition", {{C, "C"}, {H, "H"}, {O, "O"}, {N, "N"}}},
            {"Enthalpy", {FORMATION_ENTHALPY / 1e6, 2, 298.15}}, // kJ/mol
            {"MolecWeight", {MOLAR_MASS, 0}},
            {"Phase", 2},
            {"isActive", true}};
}
} // namespace binder

// A fresh record of `name` (a mixture writes its records' state): the species entry, or,
// for a name only the reactants hold, the reactant entry.
inline std::shared_ptr<Species> databaseRecord(const std::string& name, TransportData t = TransportData::Without)
{
    const ImportedDatabases& db = importedDatabases();
    const nlohmann::json& species = db.speciesDoc(t);
    std::shared_ptr<Species> s = species.contains(name)
            ? speciesRecord(name, species[name], SubstanceKind::Species)
            : (db.reactants.contains(name) ? speciesRecord(name, db.reactants[name], SubstanceKind::Reactant)
                                           : nullptr);
    if (!s)
        throw std::runtime_error("no usable entry " + name);
    return s;
}

inline std::vector<std::shared_ptr<Species>> databaseRecords(const std::vector<std::string>& names,
                                                             TransportData t = TransportData::Without)
{
    std::vector<std::shared_ptr<Species>> out;
    for (const std::string& n : names)
        out.push_back(databaseRecord(n, t));
    return out;
}

// Every reaction key of the imported mechanism, in key order (as the propellant tab lists
// the compatible reactions).
inline std::vector<std::string> mechanismReactionKeys()
{
    std::vector<std::string> keys;
    for (auto it = importedDatabases().kinetics.begin(); it != importedDatabases().kinetics.end(); ++it)
        keys.push_back(it.key());
    return keys;
}

struct ReactantShare {
    std::string name;
    double massFraction; // relative mass, any scale
};

// The propellant entry of these products, reactants and elements (and reactions), as
// the propellant tab stores it.
inline nlohmann::json propellantEntry(const std::vector<std::string>& products,
                                      const std::vector<ReactantShare>& shares,
                                      const std::vector<std::string>& elements,
                                      const std::vector<std::string>& reactions = {})
{
    nlohmann::json composition = nlohmann::json::array();
    for (const ReactantShare& r : shares)
        composition.push_back({r.name, r.massFraction});
    return {{"Composition", composition}, {"ELEMENTS", elements}, {"Species", products}, {"Reactions", reactions}};
}

// The mixture the propellant loader builds from that entry and the imported databases.
inline std::shared_ptr<Mixture> propellantMixture(const std::vector<std::string>& products,
                                                  const std::vector<ReactantShare>& shares,
                                                  const std::vector<std::string>& elements,
                                                  const std::vector<std::string>& reactions = {},
                                                  TransportData t = TransportData::Without)
{
    const ImportedDatabases& db = importedDatabases();
    ViewMessages boxes;
    auto mixture = assemblePropellantMixture(propellantEntry(products, shares, elements, reactions),
                                             {db.reactants, db.speciesDoc(t), db.kinetics}, &boxes);
    showViewMessages(nullptr, boxes);
    return mixture;
}
