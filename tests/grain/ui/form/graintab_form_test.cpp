// The grain tab's form on its own: what setupUi builds, its texts and initial states, and
// which slot every signal reaches.
#include <map>
#include <string>
#include <vector>

#include <QComboBox>
#include <QGraphicsView>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "ui_graintab.h"

namespace {

// Stands in for the tab: records every slot call the form makes.
class SlotRecorder : public QWidget {
    Q_OBJECT
public:
    std::vector<std::string> calls;
    Ui::GrainTab form;
    SlotRecorder() { form.setupUi(this); }
public slots:
    void geometry_change(int i) { calls.push_back("geometry_change " + std::to_string(i)); }
    void comb_change(int i) { calls.push_back("comb_change " + std::to_string(i)); }
    bool calculate()
    {
        calls.push_back("calculate");
        return true;
    }
    void opt_length_cilindrical() { calls.push_back("opt_length_cilindrical"); }
    void save() { calls.push_back("save"); }
    void load() { calls.push_back("load"); }
    void del() { calls.push_back("del"); }
    void sliderActive(int x) { calls.push_back("sliderActive " + std::to_string(x)); }
};

QStringList items(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QWidget* at(QGridLayout* grid, int row, int column)
{
    QLayoutItem* item = grid->itemAtPosition(row, column);
    return item ? item->widget() : nullptr;
}

} // namespace

TEST(GrainTabForm, BuildsWithoutCallingSlots)
{
    SlotRecorder tab;
    const Ui::GrainTab& f = tab.form;
    EXPECT_TRUE(tab.calls.empty());
    EXPECT_EQ(tab.objectName(), "GrainTab");
    EXPECT_EQ(tab.windowTitle(), "Form");
    EXPECT_EQ(tab.size(), QSize(1063, 619));
    EXPECT_EQ(tab.sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    EXPECT_TRUE(tab.autoFillBackground());

    EXPECT_EQ(f.comb_geo_type->currentIndex(), 0);
    EXPECT_EQ(items(f.comb_geo_type), QStringList({"Cylindrical charges", "Frontal", "Star charges", "Custom"}));
    EXPECT_EQ(f.comb_combustion->currentIndex(), 0);
    EXPECT_EQ(items(f.comb_combustion),
              QStringList({"Radial & base combustion", "Radial combustion", "Base combustion"}));
    EXPECT_EQ(f.combo_units->currentIndex(), 0);
    EXPECT_EQ(items(f.combo_units), QStringList({"mm", "cm", "dm", "m"}));

    // The tab decides which panel shows; the form shows them all.
    for (QWidget* w : {static_cast<QWidget*>(f.scroll_cilindrical), static_cast<QWidget*>(f.scroll_star),
                       static_cast<QWidget*>(f.scroll_frontal), static_cast<QWidget*>(f.scroll_custom),
                       static_cast<QWidget*>(f.but_def_custom)})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
}

TEST(GrainTabForm, InitialFieldsFormValidGrains)
{
    SlotRecorder tab;
    const Ui::GrainTab& f = tab.form;
    const std::map<QLineEdit*, QString> texts = {
            {f.line_name, "Grain_1"},        {f.line_y_points, "100"},       {f.line_number_cilindrical, "1"},
            {f.line_Dext_cilindrical, "50"}, {f.line_Di_cilindrical, "20"},  {f.line_length_cilindrical, "100"},
            {f.line_from_cilindrical, "10"}, {f.line_to_cilindrical, "100"}, {f.line_step_cilindrical, "1"},
            {f.line_length_frontal, "100"},  {f.line_Dext_frontal, "50"},    {f.line_number_star, "1"},
            {f.line_points_star, "5"},       {f.line_Dext_star, "50"},       {f.line_Dpoint_star, "40"},
            {f.line_Din_star, "30"},         {f.line_length_star, "100"},
    };
    for (const auto& [field, text] : texts) {
        EXPECT_EQ(field->text(), text) << field->objectName().toStdString();
        EXPECT_FALSE(field->isReadOnly());
        EXPECT_EQ(field->validator(), nullptr); // the tab adds them
    }
    for (QLineEdit* out : {f.line_Amax, f.line_Adev, f.line_volume, f.line_Amin, f.line_Amed, f.line_fill}) {
        EXPECT_TRUE(out->isReadOnly()) << out->objectName().toStdString();
        EXPECT_TRUE(out->text().isEmpty());
        EXPECT_EQ(out->sizePolicy().horizontalPolicy(), QSizePolicy::MinimumExpanding);
    }
    // Status tips, typos included.
    EXPECT_EQ(f.line_volume->statusTip(), "Volume occuppied by the propellant");
    EXPECT_EQ(f.line_fill->statusTip(), "Porcentage of chamber volume occupied by the propellant");
    EXPECT_EQ(f.line_step_cilindrical->statusTip(), "length step used for length optimization");
    EXPECT_EQ(f.line_Dext_frontal->statusTip(),
              "Exterior diameter of the charge. This coincides with the interior diameter of the combustion chamber");
    EXPECT_EQ(f.but_save->statusTip(), "Save the current grain geometry with the name given");
    EXPECT_EQ(f.but_def_custom->statusTip(), "Open window for custom grain geometry definition");
    EXPECT_TRUE(f.but_save->toolTip().isEmpty());
}

TEST(GrainTabForm, Layout)
{
    SlotRecorder tab;
    const Ui::GrainTab& f = tab.form;
    const int rows[] = {50, 35, 5, 10};
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(f.mainGrid->rowStretch(r), rows[r]);
    const int columns[] = {4, 9, 9, 9, 4, 0, 65, 0};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(f.mainGrid->columnStretch(c), columns[c]) << c;
    EXPECT_EQ(at(f.mainGrid, 0, 6), f.Grain_image);
    EXPECT_EQ(at(f.mainGrid, 1, 7), f.graph);
    EXPECT_EQ(at(f.mainGrid, 2, 6), f.Slider_burnback);
    EXPECT_EQ(at(f.mainGrid, 2, 4), f.scroll_input);
    EXPECT_EQ(at(f.mainGrid, 3, 1), f.but_save);
    EXPECT_EQ(at(f.mainGrid, 3, 2), f.but_load);
    EXPECT_EQ(at(f.mainGrid, 3, 3), f.but_del);
    EXPECT_EQ(at(f.mainGrid, 3, 6), f.scroll_output);
    EXPECT_EQ(f.Slider_burnback->orientation(), Qt::Horizontal);
    EXPECT_EQ(f.but_del->maximumHeight(), 60);
    EXPECT_EQ(f.Box_define_geo->title(), "Define grain geometry");
    EXPECT_EQ(f.Box_output->title(), "Grain geometry output");
    EXPECT_EQ(f.scroll_output->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(f.scroll_input->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(f.graph->parent(), &tab);

    QGridLayout* g = f.box_define_geo_grid;
    EXPECT_EQ(at(g, 2, 1), f.line_y_points); // shared by every geometry, outside the panels
    EXPECT_EQ(at(g, 3, 0), f.comb_geo_type);
    EXPECT_EQ(at(g, 4, 1), f.scroll_cilindrical);
    EXPECT_EQ(at(g, 5, 0), f.scroll_star);
    EXPECT_EQ(at(g, 6, 0), f.scroll_frontal);
    EXPECT_EQ(at(g, 7, 0), f.scroll_custom);
    EXPECT_EQ(at(g, 8, 1), f.but_def_custom);
    EXPECT_EQ(at(f.scroll_cilindrical_grid, 3, 0), f.label_Din_cilindrical);
    EXPECT_EQ(f.label_Din_cilindrical->text(), "Interior diameter");
    EXPECT_EQ(at(f.scroll_cilindrical_grid, 5, 2), f.but_opt_length_cilindrical);
    EXPECT_EQ(at(f.scroll_cilindrical_grid, 8, 2), f.line_step_cilindrical);
    EXPECT_EQ(at(f.gridLayout, 3, 1), f.line_Dpoint_star);
    EXPECT_EQ(at(f.scroll_frontal_grid, 0, 1), f.line_length_frontal);
    EXPECT_EQ(at(f.box_output_grid, 1, 7), f.line_fill);
    EXPECT_EQ(at(f.box_output_grid, 0, 3), f.label_Adev);
    EXPECT_EQ(f.label_Adev->text(), "Area deviation:");
}

TEST(GrainTabForm, SignalsReachTheirSlots)
{
    SlotRecorder tab;
    Ui::GrainTab& f = tab.form;
    for (QLineEdit* field :
         {f.line_Di_cilindrical, f.line_Dext_cilindrical, f.line_length_cilindrical, f.line_number_cilindrical,
          f.line_Dext_frontal, f.line_length_frontal, f.line_Dext_star, f.line_Din_star, f.line_Dpoint_star,
          f.line_length_star, f.line_points_star, f.line_number_star, f.line_y_points}) {
        tab.calls.clear();
        emit field->editingFinished();
        EXPECT_EQ(tab.calls, std::vector<std::string>{"calculate"}) << field->objectName().toStdString();
    }
    // The name, the unit and the sweep range trigger nothing.
    tab.calls.clear();
    for (QLineEdit* field : {f.line_name, f.line_from_cilindrical, f.line_to_cilindrical, f.line_step_cilindrical})
        emit field->editingFinished();
    f.combo_units->setCurrentIndex(2);
    EXPECT_TRUE(tab.calls.empty());

    const std::pair<QPushButton*, const char*> buttons[] = {{f.but_opt_length_cilindrical, "opt_length_cilindrical"},
                                                            {f.but_save, "save"},
                                                            {f.but_load, "load"},
                                                            {f.but_del, "del"}};
    for (const auto& [button, slot] : buttons) {
        tab.calls.clear();
        emit button->clicked(); // not connected: the buttons answer released()
        EXPECT_TRUE(tab.calls.empty());
        emit button->released();
        EXPECT_EQ(tab.calls, std::vector<std::string>{slot});
    }
    tab.calls.clear();
    f.comb_geo_type->setCurrentIndex(1);
    f.comb_combustion->setCurrentIndex(2);
    f.Slider_burnback->setValue(7);
    EXPECT_EQ(tab.calls, (std::vector<std::string>{"geometry_change 1", "comb_change 2", "sliderActive 7"}));
    tab.calls.clear();
    emit f.but_def_custom->released();
    EXPECT_TRUE(tab.calls.empty());
}

#include "graintab_form_test.moc"
