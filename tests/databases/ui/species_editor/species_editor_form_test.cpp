// The species editor's form on its own: what setupUi builds and which slots it reaches.
#include <map>
#include <string>
#include <vector>

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "ui_propauxaddsp.h"

namespace {

// Stands in for the editor: counts the calls of every slot the form may reach.
class SlotCounter : public QDialog {
    Q_OBJECT
public:
    std::map<std::string, int> calls;
    std::vector<bool> viscStates, condStates, cpStates;
    Ui::PropAuxAddSP form;
    SlotCounter() { form.setupUi(this); }
public slots:
    void save() { ++calls["save"]; }
    void exit() { ++calls["exit"]; }
    void add_interval() { ++calls["add_interval"]; }
    void rem_interval() { ++calls["rem_interval"]; }
    void add_term() { ++calls["add_term"]; }
    void rem_term() { ++calls["rem_term"]; }
    void cp_active(bool check) { cpStates.push_back(check); }
    void add_visc_int() { ++calls["add_visc_int"]; }
    void rem_visc_int() { ++calls["rem_visc_int"]; }
    void visc_active(bool check) { viscStates.push_back(check); }
    void add_cond_int() { ++calls["add_cond_int"]; }
    void rem_cond_int() { ++calls["rem_cond_int"]; }
    void cond_active(bool check) { condStates.push_back(check); }
};

QString textAt(QGridLayout* grid, int row, int column)
{
    QLayoutItem* item = grid->itemAtPosition(row, column);
    QWidget* w = item ? item->widget() : nullptr;
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(w))
        return button->text();
    return w ? w->objectName() : QString();
}

} // namespace

TEST(SpeciesEditorForm, BuildsTheFrameWithoutRunningSlots)
{
    SlotCounter dialog;
    EXPECT_TRUE(dialog.calls.empty());
    EXPECT_TRUE(dialog.viscStates.empty() && dialog.condStates.empty() && dialog.cpStates.empty());
    const Ui::PropAuxAddSP& f = dialog.form;
    EXPECT_EQ(dialog.objectName(), "PropAuxAddSP");
    EXPECT_TRUE(dialog.isSizeGripEnabled());
    const int stretch[] = {15, 30, 15, 15, 5};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(f.mainLay->stretch(i), stretch[i]) << i;
    EXPECT_EQ(f.Box_info->title(), "General information");
    EXPECT_EQ(f.Box_info->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    EXPECT_EQ(f.BoxInfoLay->rowStretch(0), 10);

    // Cells of the general information, row by row ("Name: " keeps its blank).
    struct Cell {
        QGridLayout* grid;
        int row, column;
        QString text;
    };
    const Cell cells[] = {
            {f.BoxInfoLay, 0, 0, "Name: "},
            {f.BoxInfoLay, 0, 1, "line_name"},
            {f.BoxInfoLay, 1, 0, "Composition"},
            {f.BoxInfoLay, 1, 1, "line_comp"},
            {f.BoxInfoLay, 2, 0, "Phase"},
            {f.BoxInfoLay, 2, 1, "sel_phase"},
            {f.BoxInfoLay, 2, 3, "(Atoms separated by /) (electron written as: E)"},
            {f.BoxInfoLay, 3, 0, "Molecular weight"},
            {f.BoxInfoLay, 3, 1, "unit_mw"},
            {f.BoxInfoLay, 3, 2, "line_mw"},
            {f.BoxInfoLay, 4, 0, "Formation enthalpy (1atm, 298 K)"},
            {f.BoxInfoLay, 4, 1, "unit_enth"},
            {f.BoxInfoLay, 4, 2, "line_enth"},
            {f.Box_cp_lay, 0, 5, "Add term"},
            {f.Box_cp_lay, 0, 6, "Remove term"},
            {f.Box_visc_lay, 0, 0, "from"},
            {f.Box_visc_lay, 0, 2, "to"},
            {f.Box_visc_lay, 0, 4, "K"},
            {f.Box_visc_lay, 0, 6, "Coefficients:"},
            {f.Box_cond_lay, 0, 0, "from"},
            {f.Box_cond_lay, 0, 2, "to"},
            {f.Box_cond_lay, 0, 4, "K"},
            {f.Box_cond_lay, 0, 6, "Coefficients:"},
            {f.gridLayout, 0, 0, " Add Cp Intervals "},
            {f.gridLayout, 0, 1, " Add viscosity interval "},
            {f.gridLayout, 0, 2, " Add conductivity interval "},
            {f.gridLayout, 0, 4, "Exit"},
            {f.gridLayout, 0, 5, "Save"},
            {f.gridLayout, 1, 0, " Remove Cp interval "},
            {f.gridLayout, 1, 1, " Remove viscosity interval "},
            {f.gridLayout, 1, 2, " Remove conductivity interval "},
    };
    for (const Cell& c : cells)
        EXPECT_EQ(textAt(c.grid, c.row, c.column), c.text) << c.row << "," << c.column;
    // The template-free grids: the form leaves the interval cells to the editor.
    EXPECT_EQ(f.Box_cp_lay->count(), 3); // two term buttons and the spacer
    EXPECT_EQ(f.Box_visc_lay->count(), 5); // four captions and the spacer
    EXPECT_EQ(f.Box_cond_lay->count(), 5);
    EXPECT_EQ(f.label_comment->alignment(), Qt::AlignRight | Qt::AlignTop | Qt::AlignTrailing);
    EXPECT_EQ(f.label_comment->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_FALSE(f.Box_cp->isCheckable());
    EXPECT_TRUE(f.box_visc->isCheckable() && f.box_visc->isChecked());
    EXPECT_TRUE(f.Box_cond->isCheckable() && f.Box_cond->isChecked());
    EXPECT_EQ(f.sel_phase->currentText(), "Gas");
    EXPECT_EQ(f.unit_mw->currentText(), "g/mol");
    EXPECT_EQ(f.unit_enth->currentText(), "J/kmol (J/kg-mol)");
    for (QPushButton* b : {f.but_add_int, f.but_rem_int, f.but_add_visc, f.but_rem_visc, f.but_add_cond, f.but_rem_cond,
                           f.but_exit, f.but_save}) {
        EXPECT_EQ(b->maximumSize(), QSize(200, 80)) << b->objectName().toStdString();
        EXPECT_EQ(b->sizePolicy().horizontalPolicy(), QSizePolicy::MinimumExpanding);
    }
}

TEST(SpeciesEditorForm, ButtonsAndTransportBoxesReachTheirSlotsButTheCpBoxDoesNot)
{
    SlotCounter dialog;
    dialog.show();
    const Ui::PropAuxAddSP& f = dialog.form;
    const std::pair<QPushButton*, const char*> buttons[] = {{f.but_save, "save"},
                                                            {f.but_exit, "exit"},
                                                            {f.but_add_term, "add_term"},
                                                            {f.but_add_int, "add_interval"},
                                                            {f.but_rem_int, "rem_interval"},
                                                            {f.but_rem_term, "rem_term"},
                                                            {f.but_add_visc, "add_visc_int"},
                                                            {f.but_rem_visc, "rem_visc_int"},
                                                            {f.but_add_cond, "add_cond_int"},
                                                            {f.but_rem_cond, "rem_cond_int"}};
    for (const auto& [button, slot] : buttons) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(dialog.calls[slot], 1) << slot;
    }
    // check changes by code reach the transport slots
    f.box_visc->setChecked(false);
    f.Box_cond->setChecked(false);
    f.Box_cond->setChecked(true);
    EXPECT_EQ(dialog.viscStates, std::vector<bool>{false});
    EXPECT_EQ(dialog.condStates, (std::vector<bool>{false, true}));
    // the editor alone connects the Cp box, in reactant mode
    f.Box_cp->setCheckable(true);
    f.Box_cp->setChecked(false);
    EXPECT_TRUE(dialog.cpStates.empty());
}

#include "species_editor_form_test.moc"
