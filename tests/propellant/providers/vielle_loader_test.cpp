// The burn law of a stored propellant in SI: the two worked examples, the open last
// interval, the refusals (outputs untouched) and the file states.
#include <cmath>
#include <filesystem>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/json_file.h"
#include "propellant/vielle_loader.h"
#include "support/handed_back_box.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

using nlohmann::json;

json interval(json pressure, double a, double n)
{
    return {{"Pressure", pressure}, {"a", a}, {"n", n}};
}

json solid(json units, double density, json intervals)
{
    return {{"Composition", {{"R1", 1.0}}}, {"ELEMENTS", {"H", "E"}}, {"Species", {"H2"}},
            {"Reactions", json::array()},   {"Density", density},     {"Units", units},
            {"Intervals", intervals}};
}

class VielleLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        unitFlag = 0;
    }
    void store(const json& entry) { ASSERT_TRUE(writeJsonFile(dir.dataFile("Propellants.json"), {{"P", entry}})); }
    // The load with the boxes it hands back shown through the seam, as a view shows them.
    bool load() { return shown(loadVielleParameters("P", density, limits, a, n, &refusals)); }
    bool shown(bool loaded)
    {
        showViewMessages(nullptr, std::exchange(refusals, {}));
        return loaded;
    }

    TempAppDir dir;
    MessageRecorder boxes;
    ViewMessages refusals;
    double density = -7.0;
    std::vector<std::pair<double, double>> limits{{-1.0, -2.0}};
    std::vector<double> a{-3.0}, n{-4.0};
};

TEST_F(VielleLoader, WorkedExamples)
{
    // [2, 8] MPa, a = 5 mm/s at MPa^0.5, 1.7 g/cm^3: r = 5e-3 (p/1e6)^0.5 m/s, so
    // a = 5e-3 * (1e-6)^0.5 = 5e-6 for p in Pa.
    store(solid({0, 1, 0}, 1.7, {interval({2.0, 8.0}, 5.0, 0.5)}));
    ASSERT_TRUE(load());
    EXPECT_DOUBLE_EQ(density, 1700.0);
    ASSERT_EQ(limits.size(), 1u);
    EXPECT_DOUBLE_EQ(limits[0].first, 2e6);
    EXPECT_DOUBLE_EQ(limits[0].second, 8e6);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_NEAR(a[0], 5e-6, 1e-20);
    EXPECT_EQ(n, std::vector<double>{0.5});

    // The same interval in bar, a in m/s, density in kg/m^3: a = 5 (1e-5)^0.5.
    store(solid({2, 0, 1}, 1700.0, {interval({2.0, 8.0}, 5.0, 0.5)}));
    ASSERT_TRUE(load());
    EXPECT_DOUBLE_EQ(density, 1700.0);
    EXPECT_DOUBLE_EQ(limits[0].first, 2e5);
    EXPECT_DOUBLE_EQ(limits[0].second, 8e5);
    EXPECT_NEAR(a[0], 5.0 * std::pow(10.0, -2.5), 1e-15);
    EXPECT_EQ(unitFlag.load(), 0);
}

TEST_F(VielleLoader, BurnRateIsKeptWhateverThePressureUnit)
{
    // r at 3 atm from the stored law and from the converted one must agree.
    store(solid({1, 1, 0}, 1.6, {interval({1.0, 5.0}, 4.0, 0.3)}));
    ASSERT_TRUE(load());
    const double pAtm = 3.0, rStored = 4.0e-3 * std::pow(pAtm, 0.3);
    EXPECT_NEAR(a[0] * std::pow(pAtm * 101325.0, n[0]), rStored, 1e-15);
    EXPECT_DOUBLE_EQ(limits[0].second, 5.0 * 101325.0);
}

TEST_F(VielleLoader, LastIntervalWithoutUpperLimitIsOpenAbove)
{
    store(solid(
            {0, 0, 0}, 1.8,
            {interval({1.0, 10.0}, 2.5e-3, 0.4), interval({10.0, 20.0}, 2.0e-3, 0.5), interval({20.0}, 3.1e-3, 0.35)}));
    ASSERT_TRUE(load());
    ASSERT_EQ(limits.size(), 3u);
    EXPECT_DOUBLE_EQ(limits[1].first, 10e6);
    EXPECT_DOUBLE_EQ(limits[1].second, 20e6);
    EXPECT_DOUBLE_EQ(limits[2].first, 20e6);
    EXPECT_EQ(limits[2].second, std::numeric_limits<double>::infinity());
    for (const json& none : {json(), json::array(), json::object()}) {
        store(solid({0, 0, 0}, 1.8, {interval({1.0, 10.0}, 2.5e-3, 0.4), interval({10.0, none}, 3.1e-3, 0.35)}));
        ASSERT_TRUE(load());
        EXPECT_EQ(limits[1].second, std::numeric_limits<double>::infinity());
    }
}

TEST_F(VielleLoader, RefusalsLeaveTheOutputsUntouched)
{
    json noSolid = solid({0, 0, 0}, 1.8, json::array());
    noSolid.erase("Density");
    noSolid.erase("Units");
    noSolid.erase("Intervals");
    json nullDensity = solid({0, 0, 0}, 1.8, {interval({1.0, 2.0}, 1.0, 0.5)});
    nullDensity["Density"] = nullptr;
    json noIntervals = solid({0, 0, 0}, 1.8, json::array());
    noIntervals.erase("Intervals");
    json badUnits = solid({0, "mm/s", 0}, 1.8, {interval({1.0, 2.0}, 1.0, 0.5)});
    json badA = solid({0, 0, 0}, 1.8, {interval({1.0, 2.0}, 1.0, 0.5)});
    badA["Intervals"][0]["a"] = "1";
    const struct {
        const char* what;
        json entry;
    } cases[] = {
            {"saved without solid data", noSolid},
            {"density null", nullDensity},
            {"no intervals", noIntervals},
            {"empty intervals", solid({0, 0, 0}, 1.8, json::array())},
            {"units mistyped", badUnits},
            {"a mistyped", badA},
            {"entry null", json()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        store(c.entry);
        EXPECT_FALSE(load());
        EXPECT_EQ(boxes.texts(),
                  QStringList{"Empty Vielle parameters for propellant, grain combustion cannot be calculated"});
        EXPECT_EQ(boxes.parents().front(), nullptr);
        EXPECT_EQ(boxes.messages().front().icon, Msg::Critical);
        EXPECT_TRUE(boxes.messages().front().windowIcon);
        EXPECT_TRUE(boxes.messages().front().title.isEmpty());
        EXPECT_EQ(density, -7.0);
        EXPECT_EQ(limits, (std::vector<std::pair<double, double>>{{-1.0, -2.0}}));
        EXPECT_EQ(a, std::vector<double>{-3.0});
        EXPECT_EQ(n, std::vector<double>{-4.0});
    }
    boxes.clear();
    EXPECT_FALSE(shown(loadVielleParameters("not stored", density, limits, a, n, &refusals)));
    EXPECT_EQ(boxes.messages().size(), 1u);
}

// The loader shows no box itself: it hands its refusal back, a parentless critical box
// with the program's window icon and no title, for the caller's view to show.
TEST_F(VielleLoader, RefusalsAreHandedBackNotShown)
{
    const struct {
        const char* what;
        json entry;
        QString text;
        bool informative;
    } cases[] = {
            {"no intervals", solid({0, 0, 0}, 1.8, json::array()),
             "Empty Vielle parameters for propellant, grain combustion cannot be calculated", false},
            {"n = 1", solid({0, 1, 0}, 1.8, {interval({0.779, 2.57}, 8.26, 1.0)}),
             "Invalid Vielle parameters for propellant, grain combustion cannot be calculated", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        store(c.entry);
        ViewMessages handed;
        EXPECT_FALSE(loadVielleParameters("P", density, limits, a, n, &handed));
        EXPECT_TRUE(boxes.messages().empty());
        expectOneHandedBackBox(handed, c.text, true);
        ASSERT_FALSE(handed.empty());
        EXPECT_EQ(!handed[0].box.informativeText.isEmpty(), c.informative);
    }
}

// Laws no grain run can use, refused with their rule: an exponent of 1 or more (the gas
// production then grows as fast as the nozzle flow or faster, so no chamber pressure is
// a stable balance) and numbers that are not finite or not positive once in SI. Exponents
// below 0 are real (the plateau intervals of the potassium nitrate / sucrose tables) and
// load.
TEST_F(VielleLoader, LawsNoGrainRunCanUseAreRefusedWithTheirRule)
{
    const struct {
        const char* what;
        json entry;
        bool loads;
    } cases[] = {
            // One interval, 0.779 to 2.57 MPa, 8.26 mm/s, with n = 1.
            {"n = 1", solid({0, 1, 0}, 1.8, {interval({0.779, 2.57}, 8.26, 1.0)}), false},
            {"n = 1.2 in the upper interval",
             solid({0, 1, 0}, 1.8, {interval({0.1, 2.0}, 8.26, 0.3), interval({2.0, 10.0}, 1.0, 1.2)}), false},
            {"n = 0.999", solid({0, 1, 0}, 1.8, {interval({0.779, 2.57}, 8.26, 0.999)}), true},
            // A plateau: the same rate at every pressure of the interval.
            {"n = 0", solid({0, 1, 0}, 1.8, {interval({1.0, 2.0}, 1.0, 0.0)}), true},
            // Numbers that give no gas are a law all the same, not an empty one.
            {"a zero", solid({0, 0, 0}, 1.8, {interval({1.0, 2.0}, 0.0, 0.5)}), false},
            {"a negative", solid({0, 0, 0}, 1.8, {interval({1.0, 2.0}, 1.0, 0.5), interval({2.0}, -1.0, 0.5)}), false},
            {"density zero", solid({0, 0, 0}, 0.0, {interval({1.0, 2.0}, 1.0, 0.5)}), false},
            // 1e308 MPa is 1e314 Pa: beyond a double on an interval that is not the open top.
            {"upper limit infinite in Pa below the last interval",
             solid({0, 1, 0}, 1.8, {interval({0.1, 1e308}, 8.26, 0.3), interval({2.0}, 8.26, 0.3)}), false},
            {"upper limit infinite in Pa on the last interval",
             solid({0, 1, 0}, 1.8, {interval({0.1, 1e308}, 8.26, 0.3)}), false},
            {"n = -0.314", solid({0, 1, 0}, 1.8, {interval({0.807, 1.503}, 8.763, -0.314)}), true},
            {"density 1e308 g/cm^3", solid({0, 1, 0}, 1e308, {interval({0.779, 2.57}, 8.26, 0.319)}), false},
            {"lower limit 1e308 MPa",
             solid({0, 1, 0}, 1.8, {interval({1e308, std::numeric_limits<double>::max()}, 8.26, 0.319)}), false},
            {"negative lower limit", solid({0, 1, 0}, 1.8, {interval({-1.0, 2.57}, 8.26, 0.319)}), false},
            {"upper limit below the lower", solid({0, 1, 0}, 1.8, {interval({2.57, 0.779}, 8.26, 0.319)}), false},
            {"descending intervals",
             solid({0, 1, 0}, 1.8, {interval({2.0, 3.0}, 8.26, 0.3), interval({1.0, 2.0}, 8.26, 0.3)}), false},
            // a in m/s for MPa, n = -0.5: in SI a (1e-6)^-0.5 = 1e308 x 1e3, beyond a double.
            {"a infinite in SI", solid({0, 0, 0}, 1.8, {interval({0.779, 2.57}, 1e308, -0.5)}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        density = -7.0;
        a = {-3.0};
        store(c.entry);
        EXPECT_EQ(load(), c.loads);
        if (c.loads) {
            EXPECT_TRUE(boxes.messages().empty());
            continue;
        }
        EXPECT_EQ(boxes.texts(),
                  QStringList{"Invalid Vielle parameters for propellant, grain combustion cannot be calculated"});
        if (!boxes.messages().empty()) {
            EXPECT_FALSE(boxes.messages().front().informativeText.isEmpty());
            EXPECT_EQ(boxes.messages().front().icon, Msg::Critical);
        }
        EXPECT_EQ(density, -7.0);
        EXPECT_EQ(a, std::vector<double>{-3.0});
    }
}

// The informative text names the interval and the rule it breaks.
TEST_F(VielleLoader, TheRefusalNamesTheIntervalAndTheRule)
{
    store(solid({0, 1, 0}, 1.8, {interval({0.1, 2.0}, 8.26, 0.3), interval({2.0, 10.0}, 1.0, 1.2)}));
    EXPECT_FALSE(load());
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_TRUE(boxes.messages()[0].informativeText.startsWith("Interval 2: The exponent n must be below 1"))
            << boxes.messages()[0].informativeText.toStdString();
}

TEST_F(VielleLoader, UndefinedPressureUnitRaisesTheUnitCode)
{
    store(solid({5, 0, 0}, 1.8, {interval({1.0, 2.0}, 7.0, 0.5)}));
    ASSERT_TRUE(load());
    EXPECT_EQ(unitFlag.load(), 1);
    EXPECT_EQ(a[0], 7.0); // left unscaled
}

TEST_F(VielleLoader, FileStates)
{
    const std::string path = dir.dataFile("Propellants.json");
    EXPECT_FALSE(load()); // missing
    EXPECT_EQ(flagsF.load(), code::F(6));
    EXPECT_TRUE(boxes.messages().empty());

    flagsF = 0;
    dir.write("Data/Propellants.json", "{\"P\": ");
    EXPECT_FALSE(load());
    EXPECT_EQ(flagsF.load(), code::F(22));
    EXPECT_EQ(boxes.texts(), QStringList{"Propellant file was corrupted, save process aborted"});

    flagsF = 0;
    boxes.clear();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(load());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(boxes.texts(),
              QStringList{"Propellants file could not be opened, it may be opened by another software "
                          "or have accesibility restrictions"});
    EXPECT_EQ(density, -7.0);
    EXPECT_EQ(a, std::vector<double>{-3.0});
}

} // namespace
