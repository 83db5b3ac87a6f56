// The molar mass of every record of the published NASA Glenn files (the project's copies
// in data/) fits the weight of its formula, as the importers write the records and as the
// propellant loader reads them back; the one record that does not, ADN, is refused naming
// both weights.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "databases/species_entry.h"
#include "import_test_support.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

std::string publishedFile(const std::string& name)
{
    return std::string(KAVRO_PUBLIC_DATA_DIR) + "/" + name;
}

// How often `part` occurs in `text`.
int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// Everything the importers reported, in one text.
std::string reported(const ImportRecorder& rec)
{
    std::string all;
    for (const auto& [message, details] : rec.reports)
        all += message + "\n" + details + "\n";
    return all;
}

// Every stored entry reads back and keeps the entry rules, as written and as the
// propellant loader takes it.
void expectEveryEntryLoads(const std::string& file, SubstanceKind kind)
{
    const json doc = readJson(file);
    ASSERT_GT(doc.size(), 2000u);
    int refused = 0;
    for (auto it = doc.begin(); it != doc.end(); ++it) {
        std::string error;
        const std::optional<SpeciesEntry> entry = speciesEntryFromJson(it.value(), kind, &error);
        if (entry) {
            error = validateEntry(*entry, kind);
            if (error.empty())
                error = validateEntry(*entry, kind, EntryUse::Loading);
        }
        if (!error.empty()) {
            ++refused;
            ADD_FAILURE() << it.key() << ": " << error;
        }
    }
    EXPECT_EQ(refused, 0);
}

} // namespace

TEST(PublishedMolarMasses, EveryRecordFitsItsFormulaButADN)
{
    TempAppDir app;
    ImportRecorder rec;
    const std::string species = app.dataFile("Species.json");
    const std::string reactants = app.dataFile("Reactants.json");

    // Species, then the transport file over them: the rule refuses none.
    ASSERT_TRUE(importThermoFile(publishedFile("thermo.inp"), ChemicalDatabase::Species, rec.callbacks(), species).ok);
    ASSERT_TRUE(
            importTransportFile(publishedFile("trans.inp"), ChemicalDatabase::Species, rec.callbacks(), species).ok);
    EXPECT_EQ(occurrences(reported(rec), "Invalid composition"), 0) << reported(rec);
    expectEveryEntryLoads(species, SubstanceKind::Species);

    // Both sections as reactants, and the transport file over them: ADN alone is
    // refused, its molar mass 630 g/mol against the 124.056 g/mol of H4N4O4
    // (4 x 1.008 + 4 x 14.007 + 4 x 15.999).
    rec = ImportRecorder();
    ASSERT_TRUE(
            importThermoFile(publishedFile("thermo.inp"), ChemicalDatabase::Reactants, rec.callbacks(), reactants).ok);
    ASSERT_TRUE(importTransportFile(publishedFile("trans.inp"), ChemicalDatabase::Reactants, rec.callbacks(), reactants)
                        .ok);
    const std::string report = reported(rec);
    EXPECT_EQ(occurrences(report, "Invalid composition"), 1) << report;
    EXPECT_NE(report.find("Invalid data for specie: ADN"), std::string::npos) << report;
    EXPECT_NE(report.find("Invalid composition: its atoms weigh 124.056 g/mol, the molar mass 630 g/mol"),
              std::string::npos)
            << report;
    expectEveryEntryLoads(reactants, SubstanceKind::Reactant);
}
