// The Warnings and Critical Errors menus: one entry per raised code in its menu, the
// pop-up lists, the placeholders, the explanation windows and the two clearing commands.
#include "shell/ui/flag_list_dialog.h"
#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

// One code of every family, with the menu it belongs in and its line as the user reads it.
struct CodeRow {
    std::atomic<uint32_t>* word; // null: unitFlag
    uint32_t bit;
    bool critical;
    const char* line;
};
const CodeRow codeRows[] = {
        {&flagsSP, 10, false, "SP10 - Reached maximum number of iterations for equilibrium calculation"},
        {&flagsODE, 2, false, "ODE02 - Maximum number of iterations for frozen temperature calculation reached"},
        {&flagsODK, 0, true, "ODK00 - Error during initialization of differential equations solver"},
        {&flagsODK, 5, false, "ODK05 - Reached maximum number of iterations for global convergence of ODK problem"},
        {&flagsV, 1, false, "V01 - Pressure over definition of Vielle's parameters"},
        {&flagsV, 3, false, "OPT00 - Maximum number of iterations for optimization reached"},
        {nullptr, 0, true, "U - A unit conversion failed, unit not defined in program"},
        {&flagsL, 9, true,
         "L09 - Grain load failed for an undetermined reason (probably a file could not be accessed or was "
         "corrupted)"},
        {&flagsF, 16, false, "F16 - Species file at the location given in preferences was corrupted"},
        {&flagsF, 17, true, "F17 - Species file at the default location was corrupted"},
};

void raise(const CodeRow& row)
{
    if (row.word)
        row.word->fetch_or(1u << row.bit);
    else
        unitFlag.store(3); // any non-zero value is the one code U
}

class FlagMenus : public WindowTest {
public:
    void SetUp() override
    {
        WindowTest::SetUp();
        build();
        zeroFlags(); // whatever the start-up raised
        form().actionUpdate_warnings_errors->trigger();
        flagLists.clear();
    }
};

} // namespace

TEST_F(FlagMenus, EachCodeOfEachFamilyIsListedAloneInItsMenu)
{
    for (const CodeRow& row : codeRows) {
        SCOPED_TRACE(row.line);
        zeroFlags();
        flagLists.clear();
        raise(row);
        form().actionUpdate_warnings_errors->trigger();
        const QStringList expected = {QString::fromUtf8(row.line)};
        EXPECT_EQ(entries(row.critical ? form().menuCritical_Errors : form().menuWarnings), expected);
        EXPECT_EQ(entries(row.critical ? form().menuWarnings : form().menuCritical_Errors),
                  QStringList({row.critical ? "No warnings found" : "No critical errors found"}));
        // "Update warnings and errors" pops up the one list that has an entry.
        ASSERT_EQ(flagLists.size(), 1u);
        const FlagListRequest& popup = flagLists[0];
        EXPECT_EQ(popup.severity, row.critical ? Severity::Critical : Severity::Warning);
        EXPECT_EQ(popup.title, row.critical ? "Critical errors raised" : "Warnings raised");
        EXPECT_EQ(popup.text,
                  row.critical ? "Critical errors raised during calculations:"
                               : "Warnings raised during calculations:");
        EXPECT_EQ(popup.lines, expected);
    }
}

TEST_F(FlagMenus, AllCodesListInScanOrderAndCriticalPopsUpFirst)
{
    for (const CodeRow& row : codeRows)
        raise(row);
    form().actionUpdate_warnings_errors->trigger();
    QStringList warnings, critical;
    for (const CodeRow& row : codeRows)
        (row.critical ? critical : warnings).append(QString::fromUtf8(row.line));
    EXPECT_EQ(entries(form().menuWarnings), warnings);
    EXPECT_EQ(entries(form().menuCritical_Errors), critical);
    ASSERT_EQ(flagLists.size(), 2u);
    EXPECT_EQ(flagLists[0].severity, Severity::Critical);
    EXPECT_EQ(flagLists[0].lines, critical);
    EXPECT_EQ(flagLists[1].severity, Severity::Warning);
    EXPECT_EQ(flagLists[1].lines, warnings);
}

TEST_F(FlagMenus, NothingRaisedGivesPlaceholdersAndNoPopup)
{
    form().actionUpdate_warnings_errors->trigger();
    EXPECT_EQ(entries(form().menuWarnings), QStringList({"No warnings found"}));
    EXPECT_EQ(entries(form().menuCritical_Errors), QStringList({"No critical errors found"}));
    EXPECT_TRUE(flagLists.empty());
}

TEST_F(FlagMenus, TabSignalAsksOnlyForTheListsItNames)
{
    flagsSP.fetch_or(1u << 10);
    flagsL.fetch_or(1u << 4);
    emit form().DataWin->FlagsUpdated(false, true);
    ASSERT_EQ(flagLists.size(), 1u);
    EXPECT_EQ(flagLists[0].severity, Severity::Warning);
    flagLists.clear();
    emit form().PropWin->FlagsUpdated(true, false);
    ASSERT_EQ(flagLists.size(), 1u);
    EXPECT_EQ(flagLists[0].severity, Severity::Critical);
}

// Clearing through the Options entries: each keeps exactly the codes of the other kind,
// the odd (critical) and even (warning) file codes included, and pops nothing up.
TEST_F(FlagMenus, ClearingKeepsTheOtherKindAndPopsNothingUp)
{
    for (const CodeRow& row : codeRows)
        raise(row);
    form().actionClear_warnings->trigger();
    EXPECT_EQ(entries(form().menuWarnings), QStringList({"No warnings found"}));
    QStringList critical;
    for (const CodeRow& row : codeRows)
        if (row.critical)
            critical.append(QString::fromUtf8(row.line));
    EXPECT_EQ(entries(form().menuCritical_Errors), critical);
    EXPECT_EQ(flagsODK.load(), 1u); // ODK00 stays, ODK05 went
    EXPECT_EQ(flagsF.load(), 1u << 17);
    EXPECT_TRUE(flagLists.empty());

    for (const CodeRow& row : codeRows)
        raise(row);
    form().actionClear_critical_errors->trigger();
    QStringList warnings;
    for (const CodeRow& row : codeRows)
        if (!row.critical)
            warnings.append(QString::fromUtf8(row.line));
    EXPECT_EQ(entries(form().menuWarnings), warnings);
    EXPECT_EQ(entries(form().menuCritical_Errors), QStringList({"No critical errors found"}));
    EXPECT_EQ(flagsODK.load(), 1u << 5);
    EXPECT_EQ(flagsF.load(), 1u << 16);
    EXPECT_EQ(unitFlag.load(), 0);
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(flagLists.empty());
}

// Any entry, placeholders included, opens the explanation window of its menu.
TEST_F(FlagMenus, EntriesOpenTheExplanationWindowOfTheirMenu)
{
    flagsL.fetch_or(1u << 9);
    form().actionUpdate_warnings_errors->trigger();
    form().menuWarnings->actions().at(0)->trigger(); // "No warnings found"
    form().menuCritical_Errors->actions().at(0)->trigger(); // L09
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, "KAVRO - Warning information");
    EXPECT_EQ(dialogs[0].fixedSize, QSize(978, 504)); // three quarters of 1305 x 673, truncated
    EXPECT_EQ(dialogs[1].title, "KAVRO - Critical error information");
    EXPECT_EQ(dialogs[1].fixedSize, QSize(652, 336));
    EXPECT_TRUE(dialogs[0].deleteOnClose);
    EXPECT_EQ(dialogs[0].parent, window.get());
}

// The real pop-up: a dialog of the window listing the lines it was given.
TEST_F(FlagMenus, PopupDialogListsTheLinesBelowItsText)
{
    FlagListRequest request{Severity::Critical,
                            "Critical errors raised",
                            "Critical errors raised during calculations:",
                            {"L04 - a", "F17 - b"}};
    FlagListDialog dialog(window.get(), request);
    EXPECT_EQ(dialog.windowTitle(), "Critical errors raised");
    EXPECT_EQ(dialog.listedLines(), request.lines);
    EXPECT_EQ(dialog.parent(), window.get());
}
