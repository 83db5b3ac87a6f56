// The propellant tab's c* tools, its click read-out and its export.
#include <cstdlib>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <qcustomplot.h>

#include "core/export_flow.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "core/ui/export_selection.h"
#include "core/ui/plot_image.h"
#include "core/ui/plot_night_mode.h"
#include "propellant/cstar_tools.h"
#include "propellant/propellant_export.h"
#include "propellant/tab_messages.h"
#include "propellant/ui/prop_tab.h"
#include "ui_proptab.h"

namespace {

// The codes a c* tool's own mixture construction raises. Only they are cleared before
// it: codes that a run on a worker thread may be raising at the same time stay.
constexpr uint32_t mixtureDefinitionCodes = code::L00 | code::L02 | code::L03;

} // namespace

PropTab::ExportDialogs propTabExportDialogs()
{
    PropTab::ExportDialogs d;
    d.chooseExport = [](QWidget* parent) {
        ExportSelection dialog(exportMode::propellant, parent);
        return dialog.exec();
    };
    d.saveFileName = [](QWidget* parent, const QString& caption, const QString& directory, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    };
    return d;
}

bool PropTab::startCStarTool()
{
    clearFlag(flagsL, mixtureDefinitionCodes);
    unitFlag = 0; // raised by unit conversions of the GUI thread only
    if (!buildMixture())
        return false;
    if (flagRaised(flagsL, mixtureDefinitionCodes) || unitFlag != 0) {
        reportCriticalErrors();
        return false;
    }
    return true;
}

void PropTab::reportCriticalErrors()
{
    showTabMessage(this, Msg::Warning, QStringLiteral("Critical errors occured during calculations"));
    emit FlagsUpdated(true, true);
}

void PropTab::addCurve(const std::vector<double>& keys, const std::vector<double>& values, bool ratioCurve)
{
    QCustomPlot* plot = ui->Graph;
    QStringList names;
    for (int i = 0; i < plot->graphCount(); ++i)
        names << plot->graph(i)->name();
    // Named before a change of kind removes the graphs.
    const QString name = uniqueGraphName(ui->line_Name->text(), names);
    const QString label = QString::fromLatin1(ratioCurve ? ratioAxisLabel : pressureAxisLabel);
    if (plot->xAxis->label() != label) {
        plot->clearGraphs();
        plot->xAxis->setLabel(label);
    }
    QCPGraph* graph = plot->addGraph();
    graph->setData(QVector<double>(keys.begin(), keys.end()), QVector<double>(values.begin(), values.end()));
    graph->setName(name);
    const std::optional<Qt::GlobalColor> named = graphColour(plot->graphCount());
    const QColor colour = named ? QColor(*named) : QColor(std::rand() % 256, std::rand() % 256, std::rand() % 256);
    graph->setPen(QPen(colour, GLINE_WIDTH + 1));
    graph->selectionDecorator()->setPen(QPen(colour, GLINE_WIDTH + 3));
    plot->rescaleAxes();
    plot->replot();
    emit FlagsUpdated(true, true);
}

void PropTab::display()
{
    if (!startCStarTool())
        return;
    const std::vector<double> pressures = cStarPressureGrid(CS_PLOT_POINTS, MIN_PRES_CS_PLOT, MAX_PRES_CS_PLOT);
    CStarCurve curve;
    curve.converged = false;
    if (!pressures.empty())
        curve = cStarOverPressures(*propellant.mixture(), pressures, T_SEED);
    if (!curve.converged) {
        reportCriticalErrors();
        return;
    }
    addCurve(curve.keys, curve.values, false);
}

void PropTab::OptComp()
{
    if (!startCStarTool())
        return;
    // Ratios must be positive masses of both reactants, of which there must be two.
    if (COMP_OPT_NUM == 0 || !(COMP_OPT_MIN > 0) || !(COMP_OPT_MAX > COMP_OPT_MIN) || reactantRowCount() != 2) {
        showTabMessage(this, Msg::Warning, QStringLiteral("Unexpected error occurred during optimization"));
        return;
    }
    const CStarCurve curve = cStarOverRatios(
            *propellant.mixture(), mixtureRatioGrid(COMP_OPT_NUM, COMP_OPT_MIN, COMP_OPT_MAX), COMP_OPT_PRES, T_SEED);
    if (!curve.converged) {
        reportCriticalErrors();
        return;
    }
    const std::size_t best = bestIndex(curve.values);
    // At an end of the range the optimum may lie beyond it: the composition stays, and
    // the curve shows which way c* still rises.
    const bool atEnd = best == 0 || best + 1 == curve.values.size();
    if (!atEnd) {
        relativeMassFields[0]->setText(formatNumber(curve.keys[best]));
        relativeMassFields[1]->setText(QStringLiteral("1"));
    }
    addCurve(curve.keys, curve.values, true);
    if (atEnd)
        showTabMessage(this, Msg::Warning, QString::fromUtf8(ratioRangeEndText),
                       ratioRangeEndDetails(curve.keys.front(), curve.keys.back(), curve.keys[best], COMP_OPT_PRES,
                                            NUM_DIS_PREC));
}

void PropTab::removeReadout()
{
    // Through the plot, so that its item list keeps no pointer to a deleted item.
    if (readoutArrow)
        ui->Graph->removeItem(readoutArrow);
    if (readoutLabel)
        ui->Graph->removeItem(readoutLabel);
}

void PropTab::styleReadout()
{
    const QColor text = ui->Graph->legend->textColor();
    if (readoutLabel) {
        readoutLabel->setPen(QPen(text));
        readoutLabel->setColor(text);
        readoutLabel->setBrush(ui->Graph->legend->brush());
    }
    if (readoutArrow)
        readoutArrow->setPen(QPen(text));
}

void PropTab::clear_graph()
{
    ui->Graph->clearGraphs();
    removeReadout();
    ui->Graph->replot();
}

void PropTab::onGraphSelect(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event)
{
    auto* graph = qobject_cast<QCPGraph*>(plottable);
    if (!graph || !event)
        return;
    QCustomPlot* plot = ui->Graph;
    if (event->button() == Qt::RightButton) {
        graph->data()->clear();
        plot->rescaleAxes();
        plot->replot();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    removeReadout();
    if (dataIndex < 0 || dataIndex >= graph->dataCount()) {
        plot->replot();
        return;
    }
    const double key = graph->data()->at(dataIndex)->key;
    const double value = graph->data()->at(dataIndex)->value;
    auto* text = new QCPItemText(plot);
    text->position->setType(QCPItemPosition::ptPlotCoords);
    text->position->setCoords(plot->xAxis->range().upper, plot->yAxis->range().lower);
    text->setPositionAlignment(Qt::AlignRight | Qt::AlignBottom);
    text->setFont(QFont(font().family(), 16));
    text->setText(::readoutText(plot->xAxis->label() == QLatin1String(ratioAxisLabel), key, value, NUM_DIS_PREC));
    auto* arrow = new QCPItemLine(plot);
    arrow->start->setParentAnchor(text->topLeft);
    arrow->end->setCoords(key, value);
    arrow->setHead(QCPLineEnding(QCPLineEnding::esSpikeArrow, 8, 10));
    readoutLabel = text;
    readoutArrow = arrow;
    styleReadout();
    plot->replot();
}

void PropTab::NightMode(bool on)
{
    applyPlotNightMode(ui->Graph, on);
    styleReadout();
    ui->Graph->replot();
}

void PropTab::exportar()
{
    if (reactantLabels.empty()) {
        showTabMessage(this, Msg::Critical, QStringLiteral("No propellant has been created"));
        return;
    }
    ::ExportDialogs files;
    files.chooseExport = [this] { return exportDialogs.chooseExport(this); };
    files.saveFileName = [this](const QString& caption, const QString& directory, const QString& filter) {
        return exportDialogs.saveFileName(this, caption, directory, filter);
    };
    const ExportResult result = runExport(files, [this](uint32_t mask) -> std::optional<ExportPlan> {
        if ((mask & propellantExport::CStarCurve) && ui->Graph->graphCount() == 0) {
            showTabMessage(this, Msg::Warning, QStringLiteral("No C* has been calculated"));
            return std::nullopt;
        }
        // What is exported is what is saved.
        if (!save_prop())
            return std::nullopt;
        ExportPlan plan;
        if (mask & propellantExport::Csv)
            plan.csv = ExportCsv{tr("CSV file for propellant data to be written"),
                                 [this, mask] { return csvText(mask); }};
        if (mask & propellantExport::CStarCurve)
            plan.images.push_back(
                    ExportImage::file(tr("file for cstar graph"), QStringLiteral(".png"),
                                      [this](const QString& path) { return savePlotImage(ui->Graph, path); }));
        return plan;
    });
    switch (result.end) {
    case ExportEnd::Finished:
        showTabMessage(this, Msg::Information, QStringLiteral("Export finished successfully"));
        break;
    case ExportEnd::Failed:
        showTabMessage(this, Msg::Critical,
                       QStringLiteral("The file ") + result.failure->path + QStringLiteral(" could not be written"),
                       result.failure->reason);
        break;
    default: break;
    }
}

std::string PropTab::csvText(uint32_t mask) const
{
    const PropellantModel& m = propellant;
    const PropellantCsvContent content{ui->line_Name->text(),
                                       m.composition,
                                       ui->PropDataBox->isChecked(),
                                       m.density,
                                       m.pressureLimits,
                                       m.coefficients,
                                       m.exponents,
                                       compatibleSpecies,
                                       compatibleReactions};
    return propellantCsv(content, mask, LIST_SEPARATOR, DIG_OUT);
}
