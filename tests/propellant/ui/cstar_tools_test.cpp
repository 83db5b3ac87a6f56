// The c* tools on the tab: curves drawn and named, the switch between c* and ratio
// curves, the best ratio written back, refusals, the flags of a running calculation left
// alone, the click read-out, "Clear graphs" and night mode, and the export.
#include <filesystem>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <qcustomplot.h>

#include "engine/engine_messages.h"
#include "propellant/cstar_tools.h"
#include "propellant/tab_fixture.h"
#include "propellant/ui/prop_tab.h"
#include "support/imported_databases.h"

namespace {

using nlohmann::json;

class CStarTools : public PropellantTabTest {
protected:
    void SetUp() override
    {
        PropellantTabTest::SetUp();
        // The public NASA records, as the importers store them.
        const ImportedDatabases& db = importedDatabases();
        write("Species.json", db.species);
        write("Reactants.json", db.reactants);
        write("Kinetics.json", db.kinetics);
        setEngineMessageHandler([](const EngineMessage&) {});
        CS_PLOT_POINTS = 8; // a short curve keeps the test fast
        COMP_OPT_NUM = 12;
    }
    void TearDown() override
    {
        setEngineMessageHandler({});
        CS_PLOT_POINTS = points;
        COMP_OPT_NUM = ratios;
        COMP_OPT_MIN = ratioMinimum;
        COMP_OPT_MAX = ratioMaximum;
        MAX_ITER_EQ = iterations;
        SAME_NAME_EXPORT = sameName;
        PATH_EXPORT = exportPath;
        PropellantTabTest::TearDown();
    }
    // A tab with liquid oxygen and hydrogen (oxidiser first), 80 and 20.
    void compose(PropTab& tab, const QString& name = "X")
    {
        for (const char* r : {"O2(L)", "H2(L)"})
            tab.add_reactant(r);
        tab.relativeMassField(0)->setText("80");
        tab.relativeMassField(1)->setText("20");
        tab.findChild<QLineEdit*>("line_Name")->setText(name);
    }
    static QCustomPlot* plot(PropTab& tab) { return tab.findChild<QCustomPlot*>("Graph"); }
    static QStringList graphNames(PropTab& tab)
    {
        QStringList names;
        for (int i = 0; i < plot(tab)->graphCount(); ++i)
            names << plot(tab)->graph(i)->name();
        return names;
    }
    static void click(PropTab& tab, int graph, int index, Qt::MouseButton button)
    {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), button, button, Qt::NoModifier);
        tab.onGraphSelect(plot(tab)->graph(graph), index, &event);
    }

    const uint32_t points = CS_PLOT_POINTS, ratios = COMP_OPT_NUM, iterations = MAX_ITER_EQ;
    const double ratioMinimum = COMP_OPT_MIN, ratioMaximum = COMP_OPT_MAX;
    const bool sameName = SAME_NAME_EXPORT;
    const std::string exportPath = PATH_EXPORT;
};

TEST_F(CStarTools, CurvesAreNamedColouredAndOfOneKind)
{
    PropTab tab;
    compose(tab);
    QSignalSpy flags(&tab, &PropTab::FlagsUpdated);
    for (int i = 0; i < 3; ++i)
        tab.display();
    EXPECT_TRUE(boxes.messages().empty()) << boxes.lastText().toStdString();
    EXPECT_EQ(graphNames(tab), (QStringList{"X", "X_1", "X_2"}));
    EXPECT_EQ(flags.count(), 3);
    EXPECT_EQ(flags.at(0), (QVariantList{true, true}));
    QCPGraph* first = plot(tab)->graph(0);
    EXPECT_EQ(first->dataCount(), 8);
    EXPECT_EQ(first->data()->at(0)->key, MIN_PRES_CS_PLOT);
    EXPECT_EQ(first->data()->at(7)->key, MAX_PRES_CS_PLOT);
    EXPECT_EQ(first->pen().color(), QColor(Qt::red));
    EXPECT_EQ(first->pen().width(), GLINE_WIDTH + 1);
    EXPECT_EQ(first->selectionDecorator()->pen().width(), GLINE_WIDTH + 3);
    EXPECT_EQ(plot(tab)->graph(1)->pen().color(), QColor(Qt::blue));
    EXPECT_EQ(plot(tab)->graph(2)->pen().color(), QColor(Qt::green));
    // c* of liquid oxygen and hydrogen at these pressures: about 2.3 to 2.5 km/s.
    for (int i = 0; i < 8; ++i) {
        EXPECT_GT(first->data()->at(i)->value, 2200.0);
        EXPECT_LT(first->data()->at(i)->value, 2600.0);
    }

    // A ratio curve named before the c* curves go: X_3, alone on the plot.
    tab.OptComp();
    EXPECT_EQ(graphNames(tab), QStringList{"X_3"});
    EXPECT_EQ(plot(tab)->xAxis->label(), "First to second reactant ratio [-]");
    EXPECT_EQ(plot(tab)->graph(0)->pen().color(), QColor(Qt::red));
    EXPECT_EQ(plot(tab)->graph(0)->dataCount(), 12);
    // The best ratio of the curve is in the first field, "1" in the second.
    const QCPGraph* curve = plot(tab)->graph(0);
    std::vector<double> values;
    for (int i = 0; i < curve->dataCount(); ++i)
        values.push_back(curve->data()->at(i)->value);
    const double best = curve->data()->at(static_cast<int>(bestIndex(values)))->key;
    EXPECT_EQ(tab.relativeMassField(0)->text(), QString::number(best, 'g', NUM_DIS_PREC));
    EXPECT_EQ(tab.relativeMassField(1)->text(), "1");
    EXPECT_GT(best, 2.0); // the peak of c* lies near O/F 3.2
    EXPECT_LT(best, 5.0);

    tab.display();
    EXPECT_EQ(graphNames(tab), QStringList{"X"});
    EXPECT_EQ(plot(tab)->xAxis->label(), "Chamber pressure [Pa]");
    EXPECT_EQ(flags.count(), 5);
}

// The sweep's best ratio at an end of its range says nothing about the optimum, which may
// lie beyond: the composition stays as typed and the user is told the range searched and
// the preferences that set it; the curve is still drawn.
TEST_F(CStarTools, BestRatioAtAnEndOfTheRangeLeavesTheComposition)
{
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        double minimum, maximum;
        bool atStart; // the best is the first ratio (else the last)
    };
    // Hydrogen listed first: fuel to oxidiser from 1 up, while the optimum lies near
    // 1/3.2, below the range, so c* falls from the first ratio on. Oxygen first over 1 to 2:
    // c* still rises at the last ratio towards its peak near 3.2.
    const Case cases[] = {
            {"hydrogen first", "H2(L)", "O2(L)", 1.0, 10.0, true},
            {"oxygen first, range below the peak", "O2(L)", "H2(L)", 1.0, 2.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COMP_OPT_MIN = c.minimum;
        COMP_OPT_MAX = c.maximum;
        boxes.clear();
        PropTab tab;
        tab.add_reactant(c.first);
        tab.add_reactant(c.second);
        tab.relativeMassField(0)->setText("20");
        tab.relativeMassField(1)->setText("80");
        tab.findChild<QLineEdit*>("line_Name")->setText("X");
        tab.OptComp();
        EXPECT_EQ(tab.relativeMassField(0)->text(), "20");
        EXPECT_EQ(tab.relativeMassField(1)->text(), "80");
        ASSERT_EQ(plot(tab)->graphCount(), 1);
        const QCPGraph* curve = plot(tab)->graph(0);
        ASSERT_EQ(curve->dataCount(), 12);
        std::vector<double> values;
        for (int i = 0; i < curve->dataCount(); ++i)
            values.push_back(curve->data()->at(i)->value);
        EXPECT_EQ(bestIndex(values), c.atStart ? 0u : 11u);
        ASSERT_EQ(boxes.messages().size(), 1u);
        const MessageRequest& box = boxes.messages()[0];
        EXPECT_EQ(box.icon, Msg::Warning);
        EXPECT_EQ(box.text,
                  "The highest c* lies at an end of the ratios searched, so the composition was left "
                  "unchanged");
        // The grid's ends: the minimum, and minimum + (maximum - minimum) 11/13.
        const QString last = QString::number(c.minimum + (c.maximum - c.minimum) * 11.0 / 13.0, 'g', NUM_DIS_PREC);
        EXPECT_TRUE(box.informativeText.contains(QString::number(c.minimum) + " to " + last))
                << box.informativeText.toStdString();
        for (const char* preference : {"COMP_OPT_MIN", "COMP_OPT_MAX"})
            EXPECT_TRUE(box.informativeText.contains(preference)) << box.informativeText.toStdString();
    }
}

// The default sweep (200 ratios from 1 at 1 MPa) with oxygen listed first: the best
// oxidiser-to-fuel ratio lies inside the range, near the peak of c* of liquid oxygen
// and hydrogen at O/F 3.2 (the test above), and is written into the fields.
TEST_F(CStarTools, BestRatioInsideTheRangeIsWritten)
{
    COMP_OPT_NUM = 200;
    PropTab tab;
    compose(tab);
    tab.OptComp();
    EXPECT_TRUE(boxes.messages().empty()) << boxes.lastText().toStdString();
    const double best = tab.relativeMassField(0)->text().toDouble();
    EXPECT_GT(best, 3.0);
    EXPECT_LT(best, 3.4);
    EXPECT_EQ(tab.relativeMassField(1)->text(), "1");
}

TEST_F(CStarTools, RefusalsDrawNothing)
{
    PropTab tab;
    compose(tab);
    QSignalSpy flags(&tab, &PropTab::FlagsUpdated);
    tab.findChild<QLineEdit*>("line_Name")->clear();
    tab.display();
    EXPECT_EQ(boxes.texts(), QStringList{"Please enter a name for the propellant"});
    EXPECT_EQ(flags.count(), 0);

    // An equilibrium that does not converge: reported, nothing drawn.
    boxes.clear();
    tab.findChild<QLineEdit*>("line_Name")->setText("X");
    MAX_ITER_EQ = 1;
    tab.display();
    tab.OptComp();
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Critical errors occured during calculations",
                           "Critical errors occured during calculations"}));
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(boxes.parents()[0], &tab);
    EXPECT_EQ(flags.count(), 2);
    EXPECT_EQ(plot(tab)->graphCount(), 0);
    EXPECT_EQ(tab.relativeMassField(0)->text(), "80");
    MAX_ITER_EQ = iterations;

    // No gaseous species selected: the mixture refuses itself (L02).
    boxes.clear();
    json species = read("Species.json");
    for (auto& [name, entry] : species.items())
        entry["isActive"] = name == "H2O(L)";
    write("Species.json", species);
    tab.display();
    EXPECT_TRUE(flagRaised(flagsL, code::L02));
    EXPECT_EQ(boxes.texts(), QStringList{"Critical errors occured during calculations"});
    EXPECT_EQ(flags.count(), 3);
    EXPECT_EQ(plot(tab)->graphCount(), 0);
}

TEST_F(CStarTools, FlagsOfARunningCalculationAreLeftAlone)
{
    PropTab tab;
    compose(tab);
    // What a run on the worker thread (or the calculation tab's load) may have raised.
    raiseFlag(flagsSP, code::SP10);
    raiseFlag(flagsL, code::L04 | code::L01);
    tab.display();
    ASSERT_EQ(plot(tab)->graphCount(), 1);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP10));
    EXPECT_TRUE(flagRaised(flagsL, code::L04));
    EXPECT_TRUE(flagRaised(flagsL, code::L01));
    // A construction code left from an earlier build of the tab's own is its to clear.
    raiseFlag(flagsL, code::L02);
    tab.display();
    EXPECT_FALSE(flagRaised(flagsL, code::L02));
    EXPECT_EQ(plot(tab)->graphCount(), 2);
}

TEST_F(CStarTools, ReadoutRightClickClearAndNightMode)
{
    PropTab tab;
    compose(tab);
    tab.display();
    QCPGraph* graph = plot(tab)->graph(0);
    const double key = graph->data()->at(3)->key, value = graph->data()->at(3)->value;
    click(tab, 0, 3, Qt::LeftButton);
    ASSERT_NE(tab.readout(), nullptr);
    EXPECT_EQ(tab.readout()->text(), readoutText(false, key, value, NUM_DIS_PREC));
    EXPECT_EQ(tab.readout()->font().pointSize(), 16);
    EXPECT_EQ(tab.readout()->color(), plot(tab)->legend->textColor());
    // A second click replaces the read-out.
    QPointer<QCPItemText> earlier = tab.readout();
    click(tab, 0, 5, Qt::LeftButton);
    EXPECT_TRUE(earlier.isNull());
    EXPECT_EQ(plot(tab)->itemCount(), 2);

    // Night mode recolours it with the legend.
    tab.NightMode(true);
    EXPECT_EQ(tab.readout()->color(), plot(tab)->legend->textColor());
    EXPECT_EQ(tab.readout()->brush(), plot(tab)->legend->brush());

    // A right click empties the graph, which keeps its name and its place.
    click(tab, 0, 2, Qt::RightButton);
    EXPECT_EQ(graph->dataCount(), 0);
    EXPECT_EQ(graph->name(), "X");
    tab.display();
    EXPECT_EQ(plot(tab)->graph(1)->pen().color(), QColor(Qt::blue));

    // After "Clear graphs" neither a click nor night mode reaches the deleted read-out.
    tab.clear_graph();
    EXPECT_EQ(tab.readout(), nullptr);
    EXPECT_EQ(plot(tab)->graphCount(), 0);
    EXPECT_EQ(plot(tab)->itemCount(), 0);
    EXPECT_EQ(plot(tab)->xAxis->label(), "Chamber pressure [Pa]");
    tab.NightMode(false);
    tab.display();
    click(tab, 0, 1, Qt::LeftButton);
    EXPECT_NE(tab.readout(), nullptr);
}

// ---- Export ---------------------------------------------------------------------------------

class Export : public CStarTools {
protected:
    void SetUp() override
    {
        CStarTools::SetUp();
        PATH_EXPORT = dir.path() + "/Exports";
        std::filesystem::create_directories(PATH_EXPORT);
    }
    // The dialogs answer from these; the file questions are recorded.
    void fakeDialogs(PropTab& tab)
    {
        PropTab::ExportDialogs d;
        d.chooseExport = [this](QWidget*) { return exportBits; };
        d.saveFileName = [this](QWidget*, const QString& caption, const QString& directory, const QString& filter) {
            questions << caption + " | " + directory + " | " + filter;
            if (answers.isEmpty())
                return QString();
            return answers.takeFirst();
        };
        tab.setExportDialogs(d);
    }
    QString out(const QString& file) const { return QString::fromStdString(dir.path()) + "/Exports/" + file; }

    int exportBits = 0;
    QStringList questions, answers;
};

TEST_F(Export, CsvAndImageWithOneQuestion)
{
    PropTab tab;
    fakeDialogs(tab);
    compose(tab, "Prop_A");
    tab.display();
    SAME_NAME_EXPORT = true;
    exportBits = 0x02 | 0x08 | 0x20;
    answers << out("run.final.csv");
    tab.exportar();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0],
              "CSV file for propellant data to be written | " + QString::fromStdString(dir.path())
                      + "/Exports | data file (*.csv)");
    EXPECT_EQ(boxes.texts(), (QStringList{"Successful save", "Export finished successfully"}));
    EXPECT_EQ(boxes.messages().back().icon, Msg::Information);
    EXPECT_TRUE(read("Propellants.json").contains("Prop_A"));
    const std::string csv = dir.read("Exports/run.final.csv");
    EXPECT_EQ(csv.substr(0, csv.find(";Considered")), "\nProp_A\n;Reactants:;O2(L);H2(L)\n;Relative masses:;80;20\n\n");
    EXPECT_NE(csv.find(";Considered species:;H;"), std::string::npos);
    const QImage image(out("run.png"));
    EXPECT_EQ(image.width(), static_cast<int>(IMG_WIDTH));
    EXPECT_EQ(image.height(), static_cast<int>(IMG_HEIGHT));
    EXPECT_EQ(PATH_EXPORT, out("run.png").toStdString());
}

TEST_F(Export, ImageAloneAsksForItsFile)
{
    PropTab tab;
    fakeDialogs(tab);
    compose(tab);
    tab.display();
    SAME_NAME_EXPORT = true;
    exportBits = 0x20;
    answers << out("curve.png");
    tab.exportar();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("file for cstar graph | "));
    EXPECT_TRUE(questions[0].endsWith(" | image file (*.png)"));
    EXPECT_TRUE(QFileInfo::exists(out("curve.png")));
    EXPECT_EQ(boxes.lastText(), "Export finished successfully");
}

TEST_F(Export, RefusalsAndCancels)
{
    PropTab tab;
    fakeDialogs(tab);
    exportBits = 0x02;
    tab.exportar();
    EXPECT_EQ(boxes.texts(), QStringList{"No propellant has been created"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);

    compose(tab);
    boxes.clear();
    exportBits = 0; // cancelled, or nothing ticked
    tab.exportar();
    exportBits = 0x02 | 0x20; // no curve yet
    tab.exportar();
    EXPECT_EQ(boxes.texts(), QStringList{"No C* has been calculated"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    EXPECT_FALSE(std::filesystem::exists(dir.dataFile("Propellants.json")));

    // A cancelled file question ends the export silently; the propellant stays saved.
    boxes.clear();
    exportBits = 0x02;
    tab.exportar();
    EXPECT_EQ(boxes.texts(), QStringList{"Successful save"});
    EXPECT_TRUE(read("Propellants.json").contains("X"));
}

TEST_F(Export, FailedWritesAreReportedNotConfirmed)
{
    PropTab tab;
    fakeDialogs(tab);
    compose(tab);
    tab.display();
    exportBits = 0x02 | 0x20;
    SAME_NAME_EXPORT = false;
    answers << out("gone/data.csv");
    boxes.answer(Msg::Ok);
    tab.exportar();
    ASSERT_EQ(boxes.messages().size(), 2u);
    EXPECT_EQ(boxes.texts()[1], "The file " + out("gone/data.csv") + " could not be written");
    EXPECT_EQ(boxes.messages()[1].icon, Msg::Critical);
    EXPECT_EQ(questions.size(), 1); // no image after a failed CSV file

    boxes.clear();
    questions.clear();
    answers << out("data.csv") << out("gone/curve.png");
    boxes.answer(Msg::Yes); // the overwrite question of the save
    tab.exportar();
    EXPECT_EQ(boxes.texts().last(), "The file " + out("gone/curve.png") + " could not be written");
    EXPECT_FALSE(boxes.texts().contains("Export finished successfully"));
}

} // namespace
