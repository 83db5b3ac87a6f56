// The propellant export's CSV text.
#include <gtest/gtest.h>

#include "propellant/propellant_export.h"

namespace {

PropellantCsvContent example()
{
    PropellantCsvContent c;
    c.name = "Prop_A";
    c.composition = {{"R1", 70.0}, {"R2", 30.0}};
    c.hasSolidData = true;
    c.density = 1.8;
    c.pressureLimits = {{10.0, 1.0}}; // (upper, lower)
    c.coefficients = {2.5};
    c.exponents = {0.4};
    c.species = {"H2", "H2O", "O2"};
    c.reactions = {"H + H = H2"};
    return c;
}

TEST(PropellantCsv, WorkedExample)
{
    const std::string expected = "\n"
                                 "Prop_A\n"
                                 ";Reactants:;R1;R2\n"
                                 ";Relative masses:;70;30\n"
                                 "\n"
                                 ";Density: ;1.8\n"
                                 "\n"
                                 ";Pmin;Pmax;Vielle - a;Vielle - n\n"
                                 ";1;10;2.5;0.4\n"
                                 "\n";
    EXPECT_EQ(propellantCsv(example(), propellantExport::Composition | propellantExport::Data, ';', 16), expected);
}

TEST(PropellantCsv, BlocksByBit)
{
    PropellantCsvContent c = example();
    c.pressureLimits = {{10.0, 1.0}, {0.0, 10.0}}; // the last open above
    c.coefficients = {2.5, 3.1};
    c.exponents = {0.4, 0.35};
    EXPECT_EQ(propellantCsv(c, propellantExport::Data, ',', 16),
              "\nProp_A\n,Density: ,1.8\n\n,Pmin,Pmax,Vielle - a,Vielle - n\n,1,10,2.5,0.4\n,10,0,3.1,0.35\n\n");
    EXPECT_EQ(propellantCsv(c, propellantExport::Species | propellantExport::Reactions, ';', 16),
              "\nProp_A\n;Considered species:;H2;H2O;O2\n;Considered reactions:;H + H = H2\n\n");
    EXPECT_EQ(propellantCsv(c, propellantExport::Reactions, ';', 16),
              "\nProp_A\n;Considered reactions:;H + H = H2\n\n");
    // Without solid data the data block is left out.
    c.hasSolidData = false;
    EXPECT_EQ(propellantCsv(c, propellantExport::Data, ';', 16), "\nProp_A\n");
    // Significant digits as asked, "." whatever the desktop's locale.
    c.composition = {{"R1", 2.0 / 3.0}};
    EXPECT_EQ(propellantCsv(c, propellantExport::Composition, ';', 4),
              "\nProp_A\n;Reactants:;R1\n;Relative masses:;0.6667\n\n");
}

} // namespace
