#include "core/flag_codes.h"

// Message lines are shown to the user exactly as written here, spelling included.
// clang-format off
const std::array<FlagCode, 80> flagCodes = {{
    {"SP00", FlagWord::SP, 1u << 0, Severity::Warning,
     "SP00 - Unknown error"},
    {"SP01", FlagWord::SP, 1u << 1, Severity::Warning,
     "SP01 - One of the species used in last calculation was at a temperature under its Cp definition range"},
    {"SP02", FlagWord::SP, 1u << 2, Severity::Warning,
     "SP02 - One of the species used in last calculation was at a temperature over its Cp definition range"},
    {"SP03", FlagWord::SP, 1u << 3, Severity::Warning,
     "SP03 - One of the species used in last calculation was at a temperature under its viscosity definition range"},
    {"SP04", FlagWord::SP, 1u << 4, Severity::Warning,
     "SP04 - One of the species used in last calculation was at a temperature over its viscosity definition range"},
    {"SP05", FlagWord::SP, 1u << 5, Severity::Warning,
     "SP05 - One of the species used in last calculation was at a temperature under its conductivity definition range"},
    {"SP06", FlagWord::SP, 1u << 6, Severity::Warning,
     "SP06 - One of the species used in last calculation was at a temperature over its conductivity definition range"},
    {"SP07", FlagWord::SP, 1u << 7, Severity::Warning,
     "SP07 - One of the species used in last calculation had no viscosity defined, but computing it was attempted"},
    {"SP08", FlagWord::SP, 1u << 8, Severity::Warning,
     "SP08 - One of the species used in last calculation had no conductivity defined, but computing it was attempted"},
    {"SP09", FlagWord::SP, 1u << 9, Severity::Warning,
     "SP09 - One of the species used in last calculation was only defined for a single temperature"},
    {"SP10", FlagWord::SP, 1u << 10, Severity::Warning,
     "SP10 - Reached maximum number of iterations for equilibrium calculation"},
    {"SP11", FlagWord::SP, 1u << 11, Severity::Warning,
     "SP11 - Transport properties for mixture were attempted to be computed, but no specie has transport properties defined"},
    {"SP12", FlagWord::SP, 1u << 12, Severity::Warning,
     "SP12 - Reached maximum number of iterations for ion balance in equilirbium calculation"},
    {"SP13", FlagWord::SP, 1u << 13, Severity::Warning,
     "SP13 - One or more reactions had efficiencies for a third body not present in the mixture"},
    {"SP14", FlagWord::SP, 1u << 14, Severity::Warning,
     "SP14 - Species compositions were reset during equilibrium calculations in order to reintroduce an atom in the mixture"},
    {"SP15", FlagWord::SP, 1u << 15, Severity::Warning,
     "SP15 - Computation of equilibrium conductivity failed, frozen value given instead."},
    {"SP16", FlagWord::SP, 1u << 16, Severity::Warning,
     "SP16 - Computation of equilibrium gaseous cp failed, frozen value used in Pr computations."},
    {"SP17", FlagWord::SP, 1u << 17, Severity::Warning,
     "SP17 - Transport properties for mixture were computed leaving out species without transport properties defined, which made more than 1% of the gas"},
    {"ODE00", FlagWord::ODE, 1u << 0, Severity::Warning,
     "ODE00 - Maximum number of iterations for throat calculation reached"},
    {"ODE01", FlagWord::ODE, 1u << 1, Severity::Warning,
     "ODE01 - Maximum number of iterations for nozzle point pressure convergence reached"},
    {"ODE02", FlagWord::ODE, 1u << 2, Severity::Warning,
     "ODE02 - Maximum number of iterations for frozen temperature calculation reached"},
    {"ODE03", FlagWord::ODE, 1u << 3, Severity::Warning,
     "ODE03 - Maximum number of iterations for frozen throat calculation reached"},
    {"ODE04", FlagWord::ODE, 1u << 4, Severity::Warning,
     "ODE04 - Maximum number of iterations for FAC initial conditions reached"},
    {"ODK00", FlagWord::ODK, 1u << 0, Severity::Critical,
     "ODK00 - Error during initialization of differential equations solver"},
    {"ODK01", FlagWord::ODK, 1u << 1, Severity::Critical,
     "ODK01 - Error during calculations of differential equations solver"},
    {"ODK02", FlagWord::ODK, 1u << 2, Severity::Critical,
     "ODK02 - Error during closure of differential equations solver"},
    {"ODK03", FlagWord::ODK, 1u << 3, Severity::Warning,
     "ODK03 - Invalid point at which calculation changes from given area to given pressure"},
    {"ODK04", FlagWord::ODK, 1u << 4, Severity::Warning,
     "ODK04 - Invalid point at which calculation changes from given pressure back to given area"},
    {"ODK05", FlagWord::ODK, 1u << 5, Severity::Warning,
     "ODK05 - Reached maximum number of iterations for global convergence of ODK problem"},
    {"ODK06", FlagWord::ODK, 1u << 6, Severity::Warning,
     "ODK06 - Reached maximum number of iterations for throat convergence of ODK problem"},
    {"ODK07", FlagWord::ODK, 1u << 7, Severity::Warning,
     "ODK07 - Reached maximum number of iterations for near-throat points convergence in ODK"},
    {"ODK08", FlagWord::ODK, 1u << 8, Severity::Warning,
     "ODK08 - Reached maximum number of iterations for mass-flow convergence in ODK"},
    {"V00", FlagWord::V, 1u << 0, Severity::Warning,
     "V00 - Pressure under definition of Vielle's parameters"},
    {"V01", FlagWord::V, 1u << 1, Severity::Warning,
     "V01 - Pressure over definition of Vielle's parameters"},
    {"V02", FlagWord::V, 1u << 2, Severity::Warning,
     "V02 - Maximum number of iterations for pressure calculations reached"},
    {"OPT00", FlagWord::V, 1u << 3, Severity::Warning,
     "OPT00 - Maximum number of iterations for optimization reached"},
    {"OPT01", FlagWord::V, 1u << 4, Severity::Warning,
     "OPT01 - Early exit from optimization procedure"},
    {"U", FlagWord::Unit, 1u << 0, Severity::Critical,
     "U - A unit conversion failed, unit not defined in program"},
    {"L00", FlagWord::L, 1u << 0, Severity::Critical,
     "L00 - All considered species have the same element ratio as that of the reactants"},
    {"L01", FlagWord::L, 1u << 1, Severity::Critical,
     "L01 - At least one condensed specie's elements are a linear combination of the others"},
    {"L02", FlagWord::L, 1u << 2, Severity::Critical,
     "L02 - No gaseous species were included in the calculation"},
    {"L03", FlagWord::L, 1u << 3, Severity::Critical,
     "L03 - At least one positive and one negative ion must be considered (or none at all)"},
    {"L04", FlagWord::L, 1u << 4, Severity::Critical,
     "L04 - One of the species present in the propellant definition was not found in the database"},
    {"L05", FlagWord::L, 1u << 5, Severity::Critical,
     "L05 - One of the reactants present in the propellant definition was not found in the database"},
    {"L06", FlagWord::L, 1u << 6, Severity::Critical,
     "L06 - One of the reactions present in the propellant definition was not found in the database"},
    {"L07", FlagWord::L, 1u << 7, Severity::Critical,
     "L07 - Propellant load failed for an undetermined reason (probably a file could not be accessed or was corrupted)"},
    {"L08", FlagWord::L, 1u << 8, Severity::Critical,
     "L08 - Nozzle load failed for an undetermined reason (probably a file could not be accessed or was corrupted)"},
    {"L09", FlagWord::L, 1u << 9, Severity::Critical,
     "L09 - Grain load failed for an undetermined reason (probably a file could not be accessed or was corrupted)"},
    {"F00", FlagWord::F, 1u << 0, Severity::Warning,
     "F00 - Species file could not be found at the location given in preferences"},
    {"F01", FlagWord::F, 1u << 1, Severity::Critical,
     "F01 - Species file could not be found at the default location"},
    {"F02", FlagWord::F, 1u << 2, Severity::Warning,
     "F02 - Reactants file could not be found at the location given in preferences"},
    {"F03", FlagWord::F, 1u << 3, Severity::Critical,
     "F03 - Reactants file could not be found at the default location"},
    {"F04", FlagWord::F, 1u << 4, Severity::Warning,
     "F04 - Kinetics file could not be found at the location given in preferences"},
    {"F05", FlagWord::F, 1u << 5, Severity::Critical,
     "F05 - Kinetics file could not be found at the default location"},
    {"F06", FlagWord::F, 1u << 6, Severity::Warning,
     "F06 - Propellants file could not be found at the location given in preferences"},
    {"F07", FlagWord::F, 1u << 7, Severity::Critical,
     "F07 - Propellants file could not be found at the default location"},
    {"F08", FlagWord::F, 1u << 8, Severity::Warning,
     "F08 - Nozzles file could not be found at the location given in preferences"},
    {"F09", FlagWord::F, 1u << 9, Severity::Critical,
     "F09 - Nozzles file could not be found at the default location"},
    {"F10", FlagWord::F, 1u << 10, Severity::Warning,
     "F10 - Grains file could not be found at the location given in preferences"},
    {"F11", FlagWord::F, 1u << 11, Severity::Critical,
     "F11 - Grains file could not be found at the default location"},
    {"F12", FlagWord::F, 1u << 12, Severity::Warning,
     "F12 - Configurations file could not be found at the location given in preferences"},
    {"F13", FlagWord::F, 1u << 13, Severity::Critical,
     "F13 - Configurations file could not be found at the default location"},
    {"F14", FlagWord::F, 1u << 14, Severity::Warning,
     "F14 - Preferences file could not be found at the location given in default preferences"},
    {"F15", FlagWord::F, 1u << 15, Severity::Critical,
     "F15 - Preferences file could not be found at the default location"},
    {"F16", FlagWord::F, 1u << 16, Severity::Warning,
     "F16 - Species file at the location given in preferences was corrupted"},
    {"F17", FlagWord::F, 1u << 17, Severity::Critical,
     "F17 - Species file at the default location was corrupted"},
    {"F18", FlagWord::F, 1u << 18, Severity::Warning,
     "F18 - Reactants file at the location given in preferences was corrupted"},
    {"F19", FlagWord::F, 1u << 19, Severity::Critical,
     "F19 - Reactants file at the default location was corrupted"},
    {"F20", FlagWord::F, 1u << 20, Severity::Warning,
     "F20 - Kinetics file at the location given in preferences was corrupted"},
    {"F21", FlagWord::F, 1u << 21, Severity::Critical,
     "F21 - Kinetics file at the default location was corrupted"},
    {"F22", FlagWord::F, 1u << 22, Severity::Warning,
     "F22 - Propellants file at the location given in preferences was corrupted"},
    {"F23", FlagWord::F, 1u << 23, Severity::Critical,
     "F23 - Propellants file at the default location was corrupted"},
    {"F24", FlagWord::F, 1u << 24, Severity::Warning,
     "F24 - Nozzles file at the location given in preferences was corrupted"},
    {"F25", FlagWord::F, 1u << 25, Severity::Critical,
     "F25 - Nozzles file at the default location was corrupted"},
    {"F26", FlagWord::F, 1u << 26, Severity::Warning,
     "F26 - Grains file at the location given in preferences was corrupted"},
    {"F27", FlagWord::F, 1u << 27, Severity::Critical,
     "F27 - Grains file at the default location was corrupted"},
    {"F28", FlagWord::F, 1u << 28, Severity::Warning,
     "F28 - Configurations file at the location given in preferences was corrupted"},
    {"F29", FlagWord::F, 1u << 29, Severity::Critical,
     "F29 - Configurations file at the default location was corrupted"},
    {"F30", FlagWord::F, 1u << 30, Severity::Warning,
     "F30 - Preferences file at the location given in default preferences was corrupted, affected items will be returned to their default values"},
    {"F31", FlagWord::F, 1u << 31, Severity::Critical,
     "F31 - Preferences file at the default location was corrupted, affected items will be returned to their default values"},
}};
// clang-format on

#include "core/flags.h"

namespace {

std::atomic<uint32_t>* wordOf(FlagWord word)
{
    switch (word) {
    case FlagWord::SP: return &flagsSP;
    case FlagWord::ODE: return &flagsODE;
    case FlagWord::ODK: return &flagsODK;
    case FlagWord::V: return &flagsV;
    case FlagWord::L: return &flagsL;
    case FlagWord::F: return &flagsF;
    case FlagWord::Unit: break;
    }
    return nullptr;
}

// Critical part of the kinetic-flow word; the rest of it are warnings.
constexpr uint32_t criticalODK = 0x7;
// File codes: even bits are warnings, odd bits critical.
constexpr uint32_t criticalF = 0xAAAAAAAAu;
constexpr uint32_t warningF = 0x55555555u;

} // namespace

const FlagCode* findFlagCode(std::string_view code)
{
    for (const FlagCode& entry : flagCodes)
        if (code == entry.code)
            return &entry;
    return nullptr;
}

uint32_t flagWordValue(FlagWord word)
{
    if (word == FlagWord::Unit)
        return unitFlag.load(std::memory_order_relaxed) != 0 ? 1u : 0u;
    return wordOf(word)->load(std::memory_order_relaxed);
}

bool codeRaised(const FlagCode& code)
{
    return (flagWordValue(code.word) & code.mask) != 0;
}

void raiseCode(const FlagCode& code)
{
    if (code.word == FlagWord::Unit)
        unitFlag.fetch_or(1, std::memory_order_relaxed);
    else
        raiseFlag(*wordOf(code.word), code.mask);
}

void clearWarnings()
{
    flagsSP.fetch_and(0, std::memory_order_relaxed);
    flagsODE.fetch_and(0, std::memory_order_relaxed);
    flagsV.fetch_and(0, std::memory_order_relaxed);
    flagsODK.fetch_and(criticalODK, std::memory_order_relaxed);
    flagsF.fetch_and(criticalF, std::memory_order_relaxed);
}

void clearCritical()
{
    flagsL.fetch_and(0, std::memory_order_relaxed);
    unitFlag.fetch_and(0, std::memory_order_relaxed);
    flagsODK.fetch_and(~criticalODK, std::memory_order_relaxed);
    flagsF.fetch_and(warningF, std::memory_order_relaxed);
}

void clearRunFlags()
{
    flagsSP.fetch_and(0, std::memory_order_relaxed);
    flagsODE.fetch_and(0, std::memory_order_relaxed);
    flagsODK.fetch_and(0, std::memory_order_relaxed);
    flagsV.fetch_and(0, std::memory_order_relaxed);
}
