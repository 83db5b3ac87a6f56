// Importing the published thermodynamic data file (about 2000 species) into an empty
// species database: reading and checking the records, then writing Species.json.
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "databases/import_thermo.h"

namespace {

const std::string kThermoFile = std::string(KAVRO_TEST_DATA_DIR) + "/import/thermo.inp";

void BM_ImportWholeThermoFileAsSpecies(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kavro_import_bench";
    std::filesystem::create_directories(dir);
    const std::string database = (dir / "Species.json").string();
    ImportCallbacks quiet; // every question answered Yes, refusals not shown
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(database);
        state.ResumeTiming();
        ImportOutcome out = importThermoFile(kThermoFile, ChemicalDatabase::Species, quiet, database);
        if (!out.ok)
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(out.stored);
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ImportWholeThermoFileAsSpecies)->Unit(benchmark::kMillisecond);

void BM_ParseWholeThermoFile(benchmark::State& state)
{
    std::string text;
    readTextFile(kThermoFile, text);
    for (auto _ : state) {
        ThermoParseResult parsed = parseThermoText(text, ChemicalDatabase::Species);
        benchmark::DoNotOptimize(parsed.records.size());
    }
}
BENCHMARK(BM_ParseWholeThermoFile)->Unit(benchmark::kMillisecond);

} // namespace
