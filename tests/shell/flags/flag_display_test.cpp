#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/flag_codes.h"
#include "core/flags.h"
#include "shell/flag_texts.h"

namespace {

// Every code as the menus must show it, derived from the rules of the code families:
// bit n of a word is code n of its family; the burn-law word carries V00..V02 and then
// OPT00, OPT01; ODE05..ODE08, ODK00..ODK02, U, the L codes and the odd F codes are critical.
struct Expected {
    std::string code;
    std::atomic<uint32_t>* word; // null: unitFlag
    int bit;
    Severity menu;
};

std::string numbered(const char* family, int n)
{
    return family + std::string(n < 10 ? "0" : "") + std::to_string(n);
}

std::vector<Expected> expectedCodes()
{
    std::vector<Expected> all;
    for (int n = 0; n <= 17; ++n)
        all.push_back({numbered("SP", n), &flagsSP, n, Severity::Warning});
    for (int n = 0; n <= 8; ++n)
        all.push_back({numbered("ODE", n), &flagsODE, n, n >= 5 ? Severity::Critical : Severity::Warning});
    for (int n = 0; n <= 8; ++n)
        all.push_back({numbered("ODK", n), &flagsODK, n, n <= 2 ? Severity::Critical : Severity::Warning});
    for (int n = 0; n <= 2; ++n)
        all.push_back({numbered("V", n), &flagsV, n, Severity::Warning});
    all.push_back({"OPT00", &flagsV, 3, Severity::Warning});
    all.push_back({"OPT01", &flagsV, 4, Severity::Warning});
    all.push_back({"U", nullptr, 0, Severity::Critical});
    for (int n = 0; n <= 9; ++n)
        all.push_back({numbered("L", n), &flagsL, n, Severity::Critical});
    for (int n = 0; n <= 31; ++n)
        all.push_back({numbered("F", n), &flagsF, n, n % 2 ? Severity::Critical : Severity::Warning});
    return all;
}

std::atomic<uint32_t>* words[] = {&flagsSP, &flagsODE, &flagsODK, &flagsV, &flagsL, &flagsF};

void zeroAll()
{
    for (auto* w : words)
        w->store(0);
    unitFlag = 0;
}

std::vector<std::string> names(const std::vector<const FlagCode*>& codes)
{
    std::vector<std::string> out;
    for (const FlagCode* c : codes)
        out.push_back(c->code);
    return out;
}

class FlagDisplay : public ::testing::Test {
protected:
    void SetUp() override { zeroAll(); }
    void TearDown() override { zeroAll(); }
};

} // namespace

// One bit alone raises its own code, and nothing else, with its line in its menu.
TEST_F(FlagDisplay, EachBitAloneListsItsOwnCode)
{
    const std::vector<Expected> all = expectedCodes();
    ASSERT_EQ(all.size(), 84u);
    for (const Expected& e : all) {
        SCOPED_TRACE(e.code);
        zeroAll();
        if (e.word)
            e.word->store(1u << e.bit);
        else
            unitFlag = 3; // any value but 0 raises U
        const std::vector<const FlagCode*> raised = raisedFlagCodes();
        ASSERT_EQ(raised.size(), 1u);
        EXPECT_EQ(raised[0]->code, e.code);
        EXPECT_EQ(raised[0]->severity, e.menu);
        EXPECT_EQ(std::string(raised[0]->line).rfind(e.code + " - ", 0), 0u) << raised[0]->line;
    }
}

// Several codes at once come out in the order of the families (SP, ODE, ODK, V and
// OPT, U, L, F) and of the bits; bits beyond each family are ignored.
TEST_F(FlagDisplay, SeveralCodesInMenuOrder)
{
    flagsF = (1u << 31) | (1u << 0);
    flagsL = 1u << 9;
    unitFlag = 1;
    flagsV = 1u << 4;
    flagsODK = (1u << 3) | 1u;
    flagsSP = (1u << 17) | 1u;
    EXPECT_EQ(names(raisedFlagCodes()),
              (std::vector<std::string>{"SP00", "SP17", "ODK00", "ODK03", "OPT01", "U", "L09", "F00", "F31"}));

    zeroAll();
    flagsSP = 1u << 18;
    flagsODE = 1u << 9;
    flagsODK = 1u << 9;
    flagsV = 1u << 5;
    flagsL = 1u << 10;
    EXPECT_TRUE(raisedFlagCodes().empty());

    zeroAll();
    flagsF = 0xFFFFFFFFu;
    const std::vector<const FlagCode*> files = raisedFlagCodes();
    ASSERT_EQ(files.size(), 32u);
    for (int n = 0; n < 32; ++n)
        EXPECT_EQ(files[n]->code, numbered("F", n));
}

// The two clear commands as the user meets them: after "Clear warnings" a raised F17
// stays and F16 goes; after "Clear critical errors" the opposite.
TEST_F(FlagDisplay, ClearCommandsOnFileCodes)
{
    flagsF = (1u << 16) | (1u << 17);
    clearWarnings();
    EXPECT_EQ(names(raisedFlagCodes()), std::vector<std::string>{"F17"});
    flagsF = (1u << 16) | (1u << 17);
    clearCritical();
    EXPECT_EQ(names(raisedFlagCodes()), std::vector<std::string>{"F16"});

    // ODK00 (critical) stays through "Clear warnings", ODK03 (warning) through "Clear
    // critical errors"; U goes with the critical ones.
    zeroAll();
    flagsODK = 0x9;
    unitFlag = 1;
    clearWarnings();
    EXPECT_EQ(names(raisedFlagCodes()), (std::vector<std::string>{"ODK00", "U"}));
    flagsODK = 0x9;
    clearCritical();
    EXPECT_EQ(names(raisedFlagCodes()), (std::vector<std::string>{"ODK03"}));

    // A run that was no result (ODE06, critical) stays through "Clear warnings" and goes
    // with "Clear critical errors"; ODE00 the other way round.
    zeroAll();
    flagsODE = code::ODE06 | code::ODE00;
    clearWarnings();
    EXPECT_EQ(names(raisedFlagCodes()), (std::vector<std::string>{"ODE06"}));
    flagsODE = code::ODE06 | code::ODE00;
    clearCritical();
    EXPECT_EQ(names(raisedFlagCodes()), (std::vector<std::string>{"ODE00"}));
}

// The explanation window of each menu: one entry per code of that menu in menu order,
// code in bold, " - ", the explanation, a line break; nothing of the other menu.
TEST_F(FlagDisplay, ExplanationTextsPerMenu)
{
    const std::vector<Expected> all = expectedCodes();
    for (Severity menu : {Severity::Warning, Severity::Critical}) {
        const QString text = flagExplanations(menu);
        int position = 0;
        for (const Expected& e : all) {
            const QString start = QStringLiteral("<b>%1</b> - ").arg(QString::fromStdString(e.code));
            const int at = text.indexOf(start);
            if (e.menu != menu) {
                EXPECT_EQ(at, -1) << e.code;
                continue;
            }
            ASSERT_GE(at, position) << e.code << " missing or out of order";
            const int end = text.indexOf(QStringLiteral("<br>"), at);
            ASSERT_GT(end, at) << e.code;
            const QString explanation = text.mid(at + start.size(), end - at - start.size());
            EXPECT_EQ(explanation.toStdString(), findFlagCode(e.code)->explanation) << e.code;
            position = end;
        }
        EXPECT_TRUE(text.endsWith(QStringLiteral("<br>")));
    }
    // The ODK00 entry of the critical text, as the user reads it, after the critical
    // codes of the nozzle-flow family.
    EXPECT_TRUE(flagExplanations(Severity::Critical).startsWith("<b>ODE05</b> - "));
    EXPECT_TRUE(
            flagExplanations(Severity::Critical)
                    .contains("<br><b>ODK00</b> - Failure during initialization of the differential equations solver "
                              "(CVodes). This prevents the solver from functioning and the ODK calculation is "
                              "aborted. There is no way to solve it, a bug report must be sent to the "
                              "developer.<br><b>ODK01</b> - "));
    EXPECT_TRUE(flagExplanations(Severity::Warning).startsWith("<b>SP00</b> - "));
}

// Every code has an explanation of its own: one to four sentences, no two alike, and the
// five fixed entries word for word.
TEST_F(FlagDisplay, ExplanationOfEveryCode)
{
    std::set<std::string> seen;
    for (const FlagCode& c : flagCodes) {
        SCOPED_TRACE(c.code);
        ASSERT_NE(c.explanation, nullptr);
        const std::string text = c.explanation;
        EXPECT_TRUE(seen.insert(text).second) << "same explanation as another code";
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), '.');
        int sentences = 0;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            sentences += text[i] == '.' && text[i + 1] == ' ';
        EXPECT_LE(sentences + 1, 4);
    }
    const std::vector<std::pair<std::string, std::string>> fixed = {
            {"ODK00",
             "Failure during initialization of the differential equations solver (CVodes). This prevents the "
             "solver from functioning and the ODK calculation is aborted. There is no way to solve it, a bug "
             "report must be sent to the developer."},
            {"U",
             "A unit conversion failed, unit not defined in program. This error only happens if the user has "
             "tampered with the save files and manually changed a value. If it is not the case, please file a bug "
             "report to the developer."},
            {"L09",
             "Grain load failed for an undetermined reason (probably a file could not be accessed or was "
             "corrupted), or the grain is one no run can compute (a diameter, length or web below 1 micrometre or "
             "beyond 1 km, more than 1000 charges or 100 star points, or a burn-back curve without a burning "
             "surface at ignition, with areas that are not numbers or negative, or that burns again after burning "
             "out). Runs with the grain are refused. Check the grains file, or define the grain again on the grain "
             "tab and save it: the tab names the value out of range."},
            {"SP10",
             "Reached maximum number of iterations for equilibrium calculation. This may happen if the maximum "
             "iterations are limited to a very low amount or if the mixture is bad-behaved and has convergence "
             "problems (specially if a lot of condensed species are involved)."},
            {"SP13",
             "One or more reactions had efficiencies for a third body not present in the mixture. This supposes "
             "no problem, said species will simply not be considered since they are not present in the "
             "mixture."},
    };
    for (const auto& [code, text] : fixed)
        EXPECT_EQ(findFlagCode(code)->explanation, text) << code;
}

TEST(FlagMenuTexts, FixedTexts)
{
    EXPECT_STREQ(noWarningsPlaceholder, "No warnings found");
    EXPECT_STREQ(noCriticalErrorsPlaceholder, "No critical errors found");
    EXPECT_STREQ(warningsPopupTitle, "Warnings raised");
    EXPECT_STREQ(warningsPopupText, "Warnings raised during calculations:");
    EXPECT_STREQ(criticalPopupTitle, "Critical errors raised");
    EXPECT_STREQ(criticalPopupText, "Critical errors raised during calculations:");
    EXPECT_STREQ(warningInfoTitle, "KAVRO - Warning information");
    EXPECT_STREQ(criticalInfoTitle, "KAVRO - Critical error information");
}
