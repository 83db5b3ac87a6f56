// The grain provider: "Current" and stored grains in SI, in every unit, and every way a
// grain cannot be loaded (its codes, its message, and outputs left as they were).
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "grain/burnback.h"
#include "grain/current_grain.h"
#include "grain/grain_entry.h"
#include "grain/grain_provider.h"
#include "support/handed_back_box.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using namespace grain;

namespace {

constexpr double pi = 3.141592;

class GrainProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keptPath = GRAIN;
        keptGrain = currentGrain;
        GRAIN = dir.dataFile("Grains.json");
        currentGrain = {};
        flagsF = 0;
        flagsL = 0;
        unitFlag = 0;
    }
    void TearDown() override
    {
        GRAIN = keptPath;
        currentGrain = keptGrain;
        flagsF = 0;
        flagsL = 0;
        unitFlag = 0;
    }
    void store(const std::string& entries) const { dir.write("Data/Grains.json", "{" + entries + "}"); }
    // A refused load: L09 raised, the outputs left as they were.
    void expectRefused() const
    {
        EXPECT_EQ(flagsL.load(), code::L09);
        EXPECT_EQ(y, std::vector<double>{-1.0});
        EXPECT_EQ(A, std::vector<double>{-2.0});
    }

    // The load with the boxes it hands back shown through the seam, as a view shows them.
    static double load(const std::string& name, std::vector<double>* y, std::vector<double>* A)
    {
        ViewMessages handed;
        const double first = loadGrainBurnback(name, y, A, &handed);
        showViewMessages(nullptr, handed);
        return first;
    }

    TempAppDir dir;
    MessageRecorder recorder;
    std::string keptPath;
    GrainBurnback keptGrain;
    std::vector<double> y{-1.0}, A{-2.0}; // what a failed load must leave alone
};

const char* const kInitialGrain
        = R"("Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 100, "Units": 0})";

} // namespace

TEST_F(GrainProviderTest, CurrentWithoutGrain)
{
    EXPECT_EQ(load("Current", &y, &A), -1.0);
    EXPECT_EQ(y, std::vector<double>{-1.0});
    EXPECT_EQ(A, std::vector<double>{-2.0});
    EXPECT_EQ(flagsL.load(), 0u); // no code: the message says it all
    ASSERT_EQ(recorder.messages().size(), 1u);
    const MessageRequest& m = recorder.messages()[0];
    EXPECT_EQ(m.text, "Grain load failed, no grain active in Grain definition tab");
    EXPECT_EQ(m.icon, Msg::Critical);
    EXPECT_FALSE(m.windowIcon);
}

TEST_F(GrainProviderTest, CurrentInEachUnit)
{
    // The tab's grain in its own unit; each unit's length factor to metres.
    const double toMetre[] = {1e-3, 1e-2, 1e-1, 1.0};
    for (int unit = 0; unit < 4; ++unit) {
        currentGrain.y = {0.0f, 7.5f, 15.0f};
        currentGrain.area = {9581.85546875f, 11000.0f, 10995.5723f};
        currentGrain.unitIndex = unit;
        const double f = toMetre[unit];
        EXPECT_NEAR(load("Current", &y, &A), 9581.85546875 * f * f, 1e-12 * 9581.86) << unit;
        ASSERT_EQ(y.size(), 3u);
        EXPECT_NEAR(y[2], 15.0 * f, 1e-15) << unit;
        EXPECT_NEAR(A[1], 11000.0 * f * f, 1e-15 * 11000) << unit;
    }
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainProviderTest, StoredGrainsInEachUnit)
{
    // The initial grain stored in each unit: y ends at 15 units, A starts at 2 pi 1525 squared units.
    const double toMetre[] = {1e-3, 1e-2, 1e-1, 1.0};
    for (int unit = 0; unit < 4; ++unit) {
        store(R"("G": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 100, "Units": )"
              + std::to_string(unit) + "}");
        const double f = toMetre[unit];
        const double first = 2 * pi * 1525 * f * f;
        EXPECT_NEAR(load("G", &y, &A), first, 1e-12 * first) << unit;
        ASSERT_EQ(y.size(), 100u);
        EXPECT_EQ(y[0], 0.0);
        EXPECT_NEAR(y[99], 15 * f, 1e-14);
        EXPECT_NEAR(A[99], 2 * pi * 25 * 70 * f * f, 1e-12 * first);
    }
    EXPECT_EQ(flagsL.load(), 0u);
}

TEST_F(GrainProviderTest, StoredFrontalIsTwoSamples)
{
    store(R"("F": {"Comb_type": 0, "Geo_type": 1, "Parameters": [100.0, 50.0], "Points": 37, "Units": 0})");
    const double face = pi * 625 / 1e6;
    EXPECT_NEAR(load("F", &y, &A), face, 1e-18);
    EXPECT_EQ(y, (std::vector<double>{0.0, 0.1}));
    ASSERT_EQ(A.size(), 2u);
    EXPECT_NEAR(A[0], face, 1e-18);
    EXPECT_NEAR(A[1], face, 1e-18);
}

TEST_F(GrainProviderTest, BaseBurningIsFlatAndStarsAreComputed)
{
    store(R"("B": {"Comb_type": 2, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 3], "Points": 5, "Units": 1},
             "S": {"Comb_type": 1, "Geo_type": 2, "Parameters": [50.0, 40.0, 30.0, 100.0, 2, 5], "Points": 20, "Units": 3})");
    const double base = load("B", &y, &A);
    EXPECT_NEAR(base, 3 * 2 * pi * 525 * 1e-4, 1e-15);
    for (double a : A)
        EXPECT_EQ(a, base);
    EXPECT_NEAR(y.back(), 0.5, 1e-15); // half of 100 cm

    std::vector<double> ys, As;
    burnbackStar(50, 40, 30, 100, 2, 5, 20, 1, ys, As); // metres already
    EXPECT_EQ(load("S", &y, &A), As[0]);
    EXPECT_EQ(y, ys);
    EXPECT_EQ(A, As);
    EXPECT_EQ(flagsL.load(), 0u);
}

TEST_F(GrainProviderTest, UnknownUnitRaisesTheUnitCode)
{
    store(R"("U": {"Comb_type": 1, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 2, "Units": 65536})");
    EXPECT_NEAR(load("U", &y, &A), 2 * pi * 10 * 100, 1e-9); // left in the stored unit
    EXPECT_EQ(unitFlag.load(), 1);
    EXPECT_EQ(flagsL.load(), 0u);
}

TEST_F(GrainProviderTest, NameIsComparedExactly)
{
    currentGrain.y = {0.0f, 1.0f};
    currentGrain.area = {5.0f, 5.0f};
    store(R"("current": {"Comb_type": 2, "Geo_type": 1, "Parameters": [100.0, 50.0], "Points": 2, "Units": 0})");
    EXPECT_NEAR(load("current", &y, &A), pi * 625 / 1e6, 1e-18);
}

TEST_F(GrainProviderTest, FailuresRaiseTheirCodes)
{
    struct Case {
        const char* what;
        const char* file; // nullptr: no file
        uint32_t fileCodes;
    };
    const uint32_t F10 = code::F(10), F26 = code::F(26);
    const Case cases[] = {
            {"no file", nullptr, F10},
            {"not JSON", "{\"Grain_1\": ", F26},
            {"not an object", "[1]", F26},
            {"name not stored", "{}", 0},
            {"entry not an object", R"({"Grain_1": 5})", 0},
            {"key missing", R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Points": 100, "Units": 0}})", 0},
            {"wrong type",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": "50", "Points": 100, "Units": 0}})", 0},
            {"parameters short",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0], "Points": 100, "Units": 0}})",
             0},
            {"custom geometry",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 3, "Parameters": [], "Points": 100, "Units": 0}})", 0},
            {"foreign geometry",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": -4, "Parameters": [1.0, 2.0], "Points": 100, "Units": 0}})",
             0},
            {"one point",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 1, "Units": 0}})",
             0},
            {"negative points",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": -5, "Units": 0}})",
             0},
            {"absurd points",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 2, "Parameters": [50.0, 40.0, 30.0, 100.0, 1, 5], "Points": 4294967297, "Units": 0}})",
             0},
            {"unknown combustion",
             R"({"Grain_1": {"Comb_type": 7, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 100, "Units": 0}})",
             0},
            {"zero web",
             R"({"Grain_1": {"Comb_type": 1, "Geo_type": 2, "Parameters": [50.0, 50.0, 50.0, 100.0, 1, 5], "Points": 100, "Units": 0}})",
             0},
            {"no charge",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 0], "Points": 100, "Units": 0}})",
             0},
            {"negative length",
             R"({"Grain_1": {"Comb_type": 0, "Geo_type": 1, "Parameters": [-100.0, 50.0], "Points": 2, "Units": 0}})",
             0},
    };
    for (const Case& k : cases) {
        std::filesystem::remove(GRAIN);
        if (k.file)
            dir.write("Data/Grains.json", k.file);
        flagsF = 0;
        flagsL = 0;
        SCOPED_TRACE(k.what);
        EXPECT_EQ(load("Grain_1", &y, &A), -1.0);
        expectRefused();
        EXPECT_EQ(flagsF.load(), k.fileCodes);
    }
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainProviderTest, FileThatCannotBeOpened)
{
    std::filesystem::create_directory(GRAIN);
    EXPECT_EQ(load("Grain_1", &y, &A), -1.0);
    EXPECT_EQ(flagsL.load(), code::L09);
    EXPECT_EQ(flagsF.load(), 0u);
    ASSERT_EQ(recorder.messages().size(), 1u);
    const MessageRequest& m = recorder.messages()[0];
    EXPECT_EQ(m.text,
              "Grain file could not be opened, it may be opened by another software or have accesibility restrictions");
    EXPECT_EQ(m.icon, Msg::Critical);
    EXPECT_TRUE(m.windowIcon);
    EXPECT_EQ(y, std::vector<double>{-1.0});
}

// The loader shows no box itself: it hands its boxes back, critical, untitled and
// parentless, for the caller's view to show.
TEST_F(GrainProviderTest, BoxesAreHandedBackNotShown)
{
    const struct {
        const char* what;
        const char* name;
        bool unopenableFile;
        QString text;
        bool windowIcon;
    } cases[] = {
            {"no current grain", "Current", false, "Grain load failed, no grain active in Grain definition tab", false},
            {"file that cannot be opened", "Grain_1", true,
             "Grain file could not be opened, it may be opened by another software or have accesibility restrictions",
             true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.unopenableFile)
            std::filesystem::create_directory(GRAIN);
        ViewMessages handed;
        EXPECT_EQ(loadGrainBurnback(c.name, &y, &A, &handed), -1.0);
        EXPECT_TRUE(recorder.messages().empty());
        expectOneHandedBackBox(handed, c.text, c.windowIcon);
    }
}

TEST_F(GrainProviderTest, InitialGrainFromFileMatchesCurrent)
{
    // The same grain through the file (double precision) and through the tab (single).
    store(kInitialGrain);
    std::vector<double> ys, As;
    const double stored = load("Grain_1", &ys, &As);
    currentGrain.y = {0.0f, 15.0f};
    currentGrain.area = {9581.85546875f, 10995.5723f};
    currentGrain.unitIndex = 0;
    EXPECT_NEAR(load("Current", &y, &A), stored, 1e-7 * stored);
    EXPECT_NEAR(y.back(), ys.back(), 1e-12);
    EXPECT_NEAR(A.back(), As.back(), 1e-7 * As.back());
}

// Stored values a grain can only have by a hand edit, each inside the types and checks
// of the store: a geometry whose lengths or web, once in metres, lie below 1 micrometre
// or above 1 km, or counts too large to compute. Refused with L09, outputs untouched;
// the limits themselves are grains.
TEST_F(GrainProviderTest, DegenerateGeometryIsRefusedAtLoad)
{
    struct Case {
        const char* what;
        const char* entry;
        bool loads;
    };
    const Case cases[] = {
            {"cylinder 5e-324 mm long",
             R"({"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 5e-324, 1], "Points": 100, "Units": 0})",
             false},
            {"frontal grain 1e308 mm long",
             R"({"Comb_type": 0, "Geo_type": 1, "Parameters": [1e308, 50.0], "Points": 2, "Units": 0})", false},
            {"frontal grain 5e-324 mm long",
             R"({"Comb_type": 0, "Geo_type": 1, "Parameters": [5e-324, 50.0], "Points": 2, "Units": 0})", false},
            {"star of inner diameter 5e-324 mm",
             R"({"Comb_type": 1, "Geo_type": 2, "Parameters": [50.0, 40.0, 5e-324, 100.0, 1, 5], "Points": 100, "Units": 0})",
             false},
            {"2^31 charges",
             R"({"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 2147483648], "Points": 100, "Units": 0})",
             false},
            {"1001 charges",
             R"({"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1001], "Points": 100, "Units": 0})",
             false},
            {"1000 charges",
             R"({"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1000], "Points": 100, "Units": 0})",
             true},
            // A bore 1e-9 mm narrower than the case: a web of 5e-13 m.
            {"web of 5e-13 m",
             R"({"Comb_type": 1, "Geo_type": 0, "Parameters": [50.0, 49.999999999, 100.0, 1], "Points": 100, "Units": 0})",
             false},
            {"web of 2 micrometres",
             R"({"Comb_type": 1, "Geo_type": 0, "Parameters": [50.0, 49.996, 100.0, 1], "Points": 100, "Units": 0})",
             true},
            {"port of 1e-4 micrometres",
             R"({"Comb_type": 1, "Geo_type": 0, "Parameters": [50.0, 1e-7, 100.0, 1], "Points": 100, "Units": 0})",
             false},
            {"case of 2 km",
             R"({"Comb_type": 0, "Geo_type": 0, "Parameters": [2000.0, 20.0, 100.0, 1], "Points": 100, "Units": 3})",
             false},
            {"1 km long, in metres",
             R"({"Comb_type": 1, "Geo_type": 0, "Parameters": [0.05, 0.02, 1000.0, 1], "Points": 100, "Units": 3})",
             true},
            {"star of 101 points",
             R"({"Comb_type": 1, "Geo_type": 2, "Parameters": [50.0, 40.0, 30.0, 100.0, 1, 101], "Points": 100, "Units": 0})",
             false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store(std::string(R"("G": )") + c.entry);
        flagsL = 0;
        y = {-1.0};
        A = {-2.0};
        const double first = load("G", &y, &A);
        if (c.loads) {
            EXPECT_GT(first, 0.0);
            EXPECT_EQ(flagsL.load(), 0u);
            EXPECT_EQ(A.size(), 100u);
        } else {
            EXPECT_EQ(first, -1.0);
            expectRefused();
        }
    }
    EXPECT_TRUE(recorder.messages().empty());
}

// The grain tab's curve a run cannot use: refused with L09 like a stored one.
TEST_F(GrainProviderTest, ACurrentCurveARunCannotUseIsRefused)
{
    struct Case {
        const char* what;
        std::vector<float> y, area;
        bool loads;
    };
    const Case cases[] = {
            {"a web of 0", {0.0f, 0.0f, 0.0f}, {100.0f, 100.0f, 100.0f}, false},
            {"a web of 1e-4 micrometres", {0.0f, 5e-8f, 1e-7f}, {100.0f, 100.0f, 100.0f}, false},
            {"no burning surface at ignition", {0.0f, 5.0f, 10.0f}, {0.0f, 100.0f, 100.0f}, false},
            {"burning again after a burnout", {0.0f, 5.0f, 10.0f}, {100.0f, 0.0f, 100.0f}, false},
            {"not a number", {0.0f, 5.0f, 10.0f}, {100.0f, std::nanf(""), 100.0f}, false},
            {"burnout at the end", {0.0f, 5.0f, 10.0f}, {100.0f, 50.0f, 0.0f}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        currentGrain.y = c.y;
        currentGrain.area = c.area;
        currentGrain.unitIndex = 0;
        flagsL = 0;
        y = {-1.0};
        A = {-2.0};
        const double first = load("Current", &y, &A);
        EXPECT_EQ(first > 0.0, c.loads);
        EXPECT_EQ(flagsL.load(), c.loads ? 0u : code::L09);
        if (!c.loads) {
            EXPECT_EQ(A, std::vector<double>{-2.0});
        }
    }
    EXPECT_TRUE(recorder.messages().empty());
}

// Stored star grains burning on the bore until the inner vertex reaches the case: the
// curve loads, from the area of the 2 nStar flanks (plus both end faces when they burn)
// to exactly 0 at burnout. Flank s by the law of cosines between the circles of the
// vertices and the points; burnout distance (R - rV) sin(gamma), the distance from the
// vertex to the case measured across the flank (gamma from the law of sines).
TEST_F(GrainProviderTest, StoredStarGrainsBurnToTheEnd)
{
    struct Case {
        double Dext, Dpoint, Din, L;
        int nStar, type;
    };
    const Case cases[] = {
            {50, 40, 10, 100, 4, 1},  {76, 50, 20, 150, 6, 1},  {76, 50, 20, 150, 6, 0},
            {100, 70, 30, 200, 6, 1}, {100, 70, 30, 200, 6, 0}, {76, 45, 15, 150, 5, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.Dext << "/" << k.Dpoint << "/" << k.Din << "/" << k.L << " x" << k.nStar
                                        << " type " << k.type);
        store(R"("S": {"Comb_type": )" + std::to_string(k.type) + R"(, "Geo_type": 2, "Parameters": [)"
              + std::to_string(k.Dext) + ", " + std::to_string(k.Dpoint) + ", " + std::to_string(k.Din) + ", "
              + std::to_string(k.L) + ", 1, " + std::to_string(k.nStar) + R"(], "Points": 50, "Units": 0})");
        const double R = k.Dext / 2, tP = k.Dpoint / 2, rV = k.Din / 2, beta = pi / k.nStar;
        const double s = std::sqrt(rV * rV + tP * tP - 2 * rV * tP * std::cos(beta));
        const double gamma = pi - beta - std::asin(rV * std::sin(beta) / s);
        double first = 2 * k.nStar * k.L * s; // mm^2
        if (k.type == 0)
            first += 2 * (pi * R * R - k.nStar * rV * tP * std::sin(beta));
        flagsL = 0;
        EXPECT_NEAR(load("S", &y, &A), first * 1e-6, 1e-9 * first * 1e-6);
        EXPECT_EQ(flagsL.load(), 0u);
        ASSERT_EQ(A.size(), 50u);
        EXPECT_NEAR(y.back(), (R - rV) * std::sin(gamma) * 1e-3, 1e-12);
        EXPECT_EQ(A.back(), 0.0);
        EXPECT_GT(A[48], 0.0);
    }
    EXPECT_TRUE(recorder.messages().empty());
}

// The tab's star of the form with its points rounded (Dext 50, Din 10, Dpoint 40, four
// points, radial): as "Current" its curve loads and ends on 0 at burnout.
TEST_F(GrainProviderTest, CurrentStarCurveLoadsToBurnout)
{
    const FloatCurve c = starCurve(50, 10, 40, 100, 1, 4, 100, Radial);
    currentGrain.y = c.y;
    currentGrain.area = c.area;
    currentGrain.unitIndex = 0;
    EXPECT_GT(load("Current", &y, &A), 0.0);
    EXPECT_EQ(flagsL.load(), 0u);
    ASSERT_EQ(A.size(), 100u);
    EXPECT_EQ(A.back(), 0.0);
}

// At burnout, the last sample, an area of rounding size against the ignition area (here
// 100 mm^2), of either sign, is a surface burnt away: it loads as 0. A real area stays;
// a real negative area, or a negative one before burnout, is no grain.
TEST_F(GrainProviderTest, RoundingResidueAtBurnoutIsZero)
{
    struct Case {
        const char* what;
        std::vector<float> area;
        bool loads;
        double last; // mm^2
    };
    const Case cases[] = {
            {"tiny negative", {100.0f, 50.0f, -0.000394f}, true, 0.0},
            {"tiny positive", {100.0f, 50.0f, 0.0013f}, true, 0.0},
            {"a real sliver", {100.0f, 50.0f, 0.5f}, true, 0.5},
            {"a real negative area", {100.0f, 50.0f, -0.5f}, false, 0.0},
            {"tiny negative before burnout", {100.0f, -0.000394f, 0.0f}, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        currentGrain.y = {0.0f, 5.0f, 10.0f};
        currentGrain.area = c.area;
        currentGrain.unitIndex = 0;
        flagsL = 0;
        y = {-1.0};
        A = {-2.0};
        const double first = load("Current", &y, &A);
        if (c.loads) {
            EXPECT_NEAR(first, 1e-4, 1e-18);
            EXPECT_EQ(flagsL.load(), 0u);
            ASSERT_EQ(A.size(), 3u);
            EXPECT_NEAR(A[2], c.last * 1e-6, 1e-13);
            if (c.last == 0.0) {
                EXPECT_EQ(A[2], 0.0);
            }
        } else {
            EXPECT_EQ(first, -1.0);
            expectRefused();
        }
    }
    EXPECT_TRUE(recorder.messages().empty());
}

// The tab's grain obeys the limits of a stored one: a curve the tab computed for 5000
// charges, a 1e308 mm length or a 101-point star is refused with L09 at once, before any
// run tries it; within the limits it loads.
TEST_F(GrainProviderTest, CurrentGrainObeysTheLimitsOfStoredGrains)
{
    struct Case {
        const char* what;
        int geometry;
        std::vector<double> parameters;
        bool loads;
    };
    const Case cases[] = {
            {"5000 charges", Cylindrical, {50.0, 20.0, 100.0, 5000}, false},
            {"1000 charges", Cylindrical, {50.0, 20.0, 100.0, 1000}, true},
            {"1e308 mm long", Cylindrical, {50.0, 20.0, 1e308, 1}, false},
            {"5e-324 mm long", Frontal, {5e-324, 50.0}, false},
            {"101 star points", Star, {50.0, 40.0, 30.0, 100.0, 1, 101}, false},
            {"100 star points", Star, {50.0, 40.0, 30.0, 100.0, 1, 100}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        currentGrain.y = {0.0f, 7.5f, 15.0f};
        currentGrain.area = {9581.85546875f, 11000.0f, 10995.5723f};
        currentGrain.unitIndex = 0;
        currentGrain.geometry = GrainEntry{c.geometry, 0, Radial, 100, c.parameters};
        flagsL = 0;
        y = {-1.0};
        A = {-2.0};
        const double first = load("Current", &y, &A);
        if (c.loads) {
            EXPECT_GT(first, 0.0);
            EXPECT_EQ(flagsL.load(), 0u);
        } else {
            EXPECT_EQ(first, -1.0);
            expectRefused();
        }
    }
    EXPECT_TRUE(recorder.messages().empty());
}
