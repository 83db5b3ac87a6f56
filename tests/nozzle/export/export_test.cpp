// The nozzle export's CSV text and the fit of the plot to the exported image.
#include <gtest/gtest.h>

#include "nozzle/nozzle_export.h"

namespace {

NozzleCsvData threePoints()
{
    NozzleCsvData d;
    d.name = "N";
    d.x = {-1, 0, 2.5};
    d.R = {2, 1, 1.5};
    d.A = {12.5, 3.25, 7};
    return d;
}

} // namespace

TEST(NozzleCsv, RowsTheChoiceSelects)
{
    const NozzleCsvData d = threePoints();
    struct Case {
        const char* label;
        uint32_t mask;
        std::string text;
    };
    const std::vector<Case> cases = {
            {"coordinates and areas: five lines, one x row, no final newline", 0x04 | 0x08,
             "\nN\n;Coordinate x:;-1;0;2.5\n;Coordinate R:;2;1;1.5\n;Areas:;12.5;3.25;7"},
            {"areas alone still write x first", 0x08, "\nN\n;Coordinate x:;-1;0;2.5\n;Areas:;12.5;3.25;7"},
            {"coordinates alone end with a newline", 0x04, "\nN\n;Coordinate x:;-1;0;2.5\n;Coordinate R:;2;1;1.5\n"},
            {"image only: name alone", 0x10, "\nN\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nozzleCsv(d, c.mask, ';', 16), c.text) << c.label;
}

TEST(NozzleCsv, ParameterBlockByTypeAndMode)
{
    NozzleCsvData d = threePoints();
    // Conical, convergent given as length, divergent as angle.
    d.parameters = {100, 20, 60, 40, 15, 5, 0};
    d.options = {true, false, true, false};
    EXPECT_EQ(nozzleCsv(d, 0x02, ';', 16),
              "\nN\n;Entrance diameter;Throat diameter;Exit diameter;Convergent length;Divergent angle;"
              "Entrance/exit fillet radius;Throat fillet radius\n;100;20;60;40;15;5;0\n\n");
    d.options = {false, true, false, false};
    EXPECT_EQ(nozzleCsv(d, 0x02, ';', 16),
              "\nN\n;Entrance diameter;Throat diameter;Exit diameter;Convergent angle;Divergent length;"
              "Entrance/exit fillet radius;Throat fillet radius\n;100;20;60;40;15;5;0\n\n");
    // Bezier; 9.55 is 9.5500000000000007 in binary, which 16 digits show.
    d.parameters = {50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5};
    d.options = {false};
    EXPECT_EQ(nozzleCsv(d, 0x02 | 0x08, ',', 16),
              "\nN\n,Entrance diameter,Throat diameter,Exit diameter,Convergent angle,Divergent length,"
              "Fillet entrance radius,Fillet convergent throat radius,Fillet divergent throat radius,"
              "Parabola initial angle,Parabola final angle\n,50,25,100,45,125,2,37.5,9.550000000000001,60,5\n\n"
              ",Coordinate x:,-1,0,2.5\n,Areas:,12.5,3.25,7");
}

TEST(NozzleCsv, SignificantDigits)
{
    // General notation: the exponent form below 1e-4 and from 10^digits on.
    NozzleCsvData d = threePoints();
    d.x = {1500, 0.5, 1.0 / 3, 0.0001234, 0.00001234};
    EXPECT_EQ(nozzleCsv(d, 0x04, ';', 3),
              "\nN\n;Coordinate x:;1.5e+03;0.5;0.333;0.000123;1.23e-05\n;Coordinate R:;2;1;1.5\n");
    d.x = {1.0 / 3};
    EXPECT_EQ(nozzleCsv(d, 0x08, ';', 16), "\nN\n;Coordinate x:;0.3333333333333333\n;Areas:;12.5;3.25;7");
}

TEST(NozzleImage, RangesGiveOneToOneScale)
{
    // Tall data in an 800 x 450 image: x widened about its centre to 10 * 800/450.
    AxisSpan x{0, 4}, y{0, 10};
    fitImageRanges(x, y, 800, 450, 1, 0.5);
    EXPECT_DOUBLE_EQ(x.lower, 2 - 80.0 / 9);
    EXPECT_DOUBLE_EQ(x.upper, 2 + 80.0 / 9);
    EXPECT_DOUBLE_EQ(y.upper, 10);
    // Long data: y gets the span 160 * 450/800 = 90, placed by the display mode.
    struct Case {
        int display;
        double lower, upper;
    };
    for (const Case& c : {Case{1, 0, 90}, Case{2, -45, 45}, Case{0, 12.5, 102.5}}) {
        AxisSpan xs{-60, 100}, ys{12.5, 50};
        fitImageRanges(xs, ys, 800, 450, c.display, 12.5);
        EXPECT_DOUBLE_EQ(xs.lower, -60) << c.display;
        EXPECT_DOUBLE_EQ(xs.upper, 100) << c.display;
        EXPECT_DOUBLE_EQ(ys.lower, c.lower) << c.display;
        EXPECT_DOUBLE_EQ(ys.upper, c.upper) << c.display;
    }
}
