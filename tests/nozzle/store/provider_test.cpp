// loadNozzle: "Current" and stored nozzles in SI, and every way a load can fail.
#include <cmath>
#include <filesystem>
#include <limits>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_model.h"
#include "nozzle/nozzle_provider.h"
#include "support/handed_back_box.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

constexpr double kPi = 3.141592;

struct Loaded {
    std::vector<double> x{-1.0}, A{-1.0};
    double throatDiameter = -1, throatCurvature = -1;
    bool ok = false;
    bool untouched() const
    {
        return x == std::vector<double>{-1.0} && A == std::vector<double>{-1.0} && throatDiameter == -1
                && throatCurvature == -1;
    }
};

// The load with the boxes it hands back shown through the seam, as a view shows them.
Loaded load(const std::string& name)
{
    Loaded l;
    ViewMessages handed;
    l.ok = loadNozzle(name, l.x, l.A, l.throatDiameter, l.throatCurvature, &handed);
    showViewMessages(nullptr, handed);
    return l;
}

// The tab shows a 2 mm throat between 4 mm ends, in cm, at the stations x.
void showCurrentNozzle(const std::vector<double>& x)
{
    currentNozzle.x = x;
    currentNozzle.R = {2.0, 1.0, 2.0};
    currentNozzle.A = {kPi * 4, kPi, kPi * 4};
    currentNozzle.unitIndex = 1;
    currentNozzle.throatDiameter = 2.0;
    currentNozzle.throatCurvatureRadius = 1.0;
}

// Each stored nozzle named is refused at load with L08, the caller's outputs untouched.
void expectRefusedWithL08(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        SCOPED_TRACE(name);
        flagsL = 0;
        const Loaded l = load(name);
        EXPECT_FALSE(l.ok);
        EXPECT_TRUE(l.untouched());
        EXPECT_TRUE(flagRaised(flagsL, code::L08));
    }
}

class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousPath = NOZZLE;
        NOZZLE = app.dataFile("Nozzles.json");
        flagsF = 0;
        flagsL = 0;
        unitFlag = 0;
        currentNozzle = CurrentNozzle{};
    }
    void TearDown() override
    {
        NOZZLE = previousPath;
        flagsF = 0;
        flagsL = 0;
        unitFlag = 0;
        currentNozzle = CurrentNozzle{};
    }
    void store(const std::string& text) const { app.write("Data/Nozzles.json", text); }

    TempAppDir app;
    MessageRecorder messages;
    std::string previousPath;
};

// A conical nozzle in centimetres: De 10, Dt 2, Dx 6, 45 and 15 deg, no fillets.
const char* kCentimetreCone = R"({"Cone": {"Options": [false, false, false, false],
    "Parameters": [10.0, 2.0, 6.0, 45.0, 15.0, 0.0, 0.0], "Points": 50, "Type": 1, "Units": 1}})";

ConicalForm coneForm()
{
    ConicalForm f;
    f.points = "50";
    f.entrance = "10";
    f.throat = "2";
    f.exit = "6";
    f.convergentAngle = "45";
    f.divergentAngle = "15";
    return f;
}

} // namespace

TEST_F(ProviderTest, StoredNozzleInCentimetresReachesTheRunInSI)
{
    store(kCentimetreCone);
    const Loaded l = load("Cone");
    ASSERT_TRUE(l.ok);
    ASSERT_EQ(l.x.size(), 50u);
    ASSERT_EQ(l.A.size(), 50u);
    // Exit diameter 6 cm: area pi * 0.03^2 = 3.141592 * 9e-4 m^2.
    EXPECT_NEAR(l.A.back(), 0.0028274328, 1e-12);
    // Exit 2 cm above the throat radius at 15 deg: 2/tan 15 deg cm from the throat.
    EXPECT_NEAR(l.x.back(), 0.02 / std::tan(15 * std::acos(-1.0) / 180), 1e-6);
    EXPECT_NEAR(l.x.front(), -0.04, 1e-7); // a 4 cm drop at 45 deg
    EXPECT_DOUBLE_EQ(l.throatDiameter, 0.02);
    EXPECT_DOUBLE_EQ(l.throatCurvature, 0.01); // no throat fillet: 1.0 in the nozzle's unit
    EXPECT_EQ(flagsL, 0u);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ProviderTest, EveryUnitScalesLengthsAndAreas)
{
    // The same numbers stored in mm, cm, dm and m give stations 1000, 100, 10, 1 times
    // smaller than in metres, areas the square of that.
    const double perMetre[] = {1e-3, 1e-2, 1e-1, 1.0};
    std::string text = "{";
    for (int u = 0; u < 4; ++u) {
        text += (u ? "," : "") + std::string("\"N") + std::to_string(u)
                + R"(": {"Options": false, "Parameters": [50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5],
                          "Points": 100, "Type": 0, "Units": )"
                + std::to_string(u) + "}";
    }
    store(text + "}");
    const Loaded metres = load("N3");
    ASSERT_TRUE(metres.ok);
    EXPECT_DOUBLE_EQ(metres.x.back(), 125);
    EXPECT_NEAR(metres.A.back(), kPi * 50 * 50, 1e-9);
    EXPECT_DOUBLE_EQ(metres.throatCurvature, (37.5 + 9.55) / 2);
    for (int u = 0; u < 3; ++u) {
        const Loaded l = load("N" + std::to_string(u));
        ASSERT_TRUE(l.ok) << u;
        for (std::size_t k = 0; k < 100; ++k) {
            EXPECT_NEAR(l.x[k], metres.x[k] * perMetre[u], 1e-12 * std::abs(metres.x[k])) << u << " " << k;
            EXPECT_NEAR(l.A[k], metres.A[k] * perMetre[u] * perMetre[u], 1e-12 * metres.A[k]) << u << " " << k;
        }
        EXPECT_DOUBLE_EQ(l.throatDiameter, 25 * perMetre[u]);
        EXPECT_DOUBLE_EQ(l.throatCurvature, (37.5 + 9.55) / 2 * perMetre[u]);
    }
    EXPECT_EQ(unitFlag, 0);
    // A unit the conversion does not know: the values stay as they are and "U" is raised
    // (a huge index does not wrap onto a known unit).
    store(R"({"Odd": {"Options": false, "Parameters": [50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5],
                      "Points": 100, "Type": 0, "Units": 65536}})");
    const Loaded odd = load("Odd");
    EXPECT_TRUE(odd.ok);
    EXPECT_EQ(unitFlag, 1);
    EXPECT_DOUBLE_EQ(odd.x.back(), 125);
}

TEST_F(ProviderTest, CurrentIsTheTabsNozzleConvertedFromItsUnit)
{
    // Before any accepted contour: the message, false, no load code.
    MessagePresenter recorder = messagePresenter();
    QObject* parentSeen = reinterpret_cast<QObject*>(1);
    setMessagePresenter([&](QObject* parent, const MessageRequest& r) {
        parentSeen = parent;
        return recorder(parent, r);
    });
    Loaded l = load("Current");
    setMessagePresenter(recorder);
    EXPECT_FALSE(l.ok);
    EXPECT_TRUE(l.untouched());
    EXPECT_EQ(messages.texts(), QStringList{"Nozzle load failed, no nozzle displayed in nozzle definition tab"});
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(parentSeen, nullptr);
    EXPECT_EQ(flagsL, 0u);

    // The same cone typed in cm in the tab: the same stations as the stored one, the
    // throat curvature radius converted too (1.0 cm).
    NozzleModel model;
    ASSERT_TRUE(model.computeConical(coneForm(), 1).accepted());
    l = load("Current");
    ASSERT_TRUE(l.ok);
    store(kCentimetreCone);
    const Loaded stored = load("Cone");
    ASSERT_TRUE(stored.ok);
    EXPECT_EQ(l.x, stored.x);
    EXPECT_EQ(l.A, stored.A);
    EXPECT_DOUBLE_EQ(l.throatDiameter, 0.02);
    EXPECT_DOUBLE_EQ(l.throatCurvature, 0.01);

    // A refused edit leaves "Current" as it was.
    ConicalForm bad = coneForm();
    bad.exit = "1";
    ASSERT_FALSE(model.computeConical(bad, 3).accepted());
    EXPECT_EQ(load("Current").x, l.x);
    // The unit goes with the stations: the same cone accepted in mm is ten times smaller.
    ASSERT_TRUE(model.computeConical(coneForm(), 0).accepted());
    EXPECT_DOUBLE_EQ(load("Current").x.front(), l.x.front() / 10);
}

TEST_F(ProviderTest, FileProblemsRaiseTheirCodesAndL08)
{
    // No file: F08 and L08, no message.
    Loaded l = load("Cone");
    EXPECT_FALSE(l.ok);
    EXPECT_TRUE(l.untouched());
    EXPECT_TRUE(flagRaised(flagsF, code::F(8)));
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
    EXPECT_TRUE(messages.messages().empty());

    // Unparsable: F24 and L08, no message.
    flagsF = 0;
    flagsL = 0;
    store("{\"Cone\": ");
    l = load("Cone");
    EXPECT_FALSE(l.ok);
    EXPECT_TRUE(flagRaised(flagsF, code::F(24)));
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
    EXPECT_TRUE(messages.messages().empty());

    // Cannot be opened: L08 and the box, with the window icon.
    flagsF = 0;
    flagsL = 0;
    std::filesystem::remove(NOZZLE);
    std::filesystem::create_directory(NOZZLE);
    l = load("Cone");
    EXPECT_FALSE(l.ok);
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
    EXPECT_EQ(flagsF, 0u);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(),
              "Nozzle file could not be opened, it may be opened by another software or have "
              "accesibility restrictions");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_TRUE(messages.messages()[0].windowIcon);
}

// The loader shows no box itself: it hands its boxes back, critical, untitled and
// parentless, for the caller's view to show.
TEST_F(ProviderTest, BoxesAreHandedBackNotShown)
{
    const struct {
        const char* what;
        const char* name;
        bool unopenableFile;
        QString text;
        bool windowIcon;
    } cases[] = {
            {"no current nozzle", "Current", false, "Nozzle load failed, no nozzle displayed in nozzle definition tab",
             false},
            {"file that cannot be opened", "Cone", true,
             "Nozzle file could not be opened, it may be opened by another software or have accesibility "
             "restrictions",
             true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.unopenableFile) {
            std::filesystem::remove(NOZZLE);
            std::filesystem::create_directory(NOZZLE);
        }
        Loaded l;
        ViewMessages handed;
        EXPECT_FALSE(loadNozzle(c.name, l.x, l.A, l.throatDiameter, l.throatCurvature, &handed));
        EXPECT_TRUE(messages.messages().empty());
        expectOneHandedBackBox(handed, c.text, c.windowIcon);
    }
}

TEST_F(ProviderTest, EntriesThatCannotGiveAContourRaiseL08)
{
    store(R"({
        "Aerospike": {"Options": false, "Parameters": [50, 25, 100], "Points": 100, "Type": 2, "Units": 0},
        "Broken": {"Options": false, "Parameters": [50, 25], "Points": 100, "Type": 0, "Units": 0},
        "FewPoints": {"Options": [false, false, false, false], "Parameters": [100, 20, 60, 45, 15, 0, 0],
                      "Points": 2, "Type": 1, "Units": 0},
        "HugePoints": {"Options": [false, false, false, false], "Parameters": [100, 20, 60, 45, 15, 0, 0],
                       "Points": 4294967295, "Type": 1, "Units": 0},
        "Inverted": {"Options": [false, false, false, false], "Parameters": [10, 20, 60, 45, 15, 0, 0],
                     "Points": 100, "Type": 1, "Units": 0},
        "NoUnits": {"Options": false, "Parameters": [50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5], "Points": 100,
                    "Type": 0},
        "Null": null,
        "Good": {"Options": [false, false, false, false], "Parameters": [100, 20, 60, 45, 15, 0, 0],
                 "Points": 100, "Type": 1, "Units": 0}
    })");
    for (const char* name : {"Aerospike", "Broken", "FewPoints", "HugePoints", "Inverted", "NoUnits", "Null", "Gone"}) {
        flagsL = 0;
        const Loaded l = load(name);
        EXPECT_FALSE(l.ok) << name;
        EXPECT_TRUE(l.untouched()) << name;
        EXPECT_TRUE(flagRaised(flagsL, code::L08)) << name;
    }
    EXPECT_TRUE(messages.messages().empty());
    // A good load never clears an L08 raised earlier: the caller does.
    flagsL = code::L08;
    EXPECT_TRUE(load("Good").ok);
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
}

// Stored geometries the contour's own checks let through but whose stations no run can
// compute: refused at load with L08, outputs untouched; nozzles up to the limits load.
TEST_F(ProviderTest, StationsARunCannotComputeRaiseL08)
{
    store(R"({
        "LongDivergent": {"Options": [false, true, false, false], "Parameters": [100, 20, 60, 45, 1.797e308, 0, 0],
                          "Points": 100, "Type": 1, "Units": 0},
        "HugeExit": {"Options": [false, false, false, false], "Parameters": [100, 20, 1e308, 45, 15, 0, 0],
                     "Points": 100, "Type": 1, "Units": 0},
        "HugeEntrance": {"Options": [false, false, false, false], "Parameters": [1e308, 20, 60, 45, 15, 0, 0],
                         "Points": 100, "Type": 1, "Units": 0},
        "TinyThroat": {"Options": [false, false, false, false], "Parameters": [100, 5e-324, 60, 45, 15, 0, 0],
                       "Points": 100, "Type": 1, "Units": 0},
        "TwoKilometres": {"Options": [false, false, false, false], "Parameters": [4000, 2000, 3000, 45, 15, 0, 0],
                          "Points": 100, "Type": 1, "Units": 3},
        "HalfKilometre": {"Options": [false, false, false, false], "Parameters": [400, 200, 300, 45, 15, 0, 0],
                          "Points": 100, "Type": 1, "Units": 3},
        "TwoMicrometreThroat": {"Options": [false, false, false, false], "Parameters": [1, 0.002, 3, 45, 15, 0, 0],
                                "Points": 100, "Type": 1, "Units": 0}
    })");
    expectRefusedWithL08({"LongDivergent", "HugeExit", "HugeEntrance", "TinyThroat", "TwoKilometres"});
    for (const char* name : {"HalfKilometre", "TwoMicrometreThroat"}) {
        SCOPED_TRACE(name);
        flagsL = 0;
        const Loaded l = load(name);
        EXPECT_TRUE(l.ok);
        EXPECT_EQ(flagsL, 0u);
    }
    EXPECT_TRUE(messages.messages().empty());

    // The tab's nozzle with a station that is not finite.
    showCurrentNozzle({-2.0, 0.0, std::numeric_limits<double>::infinity()});
    flagsL = 0;
    const Loaded current = load("Current");
    EXPECT_FALSE(current.ok);
    EXPECT_TRUE(current.untouched());
    EXPECT_TRUE(flagRaised(flagsL, code::L08));
}

// The tab's own field limits guard a stored nozzle too: the numbers the tab refuses
// (tests/nozzle/model) are refused at load with L08, without a box.
TEST_F(ProviderTest, StoredNumbersTheTabRefusesRaiseL08)
{
    store(R"({
        "TinyThroat": {"Options": [false, false, false, false], "Parameters": [100, 1e-300, 60, 45, 15, 0, 0],
                       "Points": 100, "Type": 1, "Units": 0},
        "FlatAngle": {"Options": [false, false, false, false], "Parameters": [100, 20, 60, 1e-320, 15, 0, 0],
                      "Points": 100, "Type": 1, "Units": 0},
        "TinyFillet": {"Options": [false, false, true, false], "Parameters": [100, 20, 60, 45, 15, 1e-300, 0],
                       "Points": 100, "Type": 1, "Units": 0},
        "BezierTinyFillet": {"Options": false, "Parameters": [50, 25, 100, 45, 125, 1e-300, 37.5, 9.55, 60, 5],
                             "Points": 100, "Type": 0, "Units": 0},
        "BezierFlatAngle": {"Options": false, "Parameters": [50, 25, 100, 1e-320, 125, 2, 37.5, 9.55, 60, 5],
                            "Points": 100, "Type": 0, "Units": 0}
    })");
    expectRefusedWithL08({"TinyThroat", "FlatAngle", "TinyFillet", "BezierTinyFillet", "BezierFlatAngle"});
    EXPECT_TRUE(messages.messages().empty());
}

// "Current" whose stations no run can compute is refused with L08 and a box that says
// why, the stations' limits as its informative text, for the calculation tab to show.
TEST_F(ProviderTest, CurrentARunCannotComputeSaysWhy)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        std::vector<double> x;
    } cases[] = {
            {"infinite station", {-2.0, 0.0, inf}},
            {"falling station", {-2.0, 0.0, -1.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        showCurrentNozzle(c.x);
        flagsL = 0;
        Loaded l;
        ViewMessages handed;
        EXPECT_FALSE(loadNozzle("Current", l.x, l.A, l.throatDiameter, l.throatCurvature, &handed));
        EXPECT_TRUE(l.untouched());
        EXPECT_TRUE(flagRaised(flagsL, code::L08));
        expectOneHandedBackBox(
                handed, "Nozzle load failed, the nozzle displayed in nozzle definition tab cannot be computed", false);
        EXPECT_EQ(handed[0].box.informativeText,
                  "Every station must lie within 1000 m of the throat, each no nearer the entrance than the one "
                  "before, with a diameter between 1e-06 m and 1000 m");
    }
}
