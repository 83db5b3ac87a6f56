#include "calculations/ui/data_tab.h"

#include <cstdlib>

#include <QApplication>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTimer>
#include <qcustomplot.h>

#include "calculations/calculation_export.h"
#include "calculations/calculation_labels.h"
#include "calculations/calculation_options.h"
#include "calculations/configuration_store.h"
#include "calculations/plot_series.h"
#include "calculations/results_table.h"
#include "calculations/run_inputs.h"
#include "calculations/selection_lists.h"
#include "core/export_flow.h"
#include "core/flags.h"
#include "core/item_choice.h"
#include "core/message_box.h"
#include "core/preferences.h"
#include "core/ui/auxchoose.h"
#include "core/ui/export_selection.h"
#include "core/ui/number_fields.h"
#include "core/ui/plot_image.h"
#include "core/ui/plot_night_mode.h"
#include "core/view_message.h"
#include "ui_datatab.h"

using namespace calc;

namespace {

// The status bar after a run that gave no result, however it failed.
const QString runFailedStatus = QStringLiteral("Calculation failed");

const QString tableStyleDay
        = QStringLiteral("QHeaderView::section {color: black; border-width: 1px 1px 1px 1px; border-color: black;}");

DataTab::Dialogs standardDialogs()
{
    DataTab::Dialogs d;
    d.exportChoice = [](QWidget* parent) {
        ExportSelection dialog(exportMode::calculations, parent);
        return dialog.exec();
    };
    d.saveFileName = [](QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
    };
    d.chooseItem = runItemChooser;
    d.chooseSpecies = [](QWidget* parent, const std::vector<std::pair<std::string, bool>>& species) {
        AuxChoose dialog(itemChooser::select, parent);
        for (const auto& [name, disabled] : species)
            dialog.addCheck(name, disabled);
        dialog.exec();
    };
    return d;
}

QColor colourFor(int graphCount)
{
    if (const auto c = graphColour(graphCount))
        return QColor(*c);
    return QColor(std::rand() % 256, std::rand() % 256, std::rand() % 256);
}

// Refills a list with new names, keeping the chosen name chosen while it is listed.
void refill(QComboBox* combo, const QStringList& names)
{
    const QString chosen = combo->currentIndex() >= 0 ? combo->currentText() : QString();
    combo->clear();
    combo->addItems(names);
    combo->setCurrentIndex(positionAfterRefresh(chosen, names));
}

void setItemEnabled(QComboBox* combo, int index, bool enabled)
{
    if (auto* m = qobject_cast<QStandardItemModel*>(combo->model()))
        if (QStandardItem* item = m->item(index))
            item->setEnabled(enabled);
}

} // namespace

DataTab::DataTab(QWidget* parent, CalculationProviders providers)
    : QWidget(parent), dialogs(standardDialogs()), ui(new Ui_DataTab), model_(this, std::move(providers))
{
    ui->setupUi(this);
    refreshLists();
    ui->line_homT->setText(formatNumber(DEF_REAC_T, NUM_DIS_PREC));

    comb_var_stationary = new QComboBox(this);
    comb_var_stationary->addItems(stationaryVariables());
    comb_var_time = new QComboBox(this);
    comb_var_time->addItems(timeVariables());
    for (QComboBox* c : {comb_var_stationary, comb_var_time})
        c->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    ui->MainBut_lay->addWidget(comb_var_stationary, 0, 1);
    comb_var_time->hide();

    ui->graph->xAxis->setLabel("Nozzle x coordinate [m]");
    ui->graph->legend->setVisible(true);
    ui->graph->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables);
    connect(ui->graph, &QCustomPlot::plottableClick, this, &DataTab::onGraphSelect);
    resetReadOut();

    resultsTable = new QTableWidget(1, 5, this);
    resultsTable->setHorizontalHeaderLabels(stationTableColumns());
    resultsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    resultsTable->setShowGrid(true);
    resultsTable->setAutoScroll(true);
    resultsTable->setStyleSheet(tableStyleDay);
    resultsTable->hide();

    switchResultsView();

    // Numbers in standard or scientific notation, any sign, read as the model reads them.
    for (QLineEdit* line :
         {ui->line_spec_pres, ui->line_froz, ui->line_chamberA, ui->line_wallT, ui->line_ambient, ui->line_homT})
        line->setValidator(numberFieldValidator(line));
}

DataTab::~DataTab()
{
    model_.stopRunOnClose();
    delete ui;
}

// ---------------------------------------------------------------- lists and inputs

void DataTab::refreshLists()
{
    const std::optional<SelectionLists> lists = showReported(this, readSelectionLists());
    if (!lists)
        return;
    refill(ui->comb_prop, lists->propellants);
    refill(ui->comb_nozzle, lists->nozzles);
    refill(ui->comb_grain, lists->grains);
}

void DataTab::OnSelProp(QString nam)
{
    if (ui->comb_prop->currentIndex() < 0)
        return;
    showViewMessages(this, model_.selectPropellant(nam.toStdString(), false));
    emit FlagsUpdated(true, false);
    if (ui->check_homT->isChecked())
        model_.reapplyUniformTemperature();
}

void DataTab::OnSelNozzle(QString nam)
{
    chooseNozzle(nam);
}

bool DataTab::chooseNozzle(const QString& nam)
{
    if (ui->comb_nozzle->currentIndex() < 0)
        return false;
    // Reading the same nozzle again ("Current" before a run, a list refresh, a clear)
    // keeps the frozen point and the chamber area the user set; a new choice resets them.
    const bool reread = nam == loadedNozzle_;
    const NozzleSelection sel = model_.selectNozzle(nam.toStdString());
    const bool told = !sel.messages.empty();
    showViewMessages(this, sel.messages);
    if (!sel.loaded) {
        loadedNozzle_.clear();
        ui->comb_nozzle->setCurrentIndex(-1);
        emit FlagsUpdated(true, false);
        return told;
    }
    emit FlagsUpdated(true, false);
    loadedNozzle_ = nam;
    ui->Slider_frozen->setRange(0, static_cast<int>(sel.stationCount) - 1);
    if (reread) {
        placeSliderQuietly();
    } else {
        ui->line_froz->setText("0");
        lineModSlider();
        ui->line_chamberA->setText(formatNumber(sel.entranceArea, NUM_DIS_PREC));
        ui->combo_unitsA->setCurrentIndex(areaUnitSquareMetres);
    }
    ui->Slider_frozen->setTickInterval(static_cast<int>(sel.throatIndex));
    return told;
}

void DataTab::OnSelGrain(QString nam)
{
    chooseGrain(nam);
}

bool DataTab::chooseGrain(const QString& nam)
{
    if (ui->comb_grain->currentIndex() < 0)
        return false;
    const Reported<bool> selection = model_.selectGrain(nam.toStdString());
    const bool told = !selection.messages.empty();
    if (!showReported(this, selection))
        ui->comb_grain->setCurrentIndex(-1);
    emit FlagsUpdated(true, false);
    return told;
}

bool DataTab::OnSelPres()
{
    const CalculationModel::PressureChoice choice
            = model_.selectChamberPressure(ui->line_spec_pres->text(), ui->combo_units_pres->currentIndex());
    showFormEcho(choice.echo, choice.messages);
    return choice.accepted;
}

bool DataTab::setHomT()
{
    return showReported(this, model_.applyUniformTemperature(ui->line_homT->text()));
}

bool DataTab::lineModSlider()
{
    const Reported<std::optional<uint32_t>> placed
            = model_.placeFrozenPoint(ui->line_froz->text(), ui->combo_units_length->currentIndex());
    FormEcho echo;
    echo.frozenStation = placed.value;
    showFormEcho(echo, placed.messages);
    return placed.value.has_value();
}

void DataTab::showFormEcho(const FormEcho& echo, const ViewMessages& messages)
{
    // The point moves onto its station (the field then shows the station's x); a
    // position outside the nozzle lands on its end station.
    if (echo.frozenStation) {
        ui->Slider_frozen->setValue(static_cast<int>(*echo.frozenStation));
        sliderModLine();
    }
    showViewMessages(this, messages);
    if (echo.clearPressure)
        ui->line_spec_pres->clear();
}

void DataTab::placeSliderQuietly()
{
    // A position that is no number leaves the slider where it is, without its box.
    const std::optional<uint32_t> station
            = model_.placeFrozenPoint(ui->line_froz->text(), ui->combo_units_length->currentIndex()).value;
    if (station)
        ui->Slider_frozen->setValue(static_cast<int>(*station));
}

void DataTab::sliderModLine()
{
    const RocketVariables& rv = model_.edited();
    const int i = ui->Slider_frozen->value();
    if (i < 0 || static_cast<std::size_t>(i) >= rv.x.size())
        return;
    ui->line_froz->setText(formatNumber(lengthInUnit(rv.x[i], ui->combo_units_length->currentIndex()), NUM_DIS_PREC));
}

// ---------------------------------------------------------------- options and modes

void DataTab::ODChange(QAbstractButton* but)
{
    OptionSwitches s;
    s.ode = but == ui->radio_ode;
    s.frozen = ui->check_froz->isChecked();
    const OptionEnables e = optionEnables(s);
    ui->check_froz->setEnabled(e.frozenBox);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Slider_frozen, ui->line_froz, ui->combo_units_length})
        w->setEnabled(e.frozenPoint);
}

void DataTab::FrozChange(bool ch)
{
    if (ch && ui->comb_nozzle->currentIndex() < 0) {
        showWarning(this, nozzleFirst);
        ui->check_froz->setChecked(false);
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{ui->Slider_frozen, ui->line_froz, ui->combo_units_length})
        w->setEnabled(ch);
}

void DataTab::ACChange(QAbstractButton* but)
{
    const bool fac = but == ui->radio_FAC;
    ui->line_chamberA->setEnabled(fac);
    ui->combo_unitsA->setEnabled(fac);
    if (!fac)
        return;
    const RocketVariables& rv = model_.edited();
    // A typed area is never overwritten.
    if (ui->comb_nozzle->currentIndex() < 0 || !ui->line_chamberA->text().isEmpty() || rv.area.empty())
        return;
    ui->line_chamberA->setText(formatNumber(rv.area.front(), NUM_DIS_PREC));
    ui->combo_unitsA->setCurrentIndex(areaUnitSquareMetres);
}

void DataTab::SelectionChange(QAbstractButton* but)
{
    if (but != ui->radio_spec_grain) {
        ui->line_spec_pres->setEnabled(true);
        ui->combo_units_pres->setEnabled(true);
        ui->comb_grain->setEnabled(false);
        OnSelPres();
    } else {
        ui->line_spec_pres->setEnabled(false);
        ui->combo_units_pres->setEnabled(false);
        ui->comb_grain->setEnabled(true);
        OnSelGrain(ui->comb_grain->currentText());
    }
}

void DataTab::OnCheckHeatWall(bool check)
{
    for (QWidget* w : std::initializer_list<QWidget*>{ui->label_wallT, ui->line_wallT, ui->label_KwallT})
        w->setEnabled(check);
    // Wall heat needs the transport properties.
    if (check)
        ui->check_transport->setChecked(true);
}

void DataTab::OnCheckTransport(bool check)
{
    if (!check)
        ui->check_heatWall->setChecked(false);
}

void DataTab::OnSelHomT(bool check)
{
    ui->line_homT->setEnabled(check);
    if (check) {
        setHomT();
    } else if (ui->comb_prop->currentIndex() >= 0) {
        // Off means the reactants' own temperatures again: the propellant is built anew.
        showViewMessages(this, model_.restoreReactantTemperatures(ui->comb_prop->currentText().toStdString()));
        emit FlagsUpdated(true, false);
    }
}

void DataTab::BabyMode(bool is)
{
    const ModeVisibility v = modeVisibility(is, solidsHidden);
    if (is) {
        ui->radio_odk->hide();
        ui->radio_ode->setChecked(true);
        ui->comb_grain->hide();
        ui->radio_spec_grain->hide();
        ui->radio_spec_pres->setChecked(true);
        ui->radio_FAC->hide();
        ui->radio_IAC->setChecked(true);
        ui->line_chamberA->hide();
        ui->combo_unitsA->hide();
        ui->line_homT->hide();
        ui->check_homT->hide();
        ui->check_homT->setChecked(false);
        return;
    }
    ui->radio_odk->setVisible(v.kinetic);
    ui->comb_grain->setVisible(v.grain);
    ui->radio_spec_grain->setVisible(v.grain);
    ui->radio_FAC->setVisible(v.finiteArea);
    ui->line_chamberA->setVisible(v.chamberArea);
    ui->combo_unitsA->setVisible(v.chamberArea);
    ui->line_homT->setVisible(v.uniformTemperature);
    ui->check_homT->setVisible(v.uniformTemperature);
}

void DataTab::hideSolid(bool tog)
{
    if (tog) {
        ui->comb_grain->hide();
        ui->radio_spec_grain->hide();
        ui->radio_spec_pres->setChecked(true);
        return;
    }
    const bool shown = modeVisibility(babyModeActive, false).grain;
    ui->comb_grain->setVisible(shown);
    ui->radio_spec_grain->setVisible(shown);
}

// ---------------------------------------------------------------- the run

TabForm DataTab::readForm() const
{
    TabForm f;
    f.name = ui->line_name->text();
    f.autosave = ui->check_autosave->isChecked();
    f.propellantIndex = ui->comb_prop->currentIndex();
    f.propellant = ui->comb_prop->currentText();
    f.nozzleIndex = ui->comb_nozzle->currentIndex();
    f.nozzle = ui->comb_nozzle->currentText();
    f.grainMode = ui->radio_spec_grain->isChecked();
    f.grainIndex = ui->comb_grain->currentIndex();
    f.grain = ui->comb_grain->currentText();
    f.pressure = ui->line_spec_pres->text();
    f.pressureUnit = ui->combo_units_pres->currentIndex();
    f.ode = ui->radio_ode->isChecked();
    f.frozen = ui->check_froz->isChecked();
    f.frozenPosition = ui->line_froz->text();
    f.lengthUnit = ui->combo_units_length->currentIndex();
    f.fac = !ui->radio_IAC->isChecked();
    f.chamberArea = ui->line_chamberA->text();
    f.areaUnit = ui->combo_unitsA->currentIndex();
    f.transport = ui->check_transport->isChecked();
    f.heatWall = ui->check_heatWall->isChecked();
    f.wallTemperature = ui->line_wallT->text();
    f.ambient = ui->line_ambient->text();
    f.ambientUnit = ui->combo_ambient_units->currentIndex();
    f.homTChecked = ui->check_homT->isChecked();
    f.homT = ui->line_homT->text();
    return f;
}

FormActions DataTab::formActions()
{
    FormActions a;
    a.save = [this] { return save(); };
    a.rereadCurrentNozzle = [this] {
        const bool told = chooseNozzle(currentItem);
        return calc::CurrentReread{ui->comb_nozzle->currentIndex() >= 0, told};
    };
    a.rereadCurrentGrain = [this] {
        const bool told = chooseGrain(currentItem);
        return calc::CurrentReread{ui->comb_grain->currentIndex() >= 0, told};
    };
    return a;
}

void DataTab::calculate()
{
    if (model_.running) {
        abortFlag.store(1);
        showCritical(this, text::runAborted);
        return;
    }
    emit StatusMessage("Calculating...", 0);
    RunStart start = model_.prepareRun(readForm(), formActions());
    showFormEcho(start.echo, start.messages);
    if (!start.run) {
        // Nothing calculates: the refusal's box has said why.
        emit StatusMessage(QString(), 0);
        return;
    }
    model_.startRun(std::move(*start.run), this, [this](bool res) {
        lastRunResult_ = res;
        RunFinished();
    });
    ui->but_run->setEnabled(false);
    ui->but_run->setText("Running...");
    ++model_.pendingAbortTimers;
    QTimer::singleShot(static_cast<int>(ABORT) * 1000, this, &DataTab::showAbortButton);
}

void DataTab::showAbortButton()
{
    if (model_.running && model_.pendingAbortTimers == 1) {
        ui->but_run->setEnabled(true);
        ui->but_run->setText("Abort calculations");
    }
    if (model_.pendingAbortTimers > 0)
        --model_.pendingAbortTimers;
}

void DataTab::RunFinished()
{
    ui->but_run->setEnabled(true);
    ui->but_run->setText("Run calculations");
    const CalculationModel::Completion done = model_.finishRun(lastRunResult_);
    switch (done.outcome) {
    case RunOutcome::CriticalError:
        showCritical(this, text::criticalRun);
        emit FlagsUpdated(true, true);
        emit StatusMessage(runFailedStatus, 10000);
        return;
    case RunOutcome::NotConverged:
        showCritical(this, text::notConverged);
        emit FlagsUpdated(true, true);
        emit StatusMessage(runFailedStatus, 10000);
        return;
    case RunOutcome::Aborted:
        emit FlagsUpdated(true, true);
        emit StatusMessage("Calculation aborted", 10000);
        return;
    case RunOutcome::Succeeded: break;
    }
    const RocketVariables& run = *model_.results[done.runIndex];
    writeSummary(run);
    ui->comb_select_conf->addItem(QString::fromStdString(run.configurationName));
    ui->comb_select_conf->setCurrentIndex(ui->comb_select_conf->count() - 1);
    if (TYPE_RESULTS != 0)
        textOutput(false);
    else
        plot(false, -1, -1);
    emit FlagsUpdated(true, true);
    emit StatusMessage("Calculation finished", 10000);
}

// ---------------------------------------------------------------- selection and clearing

bool DataTab::tableView() const
{
    return !comb_var_stationary->isEnabled();
}

std::shared_ptr<RocketVariables> DataTab::selectedRun(int item) const
{
    const int run = plotSelector::runOf(item, tableView());
    if (run < 0 || static_cast<std::size_t>(run) >= model_.finishedCount())
        return nullptr;
    return model_.results[static_cast<std::size_t>(run)];
}

void DataTab::writeSummary(const RocketVariables& run)
{
    const SummaryTexts t = summaryTexts(run, NUM_DIS_PREC);
    ui->line_time->setText(t.time);
    ui->line_pres->setText(t.pressure);
    ui->line_Tcomb->setText(t.temperature);
    ui->line_massFlow->setText(t.massFlow);
    ui->line_thrust->setText(t.thrust);
    ui->line_isp->setText(t.isp);
    ui->line_cstar->setText(t.cstar);
    ui->line_CE->setText(t.ce);
}

void DataTab::ConfSelChange(int i)
{
    if (!comb_var_stationary)
        return; // the form is being built
    const std::shared_ptr<RocketVariables> run = selectedRun(i);
    if (tableView()) {
        if (run)
            writeSummary(*run);
        return;
    }
    if (i == plotSelector::allTime || (run && run->isGrain)) {
        ui->MainBut_lay->addWidget(comb_var_time, 0, 1);
        comb_var_stationary->hide();
        comb_var_time->show();
    } else {
        ui->MainBut_lay->addWidget(comb_var_stationary, 0, 1);
        comb_var_time->hide();
        comb_var_stationary->show();
        for (int k = stationRow::firstTransport; k <= stationRow::wallHeat; ++k)
            setItemEnabled(comb_var_stationary, k, true);
        if (run) {
            const StationRows rows
                    = stationRowsFor(run->calcTransport, run->calcHeatTransfer, comb_var_stationary->currentIndex());
            if (rows.current != comb_var_stationary->currentIndex())
                comb_var_stationary->setCurrentIndex(rows.current);
            for (int k : rows.disabled)
                setItemEnabled(comb_var_stationary, k, false);
        }
    }
    if (run)
        writeSummary(*run);
}

void DataTab::clearCalc()
{
    // What the form shows stays: the chamber area with its unit, the frozen point.
    const QString area = ui->line_chamberA->text();
    const int areaUnit = ui->combo_unitsA->currentIndex();
    // The position is read (and refused with its box) only where the form offers it.
    if (frozenPointOffered(readForm()))
        lineModSlider();
    else
        placeSliderQuietly();
    const int slider = ui->Slider_frozen->value();

    model_.clearResults();
    OnSelPres();
    if (ui->comb_nozzle->currentIndex() >= 0)
        OnSelNozzle(ui->comb_nozzle->currentText());
    if (ui->comb_grain->currentIndex() >= 0 && ui->radio_spec_grain->isChecked())
        OnSelGrain(ui->comb_grain->currentText());
    ui->Slider_frozen->setValue(slider);
    sliderModLine();
    ui->line_chamberA->setText(area);
    ui->combo_unitsA->setCurrentIndex(areaUnit);
    if (ui->comb_prop->currentIndex() >= 0)
        OnSelProp(ui->comb_prop->currentText());

    ui->comb_select_conf->clear();
    if (!tableView())
        ui->comb_select_conf->addItems({plotAllStationary, plotAllTime});
}

// ---------------------------------------------------------------- table and view

void DataTab::display()
{
    if (TYPE_RESULTS != 0)
        textOutput(false);
    else
        plot(false, -1, -1);
}

void DataTab::textOutput(bool first)
{
    if (!first && ui->comb_select_conf->currentIndex() < 0) {
        showCritical(this, "No configuration was selected");
        return;
    }
    std::shared_ptr<RocketVariables> run
            = first ? model_.results.back() : selectedRun(ui->comb_select_conf->currentIndex());
    if (!run)
        return;
    const ResultTable t = run->isGrain ? burnTable(*run, NUM_DIS_PREC) : stationTable(*run, NUM_DIS_PREC);
    resultsTable->setColumnCount(t.columns.size());
    resultsTable->setRowCount(t.rows.size());
    resultsTable->setHorizontalHeaderLabels(t.columns);
    resultsTable->setVerticalHeaderLabels(t.rows);
    resultsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const int shownColumns = run->isGrain ? 3 : (t.frozenColumnShown ? 5 : 4);
    for (int r = 0; r < t.rows.size(); ++r)
        for (int c = 0; c < shownColumns; ++c)
            resultsTable->setItem(r, c, new QTableWidgetItem(t.cells[r][c]));
    if (!run->isGrain)
        resultsTable->setColumnHidden(4, !t.frozenColumnShown);
}

void DataTab::switchResultsView()
{
    const bool plotInForce = comb_var_stationary->isEnabled();
    if (TYPE_RESULTS != 0 && plotInForce) {
        for (QWidget* w : std::initializer_list<QWidget*>{comb_var_stationary, comb_var_time, ui->but_clear_graph,
                                                          ui->but_clear_last})
            w->setEnabled(false);
        ui->but_plot->setText("Show data");
        ui->comb_select_conf->removeItem(1);
        ui->comb_select_conf->removeItem(0);
        ui->mainGrid->addWidget(resultsTable, 0, 1, 1, 1);
        ui->graph->hide();
        resultsTable->show();
    } else if (TYPE_RESULTS == 0 && !plotInForce) {
        for (QWidget* w : std::initializer_list<QWidget*>{comb_var_stationary, comb_var_time, ui->but_clear_graph,
                                                          ui->but_clear_last})
            w->setEnabled(true);
        ui->but_plot->setText("Plot");
        ui->comb_select_conf->insertItem(0, plotAllStationary);
        ui->comb_select_conf->insertItem(1, plotAllTime);
        ui->mainGrid->addWidget(ui->graph, 0, 1, 1, 1);
        ui->graph->show();
        resultsTable->hide();
    }
}

// ---------------------------------------------------------------- plot

bool DataTab::plot(bool first, short in_, short type_)
{
    int selector = in_;
    int type = type_;
    if (!first) {
        selector = ui->comb_select_conf->currentIndex();
        if (selector < 0) {
            showCritical(this, "No configuration was selected");
            return false;
        }
    } else if (in_ == -1) {
        selector = plotSelector::firstRun + static_cast<int>(model_.results.size()) - 1; // the last record
    }
    // Selector values count as in the plot view, whatever view is in force.
    const int record = plotSelector::runOf(selector, false);
    std::shared_ptr<RocketVariables> single;
    if (record >= 0 && static_cast<std::size_t>(record) < model_.results.size())
        single = model_.results[static_cast<std::size_t>(record)];
    QComboBox* combo
            = (selector == plotSelector::allTime || (single && single->isGrain)) ? comb_var_time : comb_var_stationary;
    if (!first) {
        if (combo->currentIndex() < 0) {
            showCritical(this, "No graph type was selected");
            return false;
        }
        type = combo->currentIndex();
    } else if (type_ == -1) {
        type = std::max(0, combo->currentIndex());
    }
    drawSelection(selector, type, -1);
    return true;
}

void DataTab::drawSelection(int selector, int type, int species)
{
    QCustomPlot* g = ui->graph;
    // The records: every finished run of a kind, or one record (never the one a worker
    // is filling).
    std::vector<std::shared_ptr<RocketVariables>> records;
    const int record = plotSelector::runOf(selector, false);
    if (selector == plotSelector::allStationary || selector == plotSelector::allTime) {
        for (const auto& r : model_.finishedRuns())
            if (r->isGrain == (selector == plotSelector::allTime))
                records.push_back(r);
    } else if (record >= 0 && static_cast<std::size_t>(record) < model_.results.size()) {
        const auto& r = model_.results[static_cast<std::size_t>(record)];
        if (r != model_.runRecord())
            records.push_back(r);
    }

    for (const auto& rec : records) {
        const RocketVariables& r = *rec;
        g->xAxis->setLabel(r.isGrain ? "Combustion time [s]" : "Nozzle x coordinate [m]");
        PlotSeries s;
        if (r.isGrain) {
            s = timeSeries(r, type, NORMALIZED);
        } else if (species >= 0) {
            s = speciesSeries(r, static_cast<std::size_t>(species));
        } else if (type == stationRow::species) {
            if (auxChooseChecked.empty())
                dialogs.chooseSpecies(this, speciesOffer(r));
            if (auxChooseChecked.empty())
                continue;
            s = speciesSeries(r, static_cast<std::size_t>(auxChooseChecked.back()));
        } else if (type > stationRow::species) {
            s = speciesSeries(r, static_cast<std::size_t>(type - stationRow::species));
        } else {
            s = stationSeries(r, type, NORMALIZED);
        }
        if (!s.drawn)
            continue;

        QCPGraph* graph = g->addGraph();
        graph->setData(QVector<double>(s.x.begin(), s.x.end()), QVector<double>(s.y.begin(), s.y.end()));
        graph->setName(QString::fromStdString(r.configurationName) + s.suffix);
        const QColor colour = colourFor(g->graphCount());
        graph->setPen(QPen(colour, GLINE_WIDTH + 1));
        auto* decorator = new QCPSelectionDecorator;
        decorator->setPen(QPen(colour, GLINE_WIDTH + 3));
        graph->setSelectionDecorator(decorator);
        DrawnGraph drawn{graph, {}, r.isGrain};

        auto marker = [&](QCPItemTracer* t, uint32_t station) {
            // A station index the run does not have (an invalid switch point) gets no marker.
            if (station >= r.x.size() || station >= r.stationCount)
                return;
            t->setGraph(graph);
            t->setGraphKey(r.x[station]);
            t->setSize(10);
            t->setBrush(QBrush(colourFor(g->graphCount())));
            t->setStyle(QCPItemTracer::tsCircle);
            t->updatePosition();
            t->setVisible(true);
        };
        auto* tracer = new QCPItemTracer(g);
        tracer->setVisible(false);
        markerTracers.push_back(tracer);
        drawn.markers.push_back(tracer);
        if (SHOW_FREEZE && r.frozenIndex != r.stationCount && !r.isGrain)
            marker(tracer, r.frozenIndex);
        if (SHOW_AP_CHANGE && !r.isODE) {
            marker(tracer, r.convergentSwitchIndex);
            auto* second = new QCPItemTracer(g);
            second->setVisible(false);
            markerTracers.push_back(second);
            drawn.markers.push_back(second);
            marker(second, r.divergentSwitchIndex);
        }
        drawnGraphs_.push_back(std::move(drawn));
    }

    // Several species ticked: each is drawn over the whole selection, highest position first.
    if (species < 0 && type == stationRow::species && !auxChooseChecked.empty()) {
        if (auxChooseChecked.size() > 1) {
            auxChooseChecked.pop_back();
            drawSelection(selector, type, species);
            return;
        }
        auxChooseChecked.clear();
    }
    g->rescaleAxes();
    if (GRAPH_Y_0)
        g->yAxis->setRangeLower(0.0);
    g->replot();
}

void DataTab::removeMarkers(DrawnGraph& drawn)
{
    for (QCPItemTracer* t : drawn.markers) {
        markerTracers.erase(std::remove(markerTracers.begin(), markerTracers.end(), t), markerTracers.end());
        ui->graph->removeItem(t);
    }
    drawn.markers.clear();
}

void DataTab::resetReadOut()
{
    QCustomPlot* g = ui->graph;
    if (clickLabel)
        g->removeItem(clickLabel);
    if (clickArrow)
        g->removeItem(clickArrow);
    clickLabel = new QCPItemText(g);
    clickLabel->setVisible(false);
    clickArrow = new QCPItemLine(g);
    clickArrow->setVisible(false);
}

void DataTab::clearAll()
{
    // The markers go with their graphs: nothing is left pointing at a removed graph.
    for (DrawnGraph& d : drawnGraphs_)
        removeMarkers(d);
    drawnGraphs_.clear();
    for (QCPItemTracer* t : markerTracers)
        ui->graph->removeItem(t);
    markerTracers.clear();
    ui->graph->clearGraphs();
    resetReadOut();
    ui->graph->replot();
}

void DataTab::clearLast()
{
    QCustomPlot* g = ui->graph;
    if (g->graphCount() > 0) {
        QCPGraph* last = g->graph(g->graphCount() - 1);
        const auto it = std::find_if(drawnGraphs_.begin(), drawnGraphs_.end(),
                                     [last](const DrawnGraph& d) { return d.graph == last; });
        if (it != drawnGraphs_.end()) {
            removeMarkers(*it);
            drawnGraphs_.erase(it);
        }
        g->removeGraph(last);
    }
    g->rescaleAxes();
    g->replot();
}

void DataTab::onGraphSelect(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event)
{
    auto* graph = qobject_cast<QCPGraph*>(plottable);
    if (!graph || !event)
        return;
    QCustomPlot* g = ui->graph;
    if (event->button() == Qt::RightButton) {
        graph->data()->clear();
        g->rescaleAxes();
        g->replot();
        return;
    }
    if (event->button() != Qt::LeftButton || dataIndex < 0 || dataIndex >= graph->dataCount())
        return;
    const double x = graph->data()->at(dataIndex)->key;
    const double y = graph->data()->at(dataIndex)->value;
    bool timeGraph = false;
    for (const DrawnGraph& d : drawnGraphs_)
        if (d.graph == graph)
            timeGraph = d.timeGraph;
    resetReadOut();
    clickLabel->position->setCoords(g->xAxis->range().lower, g->yAxis->range().lower);
    clickLabel->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    clickLabel->setFont(QFont(font().family(), 16));
    clickLabel->setText(readOut(x, y, timeGraph, NUM_DIS_PREC));
    clickLabel->setPen(QPen(g->legend->textColor()));
    clickLabel->setBrush(g->legend->brush());
    clickLabel->setColor(g->legend->textColor());
    clickLabel->setVisible(true);
    clickArrow->start->setParentAnchor(clickLabel->topRight);
    clickArrow->end->setCoords(x, y);
    clickArrow->setHead(QCPLineEnding(QCPLineEnding::esSpikeArrow, 8, 10));
    clickArrow->setPen(QPen(g->legend->textColor()));
    clickArrow->setVisible(true);
}

void DataTab::NightMode(bool night)
{
    QCustomPlot* g = ui->graph;
    applyPlotNightMode(g, night);
    clickLabel->setPen(QPen(g->legend->textColor()));
    clickLabel->setColor(g->legend->textColor());
    clickLabel->setBrush(g->legend->brush());
    clickArrow->setPen(QPen(g->legend->textColor()));
    const QString colour = night ? "white" : "black";
    resultsTable->setStyleSheet("QHeaderView::section {color: " + colour
                                + "; border-width: 1px 1px 1px 1px; "
                                  "border-color: "
                                + colour + ";} QWidget {color: " + colour + ";}");
    // The application's style sheet gives every widget one text colour, which draws the
    // variables a run cannot show like the others: they take the palette's disabled
    // text colour (the main window sets the palette of the mode before calling here).
    const QString disabled = QApplication::palette().color(QPalette::Disabled, QPalette::Text).name();
    for (QComboBox* c : {comb_var_stationary, comb_var_time})
        c->setStyleSheet("QWidget:disabled {color: " + disabled + ";}");
}

// ---------------------------------------------------------------- configurations

bool DataTab::save()
{
    const SaveOutcome out = model_.saveConfiguration(readForm());
    showFormEcho(out.echo, out.messages);
    return out.saved;
}

void DataTab::load()
{
    const std::optional<ConfigurationFile> file = showReported(this, readConfigurations());
    if (!file)
        return;
    const std::vector<std::string> names = configurationNames(*file);
    const std::optional<std::string> chosen = chosenItem(dialogs.chooseItem(this, itemChooser::select, names), names);
    if (!chosen)
        return;
    const std::string& name = *chosen;
    std::string error;
    const std::optional<Configuration> c = parseConfiguration(file->document[name], &error);
    if (!c) {
        showCritical(this, "Configuration '" + QString::fromStdString(name) + "' could not be loaded",
                     QString::fromStdString(error));
        return;
    }
    auto items = [](const QComboBox* combo) {
        QStringList texts;
        for (int k = 0; k < combo->count(); ++k)
            texts << combo->itemText(k);
        return texts;
    };

    ui->line_name->setText(QString::fromStdString(name));
    ui->check_homT->setChecked(false);
    const std::optional<ConfigurationFill> fill = showReported(
            this,
            configurationFill(*c, items(ui->comb_prop), items(ui->comb_nozzle), items(ui->comb_grain), NUM_DIS_PREC));
    if (!fill)
        return;
    if (c->grainMode) {
        ui->comb_grain->setCurrentIndex(fill->grain);
        ui->radio_spec_grain->setChecked(true);
    } else {
        ui->line_spec_pres->setText(fill->pressure);
        ui->combo_units_pres->setCurrentIndex(c->pressureUnit);
        ui->radio_spec_pres->setChecked(true);
    }
    ui->comb_prop->setCurrentIndex(fill->propellant);
    ui->comb_nozzle->setCurrentIndex(fill->nozzle);
    if (c->ode) {
        ui->radio_ode->setChecked(true);
        ui->check_froz->setChecked(c->frozen);
        if (c->frozen) {
            // The slider and the position shown move together.
            ui->Slider_frozen->setValue(static_cast<int>(c->frozenStation));
            sliderModLine();
        }
    } else {
        ui->radio_odk->setChecked(true);
        ui->check_froz->setChecked(false);
    }
    if (c->fac) {
        ui->radio_FAC->setChecked(true);
        ui->line_chamberA->setText(fill->chamberArea);
        ui->combo_unitsA->setCurrentIndex(c->areaUnit);
    } else {
        ui->radio_IAC->setChecked(true);
    }
    ui->check_transport->setChecked(c->transport);
    ui->line_ambient->setText(fill->ambient);
    ui->combo_ambient_units->setCurrentIndex(c->ambientUnit);
    if (c->uniformTemperature) {
        // The temperature first, so that checking the box applies the stored one.
        ui->line_homT->setText(fill->homT);
        ui->check_homT->setChecked(true);
    } else {
        ui->check_homT->setChecked(false);
    }
    if (c->heatWall) {
        ui->check_heatWall->setChecked(true);
        ui->line_wallT->setText(fill->wallTemperature);
    } else {
        ui->check_heatWall->setChecked(false);
    }
}

void DataTab::del()
{
    const std::optional<ConfigurationFile> file = showReported(this, readConfigurations());
    if (!file)
        return;
    const std::vector<std::string> names = configurationNames(*file);
    if (const auto chosen = chosenItem(dialogs.chooseItem(this, itemChooser::remove, names), names))
        showReported(this, removeConfiguration(*file, *chosen));
}

// ---------------------------------------------------------------- export

void DataTab::exportar()
{
    using namespace exportBit;
    if (model_.finishedCount() == 0) {
        showCritical(this, noCalculations);
        return;
    }
    ExportDialogs files;
    files.chooseExport = [this] { return dialogs.exportChoice(this); };
    files.saveFileName = [this](const QString& caption, const QString& folder, const QString& filter) {
        return dialogs.saveFileName(this, caption, folder, filter);
    };
    const ExportResult result = runExport(files, [this](uint32_t mask) -> std::optional<ExportPlan> {
        const int item = ui->comb_select_conf->currentIndex();
        const std::shared_ptr<RocketVariables> current = selectedRun(item);
        const int currentRun = current ? plotSelector::runOf(item, tableView()) : -1;
        if (const auto refusal = exportRefusal(mask, currentRun)) {
            showWarning(this, *refusal);
            return std::nullopt;
        }
        ExportPlan plan;
        if (csvChosen(mask)) {
            plan.csv = ExportCsv{"CSV file for calculation data to be written",
                                 [this, mask, current] { return csvText(mask, current.get()); }};
        }
        if (mask & CurrentGraph) {
            plan.images.push_back(ExportImage::file("file for current graph", ".png", [this](const QString& file) {
                return savePlotImage(ui->graph, file);
            }));
        } else if (graphSeriesChosen(mask)) {
            plan.images.push_back(ExportImage::seriesBase("base file name for all graphs to be exported",
                                                          [this, mask, current, currentRun](const QString& base) {
                                                              return saveGraphSeries(base, mask, currentRun,
                                                                                     current.get());
                                                          }));
        }
        return plan;
    });
    switch (result.end) {
    case ExportEnd::Finished: showInformation(this, exportDone); break;
    case ExportEnd::Failed:
        showCritical(this, "File could not be written: " + result.failure->path, result.failure->reason);
        break;
    default: break;
    }
}

std::string DataTab::csvText(uint32_t mask, const RocketVariables* current) const
{
    std::vector<const RocketVariables*> runs;
    if (mask & exportBit::CurrentRun) {
        runs.push_back(current);
    } else {
        for (const auto& r : model_.finishedRuns())
            runs.push_back(r.get());
    }
    return calculationCsv(runs, mask, LIST_SEPARATOR, DIG_OUT);
}

std::optional<ExportFailure> DataTab::saveGraphSeries(const QString& base, uint32_t mask, int currentRun,
                                                      const RocketVariables* current)
{
    // The runs a composition image draws: the finished pressure runs, or the current run.
    std::vector<const RocketVariables*> compositionRuns;
    if ((mask & exportBit::CurrentRun) == 0) {
        for (const auto& r : model_.finishedRuns())
            if (!r->isGrain)
                compositionRuns.push_back(r.get());
    } else if (current) {
        compositionRuns.push_back(current);
    }
    // One image: the plot cleared, the graph drawn, the picture saved; the first file
    // that cannot be written ends the series.
    const bool currentIsGrain = current && current->isGrain;
    for (const SeriesImage& image : graphSeriesImages(mask, currentRun, currentIsGrain, compositionRuns)) {
        clearAll();
        drawSelection(image.selector, image.type, image.species);
        if (auto failure = savePlotImage(ui->graph, base + image.suffix))
            return failure;
    }
    return std::nullopt;
}
