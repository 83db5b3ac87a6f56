// The propellant tab's form as the tab builds it: objects, texts, status tips, initial
// states, cells, and the buttons reaching their slots.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <qcustomplot.h>

#include "propellant/tab_fixture.h"
#include "propellant/ui/prop_tab.h"

namespace {

class PropTabForm : public PropellantTabTest { };

template <class T>
T* child(QWidget& tab, const char* name)
{
    T* w = tab.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST_F(PropTabForm, TextsAndStatusTips)
{
    PropTab tab;
    EXPECT_EQ(tab.objectName(), "PropTab");
    EXPECT_EQ(tab.windowTitle(), "Form");
    EXPECT_TRUE(tab.autoFillBackground());
    const struct {
        const char* name;
        QString text, tip;
    } buttons[] = {
            {"but_Save", "Save Propellant", "Save current propellant data with the given name"},
            {"but_Load", "Load Propellant", "Load a previously saved propellant"},
            {"but_Del", "Delete Propellant", "Delete a previously saved propellant"},
            {"but_Reac", " Reactants database ",
             "Access the database of reactants. You can edit, add, or delete reactants"},
            {"but_Species", " Species database ",
             "Access the species database. Check which species you want to be used in calculations for this "
             "propellant"},
            {"but_Kinetics", "Kinetics database",
             "Access reactions database. Check which reactions you want to be used in ODK calculations"},
            {"but_display", "Display C*", "Display C* graph for current propellant data"},
            {"but_clear_graph", "Clear graphs", "Clear all C* graphs"},
            {"but_addIn", "Add interval", ""},
            {"but_remIn", "Remove interval", ""},
    };
    for (const auto& b : buttons) {
        QPushButton* w = child<QPushButton>(tab, b.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->text(), b.text) << b.name;
        EXPECT_EQ(w->statusTip(), b.tip) << b.name;
        EXPECT_TRUE(w->toolTip().isEmpty()) << b.name;
    }
    const struct {
        const char* name;
        QString text, tip;
    } labels[] = {
            {"label_dens", "Density", "Density of the propellant in its pre-combustion state"},
            {"label_vielle", "Vielle's parameters",
             "Vielle's parameters relate chamber pressure with regression speed of the combustion surface"},
            {"label_a", "Parameter 'a' ", "Coefficient of Vielle's Law"},
            {"label_n", "Parameter 'n' ", "Exponent of Vielle's Law"},
            {"label_from", "from", ""},
            {"label_to", "to", ""},
            {"label_Name", "Propellant Name:", ""},
    };
    for (const auto& l : labels) {
        QLabel* w = child<QLabel>(tab, l.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->text(), l.text) << l.name;
        EXPECT_EQ(w->statusTip(), l.tip) << l.name;
    }
    EXPECT_EQ(child<QLineEdit>(tab, "line_Name")->text(), "Propellant_1");
    EXPECT_EQ(child<QLineEdit>(tab, "line_Name")->statusTip(),
              "Introduce propellant name. It is used to identify its save and in the C* graph legend");
    EXPECT_TRUE(child<QLineEdit>(tab, "line_dens")->text().isEmpty());
    EXPECT_EQ(child<QGroupBox>(tab, "PropDataBox")->title(), "Propellant data");
    EXPECT_EQ(child<QGroupBox>(tab, "PropCompBox")->title(), "Propellant composition");
    QComboBox* sel = child<QComboBox>(tab, "sel_react");
    EXPECT_EQ(sel->placeholderText(), "Select reactants");
    EXPECT_EQ(sel->statusTip(), "Select which reactants are present in the reaction");
    const struct {
        const char* name;
        QStringList items;
    } units[] = {{"Box_P_units", {"MPa", "atm", "bar"}},
                 {"Box_a_units", {"m/s", "mm/s"}},
                 {"Box_dens_units", {"g/cm^3", "kg/m^3"}}};
    for (const auto& u : units) {
        QComboBox* box = child<QComboBox>(tab, u.name);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, u.items) << u.name;
        EXPECT_EQ(box->currentIndex(), 0) << u.name;
    }
    auto* plot = child<QCustomPlot>(tab, "Graph");
    EXPECT_EQ(plot->xAxis->label(), "Chamber pressure [Pa]");
    EXPECT_EQ(plot->yAxis->label(), "C* [m/s]");
    EXPECT_TRUE(plot->legend->visible());
    EXPECT_EQ(tab.optimiseButton()->text(), "Optimize composition for max c*");
    EXPECT_TRUE(tab.optimiseButton()->isHidden());
}

TEST_F(PropTabForm, DataGroupStartsOffAndThePressureUnitNeverChanges)
{
    PropTab tab;
    auto* box = child<QGroupBox>(tab, "PropDataBox");
    EXPECT_TRUE(box->isCheckable());
    EXPECT_FALSE(box->isChecked());
    for (const char* name : {"line_dens", "Box_dens_units", "Box_a_units", "but_addIn", "but_remIn"})
        EXPECT_FALSE(child<QWidget>(tab, name)->isEnabled()) << name;
    EXPECT_FALSE(tab.lowerField(0)->isEnabled());
    box->setChecked(true);
    for (const char* name : {"line_dens", "Box_dens_units", "Box_a_units", "but_addIn", "but_remIn"})
        EXPECT_TRUE(child<QWidget>(tab, name)->isEnabled()) << name;
    EXPECT_TRUE(tab.lowerField(0)->isEnabled());
    EXPECT_TRUE(tab.upperField(0)->isEnabled());
    EXPECT_FALSE(child<QComboBox>(tab, "Box_P_units")->isEnabled());
}

TEST_F(PropTabForm, CellsOfTheMainGridAndTheFirstInterval)
{
    PropTab tab;
    auto* grid = child<QGridLayout>(tab, "PropTabGrid");
    auto cell = [](QGridLayout* g, QWidget* w) {
        int r, c, rs, cs;
        g->getItemPosition(g->indexOf(w), &r, &c, &rs, &cs);
        return std::vector<int>{r, c, rs, cs};
    };
    EXPECT_EQ(cell(grid, child<QWidget>(tab, "Graph")), (std::vector<int>{0, 1, 3, 1}));
    EXPECT_EQ(cell(grid, child<QWidget>(tab, "PropData")), (std::vector<int>{3, 1, 3, 1}));
    EXPECT_EQ(cell(grid, child<QWidget>(tab, "PropComp")), (std::vector<int>{1, 0, 3, 1}));
    EXPECT_EQ(grid->columnStretch(0), 30);
    EXPECT_EQ(grid->columnStretch(1), 70);
    const int rows[] = {12, 0, 54, 20, 6, 8};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(grid->rowStretch(r), rows[r]) << r;
    auto* data = child<QGridLayout>(tab, "PropDataGrid");
    EXPECT_EQ(cell(data, tab.lowerField(0)), (std::vector<int>{4, 2, 1, 1}));
    EXPECT_EQ(cell(data, tab.upperField(0)), (std::vector<int>{4, 4, 1, 1}));
    EXPECT_EQ(cell(data, tab.coefficientField(0)), (std::vector<int>{4, 7, 1, 4}));
    EXPECT_EQ(cell(data, tab.exponentField(0)), (std::vector<int>{4, 12, 1, 3}));
}

TEST_F(PropTabForm, ButtonsReachTheirSlotsOnRelease)
{
    PropTab tab;
    child<QGroupBox>(tab, "PropDataBox")->setChecked(true);
    auto* add = child<QPushButton>(tab, "but_addIn");
    emit add->clicked(); // a click alone does nothing: the form listens to released()
    EXPECT_EQ(tab.intervalRowCount(), 1);
    emit add->released();
    EXPECT_EQ(tab.intervalRowCount(), 2);
    emit child<QPushButton>(tab, "but_remIn")->released();
    EXPECT_EQ(tab.intervalRowCount(), 1);
    // The selector's text change adds the reactant chosen.
    child<QComboBox>(tab, "sel_react")->setCurrentText("Fuel");
    EXPECT_EQ(tab.reactantRowCount(), 1);
}

} // namespace
