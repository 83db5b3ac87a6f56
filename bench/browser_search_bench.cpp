// Cost of one keystroke in the database browser's search field: the browser keeps no
// copy of the database, so every change of the search text reads and parses the whole
// file and applies the search and the filter to every listed name. Measured on a
// synthetic Species.json of the size of the published thermodynamic file.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/json_file.h"
#include "databases/browser_filter.h"
#include "databases/database_files.h"

namespace {

// n species with two seven-term intervals each, like imported entries.
std::string writeSpeciesFile(int n)
{
    nlohmann::json doc = nlohmann::json::object();
    const std::vector<double> exps{-2.0, -1.0, 0.0, 1.0, 2.0, 3.0, 4.0};
    const std::vector<double> a{1.1e4, -3.2e2, 4.5, 1.2e-3, -4.4e-7, 6.1e-11, -3.3e-15};
    for (int i = 0; i < n; ++i) {
        nlohmann::json interval = {{"T_int", {200.0, 1000.0}}, {"a", a}, {"b", {-745.375, 4.38}}, {"exp", exps}};
        doc["S" + std::to_string(i) + (i % 3 == 0 ? "H2O" : "CO")] = {{"Composition", {{2.0, "H"}, {1.0, "O"}}},
                                                                      {"Enthalpy", {-241826.0, 1}},
                                                                      {"Intervals", {interval, interval}},
                                                                      {"MolecWeight", {18.015, 0}},
                                                                      {"Phase", i % 4 == 0 ? 1 : 0},
                                                                      {"isActive", true}};
    }
    const std::string path
            = (std::filesystem::temp_directory_path() / ("kavro_bench_species_" + std::to_string(n) + ".json"))
                      .string();
    writeJsonFile(path, doc);
    return path;
}

void BM_BrowserSearchKeystroke(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::string path = writeSpeciesFile(n);
    const DatabaseDocument listed = readDatabaseAt(ChemicalDatabase::Species, path);
    std::vector<std::string> names;
    for (auto it = listed.document.begin(); it != listed.document.end(); ++it)
        names.push_back(it.key());
    for (auto _ : state) {
        const DatabaseDocument doc = readDatabaseAt(ChemicalDatabase::Species, path);
        int shown = 0;
        for (const std::string& name : names) {
            auto entry = doc.document.find(name);
            if (browserNameMatches(name, "H2") && entry != doc.document.end()
                && browserEntryPasses(BrowserMode::Species, BrowserFilter::Gaseous, *entry))
                ++shown;
        }
        benchmark::DoNotOptimize(shown);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_BrowserSearchKeystroke)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

} // namespace
