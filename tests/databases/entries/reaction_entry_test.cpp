// Reaction entries: reaction texts against their sides or message, the duplicate test,
// and the exact Kinetics.json text.
#include <gtest/gtest.h>

#include <set>

#include "core/json_file.h"
#include "databases/reaction_entry.h"

namespace {

using Terms = std::vector<ReactionTerm>;

struct ParseCase {
    const char* text;
    Terms reactants;
    Terms products;
    const char* message; // empty: the parse succeeds
};

TEST(ReactionText, TextsGiveTheirSidesOrTheFirstMessage)
{
    const std::set<std::string> known = {"H", "H2", "O", "O2", "OH", "H2O", "N2"};
    auto isKnown = [&known](const std::string& n) { return known.count(n) > 0; };
    const std::vector<ParseCase> cases = {
            {"H + H = H2", {{"H", 2.0}}, {{"H2", 1.0}}, ""},
            {"2H = H2", {{"H", 2.0}}, {{"H2", 1.0}}, ""},
            {"H+H=H2", {{"H", 2.0}}, {{"H2", 1.0}}, ""},
            {"H2 + O2 = 2OH = H2O", {{"H2", 1.0}, {"O2", 1.0}}, {{"OH", 2.0}, {"H2O", 1.0}}, ""},
            {"0.5O2 = O", {{"O2", 0.5}}, {{"O", 1.0}}, ""},
            {"0H = H2", {{"H", 0.0}}, {{"H2", 1.0}}, ""},
            {"H + H2O = H2O + OH", {{"H", 1.0}, {"H2O", 1.0}}, {{"H2O", 1.0}, {"OH", 1.0}}, ""},
            {"O2 + H + O2 = OH + O", {{"O2", 2.0}, {"H", 1.0}}, {{"OH", 1.0}, {"O", 1.0}}, ""},
            {"H = H2 ", {{"H", 1.0}}, {{"H2", 1.0}}, ""},
            {"1H + 1O2 = 1O + 1OH", {{"H", 1.0}, {"O2", 1.0}}, {{"O", 1.0}, {"OH", 1.0}}, ""},
            {"2 H = H2", {}, {}, "The reacting specie '' is not in the database"},
            {"H + H => H2", {}, {}, "The reacting specie '>' is not in the database"},
            {"H + H <=> H2", {}, {}, "The reacting specie '<' is not in the database"},
            {" H = H2", {}, {}, "The reacting specie '' is not in the database"},
            {"+H = H2", {}, {}, "The reacting specie '' is not in the database"},
            {".H = H2", {}, {}, "Invalid coefficient for element '.H'"},
            {"1.2.3H = H2", {}, {}, "Invalid coefficient for element '1.2.3H'"},
            {"H + H + M = H2 + M", {}, {}, "The reacting specie 'M' is not in the database"},
            {"h = H2", {}, {}, "The reacting specie 'h' is not in the database"},
            {"H\t= H2", {}, {}, "The reacting specie 'H\t' is not in the database"},
            {"", {}, {}, "Reaction is empty"},
            {"H + H", {}, {}, "Missing products in reaction"},
            {"H + H =", {}, {}, "Missing products in reaction"},
            {"= H2", {}, {}, "The reacting specie '' is not in the database"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const ReactionParse r = parseReactionText(c.text, isKnown);
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.reactants, c.reactants);
            EXPECT_EQ(r.products, c.products);
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
        }
    }
}

TEST(ReactionText, NamesAreLookedUpAsNonEmptyEntriesOfTheSpeciesDocument)
{
    const nlohmann::json species = {{"H", {{"Phase", 0}}}, {"H2", nlohmann::json::object()}, {"O", nullptr}};
    EXPECT_TRUE(parseReactionText("H = H", species).ok);
    EXPECT_EQ(parseReactionText("H = H2", species).message, "The reacting specie 'H2' is not in the database");
    EXPECT_EQ(parseReactionText("O = H", species).message, "The reacting specie 'O' is not in the database");
}

TEST(ReactionDuplicates, SameSidesInAnyOrderWithEqualCoefficients)
{
    const nlohmann::json stored
            = toJson(ReactionEntry{{{"H", 2.0}}, {{"H2", 1.0}}, 1e13, 0, -1, 0, 0, false, {}, true});
    const nlohmann::json storedTwoTerms = toJson(
            ReactionEntry{{{"H", 1.0}, {"O2", 1.0}}, {{"O", 1.0}, {"OH", 1.0}}, 1, 0, 0, 0, 0, false, {}, true});
    nlohmann::json integerCoefficients = stored;
    // (json::array so that a [name, number] list is not taken for an object)
    integerCoefficients["Reactants"] = nlohmann::json::array({nlohmann::json::array({"H", 2})});
    integerCoefficients["Products"] = nlohmann::json::array({nlohmann::json::array({"H2", 1})});
    struct Case {
        const char* name;
        const nlohmann::json& entry;
        Terms reactants, products;
        bool duplicate;
    };
    const nlohmann::json null;
    nlohmann::json broken = stored;
    broken["Reactants"] = "H";
    const std::vector<Case> cases = {
            {"same reaction", stored, {{"H", 2.0}}, {{"H2", 1.0}}, true},
            {"stored integers equal floats", integerCoefficients, {{"H", 2.0}}, {{"H2", 1.0}}, true},
            {"other coefficient", stored, {{"H", 1.0}}, {{"H2", 1.0}}, false},
            {"sides exchanged", stored, {{"H2", 1.0}}, {{"H", 2.0}}, false},
            {"extra product", stored, {{"H", 2.0}}, {{"H2", 1.0}, {"H", 0.0}}, false},
            {"terms in another order", storedTwoTerms, {{"O2", 1.0}, {"H", 1.0}}, {{"OH", 1.0}, {"O", 1.0}}, true},
            {"empty entry", null, {{"H", 2.0}}, {{"H2", 1.0}}, false},
            {"malformed side", broken, {{"H", 2.0}}, {{"H2", 1.0}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isDuplicateReaction(c.entry, c.reactants, c.products), c.duplicate);
    }
}

TEST(ReactionDuplicates, FirstMatchInKeyOrderIsFound)
{
    nlohmann::json doc = nlohmann::json::object();
    const ReactionEntry e{{{"H", 2.0}}, {{"H2", 1.0}}, 1, 0, 0, 0, 0, false, {}, true};
    doc["H+H=H2"] = toJson(e);
    doc["2H = H2"] = toJson(e);
    doc["O = O"] = toJson(ReactionEntry{{{"O", 1.0}}, {{"O", 1.0}}, 1, 0, 0, 0, 0, false, {}, true});
    doc["bad"] = nullptr;
    EXPECT_EQ(findDuplicateReaction(doc, {{"H", 2.0}}, {{"H2", 1.0}}), std::optional<std::string>("2H = H2"));
    EXPECT_EQ(findDuplicateReaction(doc, {{"H", 1.0}}, {{"H2", 1.0}}), std::nullopt);
}

const char* const kineticsFile = R"({
    "H + H = H2": {
        "A": [
            10000000000000.0,
            0
        ],
        "Ea": [
            0.0,
            0
        ],
        "Forward": false,
        "Products": [
            [
                "H2",
                1.0
            ]
        ],
        "Reactants": [
            [
                "H",
                2.0
            ]
        ],
        "Third Body": [
            [
                "H2",
                2.5
            ],
            [
                "H2O",
                12.0
            ]
        ],
        "b": -1.0,
        "isActive": true
    }
}
)";

TEST(ReactionEntryFile, WritesTheExactFileTextAndReadsItBack)
{
    ReactionEntry e;
    e.reactants = {{"H", 2.0}};
    e.products = {{"H2", 1.0}};
    e.A = 1e13;
    e.b = -1.0;
    e.Ea = 0.0;
    e.thirdBody = {{"H2", 2.5}, {"H2O", 12.0}};
    nlohmann::json doc = nlohmann::json::object();
    doc["H + H = H2"] = toJson(e);
    EXPECT_EQ(serializeJson(doc), kineticsFile);

    auto back = reactionEntryFromJson(nlohmann::json::parse(kineticsFile)["H + H = H2"]);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, e);
    EXPECT_EQ(validateReactionEntry(*back), "");

    e.thirdBody.clear();
    e.EaUnit = static_cast<int>(ActivationEnergyUnit::JPerMol);
    const nlohmann::json j = toJson(e);
    EXPECT_FALSE(j.contains("Third Body")); // never an empty list
    EXPECT_EQ(reactionEntryFromJson(j)->EaUnit, 1);
}

TEST(ReactionEntryFile, ActivationEnergyInJoulesIsConvertedToCalories)
{
    ReactionEntry e;
    e.Ea = 4184.0;
    e.EaUnit = static_cast<int>(ActivationEnergyUnit::JPerMol);
    EXPECT_DOUBLE_EQ(activationEnergyCalPerMol(e), 1000.0); // thermochemical calorie
    e.EaUnit = static_cast<int>(ActivationEnergyUnit::CalPerMol);
    EXPECT_DOUBLE_EQ(activationEnergyCalPerMol(e), 4184.0);
}

TEST(ReactionEntryFile, MalformedEntriesAndBrokenInvariants)
{
    const nlohmann::json good = toJson(ReactionEntry{{{"H", 2.0}}, {{"H2", 1.0}}, 1, 0, 0, 0, 0, false, {}, true});
    for (const char* key : {"Reactants", "Products", "A", "b", "Ea", "Forward", "isActive"}) {
        nlohmann::json j = good;
        j.erase(key);
        EXPECT_FALSE(reactionEntryFromJson(j)) << key;
    }
    nlohmann::json reversed = good;
    reversed["Reactants"] = {{2.0, "H"}};
    EXPECT_FALSE(reactionEntryFromJson(reversed));
    EXPECT_FALSE(reactionEntryFromJson(nullptr));
    nlohmann::json forwardAsNumber = good;
    forwardAsNumber["Forward"] = 0;
    EXPECT_FALSE(reactionEntryFromJson(forwardAsNumber));

    ReactionEntry noReactants{{}, {{"H2", 1.0}}, 1, 0, 0, 0, 0, false, {}, true};
    EXPECT_EQ(validateReactionEntry(noReactants), "Missing reactants in reaction");
    ReactionEntry negativeEfficiency{{{"H", 2.0}}, {{"H2", 1.0}}, 1, 0, 0, 0, 0, false, {{"N2", -1.0}}, true};
    EXPECT_FALSE(validateReactionEntry(negativeEfficiency).empty());
    ReactionEntry repeated{{{"H", 1.0}, {"H", 1.0}}, {{"H2", 1.0}}, 1, 0, 0, 0, 0, false, {}, true};
    EXPECT_FALSE(validateReactionEntry(repeated).empty());
}

} // namespace
