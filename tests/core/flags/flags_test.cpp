#include <fstream>
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

// The lines the menus show, one per code in menu order, as the user must read them.
TEST_F(FlagCodes, MessageLinesExactlyAsWritten)
{
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/core/flag_code_lines.txt");
    ASSERT_TRUE(in.is_open());
    std::vector<std::string> expected;
    for (std::string line; std::getline(in, line);)
        expected.push_back(line);
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
            {"ODE04", FlagWord::ODE, 0x10, Severity::Warning},
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
    EXPECT_EQ(findFlagCode("SP17"), nullptr);
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
    EXPECT_EQ(perWord[int(FlagWord::SP)], 17);
    EXPECT_EQ(perWord[int(FlagWord::ODE)], 5);
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
            {"SP16", code::SP16},   {"ODE00", code::ODE00}, {"ODE04", code::ODE04}, {"ODK02", code::ODK02},
            {"ODK03", code::ODK03}, {"ODK08", code::ODK08}, {"V00", code::V00},     {"V01", code::V01},
            {"V02", code::V02},     {"OPT00", code::OPT00}, {"OPT01", code::OPT01}, {"L00", code::L00},
            {"L04", code::L04},     {"L07", code::L07},     {"L08", code::L08},     {"L09", code::L09},
            {"F31", code::F(31)},
    };
    for (const auto& [name, mask] : named)
        EXPECT_EQ(findFlagCode(name)->mask, mask) << name;
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
    EXPECT_EQ(flagsODE.load(), 0u);
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
