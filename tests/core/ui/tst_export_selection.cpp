// The export choice dialog: the bit mask each tab receives for every mode and every
// combination of ticks, the default of each mode, and the enable cascade of the
// calculation options that decides which ticks still count.
#include <functional>
#include <map>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "core/ui/export_selection.h"
#include "run_modal.h"

namespace {

template <typename T = QAbstractButton>
T* find(ExportSelection& d, const QString& name)
{
    T* w = d.findChild<T*>(name);
    if (!w)
        qWarning("no widget %s", qPrintable(name));
    return w;
}

void click(ExportSelection& d, const QString& name)
{
    QAbstractButton* b = find(d, name);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

// The boxes of modes 0 to 2 with the bit each one stands for.
const std::map<int, std::vector<std::pair<QString, int>>>& plainModes()
{
    static const std::map<int, std::vector<std::pair<QString, int>>> modes{
            {0,
             {{"check_prop_composition", 0x2},
              {"check_prop_data", 0x4},
              {"check_species", 0x8},
              {"check_reactions", 0x10},
              {"check_cstar", 0x20}}},
            {1,
             {{"check_grain_parameters", 0x2},
              {"check_grain_image", 0x4},
              {"check_grain_graph", 0x8},
              {"check_grain_area", 0x10}}},
            {2,
             {{"check_nozzle_parameters", 0x2},
              {"check_nozzle_coordinates", 0x4},
              {"check_Nozzle_areas", 0x8},
              {"check_nozzle_image", 0x10}}},
    };
    return modes;
}

} // namespace

class TestExportSelection : public QObject {
    Q_OBJECT

private slots:
    void captionsAndNames();
    void groupShownPerMode_data();
    void groupShownPerMode();
    void initialStatesOfCalculations();
    void enableCascade();
    void mask_data();
    void mask();
    void everyCombinationOfPlainModes();
    void everyCombinationOfCalculationSubOptions();
    void cancelClosingAndEscapeGiveZero_data();
    void cancelClosingAndEscapeGiveZero();
};

void TestExportSelection::captionsAndNames()
{
    ExportSelection d(3, nullptr);
    QCOMPARE(d.objectName(), QString("ExportSelection"));
    QCOMPARE(d.windowTitle(), QString("KAVRO - Export"));
    const std::vector<std::pair<const char*, const char*>> captions{
            {"check_prop_composition", "Propellant composition"},
            {"check_prop_data", "Propellant data"},
            {"check_species", "Considered species"},
            {"check_reactions", "Considered reactions"},
            {"check_cstar", "Cstar curve"},
            {"check_grain_parameters", "Grain parameters"},
            {"check_grain_image", "Grain Image"},
            {"check_grain_graph", "Combustion area curve"},
            {"check_grain_area", "Combustion area values"},
            {"check_grain_animation", "Combustion animation"},
            {"check_nozzle_parameters", "Nozzle parameters"},
            {"check_nozzle_coordinates", "Nozzle points coordinates"},
            {"check_Nozzle_areas", "Nozzle points Areas"},
            {"check_nozzle_image", "Nozzle image"},
            {"check_Data_parameters", "Parameters used for calculation"},
            {"radio_config_current", "Current"},
            {"radio_config_all", "All"},
            {"check_graphs", "Export graphs"},
            {"radio_graphs_current", "Currently plotted"},
            {"radio_graphs_all", "Multiple"},
            {"check_graph_thermo", "Thermo"},
            {"check_graph_transport", "Transport"},
            {"check_graph_composition", "Composition"},
            {"check_graph_time", "Time dependant"},
            {"check_table", "Export Table"},
            {"check_table_all", "Export data for all the nozzle points"},
            {"check_table_thermo", "Thermo"},
            {"check_table_transport", "Transport"},
            {"check_table_composition", "Composition"},
            {"check_rocket", "Export rocket parameters"},
            {"but_cancel", "Cancel"},
            {"but_export", "Export"},
    };
    for (const auto& [name, caption] : captions) {
        QAbstractButton* b = find(d, name);
        QVERIFY2(b, name);
        QCOMPARE(b->text(), QString(caption));
    }
    QCOMPARE(find<QLabel>(d, "label")->text(), QString("(Current propellant will be saved before being exported)"));
    QCOMPARE(find<QLabel>(d, "label_config")->text(), QString("Configurations to be exported:"));
    QCOMPARE(find<QGroupBox>(d, "group_Prop")->title(), QString("Export propellant data"));
    QCOMPARE(find<QGroupBox>(d, "group_Grain")->title(), QString("Export Grain data"));
    QCOMPARE(find<QGroupBox>(d, "group_Nozzle")->title(), QString("Export Nozzle data"));
    QCOMPARE(find<QGroupBox>(d, "group_Data")->title(), QString("Export calculations"));
    QVERIFY(find(d, "but_cancel")->minimumHeight() >= 40);
    QVERIFY(find(d, "but_export")->minimumHeight() >= 40);
}

void TestExportSelection::groupShownPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("group");
    QTest::newRow("propellant") << 0 << "group_Prop";
    QTest::newRow("grain") << 1 << "group_Grain";
    QTest::newRow("nozzle") << 2 << "group_Nozzle";
    QTest::newRow("calculations") << 3 << "group_Data";
    QTest::newRow("unknown 4") << 4 << "";
    QTest::newRow("negative") << -1 << "";
    QTest::newRow("beyond a byte") << 259 << "";
}

void TestExportSelection::groupShownPerMode()
{
    QFETCH(int, mode);
    QFETCH(QString, group);
    ExportSelection d(mode, nullptr);
    d.show();
    for (const char* g : {"group_Prop", "group_Grain", "group_Nozzle", "group_Data"})
        QCOMPARE(find<QGroupBox>(d, g)->isVisible(), group == g);
    QVERIFY(find(d, "check_grain_animation")->isHidden());
    // A dialog that shows no group has nothing to export, whatever its stored mode.
    if (group.isEmpty()) {
        click(d, "but_export");
        QCOMPARE(d.result(), 0);
    }
}

void TestExportSelection::initialStatesOfCalculations()
{
    ExportSelection d(3, nullptr);
    struct State {
        const char* name;
        bool checked;
        bool enabled;
    };
    const State states[] = {
            {"check_Data_parameters", false, true},
            {"radio_config_current", true, true},
            {"radio_config_all", false, true},
            {"check_graphs", false, true},
            {"radio_graphs_current", true, false},
            {"radio_graphs_all", false, false},
            {"check_graph_thermo", false, false},
            {"check_graph_transport", false, false},
            {"check_graph_composition", false, false},
            {"check_graph_time", false, false},
            {"check_table", false, true},
            {"check_table_all", false, false},
            {"check_table_thermo", false, false},
            {"check_table_transport", false, false},
            {"check_table_composition", false, false},
            {"check_rocket", false, true},
    };
    for (const State& s : states) {
        QAbstractButton* b = find(d, s.name);
        QVERIFY2(b->isChecked() == s.checked, s.name);
        QVERIFY2(b->isEnabled() == s.enabled, s.name);
    }
    // The two radio groups are exclusive and belong to the dialog.
    for (const char* pair : {"radio_config_current", "radio_graphs_current"}) {
        QButtonGroup* g = find(d, pair)->group();
        QVERIFY(g);
        QVERIFY(g->exclusive());
        QCOMPARE(g->parent(), &d);
        QCOMPARE(g->buttons().size(), 2);
    }
    QCOMPARE(find(d, "radio_config_all")->group(), find(d, "radio_config_current")->group());
    QCOMPARE(find(d, "radio_graphs_all")->group(), find(d, "radio_graphs_current")->group());
}

void TestExportSelection::enableCascade()
{
    ExportSelection d(3, nullptr);
    d.show();
    const QStringList graphOptions{"check_graph_thermo", "check_graph_transport", "check_graph_composition",
                                   "check_graph_time"};
    const QStringList tableOptions{"check_table_all", "check_table_thermo", "check_table_transport",
                                   "check_table_composition"};
    auto enabled = [&](const QStringList& names) {
        QList<bool> e;
        for (const QString& n : names)
            e << find(d, n)->isEnabled();
        return e;
    };
    const QList<bool> allOn{true, true, true, true}, allOff{false, false, false, false};

    click(d, "check_table");
    QCOMPARE(enabled(tableOptions), allOn);
    click(d, "check_table_thermo");
    click(d, "check_table");
    QCOMPARE(enabled(tableOptions), allOff);
    QVERIFY(find(d, "check_table_thermo")->isChecked()); // kept, but no longer counts

    click(d, "check_graphs");
    QVERIFY(find(d, "radio_graphs_current")->isEnabled());
    QVERIFY(find(d, "radio_graphs_all")->isEnabled());
    QCOMPARE(enabled(graphOptions), allOff); // "Currently plotted" is the choice
    click(d, "radio_graphs_all");
    QCOMPARE(enabled(graphOptions), allOn);
    QVERIFY(!find(d, "radio_graphs_current")->isChecked());
    click(d, "check_graphs");
    QVERIFY(!find(d, "radio_graphs_all")->isEnabled());
    QCOMPARE(enabled(graphOptions), allOff);
    click(d, "check_graphs"); // "Multiple" is still the choice: its options come back
    QCOMPARE(enabled(graphOptions), allOn);
    click(d, "radio_graphs_current");
    QCOMPARE(enabled(graphOptions), allOff);
}

// Each row: the mode, the widgets clicked in order, the mask the tab receives.
void TestExportSelection::mask_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("expected");

    QTest::newRow("propellant untouched") << 0 << QStringList{} << 0;
    QTest::newRow("propellant data and cstar") << 0 << QStringList{"check_prop_data", "check_cstar"} << 0x24;
    QTest::newRow("grain untouched") << 1 << QStringList{} << 0;
    QTest::newRow("grain image ticked and unticked")
            << 1 << QStringList{"check_grain_image", "check_grain_area", "check_grain_image"} << 0x10;
    QTest::newRow("nozzle untouched") << 2 << QStringList{} << 0;
    QTest::newRow("nozzle areas") << 2 << QStringList{"check_Nozzle_areas"} << 0x8;
    QTest::newRow("mode 4") << 4 << QStringList{} << 0;

    QTest::newRow("calc untouched") << 3 << QStringList{} << 0x8;
    QTest::newRow("calc all configurations") << 3 << QStringList{"radio_config_all"} << 0x10;
    QTest::newRow("calc parameters and rocket")
            << 3 << QStringList{"check_Data_parameters", "check_rocket"} << (0x2 | 0x4 | 0x8);
    QTest::newRow("calc graphs") << 3 << QStringList{"check_graphs"} << 0x108;
    QTest::newRow("calc multiple thermo")
            << 3 << QStringList{"check_graphs", "radio_graphs_all", "check_graph_thermo"} << 0x208;
    QTest::newRow("calc multiple every graph")
            << 3 << QStringList{"check_graphs",          "radio_graphs_all",        "check_graph_thermo",
                                "check_graph_transport", "check_graph_composition", "check_graph_time"}
            << (0x8 | 0x200 | 0x400 | 0x800 | 0x1000);
    QTest::newRow("calc multiple then back to current")
            << 3 << QStringList{"check_graphs", "radio_graphs_all", "check_graph_thermo", "radio_graphs_current"}
            << 0x108;
    QTest::newRow("calc multiple then graphs unticked")
            << 3 << QStringList{"check_graphs", "radio_graphs_all", "check_graph_time", "check_graphs"} << 0x8;
    QTest::newRow("calc graph option without its heading")
            << 3 << QStringList{"check_graph_thermo", "radio_graphs_all"} << 0x8; // both disabled: no effect
    QTest::newRow("calc table transport then table unticked")
            << 3 << QStringList{"check_table", "check_table_transport", "check_table"} << 0x8;
    QTest::newRow("calc table unticked and ticked again")
            << 3 << QStringList{"check_table", "check_table_transport", "check_table", "check_table"} << 0x48;
    QTest::newRow("calc every table option") << 3
                                             << QStringList{"check_table", "check_table_all", "check_table_thermo",
                                                            "check_table_transport", "check_table_composition"}
                                             << (0x8 | 0x20 | 0x40 | 0x80 | 0x2000);
    QTest::newRow("calc everything")
            << 3 << QStringList{"check_Data_parameters",   "radio_config_all",   "check_graphs",
                                "radio_graphs_all",        "check_graph_thermo", "check_graph_transport",
                                "check_graph_composition", "check_graph_time",   "check_table",
                                "check_table_all",         "check_table_thermo", "check_table_transport",
                                "check_table_composition", "check_rocket"}
            << 0x3EF6; // every bit but 0x1 (unused), 0x8 (not "Current") and 0x100 (not "Currently plotted")
}

void TestExportSelection::mask()
{
    QFETCH(int, mode);
    QFETCH(QStringList, clicks);
    QFETCH(int, expected);
    QWidget tab;
    auto* d = new ExportSelection(mode, &tab);
    const int r = runModal(*d, [&] {
        for (const QString& name : clicks)
            click(*d, name);
        click(*d, "but_export");
    });
    QCOMPARE(QString::number(r, 16), QString::number(expected, 16));
    QCOMPARE(r & 1, 0);
}

void TestExportSelection::everyCombinationOfPlainModes()
{
    for (const auto& [mode, boxes] : plainModes()) {
        const int n = static_cast<int>(boxes.size());
        for (int subset = 0; subset < (1 << n); ++subset) {
            ExportSelection d(mode, nullptr);
            d.show();
            int expected = 0;
            for (int k = 0; k < n; ++k)
                if (subset & (1 << k)) {
                    click(d, boxes[k].first);
                    expected |= boxes[k].second;
                }
            click(d, "but_export");
            QVERIFY(!d.isVisible());
            QVERIFY2(d.result() == expected,
                     qPrintable(QString("mode %1 subset %2: got 0x%3").arg(mode).arg(subset).arg(d.result(), 0, 16)));
        }
    }
}

// Every subset of the table options and of the graph options, with the heading still
// ticked (the options count) or unticked afterwards (they do not).
void TestExportSelection::everyCombinationOfCalculationSubOptions()
{
    const std::vector<std::pair<QString, int>> table{{"check_table_all", 0x2000},
                                                     {"check_table_thermo", 0x20},
                                                     {"check_table_transport", 0x40},
                                                     {"check_table_composition", 0x80}};
    const std::vector<std::pair<QString, int>> graphs{{"check_graph_thermo", 0x200},
                                                      {"check_graph_transport", 0x400},
                                                      {"check_graph_composition", 0x800},
                                                      {"check_graph_time", 0x1000}};
    for (int subset = 0; subset < 16; ++subset) {
        for (bool headingKept : {true, false}) {
            ExportSelection d(3, nullptr);
            d.show();
            click(d, "check_table");
            click(d, "check_graphs");
            click(d, "radio_graphs_all");
            int expected = 0x8;
            for (int k = 0; k < 4; ++k)
                if (subset & (1 << k)) {
                    click(d, table[k].first);
                    click(d, graphs[k].first);
                    if (headingKept)
                        expected |= table[k].second | graphs[k].second;
                }
            if (!headingKept) {
                click(d, "check_table");
                click(d, "check_graphs");
            }
            click(d, "but_export");
            QVERIFY2(d.result() == expected,
                     qPrintable(QString("subset %1 kept %2: got 0x%3")
                                        .arg(subset)
                                        .arg(headingKept)
                                        .arg(d.result(), 0, 16)));
        }
    }
}

void TestExportSelection::cancelClosingAndEscapeGiveZero_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("how");
    for (int mode : {0, 3})
        for (const char* how : {"cancel", "close", "escape"})
            QTest::newRow(qPrintable(QString("mode %1 %2").arg(mode).arg(how))) << mode << QString(how);
}

void TestExportSelection::cancelClosingAndEscapeGiveZero()
{
    QFETCH(int, mode);
    QFETCH(QString, how);
    ExportSelection d(mode, nullptr);
    const int r = runModal(d, [&] {
        click(d, mode == 0 ? "check_prop_data" : "check_rocket");
        if (how == "cancel")
            click(d, "but_cancel");
        else if (how == "close")
            d.close();
        else
            QTest::keyClick(&d, Qt::Key_Escape);
    });
    QCOMPARE(r, 0);
}

QTEST_MAIN(TestExportSelection)
#include "tst_export_selection.moc"
