// Composition texts, number texts and interval field sets against their values or the
// first message the editor shows.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "databases/composition.h"

namespace {

struct CompositionCase {
    const char* text;
    std::vector<CompositionPair> pairs; // expected when message is empty
    const char* message;
};

TEST(Composition, TextsGiveTheirPairsOrTheFirstMessage)
{
    const std::vector<CompositionCase> cases = {
            {"C3/H8", {{3, "C"}, {8, "H"}}, ""},
            {"Cl/E-1", {{1, "Cl"}, {-1, "E"}}, ""},
            {"C2.5", {{2.5, "C"}}, ""},
            {"C1e2", {{100, "C"}}, ""},
            {"C/", {{1, "C"}}, ""},
            {"E0", {{0, "E"}}, ""},
            {"H/H", {{1, "H"}, {1, "H"}}, ""},
            {"D2/O", {{2, "D"}, {1, "O"}}, ""},
            {"Og1", {{1, "Og"}}, ""},
            {"", {}, "No atoms could be found, check your input"},
            {"C//H", {}, "No atom found between '/'"},
            {"/C", {}, "No atom found between '/'"},
            {"/", {}, "No atom found between '/'"},
            {"3C", {}, "No atom found between '/'"},
            {"-E", {}, "No atom found between '/'"},
            {"C//", {}, "No atom found between '/'"},
            {"H2O", {}, "Invalid number: 2O"},
            {"C0", {}, "Invalid number: 0"},
            {"C-2", {}, "Invalid number: -2"},
            {"H2/C0", {}, "Invalid number: 0"},
            {"Xx0", {}, "Invalid number: 0"}, // the count is checked before the symbol
            {"CL", {}, "Invalid atom: CL"},
            {"Xyz2", {}, "Invalid atom: Xyz"},
            {"C 2", {}, "Invalid atom: C "}, // the blank belongs to the symbol
            {"c", {}, "Invalid atom: c"},
            {"H2/Q", {}, "Invalid atom: Q"},
            {"C1,5", {}, "Invalid number: 1,5"}, // decimal comma is never a number
    };
    for (const CompositionCase& c : cases) {
        SCOPED_TRACE(c.text);
        const CompositionResult r = parseComposition(c.text);
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.pairs, c.pairs);
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
        }
    }
}

TEST(Composition, FormattedPairsReadBackTheSame)
{
    const std::vector<CompositionPair> pairs = {{2, "H"}, {1, "O"}, {-1, "E"}, {2.5, "C"}, {1e-5, "N"}, {3e20, "Ar"}};
    const std::string text = formatComposition(pairs, 10);
    EXPECT_EQ(text.substr(0, 5), "H2/O1");
    const CompositionResult r = parseComposition(text);
    ASSERT_TRUE(r.ok) << r.message << " for " << text;
    EXPECT_EQ(r.pairs, pairs);
}

TEST(CNumber, ReadsOnlyWholeCLocaleNumbers)
{
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
            {"2.5", 2.5},
            {" 2.5 ", 2.5},
            {"-3", -3.0},
            {"+3", 3.0},
            {"1e2", 100.0},
            {"1E-2", 0.01},
            {".5", 0.5},
            {"5.", 5.0},
            {"\t7\n", 7.0},
            {"", std::nullopt},
            {"   ", std::nullopt},
            {"1,5", std::nullopt},
            {"2O", std::nullopt},
            {"abc", std::nullopt},
            {"nan", std::nullopt},
            {"inf", std::nullopt},
            {"1e999", std::nullopt},
            {"+-1", std::nullopt},
            {"--1", std::nullopt},
            {"1 2", std::nullopt},
            {"0x10", std::nullopt},
            {"+", std::nullopt},
            {".", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readNumber(c.text), c.value);
    }
}

TEST(CNumber, IgnoresTheProcessLocale)
{
    // A desktop locale with a decimal comma must not change how fields are read.
    // scripts/test generates one and names it in KAVRO_REQUIRE_DECIMAL_COMMA_LOCALE: there
    // the test fails instead of skipping when it cannot be set.
    struct RestoreLocale {
        std::string previous = std::setlocale(LC_NUMERIC, nullptr);
        ~RestoreLocale() { std::setlocale(LC_NUMERIC, previous.c_str()); }
    } restore;
    const char* required = std::getenv("KAVRO_REQUIRE_DECIMAL_COMMA_LOCALE");
    const std::vector<std::string> candidates = required && *required
            ? std::vector<std::string>{required}
            : std::vector<std::string>{"de_DE.UTF-8", "fr_FR.UTF-8"};
    bool set = false;
    for (const std::string& name : candidates)
        set = set || std::setlocale(LC_NUMERIC, name.c_str()) != nullptr;
    if (!set) {
        if (required && *required)
            FAIL() << "the locale " << required << " cannot be set";
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    // the locale is in force: the C library now writes a decimal comma
    char written[16];
    std::snprintf(written, sizeof written, "%.1f", 2.5);
    ASSERT_STREQ(written, "2,5");

    EXPECT_EQ(readNumber("2.5"), 2.5);
    EXPECT_EQ(readNumber("2,5"), std::nullopt);
    EXPECT_EQ(formatComposition({{2.5, "C"}}, 10), "C2.5");
}

CpIntervalTexts cp(std::string tmin, std::string tmax, std::vector<std::string> coefficients,
                   std::vector<std::string> exponents, std::string b1 = "-745.375", std::string b2 = "4.38")
{
    return {std::move(tmin), std::move(tmax),         std::move(b1),
            std::move(b2),   std::move(coefficients), std::move(exponents)};
}

TEST(CpIntervals, FieldSetsGiveTheirFirstMessage)
{
    struct Case {
        const char* name;
        std::vector<CpIntervalTexts> intervals;
        const char* message;
    };
    const std::vector<Case> cases = {
            {"touching intervals", {cp("200", "1000", {"2.5"}, {"0"}), cp("1000", "6000", {"2.5"}, {"0"})}, ""},
            {"gap between intervals", {cp("200", "1000", {"2.5"}, {"0"}), cp("1500", "6000", {"2.5"}, {"0"})}, ""},
            {"overlap by one kelvin",
             {cp("200", "1000", {"2.5"}, {"0"}), cp("999", "6000", {"2.5"}, {"0"})},
             "Invalid Cp Tmin: 999"},
            {"Tmin equal to Tmax", {cp("300", "300", {"2.5"}, {"0"})}, "Invalid Cp Tmax: 300"},
            {"Tmax below Tmin", {cp("300", "200", {"2.5"}, {"0"})}, "Invalid Cp Tmax: 200"},
            {"negative Tmin", {cp("-1", "200", {"2.5"}, {"0"})}, "Invalid Cp Tmin: -1"},
            {"empty Tmin", {cp("", "200", {"2.5"}, {"0"})}, "Invalid Cp Tmin: "},
            {"bad b1", {cp("200", "300", {"2.5"}, {"0"}, "x", "1")}, "Invalid integration constant: x"},
            {"bad b2", {cp("200", "300", {"2.5"}, {"0"}, "1", "")}, "Invalid integration constant: "},
            {"empty second coefficient", {cp("200", "300", {"2.5", ""}, {"0", "1"})}, "Invalid Cp coefficient: "},
            {"bad first exponent before second coefficient",
             {cp("200", "300", {"2.5", ""}, {"q", "1"})},
             "Invalid Cp exponent: q"},
            {"the first interval is read whole before the second",
             {cp("200", "1000", {"2.5"}, {"z"}), cp("100", "6000", {"2.5"}, {"0"})},
             "Invalid Cp exponent: z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CpResult r = checkCpIntervals(c.intervals);
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.intervals.size(), c.intervals.size());
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
        }
    }
}

TEST(CpIntervals, ValuesComeBackPerTermOfTheFirstInterval)
{
    const CpResult r = checkCpIntervals({cp("200", "1000", {"1", "2", "3"}, {"-1", "0", "1"}, "10", "20"),
                                         cp("1000", "6000", {"4", "5", "6"}, {"-1", "0", "1"}, "30", "40")});
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.intervals.size(), 2u);
    EXPECT_EQ(r.intervals[1], (CpInterval{1000, 6000, 30, 40, {4, 5, 6}, {-1, 0, 1}}));
}

TEST(TransportIntervals, FieldSetsGiveTheirFirstMessage)
{
    using P = TransportProperty;
    struct Case {
        P property;
        std::vector<TransportIntervalTexts> rows;
        const char* message;
    };
    const std::vector<Case> cases = {
            {P::Viscosity, {{"3000", "300", {"0.6", "-60", "200", "2"}}}, ""}, // order of Tmin and Tmax is free
            {P::Viscosity, {{"", "", {"", "", "", ""}}}, "Invalid viscosity Tmin: "},
            {P::Viscosity, {{"200", "-5", {"1", "1", "1", "1"}}}, "Invalid viscosity Tmax: -5"},
            {P::Viscosity, {{"200", "5000", {"1", "b", "1", "1"}}}, "Invalid viscosity B coefficient: b"},
            {P::Conductivity,
             {{"200", "5000", {"1", "1", "1", "1"}}, {"-2", "5000", {"1", "1", "1", "1"}}},
             "Invalid conductivity Tmin: -2"},
            {P::Conductivity, {{"200", "5000", {"a", "1", "1", "1"}}}, "Invalid conductivity A coefficient: a"},
            {P::Conductivity, {{"200", "5000", {"1", "1", "1", "d"}}}, "Invalid conductivity D coefficient: d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const TransportResult r = checkTransportIntervals(c.property, c.rows);
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(r.ok) << r.message;
            ASSERT_EQ(r.intervals.size(), 1u);
            EXPECT_EQ(r.intervals[0], (TransportInterval{3000, 300, {0.6, -60, 200, 2}}));
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
        }
    }
}

} // namespace
