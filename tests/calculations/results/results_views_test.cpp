// What the result table and the plot show of a run: the table's rows and columns in the
// station and burn views, the plotted series with their normalisation and names, and
// the colour sequence of the graphs.
#include <gtest/gtest.h>

#include "calculations/plot_series.h"
#include "calculations/results_table.h"
#include "engine/rocket_variables.h"

using namespace calc;

namespace {

// Four stations, throat 1; six species.
RocketVariables stationRun()
{
    RocketVariables r;
    r.stationCount = 4;
    r.throatIndex = 1;
    r.frozenIndex = 4;
    r.x = {-0.02, 0.0, 0.03, 0.06};
    r.area = {3e-3, 1e-3, 2e-3, 4e-3};
    r.resizeStations();
    r.p = {2.9e6, 1.7e6, 4e5, 1e5};
    r.rho = {8.0, 5.0, 1.0, 0.4};
    r.h = {-100.0, -500.0, -1500.0, -2000.0};
    r.s = {9000, 9000, 9000, 9000};
    r.u = {100.0, 1000.0, 2000.0, 2500.0};
    r.mach = {0.1, 1.0, 2.0, 3.0};
    r.conductivity = {0.4, 0.3, 0.2, 0.1};
    r.bartzH = {500, 2000, 800, 300};
    r.injectorPressure = 3.1e6;
    r.chamberPressure = 3e6;
    r.chamberT = 3000.0;
    r.chamberS = 9000;
    r.calcTransport = true;
    r.calcHeatTransfer = false;
    for (const char* s : {"H2O", "H2", "OH", "H", "O2", "O"}) {
        r.speciesNames.push_back(s);
        r.moleFractions.push_back({0.1, 0.2, 0.3, 0.4});
    }
    r.moleFractions[0] = {0.6, 0.62, 0.64, 0.66};
    r.chamberMoleFractions = {0.59, 0.2, 0.1, 0.05, 0.03, 0.03};
    return r;
}

TEST(ResultTable, StationViewRowsColumnsAndNotAvailableCells)
{
    RocketVariables r = stationRun();
    ResultTable t = stationTable(r, 10);
    EXPECT_EQ(t.columns,
              QStringList(
                      {"Combustion chamber", "Nozzle entrance", "Nozzle throat", "Nozzle exit", "Nozle frozen point"}));
    ASSERT_EQ(t.rows.size(), 23); // 17 fixed rows and six species
    EXPECT_EQ(t.rows[0], "Pressure [Pa]");
    EXPECT_EQ(t.rows[16], "Convective heat coefficient [J/(m^2 s K)]");
    EXPECT_EQ(t.rows[17], "H2O");
    EXPECT_FALSE(t.frozenColumnShown);
    // Chamber column: the pressure shown for the run; no velocity, Mach number or flow.
    EXPECT_EQ(t.cells[0][0], "3100000");
    for (int row : {10, 11, 12})
        EXPECT_EQ(t.cells[row][0], "N/A") << row;
    // Entrance, throat, exit.
    EXPECT_EQ(t.cells[0][1], "2900000");
    EXPECT_EQ(t.cells[0][2], "1700000");
    EXPECT_EQ(t.cells[0][3], "100000");
    EXPECT_EQ(t.cells[11][2], "1");
    // Wall heat not computed: its row is "N/A" everywhere; transport is shown.
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(t.cells[16][c], "N/A") << c;
    EXPECT_EQ(t.cells[13][3], "0.1");
    EXPECT_EQ(t.cells[17][0], "0.59");
    EXPECT_EQ(t.cells[17][3], "0.66");

    // Without transport, rows 13 to 15 are "N/A" in every column; frozen at station 2,
    // the fifth column shows that station.
    r.calcTransport = false;
    r.frozenIndex = 2;
    t = stationTable(r, 10);
    for (int row : {13, 14, 15})
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(t.cells[row][c], "N/A") << row << c;
    EXPECT_TRUE(t.frozenColumnShown);
    EXPECT_EQ(t.cells[0][4], "400000");
}

TEST(ResultTable, BurnViewSamplesStartMiddleAndEnd)
{
    RocketVariables r;
    r.isGrain = true;
    r.burnPoints = 5;
    r.burnTime = 4.0;
    r.burnTimes = {0.0, 1.0, 2.0, 3.0, 4.0};
    r.burnThrust = {10, 20, 30, 40, 50};
    for (auto* s :
         {&r.burnChamberPressure, &r.burnChamberT, &r.burnIsp, &r.burnCStar, &r.burnCE, &r.burnMassFlow, &r.burnRate})
        s->assign(5, 1.0);
    // The first sample beyond half the burn (2 s) is the fourth.
    EXPECT_EQ(burnSamples(r), (std::array<std::size_t, 3>{0, 3, 4}));
    const ResultTable t = burnTable(r, 10);
    EXPECT_EQ(t.columns, QStringList({"t=0", "t=t_b/2", "t=t_b"}));
    ASSERT_EQ(t.rows.size(), 8);
    EXPECT_EQ(t.rows[2], "Thrust [N]");
    EXPECT_EQ(t.cells[2], (std::vector<QString>{"10", "40", "50"}));
    // No sample beyond half the burn: half the sample count.
    r.burnTime = 100.0;
    EXPECT_EQ(burnSamples(r)[1], 2u);
    // No sample at all: nothing to show, nothing read.
    r.burnPoints = 0;
    r.burnTimes.clear();
    EXPECT_EQ(burnTable(r, 10).cells[0][0], "N/A");
}

TEST(PlotSeries, PlainAndNormalisedStationVariables)
{
    const RocketVariables r = stationRun();
    PlotSeries s = stationSeries(r, 0, false);
    ASSERT_TRUE(s.drawn);
    EXPECT_EQ(s.x, r.x);
    EXPECT_EQ(s.y, r.p);
    EXPECT_EQ(s.suffix, "_Pressure [Pa]");

    // P by the chamber pressure; density starts at 1; enthalpy and Mach number end at 1;
    // entropy by the chamber's; the heat coefficient by its throat value.
    s = stationSeries(r, 0, true);
    EXPECT_DOUBLE_EQ(s.y[0], 2.9e6 / 3e6);
    EXPECT_EQ(s.suffix, QString::fromUtf8("_P/P\u2080"));
    s = stationSeries(r, 2, true);
    EXPECT_DOUBLE_EQ(s.y[0], 1.0);
    EXPECT_EQ(s.suffix, QString::fromUtf8("_\u03c1/\u03c1\u2080"));
    s = stationSeries(r, 3, true);
    EXPECT_DOUBLE_EQ(s.y[3], 1.0);
    EXPECT_DOUBLE_EQ(s.y[0], 0.05);
    EXPECT_EQ(s.suffix, QString::fromUtf8("_h/h\u2091"));
    EXPECT_DOUBLE_EQ(stationSeries(r, 11, true).y[3], 1.0);
    EXPECT_DOUBLE_EQ(stationSeries(r, 4, true).y[2], 1.0);
    s = stationSeries(r, 16, true);
    EXPECT_DOUBLE_EQ(s.y[1], 1.0);
    EXPECT_EQ(s.suffix, QString::fromUtf8("_hb/hb\u2093"));

    // Transport variables of a run without transport: no graph.
    RocketVariables noTransport = r;
    noTransport.calcTransport = false;
    for (int type : {13, 14, 15})
        EXPECT_FALSE(stationSeries(noTransport, type, false).drawn) << type;
    EXPECT_TRUE(stationSeries(noTransport, 16, false).drawn);
    // Beyond the list: nothing.
    EXPECT_FALSE(stationSeries(r, 17, false).drawn);
    EXPECT_FALSE(stationSeries(r, -1, false).drawn);
}

TEST(PlotSeries, SpeciesAndBurnTimeSeries)
{
    const RocketVariables r = stationRun();
    PlotSeries s = speciesSeries(r, 1);
    ASSERT_TRUE(s.drawn);
    EXPECT_EQ(s.suffix, "_molar fraction of 'H2'");
    EXPECT_EQ(s.y, r.moleFractions[1]);
    EXPECT_FALSE(speciesSeries(r, 6).drawn);

    RocketVariables g;
    g.isGrain = true;
    g.burnPoints = 3;
    g.burnTimes = {0.0, 0.5, 1.0};
    g.burnThrust = {100.0, 300.0, 200.0};
    g.burnCE = {-2.0, -1.0, -4.0};
    s = timeSeries(g, 2, true);
    EXPECT_EQ(s.x, g.burnTimes);
    EXPECT_EQ(s.y, (std::vector<double>{100.0 / 300.0, 1.0, 200.0 / 300.0}));
    EXPECT_EQ(s.suffix, QString::fromUtf8("_F/F\u2093"));
    // Divided by the largest value, the sign kept: -1 is the largest of -2, -1, -4.
    EXPECT_EQ(timeSeries(g, 5, true).y, (std::vector<double>{2.0, 1.0, 4.0}));
    EXPECT_EQ(timeSeries(g, 7, false).suffix, "_burn rate [m/s]");
    EXPECT_FALSE(timeSeries(g, 8, false).drawn);
}

TEST(PlotSeries, ColoursOfTheFirstSevenGraphsThenRandom)
{
    const Qt::GlobalColor expected[] = {Qt::red, Qt::blue, Qt::green, Qt::yellow, Qt::black, Qt::magenta, Qt::cyan};
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(graphColour(n), expected[n - 1]) << n;
    EXPECT_FALSE(graphColour(8));
    EXPECT_FALSE(graphColour(0));
    EXPECT_EQ(readOut(0.05, 1234.5, false, 10), "x:0.05 m\ny:1234.5");
    EXPECT_EQ(readOut(2.0, 3.0, true, 10), "x:2 s\ny:3");
}

TEST(PlotSeries, RowsARunCannotDrawAreOfferedDisabled)
{
    // Rows 13..15 are the transport properties, 16 the wall heat coefficient.
    struct Case {
        bool transport, wallHeat;
        int current;
        std::vector<int> disabled;
        int currentAfter;
    };
    const Case cases[] = {
            {true, true, 14, {}, 14},
            {false, true, 14, {13, 14, 15}, 0},
            {false, true, 16, {13, 14, 15}, 16},
            {true, false, 16, {16}, 0},
            {true, false, 15, {16}, 15},
            {false, false, 3, {13, 14, 15, 16}, 3},
            {false, false, 16, {13, 14, 15, 16}, 0},
            {false, false, 17, {13, 14, 15, 16}, 17}, // the species entry stays
    };
    for (const Case& c : cases) {
        const StationRows rows = stationRowsFor(c.transport, c.wallHeat, c.current);
        EXPECT_EQ(rows.disabled, c.disabled) << c.transport << c.wallHeat << c.current;
        EXPECT_EQ(rows.current, c.currentAfter) << c.transport << c.wallHeat << c.current;
    }
}

TEST(PlotSeries, SpeciesAbsentAtEveryStationAreOfferedDisabled)
{
    RocketVariables r = stationRun();
    r.moleFractions[2] = {0.0, 0.0, 0.0, 0.0}; // OH never formed
    r.moleFractions[3] = {0.0, 0.0, 0.0, 1e-30}; // H at the exit only
    r.moleFractions.pop_back(); // "O" named but without fractions
    const std::vector<std::pair<std::string, bool>> expected
            = {{"H2O", false}, {"H2", false}, {"OH", true}, {"H", false}, {"O2", false}, {"O", true}};
    EXPECT_EQ(speciesOffer(r), expected);
}

} // namespace
