// The Propellants.json entry: its file text byte for byte, reading it back, the
// leniency the loaders allow and the entries they refuse.
#include <gtest/gtest.h>

#include "core/json_file.h"
#include "propellant/propellant_entry.h"

namespace {

using nlohmann::json;

// A solid propellant whose second interval was saved open above, and a liquid one saved
// without solid data.
PropellantEntry solidPropellant()
{
    PropellantEntry e;
    e.composition = {{"R1", 70.0}, {"R2", 30.0}};
    e.elements = {"N", "H", "Cl", "O", "Al", "E"};
    e.species = {"Al2O3(L)", "H2O", "HCl", "N2"};
    SolidPropellantData s;
    s.density = 1.8;
    s.pressureUnit = static_cast<int>(PressureUnit::MPa);
    s.burnRateUnit = static_cast<int>(BurnRateUnit::MillimetrePerSecond);
    s.densityUnit = static_cast<int>(DensityUnit::GramPerCm3);
    s.intervals = {{1.0, 10.0, 2.5, 0.4}, {10.0, std::nullopt, 3.1, 0.35}};
    e.solid = s;
    return e;
}

PropellantEntry liquidPropellant()
{
    PropellantEntry e;
    e.composition = {{"R1", 1.0}};
    e.elements = {"H", "O", "E"};
    e.species = {"H2", "H2O", "O2"};
    e.reactions = {"H + H = H2"};
    return e;
}

const char* const STORED_TEXT = R"json({
    "Prop_A": {
        "Composition": [
            [
                "R1",
                70.0
            ],
            [
                "R2",
                30.0
            ]
        ],
        "Density": 1.8,
        "ELEMENTS": [
            "N",
            "H",
            "Cl",
            "O",
            "Al",
            "E"
        ],
        "Intervals": [
            {
                "Pressure": [
                    1.0,
                    10.0
                ],
                "a": 2.5,
                "n": 0.4
            },
            {
                "Pressure": [
                    10.0
                ],
                "a": 3.1,
                "n": 0.35
            }
        ],
        "Reactions": [],
        "Species": [
            "Al2O3(L)",
            "H2O",
            "HCl",
            "N2"
        ],
        "Units": [
            0,
            1,
            0
        ]
    },
    "Prop_B": {
        "Composition": [
            [
                "R1",
                1.0
            ]
        ],
        "ELEMENTS": [
            "H",
            "O",
            "E"
        ],
        "Reactions": [
            "H + H = H2"
        ],
        "Species": [
            "H2",
            "H2O",
            "O2"
        ]
    }
}
)json";

TEST(PropellantEntryFile, TextByteForByte)
{
    const json doc = {{"Prop_A", toJson(solidPropellant())}, {"Prop_B", toJson(liquidPropellant())}};
    EXPECT_EQ(serializeJson(doc), STORED_TEXT);
}

TEST(PropellantEntryFile, ReadsBackWhatItWrote)
{
    const json doc = json::parse(STORED_TEXT);
    EXPECT_EQ(propellantEntryFromJson(doc["Prop_A"]), solidPropellant());
    EXPECT_EQ(propellantEntryFromJson(doc["Prop_B"]), liquidPropellant());
}

// What hand-edited or older files may hold and the loaders still take.
TEST(PropellantEntryFile, LenientReading)
{
    json a = toJson(solidPropellant());
    a["Intervals"][1]["Pressure"] = {10.0, nullptr}; // an upper limit emptied
    a["Intervals"][0]["Pressure"] = {1.0, 10.0};
    auto read = propellantEntryFromJson(a);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->solid->intervals[1].upper);
    for (const json& none : {json::array(), json::object()}) {
        a["Intervals"][1]["Pressure"] = {10.0, none};
        ASSERT_TRUE(propellantEntryFromJson(a));
        EXPECT_FALSE(propellantEntryFromJson(a)->solid->intervals[1].upper);
    }

    json b = toJson(liquidPropellant());
    b.erase("Reactions"); // optional for the readers
    ASSERT_TRUE(propellantEntryFromJson(b));
    EXPECT_TRUE(propellantEntryFromJson(b)->reactions.empty());
    for (const json& none : {json(), json::array(), json::object()}) {
        b["Density"] = none; // no solid data
        ASSERT_TRUE(propellantEntryFromJson(b));
        EXPECT_FALSE(propellantEntryFromJson(b)->solid);
    }
    json c = toJson(solidPropellant());
    c["Intervals"] = json::array(); // solid data without an interval
    ASSERT_TRUE(propellantEntryFromJson(c));
    EXPECT_TRUE(propellantEntryFromJson(c)->solid->intervals.empty());
}

TEST(PropellantEntryFile, RefusesMistypedEntries)
{
    auto edited = [](auto change) {
        json e = toJson(solidPropellant());
        change(e);
        return e;
    };
    const struct {
        const char* what;
        json entry;
    } cases[] = {
            {"null", json()},
            {"a list", json::array()},
            {"composition as text", edited([](json& e) { e["Composition"] = "R1"; })},
            {"composition pair reversed", edited([](json& e) {
                 e["Composition"][0] = {70.0, "R1"};
             })},
            {"composition pair short", edited([](json& e) { e["Composition"][0] = {"R1"}; })},
            {"a species that is a number", edited([](json& e) { e["Species"][1] = 4; })},
            {"elements as an object", edited([](json& e) { e["ELEMENTS"] = json::object(); })},
            {"density as text", edited([](json& e) { e["Density"] = "1.8"; })},
            {"two units", edited([](json& e) {
                 e["Units"] = {0, 1};
             })},
            {"a unit that is no integer", edited([](json& e) { e["Units"][0] = 0.5; })},
            {"no units", edited([](json& e) { e.erase("Units"); })},
            {"an interval without n", edited([](json& e) { e["Intervals"][0].erase("n"); })},
            {"a as text", edited([](json& e) { e["Intervals"][0]["a"] = "2.5"; })},
            {"empty pressure", edited([](json& e) { e["Intervals"][0]["Pressure"] = json::array(); })},
            {"three pressures", edited([](json& e) {
                 e["Intervals"][0]["Pressure"] = {1.0, 2.0, 3.0};
             })},
            {"upper pressure as text", edited([](json& e) {
                 e["Intervals"][0]["Pressure"] = {1.0, "10"};
             })},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(propellantEntryFromJson(c.entry, &why)) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
}

} // namespace
