// The browser's search and filter rules, without a window.
#include <gtest/gtest.h>

#include "databases/browser_filter.h"

using nlohmann::json;

namespace {

const json& speciesDoc()
{
    static const json doc = json::parse(R"json({
        "H2O":    {"Phase": 0, "Composition": [[2.0, "H"], [1.0, "O"]]},
        "OH-":    {"Phase": 0, "Composition": [[1.0, "O"], [1.0, "H"], [1.0, "E"]]},
        "H2O(L)": {"Phase": 1, "Composition": [[2.0, "H"], [1.0, "O"]]},
        "C(gr)":  {"Phase": 2, "Composition": [[1.0, "C"]]},
        "Ar":     {"Phase": 0, "Composition": [[1.0, "Ar"]],
                   "Viscosity": [{"Coef": [0.6, -60.0, 200.0, 2.0], "T_int": [200.0, 5000.0]}]},
        "Ne":     {"Phase": 0, "Composition": [[1.0, "Ne"]], "Conductivity": [{"Coef": [1.0, 2.0, 3.0, 4.0], "T_int": [1.0, 2.0]}]},
        "N2":     {"Phase": 0, "Composition": [[2.0, "N"]], "Viscosity": [], "Conductivity": null},
        "Phase1.0": {"Phase": 1.0, "Composition": [[1.0, "N"]]},
        "PhaseText": {"Phase": "0", "Composition": "junk"},
        "empty":  {},
        "null":   null
    })json");
    return doc;
}

const json& kineticsDoc()
{
    static const json doc = json::parse(R"json({
        "H + OH = H2O":  {"Reactants": [["H", 1.0], ["OH-", 1.0]], "Products": [["H2O", 1.0]]},
        "C = H2O":       {"Reactants": [["C(gr)", 1.0]], "Products": [["H2O", 1.0]]},
        "liquid only":   {"Reactants": [["H2O(L)", 1.0]], "Products": [["H2O(L)", 1.0]]},
        "unknown":       {"Reactants": [["X", 1.0]], "Products": [["Y", 1.0]]},
        "products only": {"Products": [["C(gr)", 1.0]]},
        "no sides":      {"Reactants": [], "Products": []},
        "junk sides":    {"Reactants": "H", "Products": [7, [3, "H2O"]]},
        "null":          null
    })json");
    return doc;
}

} // namespace

TEST(BrowserFilter, ItemsPerMode)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(browserFilterItems(BrowserMode::Reactions), (V{"All", "Gaseous", "Liquids present", "Solids present"}));
    EXPECT_EQ(browserFilterItems(BrowserMode::Species),
              (V{"All", "Gaseous", "Ions", "Liquids", "Solids", "With transport properties"}));
    EXPECT_EQ(browserFilterItems(BrowserMode::Reactants), (V{"All", "Gaseous", "Liquids", "Solids"}));
}

TEST(BrowserFilter, ListPositionsMapToFilters)
{
    // The species list has "Ions" at 2, so "Liquids" sits one place lower than in the
    // other two modes: mixing them up would filter by the wrong phase.
    EXPECT_EQ(browserFilterAt(BrowserMode::Species, 2), BrowserFilter::Ions);
    EXPECT_EQ(browserFilterAt(BrowserMode::Species, 3), BrowserFilter::Liquids);
    EXPECT_EQ(browserFilterAt(BrowserMode::Species, 5), BrowserFilter::WithTransport);
    EXPECT_EQ(browserFilterAt(BrowserMode::Reactants, 2), BrowserFilter::Liquids);
    EXPECT_EQ(browserFilterAt(BrowserMode::Reactions, 3), BrowserFilter::Solids);
    for (BrowserMode mode : {BrowserMode::Reactions, BrowserMode::Species, BrowserMode::Reactants}) {
        EXPECT_EQ(browserFilterAt(mode, -1), BrowserFilter::All);
        EXPECT_EQ(browserFilterAt(mode, 99), BrowserFilter::All);
        const auto items = browserFilterItems(mode);
        EXPECT_EQ(browserFilterAt(mode, static_cast<int>(items.size())), BrowserFilter::All);
    }
}

TEST(BrowserFilter, SearchIsCaseSensitiveSubstring)
{
    EXPECT_TRUE(browserNameMatches("H2O", "H"));
    EXPECT_TRUE(browserNameMatches("OH", "H"));
    EXPECT_FALSE(browserNameMatches("h2o", "H"));
    EXPECT_TRUE(browserNameMatches("h2o", ""));
    EXPECT_TRUE(browserNameMatches("", ""));
    EXPECT_FALSE(browserNameMatches("H", "H2"));
    EXPECT_TRUE(browserNameMatches("Al2O3(a)", "O3("));
}

struct FilterCase {
    BrowserMode mode;
    int index; // position in the mode's filter list
    const char* name;
    bool shown;
};

class BrowserFilterTable : public ::testing::TestWithParam<FilterCase> { };

TEST_P(BrowserFilterTable, EntryPassesAsExpected)
{
    const FilterCase& c = GetParam();
    const json& doc = c.mode == BrowserMode::Reactions ? kineticsDoc() : speciesDoc();
    const json& entry = doc.at(c.name);
    EXPECT_EQ(browserEntryPasses(c.mode, browserFilterAt(c.mode, c.index), entry, speciesDoc()), c.shown)
            << "mode " << int(c.mode) << " filter " << c.index << " entry " << c.name;
}

constexpr BrowserMode S = BrowserMode::Species;
constexpr BrowserMode R = BrowserMode::Reactants;
constexpr BrowserMode K = BrowserMode::Reactions;

INSTANTIATE_TEST_SUITE_P(
        Species, BrowserFilterTable,
        ::testing::Values(
                // nothing chosen and "All" show everything, faulty entries included
                FilterCase{S, -1, "null", true}, FilterCase{S, 0, "empty", true}, FilterCase{S, 0, "C(gr)", true},
                // gas without / with an electron
                FilterCase{S, 1, "H2O", true}, FilterCase{S, 1, "OH-", false}, FilterCase{S, 2, "OH-", true},
                FilterCase{S, 2, "H2O", false}, FilterCase{S, 1, "H2O(L)", false},
                // condensed phases
                FilterCase{S, 3, "H2O(L)", true}, FilterCase{S, 3, "H2O", false}, FilterCase{S, 4, "C(gr)", true},
                FilterCase{S, 4, "H2O(L)", false}, FilterCase{S, 3, "Phase1.0", true},
                // transport data: either property, but empty values do not count
                FilterCase{S, 5, "Ar", true}, FilterCase{S, 5, "Ne", true}, FilterCase{S, 5, "N2", false},
                FilterCase{S, 5, "H2O", false},
                // malformed values match no phase filter
                FilterCase{S, 1, "PhaseText", false}, FilterCase{S, 1, "null", false}, FilterCase{S, 1, "empty", false},
                FilterCase{S, 2, "PhaseText", false}));

INSTANTIATE_TEST_SUITE_P(Reactants, BrowserFilterTable,
                         ::testing::Values(FilterCase{R, 0, "OH-", true}, FilterCase{R, 1, "OH-", true},
                                           FilterCase{R, 1, "H2O", true}, FilterCase{R, 2, "H2O(L)", true},
                                           FilterCase{R, 2, "H2O", false}, FilterCase{R, 3, "C(gr)", true},
                                           FilterCase{R, 3, "Ar", false}, FilterCase{R, 1, "null", false},
                                           FilterCase{R, -1, "null", true}));

INSTANTIATE_TEST_SUITE_P(Reactions, BrowserFilterTable,
                         ::testing::Values(
                                 // "All" wants at least one participant
                                 FilterCase{K, 0, "H + OH = H2O", true}, FilterCase{K, -1, "unknown", true},
                                 FilterCase{K, 0, "products only", true}, FilterCase{K, 0, "no sides", false},
                                 FilterCase{K, 0, "null", false}, FilterCase{K, 0, "junk sides", true},
                                 // one gaseous product is enough, whatever the other participants are
                                 FilterCase{K, 1, "C = H2O", true}, FilterCase{K, 3, "C = H2O", true},
                                 FilterCase{K, 2, "C = H2O", false}, FilterCase{K, 2, "liquid only", true},
                                 FilterCase{K, 1, "liquid only", false},
                                 // an ion counts as a gaseous participant of a reaction
                                 FilterCase{K, 1, "H + OH = H2O", true},
                                 // participants missing from the species database match no phase
                                 FilterCase{K, 1, "unknown", false}, FilterCase{K, 2, "unknown", false},
                                 FilterCase{K, 3, "unknown", false}, FilterCase{K, 1, "junk sides", false},
                                 FilterCase{K, 3, "products only", true}, FilterCase{K, 1, "no sides", false}));

TEST(BrowserFilter, ReactionsWithoutSpeciesDatabaseMatchNoPhase)
{
    const json& entry = kineticsDoc().at("H + OH = H2O");
    EXPECT_TRUE(browserEntryPasses(K, BrowserFilter::All, entry, json::object()));
    EXPECT_FALSE(browserEntryPasses(K, BrowserFilter::Gaseous, entry, json::object()));
    EXPECT_FALSE(browserEntryPasses(K, BrowserFilter::Gaseous, entry, json(nullptr)));
}
