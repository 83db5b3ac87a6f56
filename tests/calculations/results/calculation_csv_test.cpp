// The CSV text of the calculation export, byte for byte, on small hand-made runs: a
// pressure run with the parameter, rocket and thermodynamic blocks; a frozen finite-area
// run with transport, composition and every station under another separator and digit
// count (with names holding the separator); a grain run's burn series; and the export
// choices that are refused.
#include <QStringList>
#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/calculation_export.h"
#include "engine/rocket_variables.h"

using namespace calc;
using namespace calc::exportBit;

namespace {

RocketVariables runA()
{
    RocketVariables r;
    r.configurationName = "Run A";
    r.propellantName = "P1";
    r.nozzleName = "N1";
    r.givenPressure = 3e6;
    r.isODE = true;
    r.isIAC = true;
    r.calcTransport = true;
    r.ambientPressure = 1e5;
    r.reactantTemperature = 298.15;
    r.wallTemperature = 300.0;
    calc_test::threeStations(r);
    r.p = {2990000, 1700000, 100000};
    r.T = {1600, 1450, 900};
    r.rho = {6.5, 4.2, 0.5};
    r.h = {-1000, -2000.5, -3000};
    r.s = {7000, 7000, 7000};
    r.molecularWeight = {20, 20.5, 21};
    r.gamma = {1.2, 1.21, 1.25};
    r.cp = {2000, 1900, 1800};
    r.cv = {1666, 1570, 1440};
    r.soundSpeed = {900, 850, 700};
    r.u = {100, 850, 2500};
    r.mach = {0.111, 1, 3.571};
    r.massFlow = {2, 2, 2};
    r.injectorPressure = 3e6;
    r.chamberPressure = 3e6;
    r.chamberT = 1600.5;
    r.chamberRho = 6.6;
    r.chamberH = -900;
    r.chamberS = 7000;
    r.chamberMW = 19.9;
    r.chamberGamma = 1.19;
    r.chamberCp = 2100;
    r.chamberCv = 1764;
    r.chamberSoundSpeed = 910;
    r.thrust = 5400;
    r.specificImpulse = 2700;
    r.cStar = 1500;
    r.CE = 1.8;
    r.burnTime = -1;
    return r;
}

TEST(CalculationCsv, PressureRunWithParametersRocketAndThermo)
{
    const RocketVariables r = runA();
    EXPECT_EQ(calculationCsv({&r}, CurrentRun | Parameters | Rocket | Thermo, ';', 16),
              "Run A;\n"
              ";;Parameters;;;Rocket\n"
              ";Propellant;P1;;Chamber pressure;3000000\n"
              ";Nozzle;N1;;Combustion temperature;1600.5\n"
              ";Chamber pressure;3000000;;Thrust;5400\n"
              ";Calculation type;ODE;;Isp;2700\n"
              ";;;;C*;1500\n"
              ";Combustor area type;IAC;;CE;1.8\n"
              ";;;\n"
              ";Transport;true;\n"
              ";Ambient pressure;100000;\n"
              ";Reactant temperature;298.15;\n"
              ";Nozzle wall temperature;300;\n"
              "\n"
              ";;Combustion chamber;Nozzle entrance;Nozzle throat;Nozzle exit;\n"
              ";x coordinate;N/A;-0.05;0;0.1\n"
              ";Pressure;3000000;2990000;1700000;100000\n"
              ";Temperature;1600.5;1600;1450;900\n"
              ";Density;6.6;6.5;4.2;0.5\n"
              ";Enthalpy;-900;-1000;-2000.5;-3000\n"
              ";Entropy;7000;7000;7000;7000\n"
              ";Molecular weight;19.9;20;20.5;21\n"
              ";gamma;1.19;1.2;1.21;1.25\n"
              ";Cp;2100;2000;1900;1800\n"
              ";Cv;1764;1666;1570;1440\n"
              ";a;910;900;850;700\n"
              ";u;N/A;100;850;2500\n"
              ";M;N/A;0.111;1;3.571\n"
              ";G;N/A;2;2;2\n"
              "\n"
              "\n");
}

TEST(CalculationCsv, FrozenFiniteAreaRunWithTransportCompositionAndEveryStation)
{
    RocketVariables r = runA();
    r.configurationName = "Run, B";
    r.givenPressure = 2e6;
    r.isIAC = false;
    r.chamberArea = 0.004;
    r.ambientPressure = 0.0;
    r.reactantTemperature = 0.0; // reactants at their own temperatures: no row
    r.stationCount = 4;
    r.frozenIndex = 2;
    r.x = {-0.05, 0.0, 0.05, 0.1};
    r.area = {4e-3, 1e-3, 2e-3, 4e-3};
    r.resizeStations();
    r.conductivity = {0.5, 0.4, 0.3, 0.2};
    r.chamberConductivity = 0.55;
    r.viscosity = {1e-4, 9e-5, 8e-5, 7e-5};
    r.chamberViscosity = 1.1e-4;
    r.prandtl = {0.7, 0.71, 0.72, 0.73};
    r.chamberPrandtl = 0.69;
    r.calcHeatTransfer = false; // its row is "N/A", as in the result table
    r.speciesNames = {"H2O", "C,O"};
    r.moleFractions = {{0.5, 0.55, 0.6, 0.65}, {0.1, 0.09, 0.08, 0.07}};
    r.chamberMoleFractions = {0.45, 0.11};
    const std::string parameters = "\"Run, B\",\n"
                                   ",,Parameters,\n"
                                   ",Propellant,P1,\n"
                                   ",Nozzle,N1,\n"
                                   ",Chamber pressure,2e+06,\n" // 6 digits: exponent 6 is not below the precision
                                   ",Calculation type,ODE,\n"
                                   ",Frozen,0.05,\n"
                                   ",Combustor area type,FAC,\n"
                                   ",Combustor area,0.004,\n"
                                   ",Transport,true,\n"
                                   ",Ambient pressure,0,\n"
                                   "\n"
                                   ",Nozzle wall temperature,300,\n"
                                   "\n";
    const std::string header = ",,Combustion chamber,Nozzle entrance,Nozzle throat,Nozzle exit,Frozen point\n"
                               ",x coordinate,N/A,-0.05,0,0.1,0.05,,-0.05,0,0.05,0.1\n";
    EXPECT_EQ(calculationCsv({&r}, AllRuns | Parameters | Transport | Composition | AllStations, ',', 6),
              parameters + header
                      + ",Conductivity,0.55,0.5,0.4,0.2,0.3,,0.5,0.4,0.3,0.2\n"
                        ",Viscosity,0.00011,0.0001,9e-05,7e-05,8e-05,,0.0001,9e-05,8e-05,7e-05\n"
                        ",Prandtl,0.69,0.7,0.71,0.73,0.72,,0.7,0.71,0.72,0.73\n"
                        ",Convective heat transfer coefficient,N/A,N/A,N/A,N/A,N/A,,N/A,N/A,N/A,N/A\n"
                        ",H2O,0.45,0.5,0.55,0.65,0.6,,0.5,0.55,0.6,0.65\n"
                        ",\"C,O\",0.11,0.1,0.09,0.07,0.08,,0.1,0.09,0.08,0.07\n"
                        "\n"
                        "\n");

    // Every station and the parameters only: the header and the coordinates, no variable.
    EXPECT_EQ(calculationCsv({&r}, CurrentRun | AllStations | Parameters, ',', 6), parameters + header + "\n\n");
}

RocketVariables grainRun()
{
    RocketVariables r;
    r.configurationName = "G run";
    r.isGrain = true;
    r.grainName = "Tube";
    r.injectorPressure = 2.5e6;
    r.chamberT = 1700;
    r.thrust = 250;
    r.specificImpulse = 1500;
    r.cStar = 900;
    r.CE = 1.6;
    r.burnTime = 3;
    r.burnPoints = 3;
    r.burnTimes = {0, 1, 3};
    r.burnChamberPressure = {2e6, 2.5e6, 3e6};
    r.burnChamberT = {1650, 1700, 1750};
    r.burnThrust = {100, 200, 400};
    r.burnIsp = {1490, 1500, 1510};
    r.burnCStar = {890, 900, 910};
    r.burnCE = {1.5, 1.6, 1.7};
    r.burnMassFlow = {0.1, 0.15, 0.2};
    r.burnRate = {0.005, 0.006, 0.007};
    return r;
}

TEST(CalculationCsv, GrainRunWritesItsBurnSeriesOnlyWithEveryStation)
{
    RocketVariables r = grainRun();
    EXPECT_EQ(calculationCsv({&r}, AllRuns | Rocket | AllStations, ';', 16),
              "G run;\n"
              ";;Rocket\n"
              ";Chamber pressure;2500000\n"
              ";Combustion temperature;1700\n"
              ";Thrust;250\n"
              ";Isp;1500\n"
              ";C*;900\n"
              ";CE;1.6\n"
              ";Combustion time;3\n"
              "\n\n\n\n"
              "\n"
              ";Time;0;1;3\n"
              ";Chamber pressure;2000000;2500000;3000000\n"
              ";Combustion temperature;1650;1700;1750\n"
              ";Thrust;100;200;400\n"
              ";Isp;1490;1500;1510\n"
              ";c*;890;900;910\n"
              ";CE;1.5;1.6;1.7\n"
              ";Mass flow;0.1;0.15;0.2\n"
              ";Burn rate;0.005;0.006;0.007\n"
              "\n");
    // A table option without every station: the name line and the closing empty line.
    EXPECT_EQ(calculationCsv({&r}, AllRuns | Thermo, ';', 16), "G run;\n\n");
    // The grain names the grain in row 3.
    const std::string start = "G run;\n;;Parameters;\n;Propellant;;\n;Nozzle;;\n;Grain;Tube;\n";
    EXPECT_EQ(calculationCsv({&r}, AllRuns | Parameters, ';', 16).substr(0, start.size()), start);
    // No burn step: nine empty lines.
    r.burnPoints = 0;
    EXPECT_EQ(calculationCsv({&r}, AllRuns | AllStations, ';', 16), "G run;\n" + std::string(9, '\n') + "\n");

    // Two runs follow each other in list order.
    const RocketVariables a = runA();
    const std::string both = calculationCsv({&a, &r}, AllRuns | Thermo, ';', 16);
    EXPECT_EQ(both.substr(0, 7), "Run A;\n");
    EXPECT_EQ(both.substr(both.size() - 8), "G run;\n\n");
}

TEST(ExportChoice, RefusalsFollowTheChosenBits)
{
    struct Case {
        uint32_t mask;
        int current;
        const char* refusal;
    };
    const Case cases[] = {
            {CurrentRun, 0, "No items were selected to be exported"},
            {AllRuns, -1, "No items were selected to be exported"},
            {CurrentRun | Thermo, -1, "No configuration currently selected"},
            {CurrentRun | GraphThermo, -1, "No configuration currently selected"},
            // The graph now shown needs no selected run.
            {CurrentRun | CurrentGraph, -1, ""},
            {CurrentRun | Thermo, 0, ""},
            {AllRuns | Thermo, -1, ""},
    };
    for (const Case& c : cases) {
        const auto refusal = exportRefusal(c.mask, c.current);
        EXPECT_EQ(refusal.value_or(QString()), c.refusal) << c.mask;
    }
    EXPECT_TRUE(csvChosen(CurrentRun | Parameters));
    EXPECT_FALSE(csvChosen(CurrentRun | AllStations)); // every station alone writes no file
    EXPECT_FALSE(csvChosen(CurrentRun | CurrentGraph));
}

TEST(ExportChoice, GraphSeriesImagesInTheOrderTheyAreWritten)
{
    // Two pressure runs: one with two species, one with three. A composition image draws
    // every run holding its species, so the series goes to species 2 and stops.
    RocketVariables two = runA();
    two.speciesNames = {"H2O", "H2"};
    two.moleFractions = {{0.6, 0.6, 0.6}, {0.4, 0.4, 0.4}};
    RocketVariables three = two;
    three.speciesNames.push_back("OH");
    three.moleFractions.push_back({0.1, 0.1, 0.1});

    // Every run: 13 thermodynamic images, 4 transport ones (rows 13..16), 3 composition
    // ones (rows 17..19, species 0..2), then the 8 burn-time images of the grain runs.
    const std::vector<SeriesImage> all = graphSeriesImages(
            AllRuns | GraphThermo | GraphTransport | GraphComposition | GraphTime, -1, false, {&two, &three});
    ASSERT_EQ(all.size(), 13u + 4u + 3u + 8u);
    EXPECT_EQ(all[0].selector, 0);
    EXPECT_EQ(all[0].type, 0);
    EXPECT_EQ(all[0].species, -1);
    EXPECT_EQ(all[13].type, 13);
    EXPECT_EQ(all[16].type, 16);
    const QStringList composition = {all[17].suffix, all[18].suffix, all[19].suffix};
    EXPECT_EQ(composition, QStringList({"_Comp_0.png", "_Comp_1.png", "_Comp_2.png"}));
    EXPECT_EQ(all[19].type, 19);
    EXPECT_EQ(all[19].species, 2);
    for (std::size_t k = 20; k < all.size(); ++k) {
        EXPECT_EQ(all[k].selector, 1) << k; // "Plot all (time dependant)"
        EXPECT_EQ(all[k].species, -1) << k;
        EXPECT_TRUE(all[k].suffix.endsWith(".png")) << k;
    }
    for (const SeriesImage& image : all)
        EXPECT_TRUE(image.suffix.startsWith("_")) << image.suffix.toStdString();

    // The current run draws the groups of its own kind, on its own selector entry (run 1
    // is the third entry of the plot view).
    const std::vector<SeriesImage> pressure
            = graphSeriesImages(CurrentRun | GraphComposition | GraphTime, 1, false, {&two});
    ASSERT_EQ(pressure.size(), 2u);
    EXPECT_EQ(pressure[1].selector, 3);
    EXPECT_EQ(pressure[1].suffix, "_Comp_1.png");
    const std::vector<SeriesImage> grain
            = graphSeriesImages(CurrentRun | GraphThermo | GraphComposition | GraphTime, 0, true, {});
    ASSERT_EQ(grain.size(), 8u);
    EXPECT_EQ(grain.front().selector, 2);
    EXPECT_EQ(grain.front().type, 0);
    EXPECT_EQ(grain.back().type, 7);

    // No run holding species 0 (a run without species, or no run): no composition image.
    const RocketVariables bare = runA();
    EXPECT_TRUE(graphSeriesImages(AllRuns | GraphComposition, -1, false, {&bare}).empty());
    EXPECT_TRUE(graphSeriesImages(AllRuns | GraphComposition, -1, false, {}).empty());
}

} // namespace
