// The results plot and the export through the tab: graph names, colours, normalisation,
// the axis from 0, the refusals, species chosen in the dialog, the markers of frozen and
// kinetic runs going with their graphs, the click read-out; the export's refusals, the CSV
// and PNG files with their names and size, a failed write, and an export during a run.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>

#include "../tab_fixture.h"
#include "calculations/calculation_export.h"

namespace {

using tab_test::TabTest;

class PlotTab : public TabTest {
public:
    // The variable list under the plot for pressure runs.
    QComboBox* stationaryList() const
    {
        for (QComboBox* c : tab->findChildren<QComboBox*>())
            if (c->objectName().isEmpty() && c->count() == 18)
                return c;
        return nullptr;
    }
    std::vector<QCPItemTracer*> tracers() const
    {
        std::vector<QCPItemTracer*> out;
        for (int i = 0; i < graph()->itemCount(); ++i)
            if (auto* t = qobject_cast<QCPItemTracer*>(graph()->item(i)))
                out.push_back(t);
        return out;
    }
    int visibleTracers() const
    {
        int n = 0;
        for (QCPItemTracer* t : tracers())
            n += t->visible() ? 1 : 0;
        return n;
    }
    QCPItemText* readOutLabel() const
    {
        for (int i = 0; i < graph()->itemCount(); ++i)
            if (auto* t = qobject_cast<QCPItemText*>(graph()->item(i)))
                return t;
        return nullptr;
    }
    // A finished run put straight into the list (a kinetic run, whose solver these tests
    // do not need to run).
    void addFinished(const std::shared_ptr<RocketVariables>& r)
    {
        auto& results = tab->model().results;
        results.insert(results.end() - 1, r);
        combo("comb_select_conf")->addItem(QString::fromStdString(r->configurationName));
    }
    QString exportDir() const { return QString::fromStdString(app.path()) + "/out"; }
};

TEST_F(PlotTab, GraphsAreNamedColouredAndNormalised)
{
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    ASSERT_EQ(graph()->graphCount(), 1);
    release("but_plot"); // the same run and variable again
    ASSERT_EQ(graph()->graphCount(), 2);
    EXPECT_EQ(graph()->graph(0)->name(), graph()->graph(1)->name());
    EXPECT_EQ(graph()->graph(0)->pen().color(), QColor(Qt::red));
    EXPECT_EQ(graph()->graph(1)->pen().color(), QColor(Qt::blue));
    EXPECT_EQ(graph()->graph(0)->pen().width(), 2); // GLINE_WIDTH + 1
    EXPECT_EQ(graph()->graph(0)->selectionDecorator()->pen().width(), 4);

    NORMALIZED = true;
    stationaryList()->setCurrentIndex(2); // density
    release("but_plot");
    QCPGraph* density = graph()->graph(2);
    EXPECT_EQ(density->name(), QString::fromUtf8("Config_1_\u03c1/\u03c1\u2080"));
    EXPECT_DOUBLE_EQ(density->data()->at(0)->value, 1.0);
    EXPECT_EQ(density->pen().color(), QColor(Qt::green));
    stationaryList()->setCurrentIndex(3); // enthalpy, by the exit value
    release("but_plot");
    QCPGraph* enthalpy = graph()->graph(3);
    EXPECT_DOUBLE_EQ(enthalpy->data()->at(enthalpy->dataCount() - 1)->value, 1.0);

    GRAPH_Y_0 = true;
    release("but_plot");
    EXPECT_EQ(graph()->yAxis->range().lower, 0.0);

    // Nothing selected: refused with its message, the plot unchanged.
    const int before = graph()->graphCount();
    combo("comb_select_conf")->setCurrentIndex(-1);
    EXPECT_FALSE(t.plot());
    EXPECT_EQ(messages.lastText(), "No configuration was selected");
    combo("comb_select_conf")->setCurrentIndex(2);
    stationaryList()->setCurrentIndex(-1);
    EXPECT_FALSE(t.plot());
    EXPECT_EQ(messages.lastText(), "No graph type was selected");
    EXPECT_EQ(graph()->graphCount(), before);
}

TEST_F(PlotTab, TransportAndSpeciesGraphsNeedWhatTheRunHas)
{
    DataTab& t = make();
    chooseReferenceRun();
    check("check_transport")->setChecked(false);
    ASSERT_TRUE(runToEnd());
    t.clearAll();
    // "Plot all (stationary)" of conductivity: the run has no transport, no graph, no message.
    messages.clear();
    EXPECT_TRUE(t.plot(true, 0, 13));
    EXPECT_EQ(graph()->graphCount(), 0);
    EXPECT_TRUE(messages.messages().empty());
    // No grain run: "Plot all (time dependant)" draws nothing and succeeds.
    EXPECT_TRUE(t.plot(true, 1, 2));
    EXPECT_EQ(graph()->graphCount(), 0);

    // Species by the dialog: three ticked, three graphs, the highest position first.
    speciesTicked = {0, 2, 3};
    stationaryList()->setCurrentIndex(17);
    release("but_plot");
    EXPECT_EQ(speciesDialogs, 1);
    const RocketVariables& run = *t.model().results[0];
    ASSERT_EQ(offeredSpecies.size(), run.speciesNames.size());
    for (std::size_t k = 0; k < offeredSpecies.size(); ++k) {
        double largest = 0.0;
        for (double v : run.moleFractions[k])
            largest = std::max(largest, v);
        EXPECT_EQ(offeredSpecies[k].second, largest == 0.0) << offeredSpecies[k].first;
    }
    ASSERT_EQ(graph()->graphCount(), 3);
    EXPECT_EQ(graph()->graph(0)->name(),
              QString::fromStdString("Config_1_molar fraction of '" + run.speciesNames[3] + "'"));
    EXPECT_EQ(graph()->graph(2)->name(),
              QString::fromStdString("Config_1_molar fraction of '" + run.speciesNames[0] + "'"));
    EXPECT_TRUE(auxChooseChecked.empty());
    // Cancelled: nothing drawn.
    speciesTicked.clear();
    release("but_plot");
    EXPECT_EQ(graph()->graphCount(), 3);
    // By index: 18 is species 1.
    EXPECT_TRUE(t.plot(true, 2, 18));
    EXPECT_EQ(graph()->graph(3)->name(),
              QString::fromStdString("Config_1_molar fraction of '" + run.speciesNames[1] + "'"));
}

TEST_F(PlotTab, MarkersGoWithTheirGraphs)
{
    DataTab& t = make();
    chooseReferenceRun();
    check("check_froz")->setChecked(true);
    type("line_froz", "40"); // station 3
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(visibleTracers(), 1);
    EXPECT_DOUBLE_EQ(tracers()[0]->graphKey(), 0.04);
    EXPECT_EQ(tracers()[0]->brush().color(), QColor(Qt::red));

    // A kinetic run shows its two switch stations; one beyond the stations gets none.
    auto kinetic = std::make_shared<RocketVariables>(*t.model().results[0]);
    kinetic->configurationName = "Kinetic";
    kinetic->isODE = false;
    kinetic->frozenIndex = kinetic->stationCount;
    kinetic->convergentSwitchIndex = 0;
    kinetic->divergentSwitchIndex = 2;
    addFinished(kinetic);
    combo("comb_select_conf")->setCurrentIndex(3);
    release("but_plot");
    EXPECT_EQ(visibleTracers(), 3);
    EXPECT_EQ(tracers().size(), 3u);
    auto broken = std::make_shared<RocketVariables>(*kinetic);
    broken->configurationName = "Broken";
    broken->divergentSwitchIndex = 99;
    addFinished(broken);
    combo("comb_select_conf")->setCurrentIndex(4);
    release("but_plot");
    EXPECT_EQ(graph()->graphCount(), 3);
    EXPECT_EQ(visibleTracers(), 4);

    // The last graph's markers go with it; then the kinetic run's two.
    release("but_clear_last");
    EXPECT_EQ(graph()->graphCount(), 2);
    EXPECT_EQ(tracers().size(), 3u);
    release("but_clear_last");
    EXPECT_EQ(tracers().size(), 1u);
    // Clearing everything leaves only the hidden read-out label and arrow.
    release("but_clear_graph");
    EXPECT_EQ(graph()->graphCount(), 0);
    EXPECT_EQ(graph()->itemCount(), 2);
    EXPECT_FALSE(graph()->item(0)->visible());
    graph()->replot();
}

TEST_F(PlotTab, AClickShowsThePointAndARightClickEmptiesTheGraph)
{
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    QCPGraph* g = graph()->graph(0);
    const double y = g->data()->at(2)->value;
    QMouseEvent left(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    t.onGraphSelect(g, 2, &left);
    QCPItemText* label = readOutLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->visible());
    EXPECT_EQ(label->text(), "x:0.02 m\ny:" + QString::number(y, 'g', 10));
    EXPECT_EQ(label->font().pointSize(), 16);
    EXPECT_EQ(graph()->itemCount(), 3); // label, arrow, the run's hidden marker

    t.NightMode(true);
    EXPECT_EQ(label->color(), graph()->legend->textColor());
    EXPECT_TRUE(t.findChild<QTableWidget*>()->styleSheet().contains("color: white"));
    t.NightMode(false);

    QMouseEvent right(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    t.onGraphSelect(g, 2, &right);
    EXPECT_EQ(g->dataCount(), 0);
    EXPECT_EQ(graph()->graphCount(), 1);
    release("but_clear_graph");
    EXPECT_FALSE(readOutLabel()->visible());
}

TEST_F(PlotTab, ExportChoicesThatCannotBeExportedAreRefused)
{
    DataTab& t = make();
    exportMask = calc::exportBit::CurrentRun | calc::exportBit::Parameters;
    release("but_export");
    EXPECT_EQ(messages.texts(), QStringList({"No calculations have been made"}));

    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    struct Case {
        int mask;
        int item;
        const char* message;
    };
    const Case cases[] = {
            {0, 2, ""},
            {0x8, 2, "No items were selected to be exported"},
            {0x10, 2, "No items were selected to be exported"},
            {0x8 | 0x20, 0, "No configuration currently selected"},
    };
    for (const Case& c : cases) {
        messages.clear();
        exportMask = c.mask;
        combo("comb_select_conf")->setCurrentIndex(c.item);
        t.exportar();
        EXPECT_EQ(messages.lastText(), c.message) << c.mask;
        if (*c.message) {
            EXPECT_EQ(messages.messages().back().icon, Msg::Warning);
        }
    }
    EXPECT_TRUE(dialogCaptions.isEmpty());
}

TEST_F(PlotTab, CsvAndTheCurrentGraphShareTheChosenName)
{
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    QDir().mkpath(exportDir());
    savePaths = {exportDir() + "/results.v2.csv"};
    exportMask = 0x8 | 0x2 | 0x4 | 0x20 | 0x100;
    t.exportar();
    EXPECT_EQ(dialogCaptions, QStringList({"CSV file for calculation data to be written"}));
    EXPECT_EQ(messages.texts(), QStringList({"Export finished successfully"}));
    EXPECT_EQ(messages.messages().back().icon, Msg::Information);
    QFile csv(exportDir() + "/results.v2.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.startsWith("Config_1;\n;;Parameters;;;Rocket\n;Propellant;H2/O2;;Chamber pressure;5331720\n"));
    EXPECT_TRUE(text.contains("\n;;Combustion chamber;Nozzle entrance;Nozzle throat;Nozzle exit;\n"));
    const QImage png(exportDir() + "/results.png");
    EXPECT_EQ(png.size(), QSize(800, 450));
    EXPECT_EQ(PATH_EXPORT, (exportDir() + "/results.png").toStdString());

    // The image size follows the preferences; without the same name a dialog asks.
    IMG_WIDTH = 640;
    IMG_HEIGHT = 360;
    SAME_NAME_EXPORT = false;
    dialogCaptions.clear();
    savePaths = {exportDir() + "/graph.png"};
    exportMask = 0x8 | 0x100;
    combo("comb_select_conf")->setCurrentIndex(0); // the graph shown needs no run
    t.exportar();
    EXPECT_EQ(dialogCaptions, QStringList({"file for current graph"}));
    EXPECT_EQ(QImage(exportDir() + "/graph.png").size(), QSize(640, 360));
}

TEST_F(PlotTab, AGraphSeriesWritesOneImagePerVariable)
{
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    QDir().mkpath(exportDir());
    SAME_NAME_EXPORT = true; // but no CSV: the base name comes from its own dialog
    savePaths = {exportDir() + "/series.png"};
    exportMask = 0x10 | 0x200 | 0x800;
    t.exportar();
    EXPECT_EQ(dialogCaptions, QStringList({"base file name for all graphs to be exported"}));
    EXPECT_EQ(messages.lastText(), "Export finished successfully");
    const QStringList files = QDir(exportDir()).entryList(QDir::Files);
    for (const char* name :
         {"series_Pressure [Pa].png", "series_Density [kg_m3].png", "series_Mixture molecular weight [kg_kg-mol].png",
          "series_Mass flow [kg_s].png", "series_Comp_0.png", "series_Comp_1.png", "series_Comp_10.png"})
        EXPECT_TRUE(files.contains(name)) << name << " in " << files.join(", ").toStdString();
    EXPECT_FALSE(files.contains("series_Comp_11.png")); // eleven species, 0 to 10
    EXPECT_EQ(files.size(), 13 + 11);
}

TEST_F(PlotTab, AFileThatCannotBeWrittenIsReportedNotCelebrated)
{
    DataTab& t = make();
    chooseReferenceRun();
    ASSERT_TRUE(runToEnd());
    savePaths = {QString::fromStdString(app.path()) + "/no/such/folder/results.csv"};
    exportMask = 0x10 | 0x2;
    t.exportar();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(messages.lastText().startsWith("File could not be written: "));
    EXPECT_FALSE(messages.texts().contains("Export finished successfully"));
}

TEST_F(PlotTab, AnExportDuringARunLeavesTheRunningRecordAlone)
{
    calc_test::Grain g;
    for (int i = 0; i < 20000; ++i) {
        g.distance.push_back(i * 1e-5);
        g.area.push_back(1.0);
    }
    stores.grains["Long"] = g;
    writeNames();
    DataTab& t = make();
    chooseReferenceRun();
    line("line_name")->setText("Finished");
    ASSERT_TRUE(runToEnd());
    line("line_name")->setText("Running");
    choose("comb_grain", "Long");
    radio("radio_spec_grain")->setChecked(true);
    release("but_run");
    ASSERT_TRUE(t.model().running);

    QDir().mkpath(exportDir());
    savePaths = {exportDir() + "/during.csv"};
    exportMask = 0x10 | 0x2;
    t.exportar();
    QFile csv(exportDir() + "/during.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.startsWith("Finished;"));
    EXPECT_FALSE(text.contains("Running"));
    // "Plot all" draws the finished run only.
    t.clearAll();
    EXPECT_TRUE(t.plot(true, 0, 0));
    EXPECT_EQ(graph()->graphCount(), 1);

    release("but_run"); // abort
    ASSERT_TRUE(worker_run::waitFor([&] { return !t.model().running; }, 10000));
}

} // namespace
