#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/calculation_activity.h"
#include "core/preference_limits.h"
#include "core/ui/run_modal.h"
#include "shell/preferences/preferences_test_support.h"
#include "shell/ui/preferences_dialog.h"
#include "ui_preferences.h"

namespace {

// The form's fields and groups, page by page from the top, with their captions (a
// field's label, a check box's own text, a group's title).
struct FormRow {
    const char* object;
    const char* className;
    int page;
    const char* caption;
};
const FormRow formRows[] = {
        {"combo_WINSTYLE", "QComboBox", 0, "Preferred style:"},
        {"combo_default_tab", "QComboBox", 0, "Default Tab:"},
        {"combo_preferences_tab", "QComboBox", 0, "Default Tab in preferences window"},
        {"line_NUM_DIS_PREC", "QLineEdit", 0, "Number of decimal digits displayed: "},
        {"combo_GLINE_WIDTH", "QComboBox", 0, "Graph line width"},
        {"check_NightMode", "QCheckBox", 0, "Night mode activated by defaullt"},
        {"check_StatusBar", "QCheckBox", 0, "Status bar visible by default"},
        {"check_hideSolid", "QCheckBox", 0, "Hide options related to solid motor simulation by default"},
        {"group_EXPORT", "QGroupBox", 0, "Export"},
        {"line_PATH_EXPORT", "QLineEdit", 0, "Default directory"},
        {"line_LIST_SEPARATOR", "QLineEdit", 0, "List separator (for .csv output):"},
        {"line_DIG_OUT", "QLineEdit", 0, "Number of decimal digits in output"},
        {"check_SAME_NAME_EXPORT", "QCheckBox", 0,
         "Use the same name and path for all exported files rather than requesting a name for each one"},
        {"line_IMG_WIDTH", "QLineEdit", 0, "Image width (pixels):"},
        {"line_IMG_HEIGHT", "QLineEdit", 0, "Image height (pixels):"},
        {"group_Babymode", "QGroupBox", 0, "Babymode"},
        {"check_BabyMode", "QCheckBox", 0, "Baby mode active by default"},
        {"check_BLOCK_PREFERENCES", "QCheckBox", 0, "Block access to preferences in Babymode"},
        {"check_LOCK_BABYMODE", "QCheckBox", 0,
         "Lock this application in Babymode (this cannot be reverted through in-application means)"},
        {"line_DEF_REAC_T", "QLineEdit", 1, "Default reactant temperature:      "},
        {"check_PRES_VIELLE_TOP_LIMIT", "QCheckBox", 1,
         "Allow to set a limit to top pressure in last range for Vielle's parameters"},
        {"group_CS_PLOT", "QGroupBox", 1, "c* graph"},
        {"line_MIN_PRES_CS_PLOT", "QLineEdit", 1, "Minimum pressure in C* graph:"},
        {"line_MAX_PRES_CS_PLOT", "QLineEdit", 1, "Maximum pressure in C* graph:"},
        {"line_CS_PLOT_POINTS", "QLineEdit", 1, "Number of points in C* graph:"},
        {"group_COMP_OPT", "QGroupBox", 1, "Composition optimization for maximum c*"},
        {"line_COMP_OPT_MIN", "QLineEdit", 1, "First to second reactant minimum ratio:"},
        {"line_COMP_OPT_MAX", "QLineEdit", 1, "First to second reactant maximum ratio:"},
        {"line_COMP_OPT_NUM", "QLineEdit", 1, "Number of mixture ratios to be tested:"},
        {"line_COMP_OPT_PRES", "QLineEdit", 1, "Chamber pressure for optimization:"},
        {"groupBox_2", "QGroupBox", 1, "Databases"},
        {"check_ONLY_COMPATIBLE", "QCheckBox", 1,
         "By default only show species/reactions that are compatible with current reactants"},
        {"check_DISABLE_INCOMPATIBLE", "QCheckBox", 1,
         "When all species/reactions are shown, disable those which are incompatible with current reactants"},
        {"combo_COMB_EV", "QComboBox", 2, "Combustion front evolution of the charge:"},
        {"group_PRES_CALC", "QGroupBox", 2, "Chamber pressure calculations"},
        {"line_PRES_MAX_ITER", "QLineEdit", 2, "Maximum number of iterations:"},
        {"line_PRES_TOL", "QLineEdit", 2, "Tolerance for convergence:"},
        {"line_PRES_INITIAL_ESTIMATE", "QLineEdit", 2, "Pressure initial estimate:"},
        {"combo_Nozzle_display", "QComboBox", 3, "Nozzle display:"},
        {"check_VNOZZ", "QCheckBox", 3, "Add vertical lines at entrance, throat and exit of the nozzle"},
        {"check_NOZZLE_BRUSH", "QCheckBox", 3, "Colorfill Nozzle"},
        {"group_opt", "QGroupBox", 3, "Optimization"},
        {"combo_OPT_WITH", "QComboBox", 3, "Optimize with:"},
        {"combo_OPT_AREA", "QComboBox", 3, "Area to be used for thrust, total and specific impulse optimization:"},
        {"line_OPT_TREAC", "QLineEdit", 3, "Initial temperature for reactants in optimization:"},
        {"line_OPT_MAX_ITER", "QLineEdit", 3, "Maximum number of iterations for optimization:"},
        {"line_OPT_TOL", "QLineEdit", 3, "Tolerance for target value in optimization:"},
        {"line_NUM_POINTS_OPT", "QLineEdit", 3, "Number of points used in particle swarm optimization:"},
        {"check_OPT_FROZ", "QCheckBox", 3,
         "Freeze flow at throat in thrust, total and specific impulse optimization (faster computation)"},
        {"combo_TYPE_RESULTS", "QComboBox", 4, "Type of display for calculation results:"},
        {"line_ABORT", "QLineEdit", 4, "Number of seconds before \"Abort calculations\" button appears"},
        {"check_NORMALIZED", "QCheckBox", 4, "Normalize values plotted in graph"},
        {"check_GRAPH_Y_0", "QCheckBox", 4, "Always start graph y-axis at 0"},
        {"check_SHOW_FREEZE", "QCheckBox", 4, "Show freeze point in graphs"},
        {"check_SHOW_AP_CHANGE", "QCheckBox", 4, "Show points at which ODK changes from pressure to area"},
        {"check_ONLY_FROZ", "QCheckBox", 4, "Only plot frozen variables even if the flow is in equilibrium"},
        {"group_Numeric", "QGroupBox", 4, "Numeric"},
        {"combo_DER_PREC", "QComboBox", 4, "Derivative precission:"},
        {"combo_INTER_PREC", "QComboBox", 4, "Interpolation precission:"},
        {"combo_INT_METHOD", "QComboBox", 4, "Integration method:"},
        {"groupBox_3", "QGroupBox", 4, "Bartz equation for convective heat coefficient:"},
        {"line_VEL_CHAMBER", "QLineEdit", 4, "Flow velocity in combustion chamber:"},
        {"line_C_BARTZ", "QLineEdit", 4, "Coefficient for Prandtl-Reynolds product:"},
        {"line_m_BARTZ", "QLineEdit", 4, "Exponent for Reynolds number:"},
        {"line_n_BARTZ", "QLineEdit", 4, "Exponent for Prandtl number:"},
        {"line_wv_BARTZ", "QLineEdit", 4, "Viscosity exponent for temperature:"},
        {"line_wk_BARTZ", "QLineEdit", 4, "Conductivity exponent for temperature:"},
        {"line_wc_BARTZ", "QLineEdit", 4, "Cp exponent for temperature:"},
        {"line_curv_BARTZ", "QLineEdit", 4, "Curvature correction exponent:"},
        {"line_MAX_ITER_E", "QLineEdit", 5, "Maximum number of iterations for equilibrium calculation:"},
        {"line_MAX_ITER_IONS", "QLineEdit", 5, "Maximum iterations for ion balance convergence:"},
        {"line_MIN_SP_N", "QLineEdit", 5, "Minimum composition for specie to be considered:"},
        {"line_MIN_ION_N", "QLineEdit", 5, "Minimum composition for ion to be considered:"},
        {"line_TOL_T", "QLineEdit", 5, "Tolerance for temperature convergence:"},
        {"line_TOL_S", "QLineEdit", 5, "Tolerance for entropy convergence:"},
        {"line_TOL_N", "QLineEdit", 5, "Tolerance for molecular weight convergence:"},
        {"line_TOL_b", "QLineEdit", 5, "Tolerance for species convergence:"},
        {"line_TOL_ION", "QLineEdit", 5, "Tolerance for ion convergence:"},
        {"line_TOLERANCE_PI_LOW_N", "QLineEdit", 5, "Tolerance for species with extremely low composition:"},
        {"line_T_SEED", "QLineEdit", 5, "Seed temperature for combustion chemical equilibrium:"},
        {"line_INITIAL_MIX_N", "QLineEdit", 5, "Initial estimate for mixture composition:"},
        {"line_INITIAL_CONDENSED", "QLineEdit", 5, "Initial value for introduced condensed species:"},
        {"line_SING_RESET", "QLineEdit", 5, "Specie composition at forced reset:"},
        {"line_ION_RESET", "QLineEdit", 5, "Ion composition for ion reset:"},
        {"line_COND_Akl", "QLineEdit", 5, "Collision cross-section ratio (A*)"},
        {"line_THROAT_CONV", "QLineEdit", 6, "Tolerance for throat convergence:"},
        {"line_CONV_COND", "QLineEdit", 6, "Tolerance for pressure convergence:"},
        {"line_FROZ_COND", "QLineEdit", 6, "Tolerance for temperature convergence (frozen flow):"},
        {"line_MAX_ITER_THROAT", "QLineEdit", 6, "Maximum iterations for throat convergence:"},
        {"line_MAX_ITER_ODE", "QLineEdit", 6, "Maximum iterations for pressure convergence"},
        {"line_MAX_ITER_FROZEN", "QLineEdit", 6, "Maximum iterations for temperature convergence:"},
        {"line_MAX_ITER_FROZEN_THROAT", "QLineEdit", 6, "Maximum iterations for frozen throat convergence:"},
        {"groupBox", "QGroupBox", 6, "FAC problem"},
        {"line_INJ_VEL", "QLineEdit", 6, "Flow velocity at injector plane:"},
        {"line_Pinf_Pi_RESET", "QLineEdit", 6, "Pinf/Pi forced reset for FAC problem:"},
        {"line_AR_DIFF_TOL", "QLineEdit", 6, "Minimum area difference to consider new initial point in FAC:"},
        {"line_XOFF_NEW_ACH", "QLineEdit", 6, "X percentage offset for new initial point in FAC:"},
        {"line_FAC_CONV", "QLineEdit", 6, "Tolerance for FAC problem convergence:"},
        {"line_MAX_ITER_FAC", "QLineEdit", 6, "Maximum number of iterations for FAC Pinf calculation:"},
        {"line_REL_TOL", "QLineEdit", 7, "Differential equation solver relative tolerance:"},
        {"line_ABS_TOL", "QLineEdit", 7, "Differential equation solver absolute tolerance:"},
        {"line_MAX_ITER_GLOBAL", "QLineEdit", 7, "Maximum iterations for global convergence:"},
        {"line_MAX_ITER_THROAT_ODK", "QLineEdit", 7, "Maximum iterations for throat convergence:"},
        {"line_MAX_ITER_MF_ODK", "QLineEdit", 7, "Maximum iterations for mass flow convergence:"},
        {"line_MAX_ITER_POINTS_ODK", "QLineEdit", 7, "Maximum iterations for near-throat points convergence:"},
        {"line_CONV_E_P_SWITCH", "QLineEdit", 7, "Area relation at which throat iteration starts:"},
        {"line_DIV_E_P_SWITCH", "QLineEdit", 7, "Area relation at which throat iteration ends:"},
        {"line_THROAT_TOL_ODK", "QLineEdit", 7, "Tolerance for throat convergence:"},
        {"line_POINT_TOL_ODK", "QLineEdit", 7, "Tolerance for near-throat points convergence:"},
        {"line_MF_TOL_ODK", "QLineEdit", 7, "Tolerance for mass flow convergence:"},
        {"line_THROATPOS_TOL_ODK", "QLineEdit", 7, "Tolerance for throat position convergence:"},
        {"group_Corrections", "QGroupBox", 7, "Corrections to iterated values (changing them may break convergence)"},
        {"line_MF_AREA_RELEVANCE", "QLineEdit", 7, "Area relevance for mass flow correction:"},
        {"line_POINT_A_MAX_CORRECTION", "QLineEdit", 7, "Maximum pressure correction for near-throat points:"},
        {"line_THROAT_P_POS_RELEVANCE", "QLineEdit", 7, "Throat position relevance for pressure correction:"},
};

template <typename T>
T* child(QObject& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Stands in for the dialog under the bare form: records which slot the form's
// connections reached.
class FormReceiver : public QDialog {
    Q_OBJECT
public:
    QStringList calls;
public slots:
    void save() { calls << "save"; }
    void discard() { calls << "discard"; }
    void restore_default() { calls << "restore_default"; }
    void specialChange() { calls << "specialChange:" + sender()->objectName(); }
    void lock() { calls << "lock"; }
    void change_export_file() { calls << "change_export_file"; }
};

std::string joined(QStringList list)
{
    list.sort();
    return list.join(", ").toStdString();
}

int countOf(const char* className, const QObject& root)
{
    int n = 0;
    for (const QObject* o : root.findChildren<QObject*>())
        n += QString::fromLatin1(o->metaObject()->className()) == QLatin1String(className);
    return n;
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

// The form before the dialog fills it: every object in its place with its caption, the
// counts, the texts and the initial states.
TEST(PreferencesForm, ObjectsCaptionsAndInitialStates)
{
    FormReceiver bare;
    Ui_Preferences form;
    form.setupUi(&bare);
    EXPECT_EQ(bare.windowTitle(), "KAVRO - Preferences");
    EXPECT_EQ(bare.size(), QSize(739, 601));
    EXPECT_EQ(bare.objectName(), "Preferences");

    const QStringList pages = {"General",          "Propellant Tab",       "Grain Tab", "Nozzle Tab",
                               "Calculations Tab", "Chemical equilibrium", "ODE",       "ODK"};
    ASSERT_EQ(form.Preferences_tab->count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form.Preferences_tab->tabText(i), pages[i]);
        EXPECT_NE(form.Preferences_tab->widget(i)->findChild<QScrollArea*>(), nullptr);
    }
    EXPECT_EQ(itemsOf(form.combo_preferences_tab), pages); // item i names page i
    EXPECT_EQ(form.Preferences_tab->currentIndex(), 4);

    for (const FormRow& row : formRows) {
        SCOPED_TRACE(row.object);
        QWidget* widget = child<QWidget>(bare, row.object);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.className);
        EXPECT_TRUE(form.Preferences_tab->widget(row.page)->isAncestorOf(widget));
        QString caption;
        if (auto* check = qobject_cast<QCheckBox*>(widget))
            caption = check->text();
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            caption = group->title();
        else if (QLabel* label = child<QLabel>(
                         bare,
                         ("label_" + std::string(row.object).substr(std::string(row.object).find('_') + 1)).c_str()))
            caption = label->text();
        EXPECT_EQ(caption, QString::fromUtf8(row.caption));
    }

    EXPECT_EQ(countOf("QLineEdit", bare), 74);
    EXPECT_EQ(countOf("QCheckBox", bare), 18);
    EXPECT_EQ(countOf("QComboBox", bare), 16); // 12 choices and 4 units
    EXPECT_EQ(countOf("QLabel", bare), 94);
    EXPECT_EQ(countOf("QPushButton", bare), 4);
    EXPECT_EQ(countOf("QGroupBox", bare), 11);

    const QStringList units = {"MPa", "atm", "bar"};
    for (const char* name :
         {"units_MIN_PRES_CS_PLOT", "units_MAX_PRES_CS_PLOT", "combo_COMP_OPT_PRES", "combo_PRES_INITIAL_ESTIMATE"})
        EXPECT_EQ(itemsOf(child<QComboBox>(bare, name)), units) << name;
    for (const char* name : {"label_K_2", "label_K"})
        EXPECT_EQ(child<QLabel>(bare, name)->text(), "K");
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(child<QLabel>(bare, ("label_mol_kg_" + std::to_string(i)).c_str())->text(), "mol/kg");
    EXPECT_EQ(itemsOf(form.combo_WINSTYLE), QStringList({"Windows", "Fusion"}));
    EXPECT_EQ(itemsOf(form.combo_OPT_AREA).size(), 5);
    EXPECT_EQ(itemsOf(form.combo_INT_METHOD), QStringList({"Rectangle rule", "Trapezoidal rule", "Simpson's rule"}));
    EXPECT_EQ(form.but_PATH_EXPORT->text(), "Change");

    // the three buttons carry the only status tips; nothing has a tool tip
    const std::pair<QPushButton*, std::pair<QString, QString>> buttons[] = {
            {form.but_default, {"Reset to default", "Reset all preferences to their default value"}},
            {form.but_discard, {"Discard", "Exit without changing preferences"}},
            {form.but_save, {"Save", "Saved changed preferences"}},
    };
    for (const auto& [button, texts] : buttons) {
        EXPECT_EQ(button->text(), texts.first);
        EXPECT_EQ(button->statusTip(), texts.second);
    }
    int tips = 0;
    for (const QWidget* w : bare.findChildren<QWidget*>()) {
        tips += !w->statusTip().isEmpty();
        EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_EQ(tips, 3);

    // initial states
    for (const QComboBox* combo : bare.findChildren<QComboBox*>())
        EXPECT_EQ(combo->currentIndex(), 0) << combo->objectName().toStdString();
    QStringList checked;
    for (const QCheckBox* check : bare.findChildren<QCheckBox*>())
        if (check->isChecked())
            checked << check->objectName();
    EXPECT_EQ(joined(checked),
              "check_SAME_NAME_EXPORT, check_SHOW_FREEZE, check_StatusBar, check_VNOZZ, check_hideSolid");
    QStringList texts;
    for (const QLineEdit* edit : bare.findChildren<QLineEdit*>())
        if (!edit->text().isEmpty())
            texts << edit->objectName() + "=" + edit->text();
    EXPECT_EQ(joined(texts),
              "line_COND_Akl=1.1, line_CS_PLOT_POINTS=100, line_DIG_OUT=16, line_MAX_PRES_CS_PLOT=10, "
              "line_MIN_PRES_CS_PLOT=0.5, line_NUM_DIS_PREC=10, line_T_SEED=3800");
    EXPECT_TRUE(form.line_PATH_EXPORT->isReadOnly());
    EXPECT_FALSE(form.group_Corrections->isCheckable());

    // the eight connections: released buttons, index changes of the marked combos, and a
    // click (not a programmatic check) of the lock box
    form.but_save->click();
    form.but_discard->click();
    form.but_default->click();
    form.but_PATH_EXPORT->click();
    form.combo_TYPE_RESULTS->setCurrentIndex(1);
    form.combo_WINSTYLE->setCurrentIndex(1);
    form.combo_COMB_EV->setCurrentIndex(2);
    form.combo_GLINE_WIDTH->setCurrentIndex(2);
    form.check_LOCK_BABYMODE->setChecked(true);
    form.check_LOCK_BABYMODE->click();
    EXPECT_EQ(bare.calls.join(", ").toStdString(),
              "save, discard, restore_default, change_export_file, specialChange:combo_TYPE_RESULTS, "
              "specialChange:combo_WINSTYLE, specialChange:combo_COMB_EV, lock");
}

// The dialog's field table and the form agree: each field's widget is of its kind, on
// its page, and a choice offers exactly the values the preference may hold.
TEST(PreferencesForm, FieldsAgreeWithTheForm)
{
    FormReceiver bare;
    Ui_Preferences form;
    form.setupUi(&bare);
    int lineEdits = 0;
    for (const PreferenceField& field : preferenceFields()) {
        SCOPED_TRACE(std::string(field.key));
        QWidget* widget = child<QWidget>(bare, field.widget);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(form.Preferences_tab->widget(field.page)->isAncestorOf(widget));
        switch (field.kind) {
        case PreferenceFieldKind::Choice: {
            auto* combo = qobject_cast<QComboBox*>(widget);
            ASSERT_NE(combo, nullptr);
            const PreferenceLimit* limit = preferenceLimit(field.key);
            ASSERT_NE(limit, nullptr);
            EXPECT_EQ(limit->low, 0);
            EXPECT_EQ(combo->count(), limit->high + 1);
            break;
        }
        case PreferenceFieldKind::Check: EXPECT_NE(qobject_cast<QCheckBox*>(widget), nullptr); break;
        default: EXPECT_NE(qobject_cast<QLineEdit*>(widget), nullptr); ++lineEdits;
        }
        if (field.kind == PreferenceFieldKind::Pressure)
            EXPECT_EQ(child<QComboBox>(bare, field.unitWidget)->itemText(1), "atm");
        else
            EXPECT_EQ(field.unitWidget, nullptr);
    }
    EXPECT_EQ(lineEdits, 74);
}

class PreferencesDialog : public PreferencesTest { };

// Integer and real fields take what save parses (the C locale) on any desktop; the
// export folder and the separator have no validator.
TEST_F(PreferencesDialog, ValidatorsFollowTheCLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "," as decimal point
    Preferences dialog;
    int ints = 0, doubles = 0;
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (auto* v = qobject_cast<const QIntValidator*>(edit->validator())) {
            ++ints;
            EXPECT_EQ(v->locale().decimalPoint(), ".");
        } else if (auto* d = qobject_cast<const QDoubleValidator*>(edit->validator())) {
            ++doubles;
            EXPECT_EQ(d->locale().decimalPoint(), ".");
        }
    }
    EXPECT_EQ(ints, 21);
    EXPECT_EQ(doubles, 51);
    EXPECT_EQ(child<QLineEdit>(dialog, "line_PATH_EXPORT")->validator(), nullptr);
    EXPECT_EQ(child<QLineEdit>(dialog, "line_LIST_SEPARATOR")->validator(), nullptr);

    QLineEdit* tol = child<QLineEdit>(dialog, "line_TOL_T");
    tol->clear();
    QTest::keyClicks(tol, "2.5e-5");
    EXPECT_EQ(tol->text(), "2.5e-5");
    QLocale::setDefault(previous);
}

// A "," typed into a number field stays there (it used to vanish, "1,5" becoming "15")
// and save refuses it, naming the field; nothing is put in force.
TEST_F(PreferencesDialog, ACommaTypedIntoANumberFieldIsRefusedAtSave)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "," as decimal point
    struct Typed {
        const char* field;
        const char* keys;
        const char* refusal;
    };
    for (const Typed& t : {Typed{"line_TOL_T", "1,5e-5", "Invalid value for 'Tolerance for temperature convergence'"},
                           Typed{"line_IMG_WIDTH", "1,200", "Invalid value for 'Image width (in pixels)"}}) {
        messages.clear();
        const double tolerance = TOL_T;
        const auto width = IMG_WIDTH;
        Preferences dialog;
        const int result = runModal(dialog, [&] {
            QLineEdit* field = child<QLineEdit>(dialog, t.field);
            field->clear();
            QTest::keyClicks(field, t.keys);
            EXPECT_EQ(field->text(), t.keys);
            child<QPushButton>(dialog, "but_save")->click();
            EXPECT_EQ(messages.texts(), QStringList{t.refusal});
            EXPECT_TRUE(dialog.isVisible());
            child<QPushButton>(dialog, "but_discard")->click();
        });
        EXPECT_EQ(result, 0) << t.field;
        EXPECT_EQ(TOL_T, tolerance) << t.field;
        EXPECT_EQ(IMG_WIDTH, width) << t.field;
    }
    QLocale::setDefault(previous);
}

// The dialog opens on the page preferences_tab names; filling the marked combos counts
// as no change, so opening and closing at once returns 0.
TEST_F(PreferencesDialog, OpensOnItsPageAndClosesWithNoBits)
{
    preferences_tab = 7;
    TYPE_RESULTS = 1;
    WINSTYLE = 0;
    COMB_EV = 2;
    Preferences odk;
    EXPECT_EQ(child<QTabWidget>(odk, "Preferences_tab")->tabText(7), "ODK");
    EXPECT_EQ(child<QTabWidget>(odk, "Preferences_tab")->currentIndex(), 7);
    EXPECT_EQ(child<QComboBox>(odk, "combo_COMB_EV")->currentIndex(), 2);
    EXPECT_EQ(runModal(odk, [&odk] { odk.reject(); }), 0);

    preferences_tab = 0;
    Preferences general;
    EXPECT_EQ(child<QTabWidget>(general, "Preferences_tab")->currentIndex(), 0);
    EXPECT_EQ(runModal(general, [&general] { child<QPushButton>(general, "but_discard")->click(); }), 0);
}

// Result bits: a change of TYPE_RESULTS and back still counts on save; the reset
// returns 6 with and without changes.
TEST_F(PreferencesDialog, ResultBits)
{
    Preferences changedBack;
    EXPECT_EQ(runModal(changedBack,
                       [&changedBack] {
                           QComboBox* results = child<QComboBox>(changedBack, "combo_TYPE_RESULTS");
                           results->setCurrentIndex(1);
                           results->setCurrentIndex(0);
                           child<QPushButton>(changedBack, "but_save")->click();
                       }),
              preferences_result::ResultsView);

    Preferences styled;
    EXPECT_EQ(runModal(styled,
                       [&styled] {
                           child<QComboBox>(styled, "combo_WINSTYLE")->setCurrentIndex(0);
                           child<QComboBox>(styled, "combo_COMB_EV")->setCurrentIndex(1);
                           child<QPushButton>(styled, "but_save")->click();
                       }),
              preferences_result::Style);
    EXPECT_EQ(WINSTYLE, 0);
    EXPECT_EQ(COMB_EV, 1);

    Preferences reset;
    EXPECT_EQ(runModal(reset,
                       [&reset] {
                           child<QComboBox>(reset, "combo_WINSTYLE")->setCurrentIndex(1);
                           child<QPushButton>(reset, "but_default")->click();
                       }),
              6);
    EXPECT_EQ(COMB_EV, 0); // every value back to its default
    EXPECT_EQ(fileDocument()["GrainTab"]["COMB_EV"], 0);

    Preferences untouched;
    EXPECT_EQ(runModal(untouched, [&untouched] { child<QPushButton>(untouched, "but_default")->click(); }), 6);
}

// The reset puts every default in force even when the file in use cannot be read; the
// dialog then shows the box the reset handed back (critical, titled "KAVRO", without
// parent) and ends with 6. The file is left as it was.
TEST_F(PreferencesDialog, ResetShowsTheFileBoxBeforeItEnds)
{
    DIG_OUT = 5;
    app.write("Data/Preferences.json", "{ broken");
    Preferences dialog;
    EXPECT_EQ(runModal(dialog, [&dialog] { child<QPushButton>(dialog, "but_default")->click(); }), 6);
    EXPECT_EQ(DIG_OUT, 16);
    ASSERT_EQ(messages.texts(),
              QStringList{"The preferences file could not be read, so it was left unchanged: "
                          + QString::fromStdString(preferencesFile())});
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(messages.messages()[0].title, "KAVRO");
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(readFileText(preferencesFile()), "{ broken");
}

// A refused field is named in a critical box; the dialog stays open on the page the
// user is on, and nothing is in force until a save passes.
TEST_F(PreferencesDialog, RefusedFieldKeepsTheDialogOpen)
{
    Preferences dialog;
    QTabWidget* tabs = child<QTabWidget>(dialog, "Preferences_tab");
    const int result = runModal(dialog, [&] {
        tabs->setCurrentIndex(1);
        child<QLineEdit>(dialog, "line_NUM_DIS_PREC")->setText("4");
        child<QLineEdit>(dialog, "line_TOL_T")->setText("0");
        child<QPushButton>(dialog, "but_save")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(tabs->currentIndex(), 1);
        EXPECT_EQ(NUM_DIS_PREC, 10);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
        EXPECT_EQ(messages.lastText(), "Invalid value for 'Tolerance for temperature convergence'");
        child<QLineEdit>(dialog, "line_TOL_T")->setText("1e-5");
        child<QPushButton>(dialog, "but_save")->click();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(NUM_DIS_PREC, 4);
    EXPECT_EQ(TOL_T, 1e-5);
    EXPECT_EQ(fileDocument()["Equilibrium"]["TOL_T"], 1e-5);
}

// While a run is at work, a changed solver setting is refused with its own message.
TEST_F(PreferencesDialog, SolverSettingsRefusedDuringARun)
{
    calculationStarted();
    Preferences dialog;
    const int result = runModal(dialog, [&] {
        child<QLineEdit>(dialog, "line_MAX_ITER_E")->setText("100");
        child<QPushButton>(dialog, "but_save")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages.lastText(),
                  "Solver settings cannot be changed while a calculation or a nozzle optimisation is running");
        child<QPushButton>(dialog, "but_discard")->click();
    });
    calculationFinished();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
}

// The lock of the restricted mode: refused, confirmed, and confirmed with a field that
// save refuses.
TEST_F(PreferencesDialog, LockOfTheRestrictedMode)
{
    {
        Preferences dialog;
        QCheckBox* lock = child<QCheckBox>(dialog, "check_LOCK_BABYMODE");
        const int result = runModal(dialog, [&] {
            lock->click(); // the recorder answers with the default button, Cancel
            ASSERT_EQ(messages.messages().size(), 1u);
            const MessageRequest& asked = messages.messages()[0];
            EXPECT_EQ(asked.icon, Msg::Critical);
            EXPECT_EQ(asked.text,
                      "This program will be permanently locked in Babymode, which restricts many of "
                      "its capabilities. Are you sure?");
            EXPECT_EQ(asked.informativeText,
                      "This process cannot be reverted in the application. It can only be "
                      "reverted manually editing the preferences file");
            EXPECT_EQ(asked.buttons, Msg::Yes | Msg::Cancel);
            EXPECT_EQ(asked.defaultButton, Msg::Cancel);
            EXPECT_FALSE(lock->isChecked());
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
        });
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(LOCK_BABYMODE);
    }
    {
        messages.clear();
        Preferences dialog;
        const int result = runModal(dialog, [&] {
            child<QLineEdit>(dialog, "line_IMG_WIDTH")->setText("9");
            messages.answer(Msg::Yes);
            child<QCheckBox>(dialog, "check_LOCK_BABYMODE")->click();
            EXPECT_EQ(messages.lastText(), "Invalid value for 'Image width (in pixels)");
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_FALSE(child<QCheckBox>(dialog, "check_LOCK_BABYMODE")->isEnabled());
            EXPECT_TRUE(child<QCheckBox>(dialog, "check_BabyMode")->isChecked());
            EXPECT_FALSE(child<QCheckBox>(dialog, "check_BabyMode")->isEnabled());
            child<QPushButton>(dialog, "but_discard")->click();
        });
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(LOCK_BABYMODE); // the refused save put nothing into force
        EXPECT_FALSE(BabyMode);
    }
    {
        Preferences dialog;
        const int result = runModal(dialog, [&] {
            child<QComboBox>(dialog, "combo_TYPE_RESULTS")->setCurrentIndex(1);
            messages.answer(Msg::Yes);
            child<QCheckBox>(dialog, "check_LOCK_BABYMODE")->click();
        });
        EXPECT_EQ(result, preferences_result::BabyModeLocked | preferences_result::ResultsView);
        EXPECT_TRUE(LOCK_BABYMODE);
        EXPECT_TRUE(BabyMode);
        EXPECT_EQ(fileDocument()["General"]["LOCK_BABYMODE"], true);
    }
    // once locked, the dialog shows both boxes checked and disabled
    Preferences locked;
    EXPECT_TRUE(child<QCheckBox>(locked, "check_LOCK_BABYMODE")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(locked, "check_LOCK_BABYMODE")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(locked, "check_BabyMode")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(locked, "check_BabyMode")->isEnabled());
}

// The folder chooser starts in the export folder in force and only fills the field;
// cancelling it keeps the text.
TEST_F(PreferencesDialog, ExportFolderChooser)
{
    QTemporaryDir chosen;
    Preferences dialog;
    QLineEdit* path = child<QLineEdit>(dialog, "line_PATH_EXPORT");
    std::filesystem::create_directories(PATH_EXPORT);
    auto answerChooser = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            EXPECT_EQ(chooser->windowTitle(), "Select default directory for exports");
            EXPECT_EQ(chooser->directory().absolutePath(), QString::fromStdString(PATH_EXPORT));
            EXPECT_TRUE(chooser->testOption(QFileDialog::ShowDirsOnly));
            EXPECT_TRUE(chooser->testOption(QFileDialog::DontResolveSymlinks));
            if (accept) {
                chooser->setDirectory(chosen.path());
                chooser->selectFile(chosen.path());
                static_cast<QDialog*>(chooser)->accept(); // as its "Choose" button does
            } else {
                chooser->reject();
            }
        });
    };
    const int result = runModal(dialog, [&] {
        answerChooser(false);
        child<QPushButton>(dialog, "but_PATH_EXPORT")->click();
        EXPECT_EQ(path->text(), QString::fromStdString(app.path() + "/Exports"));
        answerChooser(true);
        child<QPushButton>(dialog, "but_PATH_EXPORT")->click();
        EXPECT_EQ(path->text(), chosen.path());
        EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports"); // nothing in force before save
        child<QPushButton>(dialog, "but_save")->click();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(PATH_EXPORT, chosen.path().toStdString());
}

#include "preferences_dialog_test.moc"
