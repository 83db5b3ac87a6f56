// The grain export's CSV text for each choice of blocks and geometry, and the words of a
// file that could not be written.
#include <gtest/gtest.h>

#include "grain/burnback.h"
#include "grain/grain_export.h"

using namespace grain;

namespace {

GrainCsvContent smallCylinder()
{
    GrainCsvContent c;
    c.name = "Grain_1";
    c.parameters = {50, 20, 100, 1};
    c.combustion = 0;
    c.y = {0.0f, 0.5f, 1.0f};
    c.area = {2.0f, 2.5f, 3.0f};
    return c;
}

} // namespace

TEST(GrainCsv, BothBlocks)
{
    EXPECT_EQ(grainCsvText(smallCylinder(), exportBit::Parameters | exportBit::Values, ';', 16),
              "\n"
              "Grain_1\n"
              ";Exterior diameter;Interior diameter;Length;Number;Combustion type\n"
              ";50;20;100;1;Radial & Base\n"
              "\n"
              ";Coordinate y:;0;0.5;1\n"
              ";Combustion area:;2;2.5;3");
}

TEST(GrainCsv, OneBlockEach)
{
    // Only the values: the file ends right after the last area.
    EXPECT_EQ(grainCsvText(smallCylinder(), exportBit::Values | exportBit::Picture, ';', 16),
              "\nGrain_1\n;Coordinate y:;0;0.5;1\n;Combustion area:;2;2.5;3");
    // Only the parameters: the value line and an empty line.
    EXPECT_EQ(grainCsvText(smallCylinder(), exportBit::Parameters, ';', 16),
              "\nGrain_1\n;Exterior diameter;Interior diameter;Length;Number;Combustion type\n"
              ";50;20;100;1;Radial & Base\n\n");
}

TEST(GrainCsv, GeometriesAndCombustionTypes)
{
    GrainCsvContent frontal = smallCylinder();
    frontal.name = "Fr\xc3\xa9"; // UTF-8 passes through
    frontal.parameters = {50, 100};
    frontal.combustion = 2;
    EXPECT_EQ(grainCsvText(frontal, exportBit::Parameters, ',', 16),
              "\nFr\xc3\xa9\n,Exterior diameter,Length,Combustion type\n,50,100,Base\n\n");

    GrainCsvContent star = smallCylinder();
    star.parameters = {50, 30, 40, 100, 1, 5};
    star.combustion = 1;
    EXPECT_EQ(grainCsvText(star, exportBit::Parameters, ';', 16),
              "\nGrain_1\n;Exterior diameter;Interior diameter;Point diameter;Length;Number;Points;Combustion type\n"
              ";50;30;40;100;1;5;Radial\n\n");
}

TEST(GrainCsv, SinglePrecisionValuesKeepTheirDigits)
{
    // The float nearest to 0.3 is 0.300000011920928955078125.
    GrainCsvContent c = smallCylinder();
    c.y = {0.3f};
    c.area = {1.0f / 3.0f};
    EXPECT_EQ(grainCsvText(c, exportBit::Values, ';', 16),
              "\nGrain_1\n;Coordinate y:;0.300000011920929\n;Combustion area:;0.3333333432674408");
    EXPECT_EQ(grainCsvText(c, exportBit::Values, ';', 3), "\nGrain_1\n;Coordinate y:;0.3\n;Combustion area:;0.333");
}

TEST(GrainCsv, InitialGrainRows)
{
    GrainCsvContent c;
    c.name = "Grain_1";
    c.parameters = {50, 20, 100, 1};
    const FloatCurve curve = cylindricalCurve(50, 20, 100, 1, 100, 0);
    c.y = curve.y;
    c.area = curve.area;
    const std::string text = grainCsvText(c, exportBit::Values, ';', 16);
    EXPECT_EQ(text.rfind("\nGrain_1\n;Coordinate y:;0;0.1515151560306549;0.3030303120613098;", 0), 0u);
    EXPECT_NE(text.find("\n;Combustion area:;9581.85546875;"), std::string::npos);
    EXPECT_NE(text.find(";15\n"), std::string::npos);
}

TEST(GrainExportFiles, FailureMessage)
{
    EXPECT_EQ(exportFailedMessage("/p/a.csv", "No such file"),
              "Export failed: /p/a.csv could not be written (No such file)");
}
