#pragma once
// The data files of a run as the tabs store them, in a temporary application folder: while
// a StoredRunData lives, the data-file paths a run reads (species, reactants, kinetics,
// propellants, grains, nozzles) name files in its Data folder; it puts the previous paths
// back when it goes.
#include <array>
#include <string>

#include "core/preferences.h"
#include "databases/import_thermo.h"
#include "support/temp_app_dir.h"

namespace calc_test {

class StoredRunData {
public:
    StoredRunData() : saved_{SPECIES, REACTANTS, KINETICS, PROPELLANT, GRAIN, NOZZLE}
    {
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        PROPELLANT = app.dataFile("Propellants.json");
        GRAIN = app.dataFile("Grains.json");
        NOZZLE = app.dataFile("Nozzles.json");
    }
    ~StoredRunData()
    {
        std::string* paths[] = {&SPECIES, &REACTANTS, &KINETICS, &PROPELLANT, &GRAIN, &NOZZLE};
        for (std::size_t k = 0; k < saved_.size(); ++k)
            *paths[k] = saved_[k];
    }
    StoredRunData(const StoredRunData&) = delete;
    StoredRunData& operator=(const StoredRunData&) = delete;

    // Imports a thermodynamic file of the test data (a path below tests/data) with the
    // program's own importer, as species and as reactants; true when both succeed.
    bool importThermo(const std::string& testDataFile) const
    {
        const std::string thermo = std::string(KAVRO_TEST_DATA_DIR) + testDataFile;
        ImportCallbacks quiet;
        return importThermoFile(thermo, ChemicalDatabase::Species, quiet, SPECIES).ok
                && importThermoFile(thermo, ChemicalDatabase::Reactants, quiet, REACTANTS).ok;
    }

    TempAppDir app;

private:
    std::array<std::string, 6> saved_;
};

// The conical nozzle of the starting data set, as the nozzle tab stores it, in mm: 200
// entrance, 100 throat and 500 exit diameter (exit area ratio 25), 30 and 15 degree
// half-angles, a 50 mm throat fillet, on `points` stations; x = 0 at the throat.
inline std::string startingConicalNozzle(int points)
{
    return R"({"Options": [false, false, false, true], "Parameters": [200.0, 100.0, 500.0, 30.0, 15.0, 0.0, 50.0],)"
           R"( "Points": )"
            + std::to_string(points) + R"(, "Type": 1, "Units": 0})";
}

} // namespace calc_test
