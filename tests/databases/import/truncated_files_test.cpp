// Every reader must come to an end on a file cut short anywhere, however the cut falls:
// inside a name, a number, a record or a section.
#include <gtest/gtest.h>

#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "import_test_support.h"
#include "support/h2o2_mechanism.h"

namespace {

std::string head(const std::string& path, std::size_t bytes)
{
    std::string text = readBytes(path);
    return text.substr(0, std::min(bytes, text.size()));
}

} // namespace

TEST(TruncatedFiles, EveryReaderEndsAtAnyCut)
{
    // The first records of the published files, cut at every byte.
    const std::string thermo = head(importDataFile("thermo.inp"), 7000); // header and the first records
    for (std::size_t n = 0; n <= thermo.size(); ++n) {
        ThermoParseResult r = parseThermoText(std::string_view(thermo).substr(0, n), ChemicalDatabase::Reactants);
        if (!r.ok) {
            EXPECT_FALSE(r.message.empty() && r.detail.empty()) << n;
        }
    }
    const std::string transport = head(importDataFile("trans.inp"), 3000);
    for (std::size_t n = 0; n <= transport.size(); ++n) {
        TransportParseResult r = parseTransportText(std::string_view(transport).substr(0, n));
        if (!r.ok) {
            EXPECT_FALSE(r.message.empty() && r.detail.empty()) << n;
        }
    }
    const std::string mechanism = readBytes(hydrogenOxygenMechanismFile());
    for (std::size_t n = 0; n < mechanism.size() - 5; ++n) {
        // Without its final END no cut of the mechanism is a whole file.
        MechanismParseResult r = parseMechanismText(std::string_view(mechanism).substr(0, n));
        EXPECT_FALSE(r.ok) << n;
        EXPECT_FALSE(r.detail.empty()) << n;
    }
}
