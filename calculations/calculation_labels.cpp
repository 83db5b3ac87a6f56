#include "calculations/calculation_labels.h"

namespace calc {

QStringList stationaryVariables()
{
    return {"Pressure [Pa]",
            "Temperature [K]",
            "Density [kg/m^3]",
            "Enthalpy [J/kg]",
            "Entropy [J/(kg K)]",
            "Mixture molecular weight [kg/kg-mol]",
            "Gamma [-]",
            "Cp [J/(kg K)]",
            "Cv [J/(kg K)]",
            "Velocity of sound [m/s]",
            "Fluid Velocity [m/s]",
            "Mach number [-]",
            "Mass flow [kg/s]",
            "Conductivity [W/(m K)]",
            "Viscosity [Pa s]",
            "Prandtl [-]",
            "Convective heat coefficient [J/(m^2 s K)]",
            "Specie molar fraction [-]"};
}

QStringList timeVariables()
{
    return {"Chamber Pressure [Pa]",
            "Combustion temperature [K]",
            "Thrust [N]",
            "Specific impulse [m/s]",
            "c* [m/s]",
            "CE [-]",
            "Mass flow [kg/s]",
            "burn rate [m/s]"};
}

QStringList normalisedStationaryVariables()
{
    // Subscripts: U+2080 (0), U+2091 (e), U+2093 (x); rho U+03C1, gamma U+03B3, mu U+03BC.
    return {QString::fromUtf8("P/P\u2080"),           QString::fromUtf8("T/T\u2080"),
            QString::fromUtf8("\u03c1/\u03c1\u2080"), QString::fromUtf8("h/h\u2091"),
            QString::fromUtf8("s/s\u2080"),           QString::fromUtf8("MM/MM\u2080"),
            QString::fromUtf8("\u03b3/\u03b3\u2080"), QString::fromUtf8("Cp/Cp\u2080"),
            QString::fromUtf8("Cv/Cv\u2080"),         QString::fromUtf8("a/a\u2080"),
            QString::fromUtf8("u/u\u2091"),           QString::fromUtf8("M/M\u2091"),
            QString::fromUtf8("m/m\u2080"),           QString::fromUtf8("q/q\u2080"),
            QString::fromUtf8("\u03bc/\u03bc\u2080"), QString::fromUtf8("Pr/Pr\u2080"),
            QString::fromUtf8("hb/hb\u2093"),         "Specie molar fraction [-]"};
}

QStringList normalisedTimeVariables()
{
    return {QString::fromUtf8("P/P\u2093"), QString::fromUtf8("T/T\u2093"),   QString::fromUtf8("F/F\u2093"),
            QString::fromUtf8("I/I\u2093"), QString::fromUtf8("c*/c*\u2093"), QString::fromUtf8("CE/CE\u2093"),
            QString::fromUtf8("m/m\u2093"), QString::fromUtf8("r/r\u2093")};
}

QStringList stationTableColumns()
{
    return {"Combustion chamber", "Nozzle entrance", "Nozzle throat", "Nozzle exit", "Nozle frozen point"};
}

QStringList burnTableColumns()
{
    return {"t=0", "t=t_b/2", "t=t_b"};
}

QStringList thermoImageLabels()
{
    return {"Pressure [Pa]",
            "Temperature [K]",
            "Density [kg_m3]",
            "Enthalpy [J_kg]",
            "Entropy [J_(kg K)]",
            "Mixture molecular weight [kg_kg-mol]",
            "Gamma [-]",
            "Cp [J_(kg K)]",
            "Cv [J_(kg K)]",
            "Velocity of sound [m_s]",
            "Fluid Velocity [m_s]",
            "Mach number [-]",
            "Mass flow [kg_s]"};
}

QStringList transportImageLabels()
{
    return {"Conductivity [W_(m K)]", "Viscosity [Pa s]", "Prandtl [-]", "Convective heat coefficient [J_(m2 s K)]"};
}

QStringList timeImageLabels()
{
    return {"Chamber Pressure [Pa]",
            "Combustion temperature [K]",
            "Thrust [N]",
            "Specific impulse [m_s]",
            "c* [m_s]",
            "CE [-]",
            "Mass flow [kg_s]",
            "burn rate [m_s]"};
}

} // namespace calc
