#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/flag_codes.h"
#include "core/flags.h"

namespace {

std::atomic<uint32_t>* wordsOf[] = {&flagsSP, &flagsODE, &flagsODK, &flagsV, &flagsL, &flagsF};

void zeroAll()
{
    for (auto* w : wordsOf)
        w->store(0);
    unitFlag = 0;
    abortFlag = 0;
    refreshFlag = 0;
}

void setAll()
{
    for (auto* w : wordsOf)
        w->store(0xFFFFFFFFu);
    unitFlag = 1;
}

class FlagCodes : public ::testing::Test {
protected:
    void SetUp() override { zeroAll(); }
    void TearDown() override { zeroAll(); }
};

} // namespace

// The lines the menus show, one per code in menu order, as the user must read them:
// the published code lines, misspellings included.
TEST_F(FlagCodes, MessageLinesExactlyAsWritten)
{
    const std::vector<std::string> expected = {
            "SP00 - Unknown error",
            "SP01 - One of the species used in last calculation was at a temperature under its Cp definition range",
            "SP02 - One of the species used in last calculation was at a temperature over its Cp definition range",
            "SP03 - One of the species used in last calculation was at a temperature under its viscosity definition "
            "range",
            "SP04 - One of the species used in last calculation was at a temperature over its viscosity definition "
            "range",
            "SP05 - One of the species used in last calculation was at a temperature under its conductivity definition "
            "range",
            "SP06 - One of the species used in last calculation was at a temperature over its conductivity definition "
            "range",
            "SP07 - One of the species used in last calculation had no viscosity defined, but computing it was "
            "attempted",
            "SP08 - One of the species used in last calculation had no conductivity defined, but computing it was "
            "attempted",
            "SP09 - One of the species used in last calculation was only defined for a single temperature",
            "SP10 - Reached maximum number of iterations for equilibrium calculation",
            "SP11 - Transport properties for mixture were attempted to be computed, but no specie has transport "
            "properties defined",
            "SP12 - Reached maximum number of iterations for ion balance in equilirbium calculation",
            "SP13 - One or more reactions had efficiencies for a third body not present in the mixture",
            "SP14 - Species compositions were reset during equilibrium calculations in order to reintroduce an atom in "
            "the mixture",
            "SP15 - Computation of equilibrium conductivity failed, frozen value given instead.",
            "SP16 - Computation of equilibrium gaseous cp failed, frozen value used in Pr computations.",
            // Our own line, after the published ones of its family.
            "SP17 - Transport properties for mixture were computed leaving out species without transport properties "
            "defined, which made more than 1% of the gas",
            "ODE00 - Maximum number of iterations for throat calculation reached",
            "ODE01 - Maximum number of iterations for nozzle point pressure convergence reached",
            "ODE02 - Maximum number of iterations for frozen temperature calculation reached",
            "ODE03 - Maximum number of iterations for frozen throat calculation reached",
            "ODE04 - Maximum number of iterations for FAC initial conditions reached",
            // Our own lines: a run that is no result.
            "ODE05 - Calculation ended without a usable result",
            "ODE06 - Calculation results were not finite or outside their physical range",
            "ODE07 - Chamber pressure could not be balanced at a burning point of the grain",
            "ODE08 - Species data do not reach the temperature of last calculation, which lay far above the "
            "highest temperature of their Cp fits",
            "ODK00 - Error during initialization of differential equations solver",
            "ODK01 - Error during calculations of differential equations solver",
            "ODK02 - Error during closure of differential equations solver",
            "ODK03 - Invalid point at which calculation changes from given area to given pressure",
            "ODK04 - Invalid point at which calculation changes from given pressure back to given area",
            "ODK05 - Reached maximum number of iterations for global convergence of ODK problem",
            "ODK06 - Reached maximum number of iterations for throat convergence of ODK problem",
            "ODK07 - Reached maximum number of iterations for near-throat points convergence in ODK",
            "ODK08 - Reached maximum number of iterations for mass-flow convergence in ODK",
            "V00 - Pressure under definition of Vielle's parameters",
            "V01 - Pressure over definition of Vielle's parameters",
            "V02 - Maximum number of iterations for pressure calculations reached",
            "OPT00 - Maximum number of iterations for optimization reached",
            "OPT01 - Early exit from optimization procedure",
            "U - A unit conversion failed, unit not defined in program",
            "L00 - All considered species have the same element ratio as that of the reactants",
            "L01 - At least one condensed specie's elements are a linear combination of the others",
            "L02 - No gaseous species were included in the calculation",
            "L03 - At least one positive and one negative ion must be considered (or none at all)",
            "L04 - One of the species present in the propellant definition was not found in the database",
            "L05 - One of the reactants present in the propellant definition was not found in the database",
            "L06 - One of the reactions present in the propellant definition was not found in the database",
            "L07 - Propellant load failed for an undetermined reason (probably a file could not be accessed or was "
            "corrupted)",
            "L08 - Nozzle load failed for an undetermined reason (probably a file could not be accessed or was "
            "corrupted)",
            "L09 - Grain load failed for an undetermined reason (probably a file could not be accessed or was "
            "corrupted)",
            "F00 - Species file could not be found at the location given in preferences",
            "F01 - Species file could not be found at the default location",
            "F02 - Reactants file could not be found at the location given in preferences",
            "F03 - Reactants file could not be found at the default location",
            "F04 - Kinetics file could not be found at the location given in preferences",
            "F05 - Kinetics file could not be found at the default location",
            "F06 - Propellants file could not be found at the location given in preferences",
            "F07 - Propellants file could not be found at the default location",
            "F08 - Nozzles file could not be found at the location given in preferences",
            "F09 - Nozzles file could not be found at the default location",
            "F10 - Grains file could not be found at the location given in preferences",
            "F11 - Grains file could not be found at the default location",
            "F12 - Configurations file could not be found at the location given in preferences",
            "F13 - Configurations file could not be found at the default location",
            "F14 - Preferences file could not be found at the location given in default preferences",
            "F15 - Preferences file could not be found at the default location",
            "F16 - Species file at the location given in preferences was corrupted",
            "F17 - Species file at the default location was corrupted",
            "F18 - Reactants file at the location given in preferences was corrupted",
            "F19 - Reactants file at the default location was corrupted",
            "F20 - Kinetics file at the location given in preferences was corrupted",
            "F21 - Kinetics file at the default location was corrupted",
            "F22 - Propellants file at the location given in preferences was corrupted",
            "F23 - Propellants file at the default location was corrupted",
            "F24 - Nozzles file at the location given in preferences was corrupted",
            "F25 - Nozzles file at the default location was corrupted",
            "F26 - Grains file at the location given in preferences was corrupted",
            "F27 - Grains file at the default location was corrupted",
            "F28 - Configurations file at the location given in preferences was corrupted",
            "F29 - Configurations file at the default location was corrupted",
            "F30 - Preferences file at the location given in default preferences was corrupted, affected items will be "
            "returned to their default values",
            "F31 - Preferences file at the default location was corrupted, affected items will be returned to their "
            "default values",
    };
    ASSERT_EQ(expected.size(), flagCodes.size());
    for (size_t i = 0; i < flagCodes.size(); ++i) {
        EXPECT_EQ(flagCodes[i].line, expected[i]);
        EXPECT_EQ(std::string(flagCodes[i].line).rfind(std::string(flagCodes[i].code) + " - ", 0), 0u)
                << flagCodes[i].line;
    }
}

TEST_F(FlagCodes, WordBitAndSeverityOfEveryCode)
{
    struct Expect {
        const char* code;
        FlagWord word;
        uint32_t mask;
        Severity severity;
    };
    const Expect table[] = {
            {"SP00", FlagWord::SP, code::SP00, Severity::Warning},
            {"SP10", FlagWord::SP, 0x400, Severity::Warning},
            {"SP16", FlagWord::SP, 0x10000, Severity::Warning},
            {"SP17", FlagWord::SP, 0x20000, Severity::Warning},
            {"ODE04", FlagWord::ODE, 0x10, Severity::Warning},
            {"ODE05", FlagWord::ODE, 0x20, Severity::Critical},
            {"ODE06", FlagWord::ODE, 0x40, Severity::Critical},
            {"ODE07", FlagWord::ODE, 0x80, Severity::Critical},
            {"ODE08", FlagWord::ODE, 0x100, Severity::Critical},
            {"ODK00", FlagWord::ODK, 0x1, Severity::Critical},
            {"ODK02", FlagWord::ODK, 0x4, Severity::Critical},
            {"ODK03", FlagWord::ODK, 0x8, Severity::Warning},
            {"ODK08", FlagWord::ODK, 0x100, Severity::Warning},
            {"V00", FlagWord::V, 0x1, Severity::Warning},
            {"V01", FlagWord::V, 0x2, Severity::Warning},
            {"V02", FlagWord::V, 0x4, Severity::Warning},
            {"OPT00", FlagWord::V, 0x8, Severity::Warning},
            {"OPT01", FlagWord::V, 0x10, Severity::Warning},
            {"U", FlagWord::Unit, 0x1, Severity::Critical},
            {"L00", FlagWord::L, 0x1, Severity::Critical},
            {"L08", FlagWord::L, 0x100, Severity::Critical},
            {"L09", FlagWord::L, 0x200, Severity::Critical},
            {"F00", FlagWord::F, 0x1, Severity::Warning},
            {"F08", FlagWord::F, code::fileMissing(code::Nozzles), Severity::Warning},
            {"F10", FlagWord::F, code::fileMissing(code::Grains), Severity::Warning},
            {"F11", FlagWord::F, code::fileMissingDefault(code::Grains), Severity::Critical},
            {"F14", FlagWord::F, code::fileMissing(code::PreferencesFile), Severity::Warning},
            {"F15", FlagWord::F, 0x8000, Severity::Critical},
            {"F16", FlagWord::F, code::fileCorrupt(code::Species), Severity::Warning},
            {"F17", FlagWord::F, code::fileCorruptDefault(code::Species), Severity::Critical},
            {"F30", FlagWord::F, code::fileCorrupt(code::PreferencesFile), Severity::Warning},
            {"F31", FlagWord::F, 0x80000000u, Severity::Critical},
    };
    for (const Expect& e : table) {
        const FlagCode* c = findFlagCode(e.code);
        ASSERT_NE(c, nullptr) << e.code;
        EXPECT_EQ(c->word, e.word) << e.code;
        EXPECT_EQ(c->mask, e.mask) << e.code;
        EXPECT_EQ(c->severity, e.severity) << e.code;
    }
    EXPECT_EQ(findFlagCode("SP18"), nullptr);
    EXPECT_EQ(findFlagCode("sp00"), nullptr);

    // Whole families: count, one bit each, no two codes on the same bit.
    std::set<std::pair<int, uint32_t>> seen;
    int perWord[7] = {};
    for (const FlagCode& c : flagCodes) {
        EXPECT_EQ(c.mask & (c.mask - 1), 0u) << c.code;
        EXPECT_TRUE(seen.insert({int(c.word), c.mask}).second) << c.code;
        ++perWord[int(c.word)];
        const std::string name = c.code;
        if (name[0] == 'F') {
            const int n = std::stoi(name.substr(1));
            EXPECT_EQ(c.mask, 1u << n);
            EXPECT_EQ(c.severity, n % 2 ? Severity::Critical : Severity::Warning) << name;
        }
    }
    EXPECT_EQ(perWord[int(FlagWord::SP)], 18);
    EXPECT_EQ(perWord[int(FlagWord::ODE)], 9);
    EXPECT_EQ(perWord[int(FlagWord::ODK)], 9);
    EXPECT_EQ(perWord[int(FlagWord::V)], 5);
    EXPECT_EQ(perWord[int(FlagWord::L)], 10);
    EXPECT_EQ(perWord[int(FlagWord::F)], 32);
    EXPECT_EQ(perWord[int(FlagWord::Unit)], 1);
}

// The bit of every code follows from its name (SPnn is bit nn of flagsSP, OPT00/01 follow
// V02), and the named masks of flags.h that the engine raises agree with the table.
TEST_F(FlagCodes, BitOfEveryCodeFollowsItsName)
{
    for (const FlagCode& c : flagCodes) {
        const std::string name = c.code;
        const size_t digits = name.find_first_of("0123456789");
        if (digits == std::string::npos) {
            EXPECT_EQ(name, "U");
            continue;
        }
        const std::string family = name.substr(0, digits);
        const int n = std::stoi(name.substr(digits));
        const int bit = family == "OPT" ? 3 + n : n;
        EXPECT_EQ(c.mask, 1u << bit) << name;
    }
    const std::pair<const char*, uint32_t> named[] = {
            {"SP00", code::SP00},   {"SP09", code::SP09},   {"SP10", code::SP10},   {"SP13", code::SP13},
            {"SP16", code::SP16},   {"SP17", code::SP17},   {"ODE00", code::ODE00}, {"ODE04", code::ODE04},
            {"ODE05", code::ODE05}, {"ODE06", code::ODE06}, {"ODE07", code::ODE07}, {"ODE08", code::ODE08},
            {"ODK02", code::ODK02}, {"ODK03", code::ODK03}, {"ODK08", code::ODK08}, {"V00", code::V00},
            {"V01", code::V01},     {"V02", code::V02},     {"OPT00", code::OPT00}, {"OPT01", code::OPT01},
            {"L00", code::L00},     {"L04", code::L04},     {"L07", code::L07},     {"L08", code::L08},
            {"L09", code::L09},     {"F31", code::F(31)},
    };
    for (const auto& [name, mask] : named)
        EXPECT_EQ(findFlagCode(name)->mask, mask) << name;
}

// The mask of a file replaced by its default holds just the F codes whose message says
// the file was not at the location given (F00, F02, ... F14), and none of the others.
TEST_F(FlagCodes, AnyFileMissingHoldsTheCodesOfAFileNotWhereTheyPointed)
{
    uint32_t expected = 0;
    for (const FlagCode& c : flagCodes) {
        if (c.word == FlagWord::F
            && std::string(c.line).find("could not be found at the location given in") != std::string::npos)
            expected |= c.mask;
    }
    EXPECT_EQ(code::anyFileMissing, expected);
    for (const char* name : {"F00", "F02", "F04", "F06", "F08", "F10", "F12", "F14"})
        EXPECT_NE(code::anyFileMissing & findFlagCode(name)->mask, 0u) << name;
    for (const char* name : {"F01", "F15", "F16", "F30", "F31"})
        EXPECT_EQ(code::anyFileMissing & findFlagCode(name)->mask, 0u) << name;
}

TEST_F(FlagCodes, RaisingOneCodeTouchesOnlyItsBit)
{
    for (const FlagCode& c : flagCodes) {
        zeroAll();
        raiseCode(c);
        EXPECT_TRUE(codeRaised(c)) << c.code;
        for (const FlagCode& other : flagCodes) {
            if (&other != &c) {
                EXPECT_FALSE(codeRaised(other)) << c.code << " raised " << other.code;
            }
        }
    }
}

TEST_F(FlagCodes, ClearingAllOnes)
{
    setAll();
    clearWarnings();
    EXPECT_EQ(flagsSP.load(), 0u);
    EXPECT_EQ(flagsODE.load(), 0x1E0u); // ODE05..ODE08 are critical
    EXPECT_EQ(flagsV.load(), 0u);
    EXPECT_EQ(flagsODK.load(), 7u);
    EXPECT_EQ(flagsL.load(), 0xFFFFFFFFu);
    EXPECT_EQ(unitFlag.load(), 1);
    EXPECT_EQ(flagsF.load(), 0xAAAAAAAAu);
    clearCritical();
    for (auto* w : wordsOf)
        EXPECT_EQ(w->load(), 0u);
    EXPECT_EQ(unitFlag.load(), 0);

    setAll();
    clearCritical();
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_EQ(unitFlag.load(), 0);
    EXPECT_EQ(flagsODK.load(), 0xFFFFFFF8u);
    EXPECT_EQ(flagsODE.load(), 0xFFFFFE1Fu);
    EXPECT_EQ(flagsF.load(), 0x55555555u);
    EXPECT_EQ(flagsSP.load(), 0xFFFFFFFFu);
}

// Each defined code is cleared by exactly one of the two actions, the one of its severity.
TEST_F(FlagCodes, ClearActionsSplitTheCodesBySeverity)
{
    for (const FlagCode& c : flagCodes) {
        zeroAll();
        raiseCode(c);
        clearWarnings();
        const bool survivedWarnings = codeRaised(c);
        zeroAll();
        raiseCode(c);
        clearCritical();
        const bool survivedCritical = codeRaised(c);
        EXPECT_NE(survivedWarnings, survivedCritical) << c.code;
        EXPECT_EQ(survivedWarnings, c.severity == Severity::Critical) << c.code;
    }
}

TEST_F(FlagCodes, RunStartKeepsLoadUnitAndFileCodes)
{
    setAll();
    abortFlag = 1;
    clearRunFlags();
    EXPECT_EQ(flagsSP.load(), 0u);
    EXPECT_EQ(flagsODE.load(), 0u);
    EXPECT_EQ(flagsODK.load(), 0u);
    EXPECT_EQ(flagsV.load(), 0u);
    EXPECT_EQ(flagsL.load(), 0xFFFFFFFFu);
    EXPECT_EQ(flagsF.load(), 0xFFFFFFFFu);
    EXPECT_EQ(unitFlag.load(), 1);
}

// A worker and the window raise and clear bits of the same word at once: no change is lost.
TEST_F(FlagCodes, ConcurrentRaiseAndClearLoseNothing)
{
    constexpr int rounds = 2000;
    for (int round = 0; round < rounds; ++round) {
        flagsSP.store(0xFFFF0000u);
        std::atomic<int> ready{0};
        auto start = [&ready] {
            ready.fetch_add(1);
            while (ready.load() < 2) {
            }
        };
        std::thread raiser([&] {
            start();
            for (int bit = 0; bit < 16; ++bit)
                raiseFlag(flagsSP, 1u << bit);
        });
        std::thread clearer([&] {
            start();
            for (int bit = 16; bit < 32; ++bit)
                clearFlag(flagsSP, 1u << bit);
        });
        raiser.join();
        clearer.join();
        ASSERT_EQ(flagsSP.load(), 0x0000FFFFu) << "round " << round;
    }
}
