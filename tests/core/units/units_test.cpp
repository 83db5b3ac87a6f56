#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/units.h"

namespace {

// One cell of the unit table: the SI value of 3 of the unit, or undefined.
struct UnitCase {
    UnitKind kind;
    int16_t index;
    bool defined;
    double siOfThree; // convertToSI(kind, 3, index), worked out by hand
};

constexpr double U = 0; // placeholder for undefined cells

// Every kind, every index from -1 to 4; 3 is converted so that exact factors show.
const UnitCase unitCases[] = {
        // molar enthalpy, J/kmol: J/kmol, J/mol, kJ/mol, cal/mol
        {0, -1, false, U},
        {0, 0, true, 3},
        {0, 1, true, 3000},
        {0, 2, true, 3000000},
        {0, 3, true, 12551.986142607297},
        {0, 4, false, U},
        // molar mass, kg/kmol: g/mol, kg/mol
        {1, -1, false, U},
        {1, 0, true, 3},
        {1, 1, true, 3000},
        {1, 2, false, U},
        {1, 3, false, U},
        {1, 4, false, U},
        // length, m: mm, cm, dm, m
        {2, -1, false, U},
        {2, 0, true, 0.003},
        {2, 1, true, 0.03},
        {2, 2, true, 0.3},
        {2, 3, true, 3},
        {2, 4, false, U},
        // area, m^2
        {3, -1, false, U},
        {3, 0, true, 3e-6},
        {3, 1, true, 3e-4},
        {3, 2, true, 0.03},
        {3, 3, true, 3},
        {3, 4, false, U},
        // volume, m^3
        {4, -1, false, U},
        {4, 0, true, 3e-9},
        {4, 1, true, 3e-6},
        {4, 2, true, 0.003},
        {4, 3, true, 3},
        {4, 4, false, U},
        // pressure, Pa: MPa, atm, bar
        {5, -1, false, U},
        {5, 0, true, 3e6},
        {5, 1, true, 303975},
        {5, 2, true, 3e5},
        {5, 3, false, U},
        {5, 4, false, U},
        // force, N: N, kN, kgf
        {6, -1, false, U},
        {6, 0, true, 3},
        {6, 1, true, 3000},
        {6, 2, true, 29.43},
        {6, 3, false, U},
        {6, 4, false, U},
        // time, s: s, ms
        {7, -1, false, U},
        {7, 0, true, 3},
        {7, 1, true, 0.003},
        {7, 2, false, U},
        {7, 3, false, U},
        {7, 4, false, U},
        // impulse, N s: N s, kN s, kgf s
        {8, -1, false, U},
        {8, 0, true, 3},
        {8, 1, true, 3000},
        {8, 2, true, 29.43},
        {8, 3, false, U},
        {8, 4, false, U},
        // velocity and specific impulse, m/s: m/s, km/s, s
        {9, -1, false, U},
        {9, 0, true, 3},
        {9, 1, true, 3000},
        {9, 2, true, 29.43},
        {9, 3, false, U},
        {9, 4, false, U},
        // one-unit quantity
        {10, -1, false, U},
        {10, 0, true, 3},
        {10, 1, false, U},
        {10, 2, false, U},
        {10, 3, false, U},
        {10, 4, false, U},
        // density, kg/m^3: g/cm^3, kg/m^3
        {11, -1, false, U},
        {11, 0, true, 3000},
        {11, 1, true, 3},
        {11, 2, false, U},
        {11, 3, false, U},
        {11, 4, false, U},
        // kinds past the table
        {12, 0, false, U},
        {65535, 0, false, U},
        {12, -1, false, U},
        // extreme indices
        {2, std::numeric_limits<int16_t>::min(), false, U},
        {2, std::numeric_limits<int16_t>::max(), false, U},
};

class UnitConversion : public ::testing::Test {
protected:
    void SetUp() override { unitFlag = 0; }
    void TearDown() override { unitFlag = 0; }
};

} // namespace

TEST_F(UnitConversion, EveryCellInBothDirections)
{
    for (const UnitCase& c : unitCases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " index " + std::to_string(c.index));
        unitFlag = 0;
        const double si = convertToSI(c.kind, 3.0, c.index);
        if (!c.defined) {
            EXPECT_EQ(si, 3.0);
            EXPECT_EQ(unitFlag.load(), 1);
            unitFlag = 0;
            EXPECT_EQ(convertFromSI(c.kind, 3.0, c.index), 3.0);
            EXPECT_EQ(unitFlag.load(), 1);
            continue;
        }
        EXPECT_DOUBLE_EQ(si, c.siOfThree);
        // The inverse brings the SI value back to the unit (within a few ulp).
        EXPECT_DOUBLE_EQ(convertFromSI(c.kind, c.siOfThree, c.index), 3.0);
        EXPECT_DOUBLE_EQ(convertFromSI(c.kind, si, c.index), 3.0);
        EXPECT_EQ(unitFlag.load(), 0);
    }
}

TEST_F(UnitConversion, WorkedExamples)
{
    EXPECT_EQ(convertToSI(5, 2, 0), 2000000.0); // 2 MPa
    EXPECT_EQ(convertFromSI(5, 2000000, 0), 2.0);
    // thermochemical calorie: one cal/mol is 1000 / 0.239006 J/kmol, not 4184
    EXPECT_DOUBLE_EQ(convertToSI(0, 1, 3), 4183.9953808690995);
    EXPECT_DOUBLE_EQ(convertFromSI(0, convertToSI(0, 1, 3), 3), 1.0);
    EXPECT_DOUBLE_EQ(convertToSI(9, 250, 2), 2452.5); // Isp 250 s
    EXPECT_DOUBLE_EQ(convertFromSI(9, 2452.5, 2), 250.0);
    EXPECT_DOUBLE_EQ(convertFromSI(7, 1.5, 1), 1500.0); // 1.5 s in ms
    EXPECT_EQ(unitFlag.load(), 0);
}

TEST_F(UnitConversion, FailureStaysRaisedUntilCleared)
{
    EXPECT_EQ(convertToSI(1, 5, 2), 5.0);
    EXPECT_EQ(unitFlag.load(), 1);
    EXPECT_EQ(convertToSI(2, 1000, 0), 1.0);
    EXPECT_EQ(convertFromSI(2, 1.0, 0), 1000.0);
    EXPECT_EQ(unitFlag.load(), 1);
}

TEST_F(UnitConversion, NonFiniteValuesPassThroughDefinedCells)
{
    EXPECT_TRUE(std::isnan(convertToSI(5, std::nan(""), 0)));
    EXPECT_EQ(convertToSI(2, -INFINITY, 0), -INFINITY);
    EXPECT_EQ(unitFlag.load(), 0);
}

TEST(ElementSymbols, TableAndMembership)
{
    ASSERT_EQ(elementSymbols.size(), 120u);
    // index i >= 2 is atomic number i - 1
    EXPECT_EQ(elementSymbols[0], "E");
    EXPECT_EQ(elementSymbols[1], "D");
    EXPECT_EQ(elementSymbols[2], "H");
    EXPECT_EQ(elementSymbols[7], "C");
    EXPECT_EQ(elementSymbols[18], "Cl");
    EXPECT_EQ(elementSymbols[20], "K");
    EXPECT_EQ(elementSymbols[27], "Fe");
    EXPECT_EQ(elementSymbols[80], "Au");
    EXPECT_EQ(elementSymbols[92], "Pa");
    EXPECT_EQ(elementSymbols[93], "U");
    EXPECT_EQ(elementSymbols[119], "Og");
    for (size_t i = 0; i < elementSymbols.size(); ++i) {
        const std::string_view s = elementSymbols[i];
        ASSERT_TRUE(s.size() == 1 || s.size() == 2) << i;
        EXPECT_TRUE(s[0] >= 'A' && s[0] <= 'Z') << s;
        if (s.size() == 2) {
            EXPECT_TRUE(s[1] >= 'a' && s[1] <= 'z') << s;
        }
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(elementSymbols[j], s) << "duplicate " << s;
    }

    struct Member {
        const char* symbol;
        bool member;
    };
    const Member members[]
            = {{"E", true},    {"D", true},    {"Og", true}, {"Cl", true}, {"W", true},  {"CL", false}, {"cl", false},
               {"Uue", false}, {"Abc", false}, {"", false},  {"e", false}, {"X", false}, {"H ", false}};
    for (const Member& m : members)
        EXPECT_EQ(isElementSymbol(m.symbol), m.member) << '"' << m.symbol << '"';
}
