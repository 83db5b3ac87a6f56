// The browser's form on its own: what setupUi builds and which slots it reaches.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ui_propauxdata.h"

namespace {

// Stands in for the browser: counts the calls of every slot the form connects.
class SlotCounter : public QDialog {
    Q_OBJECT
public:
    std::map<std::string, int> calls;
    int searchesDuringSetup = -1;
    Ui::PropAuxData form;
    SlotCounter()
    {
        form.setupUi(this);
        searchesDuringSetup = calls["search"];
    }
public slots:
    void save() { ++calls["save"]; }
    void select() { ++calls["select"]; }
    void add() { ++calls["add"]; }
    void del() { ++calls["del"]; }
    void edit() { ++calls["edit"]; }
    void from_file() { ++calls["from_file"]; }
    void exit() { ++calls["exit"]; }
    void show_all() { ++calls["show_all"]; }
    void search() { ++calls["search"]; }
};

} // namespace

TEST(BrowserForm, SetupLeavesNoFilterChosenAfterOneSearch)
{
    SlotCounter dialog;
    EXPECT_EQ(dialog.searchesDuringSetup, 1);
    dialog.calls.erase("search");
    for (const auto& [slot, n] : dialog.calls)
        EXPECT_EQ(n, 0) << slot; // nothing else ran while the form was built
    EXPECT_EQ(dialog.objectName(), "PropAuxData");
    EXPECT_EQ(dialog.windowTitle(), "KAVRO Database");
    EXPECT_EQ(dialog.size(), QSize(442, 358));
    const Ui::PropAuxData& f = dialog.form;
    EXPECT_EQ(f.combo_search->currentIndex(), -1);
    EXPECT_EQ(f.combo_search->placeholderText(), "Apply filters");
    QStringList items;
    for (int i = 0; i < f.combo_search->count(); ++i)
        items << f.combo_search->itemText(i);
    EXPECT_EQ(items, (QStringList{"All", "Gaseous", "Ions", "Liquids", "Solids"}));
    EXPECT_TRUE(f.line_search->text().isEmpty());
    EXPECT_EQ(f.line_search->placeholderText(), "Search");
    EXPECT_TRUE(f.check_all->isChecked());
    EXPECT_EQ(f.check_all->text(), "Show only species compatible with reactants");
    EXPECT_TRUE(f.Data->widgetResizable());
    EXPECT_EQ(f.scroll_lay->count(), 0);
    EXPECT_EQ(f.But_sel->text(), "Deselect all");
    EXPECT_EQ(f.But_save->text(), "Load selected");
    const QStringList buttons{f.but_add_man->text(), f.but_add_ff->text(), f.but_edit->text(), f.but_del->text()};
    EXPECT_EQ(buttons, (QStringList{"Add manually", "Add from file", "Edit", "Delete"}));
    const int stretch[] = {10, 0, 80, 0, 10};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(f.mainLay->stretch(i), stretch[i]) << i;
}

TEST(BrowserForm, ButtonsFilterSearchAndEscapeReachTheirSlots)
{
    SlotCounter dialog;
    dialog.show();
    dialog.calls.clear();
    const Ui::PropAuxData& f = dialog.form;
    const std::pair<QPushButton*, const char*> buttons[]
            = {{f.But_save, "save"}, {f.But_sel, "select"}, {f.but_add_man, "add"},
               {f.but_del, "del"},   {f.but_edit, "edit"},  {f.but_add_ff, "from_file"}};
    for (const auto& [button, slot] : buttons) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(dialog.calls[slot], 1) << slot;
    }
    f.combo_search->setCurrentIndex(3);
    EXPECT_EQ(dialog.calls["search"], 1);
    QTest::keyClicks(f.line_search, "Al");
    EXPECT_EQ(dialog.calls["search"], 3);
    f.check_all->setChecked(false); // a change by code is not a click
    EXPECT_EQ(dialog.calls["show_all"], 0);
    QTest::mouseClick(f.check_all, Qt::LeftButton);
    EXPECT_EQ(dialog.calls["show_all"], 1);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.calls["exit"], 1);
}

#include "browser_form_test.moc"
