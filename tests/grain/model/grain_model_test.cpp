// The grain tab's model: the checks in their order with their messages, the figures of
// the form's initial grains, the length sweep and the layout of the grain picture.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "core/preferences.h"
#include "grain/grain_model.h"

using namespace grain;

namespace {

constexpr double pi = 3.141592;

// The display precision the figures below were worked out with.
class GrainModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept = NUM_DIS_PREC;
        NUM_DIS_PREC = 10;
    }
    void TearDown() override { NUM_DIS_PREC = kept; }
    uint8_t kept = 0;
};

const CylindricalInputs kCylinder{"50", "20", "100", "1"};
const StarInputs kStar{"50", "30", "40", "5", "100", "1"};

} // namespace

TEST_F(GrainModelTest, InitialCylindricalGrain)
{
    GrainModel model;
    const GrainCalculation c = model.calculateCylindrical(kCylinder, "100", RadialAndBase);
    ASSERT_EQ(c.status, CalculationStatus::Done);
    // Single-precision areas: 2 pi 1525 at ignition; the largest at y = 10 (sample 66),
    // where d/dy [2 pi (10 + y)(100 - 2y) + 2 pi (625 - (10 + y)^2)] = 2 pi (60 - 4y) = 0.
    EXPECT_EQ(c.figures.maximumArea, "11466.81055");
    EXPECT_EQ(c.figures.minimumArea, "9581.855469");
    EXPECT_EQ(c.figures.averageArea, "10988.43197");
    EXPECT_EQ(c.figures.deviation, "17.15399506%");
    EXPECT_EQ(c.figures.fill, "84%"); // 1 - 10^2 / 25^2
    EXPECT_EQ(c.figures.volume, QString::number(100 * pi * 525, 'g', 10));
    EXPECT_EQ(c.figures.volume, "164933.58");
    EXPECT_EQ(model.parameters(), (std::vector<double>{50, 20, 100, 1}));
    EXPECT_EQ(model.sampleCount(), 100.0);
    EXPECT_EQ(model.combustionType(), 0);
    EXPECT_EQ(c.curve.y.size(), 100u);
}

TEST_F(GrainModelTest, FlatCurvesShowNoSpread)
{
    GrainModel model;
    const GrainCalculation base = model.calculateCylindrical(kCylinder, "10", Base);
    ASSERT_EQ(base.status, CalculationStatus::Done);
    EXPECT_EQ(base.figures.maximumArea, base.figures.minimumArea);
    EXPECT_EQ(base.figures.deviation, "0%");
    EXPECT_EQ(model.combustionType(), 2);

    const GrainCalculation frontal = model.calculateFrontal({"50", "100"}, "100");
    ASSERT_EQ(frontal.status, CalculationStatus::Done);
    EXPECT_EQ(frontal.figures.maximumArea, "constant area");
    EXPECT_EQ(frontal.figures.minimumArea, "constant area");
    EXPECT_EQ(frontal.figures.deviation, "constant area");
    EXPECT_EQ(frontal.figures.averageArea, "1963.495"); // pi 25^2
    EXPECT_EQ(frontal.figures.fill, "100%");
    EXPECT_EQ(frontal.figures.volume, "196349.5"); // no number of charges
    EXPECT_EQ(model.parameters(), (std::vector<double>{50, 100}));
    EXPECT_EQ(model.combustionType(), 2);
    EXPECT_EQ(frontal.curve.y.back(), 100.0f);
}

TEST_F(GrainModelTest, StarFigures)
{
    GrainModel model;
    const GrainCalculation c = model.calculateStar(kStar, "100", Radial);
    ASSERT_EQ(c.status, CalculationStatus::Done);
    const double port = 10 * 0.5 * 15 * 20 * std::sin(pi / 5); // ten triangles centre-vertex-point
    EXPECT_EQ(c.figures.fill, QString::number((1 - port / (pi * 625)) * 100, 'g', 10) + "%");
    EXPECT_EQ(c.figures.volume, QString::number(100 * (pi * 625 - port), 'g', 10));
    EXPECT_EQ(model.parameters(), (std::vector<double>{50, 30, 40, 100, 1, 5}));
}

TEST_F(GrainModelTest, ChecksInOrder)
{
    struct Case {
        CylindricalInputs in;
        QString samples;
        const char* message;
    };
    const Case cases[] = {
            {{"abc", "0", "x", "0"}, "1", "Invalid exterior diameter"},
            {{"-50", "20", "100", "1"}, "100", "Invalid exterior diameter"},
            {{"nan", "20", "100", "1"}, "100", "Invalid exterior diameter"},
            {{"inf", "20", "100", "1"}, "100", "Invalid exterior diameter"},
            {{"50", "0", "x", "0"}, "1", "Invalid interior diameter"},
            {{"50", "60", "x", "0"}, "1", "Exterior diameter must be greater than interior"},
            // Zero web: no propellant, and a spread of 0/0.
            {{"50", "50", "100", "1"}, "100", "Exterior diameter must be greater than interior"},
            {{"50", "20", "0", "0"}, "1", "Invalid length"},
            {{"50", "20", "100", "0"}, "1", "Invalid number of charges"},
            {{"50", "20", "100", "1.5"}, "1", "Invalid number of charges"},
            {{"50", "20", "100", "-1"}, "100", "Invalid number of charges"},
            {{"50", "20", "100", "1"}, "1", "Invalid number of points"},
            {{"50", "20", "100", "1"}, "2.5", "Invalid number of points"},
            {{"50", "20", "100", "1"}, "1000001", "Invalid number of points"},
            {{"50", "20", "100", "1"}, "4294967295", "Invalid number of points"},
    };
    for (const Case& k : cases) {
        GrainModel model;
        ASSERT_EQ(model.calculateCylindrical(kCylinder, "100", 0).status, CalculationStatus::Done);
        const GrainCalculation c = model.calculateCylindrical(k.in, k.samples, RadialAndBase);
        EXPECT_EQ(c.status, CalculationStatus::Invalid) << k.message;
        EXPECT_EQ(c.message, k.message);
        EXPECT_TRUE(model.parameters().empty()) << k.message;
    }
    GrainModel model;
    EXPECT_EQ(model.calculateCylindrical({"5e1", "2E1", "100.0", "+1"}, "1000000", 0).status, CalculationStatus::Done);
    EXPECT_EQ(model.parameters(), (std::vector<double>{50, 20, 100, 1}));
}

TEST_F(GrainModelTest, FrontalAndStarChecksInOrder)
{
    struct FrontalCase {
        FrontalInputs in;
        QString samples;
        const char* message;
    };
    for (const FrontalCase& k :
         {FrontalCase{{"0", "0"}, "1", "Invalid exterior diameter"}, FrontalCase{{"50", "-1"}, "1", "Invalid length"},
          FrontalCase{{"50", "100"}, "1", "Invalid number of points"}}) {
        GrainModel model;
        EXPECT_EQ(model.calculateFrontal(k.in, k.samples).message, k.message);
        EXPECT_TRUE(model.parameters().empty());
    }

    struct StarCase {
        StarInputs in; // Dext, Din, Dpoint, points, length, charges
        int combustion;
        const char* message;
    };
    const StarCase stars[] = {
            {{"0", "0", "0", "0", "0", "0"}, 1, "Invalid exterior diameter"},
            {{"50", "0", "0", "0", "0", "0"}, 1, "Invalid inner diameter"},
            {{"50", "30", "0", "0", "0", "0"}, 1, "Invalid star point diameter"},
            {{"50", "60", "70", "0", "0", "0"}, 1, "Exterior diameter must be greater than inner diameter"},
            {{"50", "50", "50", "5", "100", "1"}, 1, "Exterior diameter must be greater than inner diameter"},
            {{"50", "30", "60", "0", "0", "0"}, 1, "Exterior diameter must be greater than star point diameter"},
            {{"50", "40", "30", "0", "0", "0"}, 1, "Star point diameter must be greater than inner diameter"},
            {{"50", "30", "40", "0", "0", "0"}, 1, "Invalid length"},
            {{"50", "30", "40", "0", "100", "0"}, 1, "Invalid number of charges"},
            {{"50", "30", "40", "1", "100", "1"}, 1, "Invalid number of star points"},
            {{"50", "30", "40", "5", "100", "1"}, 0, "Radial & base combustion cannot be calculated for star charges"},
    };
    for (const StarCase& k : stars) {
        GrainModel model;
        const GrainCalculation c = model.calculateStar(k.in, "100", k.combustion);
        EXPECT_EQ(c.status, CalculationStatus::Invalid) << k.message;
        EXPECT_EQ(c.message, k.message);
        EXPECT_TRUE(model.parameters().empty());
    }
    // A star whose points touch the case and whose inner vertices meet its points is a grain.
    GrainModel model;
    EXPECT_EQ(model.calculateStar({"50", "40", "50", "5", "100", "1"}, "100", 1).status, CalculationStatus::Done);
    EXPECT_EQ(model.calculateStar({"50", "40", "40", "5", "100", "1"}, "100", 1).status, CalculationStatus::Done);
}

TEST_F(GrainModelTest, EmptyFieldEndsSilentlyAndForgetsTheLastGrain)
{
    GrainModel model;
    ASSERT_EQ(model.calculateCylindrical(kCylinder, "100", 0).status, CalculationStatus::Done);
    for (const CylindricalInputs& in :
         {CylindricalInputs{"", "x", "x", "x"}, CylindricalInputs{"50", "20", "100", ""}}) {
        const GrainCalculation c = model.calculateCylindrical(in, "100", 0);
        EXPECT_EQ(c.status, CalculationStatus::Empty);
        EXPECT_TRUE(c.message.isEmpty());
        EXPECT_TRUE(model.parameters().empty());
    }
    EXPECT_EQ(model.calculateCylindrical(kCylinder, "", 0).status, CalculationStatus::Empty);
    EXPECT_EQ(model.calculateFrontal({"50", "100"}, "").status, CalculationStatus::Empty);
    EXPECT_EQ(model.calculateStar(kStar, "", 1).status, CalculationStatus::Empty);
}

// ---- Length sweep -------------------------------------------------------------------

namespace {

SweepInputs sweepOf(QString from, QString to, QString step, int combustion = 0)
{
    SweepInputs in;
    in.exteriorDiameter = "50";
    in.interiorDiameter = "20";
    in.charges = "1";
    in.samples = "100";
    in.minimum = from;
    in.maximum = to;
    in.step = step;
    in.combustion = combustion;
    return in;
}

} // namespace

TEST(LengthSweep, CandidateCount)
{
    // The range is cut to whole units before the division: 10 to 20.5 by 0.5 stops at 20.
    EXPECT_EQ(sweepCandidateCount(10, 20.5, 0.5), 21.0);
    EXPECT_EQ(sweepCandidateCount(10, 100, 1), 91.0);
    EXPECT_EQ(sweepCandidateCount(10, 10.9, 0.1), 1.0);
    EXPECT_EQ(sweepCandidateCount(1, 3, 0.7), 3.0);
}

TEST(LengthSweep, InitialGrainTurnsNeutralAt85)
{
    // With the radial web (15) thinner than the half length, the areas at ignition,
    // 2 pi (10 L + 525), and at burnout, 2 pi 25 (L - 30), are equal for L = 85.
    const SweepOutcome out = sweepNeutralLength(sweepOf("10", "100", "1"));
    ASSERT_EQ(out.status, SweepOutcome::Done) << out.message.toStdString();
    EXPECT_EQ(out.candidates, 91u);
    EXPECT_EQ(out.length, 85.0f);
    EXPECT_EQ(out.winner, 75u);
    EXPECT_NEAR(out.deviation, 0.1135, 5e-4);

    const SweepOutcome half = sweepNeutralLength(sweepOf("10", "20.5", "0.5"));
    EXPECT_EQ(half.candidates, 21u);
    // Below L = 30 the ends burn out first and the spread 2 pi (20 L + L^2/4) grows with L.
    EXPECT_EQ(half.length, 10.0f);
}

TEST(LengthSweep, TiesKeepTheShortest)
{
    // Around 1e8 single precision only holds multiples of 8: the four candidates are the
    // same grain, and the first one wins.
    SweepInputs in = sweepOf("100000000", "100000003", "1");
    const SweepOutcome out = sweepNeutralLength(in);
    ASSERT_EQ(out.status, SweepOutcome::Done);
    EXPECT_EQ(out.candidates, 4u);
    EXPECT_EQ(out.winner, 0u);
}

TEST(LengthSweep, RefusalsInOrder)
{
    struct Case {
        SweepInputs in;
        SweepOutcome::Status status;
        const char* message;
    };
    SweepInputs emptyTo = sweepOf("10", "", "1");
    SweepInputs badDext = sweepOf("", "", "");
    badDext.exteriorDiameter = "0";
    SweepInputs equalDiameters = sweepOf("x", "x", "x");
    equalDiameters.interiorDiameter = "50";
    SweepInputs noCharges = sweepOf("x", "x", "x");
    noCharges.charges = "0";
    SweepInputs onePoint = sweepOf("x", "x", "x");
    onePoint.samples = "1";
    const Case cases[] = {
            {emptyTo, SweepOutcome::Missing, "Missing data for optimization"},
            {badDext, SweepOutcome::Missing, "Missing data for optimization"},
            {[] {
                 SweepInputs in = sweepOf("x", "x", "x");
                 in.exteriorDiameter = "0";
                 return in;
             }(),
             SweepOutcome::Invalid, "Invalid exterior diameter"},
            {equalDiameters, SweepOutcome::Invalid, "Exterior diameter must be greater than interior"},
            {noCharges, SweepOutcome::Invalid, "Invalid number of charges"},
            {onePoint, SweepOutcome::Invalid, "Invalid number of points"},
            {sweepOf("0", "x", "x"), SweepOutcome::Invalid, "Invalid minimum length for optimization"},
            {sweepOf("10", "-1", "x"), SweepOutcome::Invalid, "Invalid maximum length for optimization"},
            // A reversed range would wrap the candidate count round to four billion.
            {sweepOf("100", "10", "1"), SweepOutcome::Invalid, "Invalid maximum length for optimization"},
            {sweepOf("10", "100", "0"), SweepOutcome::Invalid, "Invalid length step for optimization"},
            // Nine hundred million candidates of a hundred samples would freeze the window.
            {sweepOf("10", "100", "1e-7"), SweepOutcome::Invalid, "Invalid length step for optimization"},
            {sweepOf("10", "100", "1", 2), SweepOutcome::Invalid,
             "Optimization only viable for frontal & base combustion"},
    };
    for (const Case& k : cases) {
        const SweepOutcome out = sweepNeutralLength(k.in);
        EXPECT_EQ(out.status, k.status) << k.message;
        EXPECT_EQ(out.message, k.message);
    }
}

// ---- Grain picture ------------------------------------------------------------------

TEST(GrainPicture, WidthByViewsAndCylinderLayout)
{
    // Dext 50, L 100: k = 100 / (2 * 50) = 1 scene unit per length unit.
    struct Case {
        uint8_t views;
        double width;
    };
    for (const Case& k : {Case{0, 225.0}, Case{1, 100.0}, Case{2, 150.0}}) {
        const GrainPicture p = grainPicture({50, 20, 100, 1}, RadialAndBase, k.views, 4.0, 1.0);
        EXPECT_DOUBLE_EQ(p.width, k.width) << int(k.views);
        EXPECT_DOUBLE_EQ(p.height, 100.0);
        EXPECT_DOUBLE_EQ(p.scale, 1.0);
        EXPECT_EQ(p.sceneRect, QRectF(-k.width / 2, -50, k.width, 100));
        EXPECT_EQ(p.textPosition, QPointF(-k.width / 2, -50));
    }
    // Only the disk: centred in a scene 100 wide.
    const GrainPicture radial = grainPicture({50, 20, 100, 1}, RadialAndBase, 1, 4.0, 1.0);
    ASSERT_EQ(radial.shapes.size(), 3u);
    EXPECT_EQ(radial.shapes[0].rect, QRectF(-25, -25, 50, 50));
    EXPECT_EQ(radial.shapes[1].rect, QRectF(-10, -10, 20, 20)); // the bore
    EXPECT_EQ(radial.shapes[1].brush, PictureColour::Background);
    EXPECT_EQ(radial.shapes[2].rect, QRectF(-14, -14, 28, 28)); // burnt 4 around it
    EXPECT_EQ(radial.shapes[2].pen, PictureColour::Burning);

    // Only the side view: centred, both ends receding by 4.
    const GrainPicture side = grainPicture({50, 20, 100, 1}, RadialAndBase, 2, 4.0, 1.0);
    ASSERT_EQ(side.shapes.size(), 4u);
    EXPECT_EQ(side.shapes[0].rect, QRectF(-50, -25, 100, 50));
    EXPECT_EQ(side.shapes[0].brush, PictureColour::Background);
    EXPECT_EQ(side.shapes[1].rect, QRectF(-46, -25, 92, 50));
    EXPECT_EQ(side.shapes[1].brush, PictureColour::Grain);
    EXPECT_EQ(side.shapes[2].line, QLineF(-46, -25, -46, 25));
    EXPECT_EQ(side.shapes[3].line, QLineF(46, -25, 46, 25));
}

TEST(GrainPicture, CombustionTypesAndFrontal)
{
    // Radial only: the side view is the whole charge; base only: no burning bore.
    const GrainPicture radial = grainPicture({50, 20, 100, 1}, Radial, 0, 4.0, 1.0);
    ASSERT_EQ(radial.shapes.size(), 4u);
    EXPECT_EQ(radial.shapes[3].rect, QRectF(-12.5, -25, 100, 50)); // x0 = 225/2 - 25 - 100
    EXPECT_EQ(radial.shapes[3].brush, PictureColour::Grain);
    const GrainPicture base = grainPicture({50, 20, 100, 1}, Base, 0, 4.0, 1.0);
    ASSERT_EQ(base.shapes.size(), 2u + 4u);
    EXPECT_EQ(base.shapes[2].brush, PictureColour::Background); // side view starts

    // Frontal D 40, L 60, burnt 10, side view only: k = 1.25.
    const GrainPicture frontal = grainPicture({40, 60}, Base, 2, 10.0, 1256.0);
    EXPECT_DOUBLE_EQ(frontal.width, 125.0);
    ASSERT_EQ(frontal.shapes.size(), 3u);
    EXPECT_EQ(frontal.shapes[0].rect, QRectF(-37.5, -25, 75, 50));
    EXPECT_EQ(frontal.shapes[1].rect, QRectF(-37.5, -25, 12.5, 50));
    EXPECT_EQ(frontal.shapes[1].brush, PictureColour::Background);
    EXPECT_EQ(frontal.shapes[2].line, QLineF(-25, -25, -25, 25));
    EXPECT_EQ(frontal.text, "Current combustion area: 1256");

    EXPECT_TRUE(grainPicture({}, 0, 0, 0.0, 0.0).shapes.empty());
}

// The tab's fields meet the rules of a stored grain when they are confirmed: a number no
// run can compute is refused with the field's message and the limit (in the form's
// unit), and no figure of a grain the tab accepts is "inf" or "nan", up to the largest
// grain the limits allow (1 km across, 1000 charges).
TEST_F(GrainModelTest, FieldsBeyondTheLimitsAreRefusedWithTheRule)
{
    const QString lengthsMm = "Diameters and lengths must lie between 0.001 mm and 1000000 mm";
    const QString lengthsM = "Diameters and lengths must lie between 1e-06 m and 1000 m";
    struct Case {
        const char* what;
        std::function<GrainCalculation(GrainModel&)> calculate;
        const char* message;
        QString rule;
    };
    const Case cases[] = {
            {"1e308 mm cylinder",
             [](GrainModel& m) {
                 return m.calculateCylindrical({"1e308", "20", "100", "1"}, "100", 0);
             },
             "Invalid exterior diameter", lengthsMm},
            {"1e308 mm length",
             [](GrainModel& m) {
                 return m.calculateCylindrical({"50", "20", "1e308", "1"}, "100", 0);
             },
             "Invalid length", lengthsMm},
            {"5e-324 mm bore",
             [](GrainModel& m) {
                 return m.calculateCylindrical({"50", "5e-324", "100", "1"}, "100", 1);
             },
             "Invalid interior diameter", lengthsMm},
            {"2 km in metres",
             [](GrainModel& m) {
                 return m.calculateCylindrical({"2000", "20", "100", "1"}, "100", 0, 3);
             },
             "Invalid exterior diameter", lengthsM},
            {"5000 charges",
             [](GrainModel& m) {
                 return m.calculateCylindrical({"50", "20", "100", "5000"}, "100", 0);
             },
             "Invalid number of charges", "The number of charges must lie between 1 and 1000"},
            {"1e308 mm frontal",
             [](GrainModel& m) {
                 return m.calculateFrontal({"1e308", "100"}, "100");
             },
             "Invalid exterior diameter", lengthsMm},
            {"1e308 mm star",
             [](GrainModel& m) {
                 return m.calculateStar({"1e308", "30", "40", "5", "100", "1"}, "100", 1);
             },
             "Invalid exterior diameter", lengthsMm},
            {"101 star points",
             [](GrainModel& m) {
                 return m.calculateStar({"50", "30", "40", "101", "100", "1"}, "100", 1);
             },
             "Invalid number of star points", "The number of star points must lie between 2 and 100"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        GrainModel model;
        const GrainCalculation c = k.calculate(model);
        EXPECT_EQ(c.status, CalculationStatus::Invalid);
        EXPECT_EQ(c.message, k.message);
        EXPECT_EQ(c.rule, k.rule);
        EXPECT_TRUE(model.parameters().empty());
    }

    const std::function<GrainCalculation(GrainModel&)> largest[] = {
            [](GrainModel& m) {
                return m.calculateCylindrical({"1000", "1e-6", "1000", "1000"}, "100", 0, 3);
            },
            [](GrainModel& m) {
                return m.calculateCylindrical({"1000000", "0.001", "1000000", "1000"}, "100", 1, 0);
            },
            [](GrainModel& m) {
                return m.calculateFrontal({"1000", "1000"}, "100", 3);
            },
            [](GrainModel& m) {
                return m.calculateStar({"1000", "1e-6", "999", "100", "1000", "1000"}, "100", 1, 3);
            },
    };
    for (const auto& calculate : largest) {
        GrainModel model;
        const GrainCalculation c = calculate(model);
        ASSERT_EQ(c.status, CalculationStatus::Done) << c.message.toStdString();
        const GrainFigures& f = c.figures;
        for (const QString& shown : {f.maximumArea, f.minimumArea, f.averageArea, f.deviation, f.fill, f.volume}) {
            EXPECT_FALSE(shown.contains("inf")) << shown.toStdString();
            EXPECT_FALSE(shown.contains("nan")) << shown.toStdString();
        }
    }
}

// The calculation hands back the grain it judged and computed, in the stored layout, so
// the tab reads its fields once.
TEST_F(GrainModelTest, TheCalculationHandsBackTheGrainItJudged)
{
    GrainModel model;
    GrainCalculation c = model.calculateCylindrical({"50", "20", "100", "3"}, "40", Radial, 2);
    ASSERT_EQ(c.status, CalculationStatus::Done);
    EXPECT_EQ(c.entry.geometry, Cylindrical);
    EXPECT_EQ(c.entry.units, 2);
    EXPECT_EQ(c.entry.combustion, Radial);
    EXPECT_EQ(c.entry.points, 40);
    EXPECT_EQ(c.entry.parameters, (std::vector<double>{50, 20, 100, 3}));
    // The store's order for a star: Dext, Dpoint, Din, L, N, nStar.
    c = model.calculateStar({"50", "30", "40", "5", "100", "2"}, "100", Base, 0);
    ASSERT_EQ(c.status, CalculationStatus::Done);
    EXPECT_EQ(c.entry.parameters, (std::vector<double>{50, 40, 30, 100, 2, 5}));
    c = model.calculateFrontal({"50", "100"}, "7", 1);
    ASSERT_EQ(c.status, CalculationStatus::Done);
    EXPECT_EQ(c.entry.geometry, Frontal);
    EXPECT_EQ(c.entry.combustion, Base);
    EXPECT_EQ(c.entry.parameters, (std::vector<double>{100, 50})); // L, D
}

// The sweep reads the cylinder's fields as a calculation does and judges them by the same
// rules: the field's message and the limit, in the form's unit.
TEST(LengthSweep, CylinderFieldsBeyondTheLimitsAreRefusedWithTheRule)
{
    const QString lengthsMm = "Diameters and lengths must lie between 0.001 mm and 1000000 mm";
    struct Case {
        const char* what;
        std::function<void(SweepInputs&)> edit;
        const char* message;
        QString rule;
    };
    const Case cases[] = {
            {"1e308 mm case", [](SweepInputs& in) { in.exteriorDiameter = "1e308"; }, "Invalid exterior diameter",
             lengthsMm},
            {"1e-300 mm bore", [](SweepInputs& in) { in.interiorDiameter = "1e-300"; }, "Invalid interior diameter",
             lengthsMm},
            {"2 km case in metres",
             [](SweepInputs& in) {
                 in.units = 3;
                 in.exteriorDiameter = "2000";
             },
             "Invalid exterior diameter", "Diameters and lengths must lie between 1e-06 m and 1000 m"},
            {"5000 charges", [](SweepInputs& in) { in.charges = "5000"; }, "Invalid number of charges",
             "The number of charges must lie between 1 and 1000"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SweepInputs in = sweepOf("10", "100", "1");
        k.edit(in);
        const SweepOutcome out = sweepNeutralLength(in);
        EXPECT_EQ(out.status, SweepOutcome::Invalid);
        EXPECT_EQ(out.message, k.message);
        EXPECT_EQ(out.rule, k.rule);
    }
}
