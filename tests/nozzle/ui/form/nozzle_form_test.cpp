// The nozzle tab's form on a stand-in host that records which of its slots the form
// calls: the state right after setupUi and the connections of every widget.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

#include "support/qstring_printer.h"
#include "ui_nozzletab.h"

class FormHost : public QWidget {
    Q_OBJECT
public:
    QStringList calls;
    Ui::NozzleTab ui;

public slots:
    bool calculate(bool recalc = false) { return record(QString("calculate(%1)").arg(recalc)); }
    bool calculate_conical() { return record("calculate_conical"); }
    bool calculate_bezier() { return record("calculate_bezier"); }
    bool calculate_spike() { return record("calculate_spike"); }
    void onBezierConvSel(QAbstractButton* b) { record("onBezierConvSel " + b->objectName()); }
    void onConicalConvSel(QAbstractButton* b) { record("onConicalConvSel " + b->objectName()); }
    void onConicalDivSel(QAbstractButton* b) { record("onConicalDivSel " + b->objectName()); }
    void onConicalFilSel(bool ch) { record(QString("onConicalFilSel(%1)").arg(ch)); }
    void onConicalTFilSel(bool ch) { record(QString("onConicalTFilSel(%1)").arg(ch)); }
    void geometry_change(int i) { record(QString("geometry_change(%1)").arg(i)); }
    void save() { record("save"); }
    void load() { record("load"); }
    void del() { record("del"); }
    void OptTargetChange(int t) { record(QString("OptTargetChange(%1)").arg(t)); }
    void OptUnitsChange(int u = 0) { record(QString("OptUnitsChange(%1)").arg(u)); }
    void OptSelProp(QString n) { record("OptSelProp " + n); }
    void OptSelGrain(QString n) { record("OptSelGrain " + n); }
    void OptimizeODE() { record("OptimizeODE"); }
    void showAbortButton() { record("showAbortButton"); }
    void OptODEFinished(bool) { record("OptODEFinished"); }
    void exportar() { record("exportar"); }
    void BabyMode(bool) { record("BabyMode"); }
    void hideSolid(bool) { record("hideSolid"); }

private:
    bool record(const QString& call)
    {
        calls << call;
        return false;
    }
};

namespace {

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int k = 0; k < c->count(); ++k)
        out << c->itemText(k);
    return out;
}

} // namespace

TEST(NozzleForm, StateAfterSetupUi)
{
    FormHost host;
    host.ui.setupUi(&host);
    const Ui::NozzleTab& ui = host.ui;
    // The only slot that ran while the form was built: the target change to "Thrust".
    EXPECT_EQ(host.calls, QStringList{"OptTargetChange(1)"});
    EXPECT_EQ(host.objectName(), "NozzleTab");
    EXPECT_EQ(host.windowTitle(), "Form");

    EXPECT_EQ(items(ui.comb_type), (QStringList{"Bezier (parabolic)", "Conical", "Aerospike"}));
    EXPECT_EQ(ui.comb_type->currentIndex(), 0);
    EXPECT_EQ(ui.comb_units->currentText(), "mm");
    EXPECT_EQ(ui.units_Pc_min->currentText(), "bar");
    EXPECT_EQ(ui.units_Pc_max->currentText(), "bar");
    EXPECT_EQ(items(ui.units_Pc_min), (QStringList{"MPa", "atm", "bar"}));
    EXPECT_EQ(items(ui.comb_pres), (QStringList{"Mpa", "atm", "bar"}));
    EXPECT_EQ(ui.comb_pres->currentText(), "atm");
    EXPECT_EQ(ui.combo_opt_target->currentText(), "Thrust");
    EXPECT_EQ(ui.combo_opt_target->count(), 5);
    EXPECT_EQ(ui.comb_prop->count(), 0);
    EXPECT_EQ(ui.comb_prop->placeholderText(), "Select propellant");
    EXPECT_EQ(ui.comb_grain->placeholderText(), "Select grain geometry");
    EXPECT_TRUE(ui.line_opt_target->isReadOnly());
    EXPECT_TRUE(ui.line_opt_target->isEnabled());
    EXPECT_TRUE(ui.check_OptAdapt->isChecked());
    EXPECT_EQ(ui.box_opt->title(), "Optimization data");
    EXPECT_EQ(ui.Box_define->title(), "Nozzle definition");

    // Texts as the user first sees them.
    EXPECT_EQ(ui.line_name->text(), "Nozzle_1");
    EXPECT_EQ(ui.line_points->text(), "100");
    EXPECT_EQ(ui.radio_conv_ang_bezier->text(), QString::fromUtf8("Convergent angle [\u00ba]"));
    EXPECT_EQ(ui.line_fgconv->text(), "37.5");
    EXPECT_EQ(ui.line_fgconv->placeholderText(), "Recommended 1.5*R_throat");
    EXPECT_EQ(ui.line_exit_conical->text(), "80");
    EXPECT_EQ(ui.but_opt_ode->text(), " Optimize w/ ODE ");
    EXPECT_EQ(ui.but_disp->text(), " Display Nozzle ");
    EXPECT_EQ(ui.but_disp->statusTip(), "Display currently selected nozzle");
    EXPECT_TRUE(ui.but_disp->toolTip().isEmpty());
    EXPECT_EQ(ui.units_AeAt_min->text(), "[-]");

    // Every angle-or-length pair starts on the angle; lengths and fillet radii disabled and empty.
    for (QRadioButton* r : {ui.radio_conv_ang_bezier, ui.radio_conv_conical, ui.radio_div_conical})
        EXPECT_TRUE(r->isChecked()) << r->objectName().toStdString();
    for (QLineEdit* f : {ui.line_conv_length_bezier, ui.line_conv_length_conical, ui.line_div_length_conical,
                         ui.line_fillet_conical, ui.line_tfillet_conical}) {
        EXPECT_FALSE(f->isEnabled()) << f->objectName().toStdString();
        EXPECT_TRUE(f->text().isEmpty()) << f->objectName().toStdString();
    }
    EXPECT_FALSE(ui.check_fillet_conical->isChecked());
    EXPECT_EQ(ui.butgroup_conv_bezier->buttons().size(), 2);
    EXPECT_EQ(ui.radio_conv_length_conical->group(), ui.butgroup_conv_conical);
    EXPECT_EQ(ui.radio_div_length_conical->group(), ui.butgroup_div_conical);
    EXPECT_EQ(ui.butgroup_conv_bezier->parent(), &host);
    EXPECT_STREQ(ui.graph->metaObject()->className(), "QCustomPlot");
}

TEST(NozzleForm, ConnectionsReachTheirSlots)
{
    FormHost host;
    host.ui.setupUi(&host);
    Ui::NozzleTab& ui = host.ui;
    auto after = [&host](const std::function<void()>& action) {
        host.calls.clear();
        action();
        return host.calls;
    };
    // Buttons act on release.
    EXPECT_EQ(after([&] { ui.but_disp->released(); }), QStringList{"calculate(0)"});
    EXPECT_EQ(after([&] { ui.but_save->released(); }), QStringList{"save"});
    EXPECT_EQ(after([&] { ui.but_load->released(); }), QStringList{"load"});
    EXPECT_EQ(after([&] { ui.but_del->released(); }), QStringList{"del"});
    EXPECT_EQ(after([&] { ui.but_opt_ode->released(); }), QStringList{"OptimizeODE"});
    EXPECT_EQ(after([&] { ui.comb_type->setCurrentIndex(1); }), QStringList{"geometry_change(1)"});
    EXPECT_EQ(after([&] { ui.check_fillet_conical->setChecked(true); }), QStringList{"onConicalFilSel(1)"});
    EXPECT_EQ(after([&] { ui.check_tfillet_conical->setChecked(true); }), QStringList{"onConicalTFilSel(1)"});
    // The group reports the radio turned off, then the one turned on.
    EXPECT_EQ(after([&] { ui.radio_conv_length_bezier->setChecked(true); }),
              (QStringList{"onBezierConvSel radio_conv_ang_bezier", "onBezierConvSel radio_conv_length_bezier"}));
    EXPECT_EQ(after([&] { ui.radio_conv_length_conical->setChecked(true); }).size(), 2);
    EXPECT_EQ(after([&] { ui.radio_div_length_conical->setChecked(true); }).last(),
              "onConicalDivSel radio_div_length_conical");
    EXPECT_EQ(after([&] { ui.combo_opt_target->setCurrentIndex(3); }), QStringList{"OptTargetChange(3)"});
    EXPECT_EQ(after([&] { ui.combo_opt_target_units->setCurrentIndex(2); }), QStringList{"OptUnitsChange(2)"});
    // With a placeholder, an added item is not selected by itself.
    EXPECT_TRUE(after([&] { ui.comb_prop->addItem("P"); }).isEmpty());
    EXPECT_EQ(after([&] { ui.comb_prop->setCurrentIndex(0); }), QStringList{"OptSelProp P"});
    ui.comb_grain->addItem("G");
    EXPECT_EQ(after([&] { ui.comb_grain->setCurrentIndex(0); }), QStringList{"OptSelGrain G"});

    for (QLineEdit* f : {ui.line_ent_conical, ui.line_throat_conical, ui.line_exit_conical, ui.line_conv_conical,
                         ui.line_conv_length_conical, ui.line_div_conical, ui.line_div_length_conical,
                         ui.line_fillet_conical, ui.line_tfillet_conical})
        EXPECT_EQ(after([&] { f->editingFinished(); }), QStringList{"calculate_conical"})
                << f->objectName().toStdString();
    for (QLineEdit* f : {ui.line_ent_bezier, ui.line_throat_bezier, ui.line_exit_bezier, ui.line_conv_ang_bezier,
                         ui.line_conv_length_bezier, ui.line_div_length_bezier, ui.line_fent, ui.line_fgconv,
                         ui.line_fgdiv, ui.line_parabola_initial, ui.line_parabola_final})
        EXPECT_EQ(after([&] { f->editingFinished(); }), QStringList{"calculate_bezier"})
                << f->objectName().toStdString();
    for (QLineEdit* f : {ui.line_ent_spike, ui.line_throat_spike, ui.line_exit_spike})
        EXPECT_EQ(after([&] { f->editingFinished(); }), QStringList{"calculate_spike"});

    // Fields without a connection.
    EXPECT_TRUE(after([&] {
                    ui.comb_units->setCurrentIndex(2);
                    ui.line_points->editingFinished();
                    ui.line_name->editingFinished();
                    ui.line_ambient->editingFinished();
                    ui.comb_pres->setCurrentIndex(0);
                    ui.line_opt_target->editingFinished();
                    ui.line_Pc_min->editingFinished();
                    ui.units_Rt_min->setCurrentIndex(2);
                    ui.check_OptAdapt->setChecked(false);
                }).isEmpty());
}

#include "nozzle_form_test.moc"
