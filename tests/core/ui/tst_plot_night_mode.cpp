// The night and day look of a plot: every element the scheme owns gets the scheme's
// colour, everything a tab owns (graphs, items, grids, second axes, fonts) keeps its
// own, switching back and forth lands on the day look, and a plot whose content was
// cleared is recoloured without touching what is gone.
#include <qcustomplot.h>

#include <QtTest>

#include "core/ui/plot_night_mode.h"

namespace {

// The background brush has no public getter.
class Plot : public QCustomPlot {
public:
    QBrush backgroundBrush() const { return mBackgroundBrush; }
};

// A plot dressed the way a tab dresses its own: graphs in the legend, read-out items,
// visible second axes, grid and tick pens, fonts and axis colours of its own.
void dress(Plot& plot)
{
    plot.resize(400, 300);
    plot.legend->setVisible(true);
    for (int g = 0; g < 2; ++g) {
        QCPGraph* graph = plot.addGraph();
        graph->setName(QString("graph %1").arg(g));
        graph->setPen(QPen(g == 0 ? Qt::blue : Qt::green, 2));
        graph->setData({0, 1, 2}, {1, 3, 2});
    }
    auto* text = new QCPItemText(&plot);
    text->setText("Pc = 5 MPa");
    text->setColor(Qt::magenta);
    auto* tracer = new QCPItemTracer(&plot);
    tracer->setGraph(plot.graph(0));
    tracer->setPen(QPen(Qt::red));
    auto* arrow = new QCPItemLine(&plot);
    arrow->setPen(QPen(Qt::cyan, 3));
    plot.xAxis2->setVisible(true);
    plot.yAxis2->setVisible(true);
    plot.xAxis2->setBasePen(QPen(Qt::darkRed));
    plot.yAxis2->setTickLabelColor(Qt::darkBlue);
    plot.xAxis->grid()->setPen(QPen(Qt::darkGreen, 1, Qt::DotLine));
    plot.yAxis->grid()->setSubGridVisible(true);
    plot.xAxis->setTickPen(QPen(Qt::darkCyan));
    plot.yAxis->setSubTickPen(QPen(Qt::darkMagenta));
    plot.xAxis->setLabelFont(QFont("Sans", 13));
    plot.xAxis->setLabel("Pressure");
    plot.yAxis->setLabel("c*");
    // Colours the tab set on what the scheme owns: the scheme wins.
    plot.xAxis->setLabelColor(Qt::red);
    plot.yAxis->setTickLabelColor(Qt::yellow);
    plot.legend->setBorderPen(QPen(Qt::red, 4));
}

// What the scheme must leave as the tab set it.
struct TabOwned {
    QList<QPen> graphPens;
    QColor textColor;
    QPen tracerPen, arrowPen, xAxis2BasePen, gridPen, subGridPen, xTickPen, ySubTickPen;
    QColor yAxis2TickLabelColor;
    QFont labelFont;

    static TabOwned of(Plot& p)
    {
        TabOwned t;
        for (int g = 0; g < p.graphCount(); ++g)
            t.graphPens << p.graph(g)->pen();
        t.textColor = static_cast<QCPItemText*>(p.item(0))->color();
        t.tracerPen = static_cast<QCPItemTracer*>(p.item(1))->pen();
        t.arrowPen = static_cast<QCPItemLine*>(p.item(2))->pen();
        t.xAxis2BasePen = p.xAxis2->basePen();
        t.yAxis2TickLabelColor = p.yAxis2->tickLabelColor();
        t.gridPen = p.xAxis->grid()->pen();
        t.subGridPen = p.yAxis->grid()->subGridPen();
        t.xTickPen = p.xAxis->tickPen();
        t.ySubTickPen = p.yAxis->subTickPen();
        t.labelFont = p.xAxis->labelFont();
        return t;
    }
    bool operator==(const TabOwned& o) const
    {
        return graphPens == o.graphPens && textColor == o.textColor && tracerPen == o.tracerPen
                && arrowPen == o.arrowPen && xAxis2BasePen == o.xAxis2BasePen
                && yAxis2TickLabelColor == o.yAxis2TickLabelColor && gridPen == o.gridPen && subGridPen == o.subGridPen
                && xTickPen == o.xTickPen && ySubTickPen == o.ySubTickPen && labelFont == o.labelFont;
    }
};

QColor pixel(Plot& plot, QPoint at)
{
    return plot.toPixmap(plot.width(), plot.height()).toImage().pixelColor(at);
}

// Checks every property of the scheme against the look of night (true) or day (false).
void verifyLook(Plot& plot, bool night)
{
    const QColor text = night ? QColor(Qt::white) : QColor(Qt::black);
    const QPen line(night ? QColor(Qt::white) : QColor(Qt::lightGray));
    QCOMPARE(plot.backgroundBrush(), QBrush(night ? Qt::darkGray : Qt::white));
    QCOMPARE(plot.xAxis->basePen(), line);
    QCOMPARE(plot.xAxis->labelColor(), text);
    QCOMPARE(plot.xAxis->tickLabelColor(), text);
    QCOMPARE(plot.yAxis->basePen(), line);
    QCOMPARE(plot.yAxis->labelColor(), text);
    QCOMPARE(plot.yAxis->tickLabelColor(), text);
    QCOMPARE(plot.legend->borderPen(), line);
    QCOMPARE(plot.legend->textColor(), text);
    QCOMPARE(plot.legend->brush(), QBrush(night ? Qt::black : Qt::white));
    for (int i = 0; i < plot.legend->itemCount(); ++i)
        QCOMPARE(plot.legend->item(i)->textColor(), text);
    QCOMPARE(line.widthF(), QPen().widthF());
    QCOMPARE(line.style(), Qt::SolidLine);
}

} // namespace

class TestPlotNightMode : public QObject {
    Q_OBJECT

private slots:
    void look_data();
    void look();
    void backAndForthEndsOnTheDayLook();
    void clearedPlotIsRecolouredSafely();
    void plotWithoutAxesOrLegend();
};

void TestPlotNightMode::look_data()
{
    QTest::addColumn<bool>("night");
    QTest::addColumn<QColor>("background");
    QTest::newRow("night") << true << QColor(Qt::darkGray);
    QTest::newRow("day") << false << QColor(Qt::white);
}

void TestPlotNightMode::look()
{
    QFETCH(bool, night);
    QFETCH(QColor, background);
    Plot plot;
    dress(plot);
    const TabOwned before = TabOwned::of(plot);
    QSignalSpy replots(&plot, &QCustomPlot::afterReplot);

    applyPlotNightMode(&plot, night);

    verifyLook(plot, night);
    QCOMPARE(replots.count(), 1);
    QVERIFY(TabOwned::of(plot) == before);
    // The background as drawn, in the top-left corner outside the axis rect.
    QCOMPARE(pixel(plot, QPoint(2, 2)), background);

    applyPlotNightMode(&plot, night); // a second call changes nothing
    verifyLook(plot, night);
    QVERIFY(TabOwned::of(plot) == before);
}

void TestPlotNightMode::backAndForthEndsOnTheDayLook()
{
    Plot plot;
    dress(plot);
    Plot fresh;
    dress(fresh);
    applyPlotNightMode(&fresh, false);

    for (int round = 0; round < 3; ++round) {
        applyPlotNightMode(&plot, true);
        verifyLook(plot, true);
        applyPlotNightMode(&plot, false);
        verifyLook(plot, false);
    }
    QVERIFY(TabOwned::of(plot) == TabOwned::of(fresh));
    QCOMPARE(plot.toPixmap(400, 300).toImage(), fresh.toPixmap(400, 300).toImage());
}

// After "Clear graphs" the graphs and read-out items are gone; the scheme must work only on
// what the plot holds now (the sanitizer catches any use of what was deleted).
void TestPlotNightMode::clearedPlotIsRecolouredSafely()
{
    Plot plot;
    dress(plot);
    applyPlotNightMode(&plot, true);
    plot.clearItems();
    plot.clearGraphs();
    QCOMPARE(plot.itemCount(), 0);
    QCOMPARE(plot.legend->itemCount(), 0);

    applyPlotNightMode(&plot, false);
    verifyLook(plot, false);
    applyPlotNightMode(&plot, true);
    verifyLook(plot, true);

    // New content after the clear takes the legend's current colour.
    QCPGraph* graph = plot.addGraph();
    graph->setName("after clear");
    QCOMPARE(plot.legend->item(0)->textColor(), QColor(Qt::white));
    applyPlotNightMode(&plot, false);
    QCOMPARE(plot.legend->item(0)->textColor(), QColor(Qt::black));
}

void TestPlotNightMode::plotWithoutAxesOrLegend()
{
    Plot plot;
    plot.resize(200, 150);
    plot.plotLayout()->clear(); // removes the axis rect, its axes and the legend inset
    QVERIFY(!plot.xAxis && !plot.yAxis && !plot.legend);
    applyPlotNightMode(&plot, true);
    QCOMPARE(plot.backgroundBrush(), QBrush(Qt::darkGray));
    applyPlotNightMode(nullptr, true);
}

QTEST_MAIN(TestPlotNightMode)
#include "tst_plot_night_mode.moc"
