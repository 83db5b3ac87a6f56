// The reaction editor's form on its own: what setupUi builds and which slots it reaches.
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ui_propauxaddk.h"

namespace {

class SlotCounter : public QDialog {
    Q_OBJECT
public:
    std::map<std::string, int> calls;
    std::vector<bool> tbStates;
    Ui::PropAuxAddK form;
    SlotCounter() { form.setupUi(this); }
public slots:
    void add() { ++calls["add"]; }
    void exit() { ++calls["exit"]; }
    void save() { ++calls["save"]; }
    void rem() { ++calls["rem"]; }
    void tb_active(bool check) { tbStates.push_back(check); }
};

} // namespace

TEST(ReactionEditorForm, BuildsTheFrameWithoutRunningSlots)
{
    SlotCounter dialog;
    EXPECT_TRUE(dialog.calls.empty());
    EXPECT_TRUE(dialog.tbStates.empty());
    const Ui::PropAuxAddK& f = dialog.form;
    EXPECT_EQ(dialog.objectName(), "PropAuxAddK");
    EXPECT_FALSE(f.Box_tb->isChecked());
    EXPECT_FALSE(f.label_sp->isEnabled()); // inside the unchecked box
    EXPECT_FALSE(f.label_eff->isEnabled());
    EXPECT_EQ(f.label_sp->text(), "Specie");
    EXPECT_EQ(f.label_eff->text(), "efficiency");
    EXPECT_TRUE(f.line_reac->text().isEmpty());
    EXPECT_EQ(f.label_comment->text(), "(follow the example's format)");
    EXPECT_EQ(f.units_Ea->itemText(1), "J/mol");
    const int stretch[] = {10, 60, 10};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(f.mainLay->stretch(i), stretch[i]);
    for (QPushButton* b : {f.but_add, f.but_rem, f.but_exit, f.but_save})
        EXPECT_EQ(b->maximumSize(), QSize(200, 80)) << b->objectName().toStdString();
}

TEST(ReactionEditorForm, ClicksReachTheSlotsButCodeChangesOfTheBoxDoNot)
{
    SlotCounter dialog;
    dialog.show();
    const Ui::PropAuxAddK& f = dialog.form;
    f.but_add->setEnabled(true);
    f.but_rem->setEnabled(true);
    for (QPushButton* b : {f.but_add, f.but_rem, f.but_exit, f.but_save})
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(dialog.calls, (std::map<std::string, int>{{"add", 1}, {"exit", 1}, {"rem", 1}, {"save", 1}}));
    f.Box_tb->setChecked(true);
    EXPECT_TRUE(dialog.tbStates.empty());
    QTest::keyClick(f.Box_tb, Qt::Key_Space);
    EXPECT_EQ(dialog.tbStates, std::vector<bool>{false});
    QTest::keyClick(f.Box_tb, Qt::Key_Space);
    EXPECT_EQ(dialog.tbStates, (std::vector<bool>{false, true}));
}

#include "reaction_editor_form_test.moc"
