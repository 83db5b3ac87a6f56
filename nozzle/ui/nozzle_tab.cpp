#include "nozzle/ui/nozzle_tab.h"

#include <algorithm>
#include <initializer_list>

#include <QDoubleValidator>
#include <QFileDialog>
#include <QIntValidator>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <qcustomplot.h>

#include "core/export_flow.h"
#include "core/flags.h"
#include "core/item_choice.h"
#include "core/preferences.h"
#include "core/ui/auxchoose.h"
#include "core/ui/export_selection.h"
#include "core/ui/number_fields.h"
#include "core/ui/plot_image.h"
#include "core/ui/plot_night_mode.h"
#include "core/units.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_export.h"
#include "nozzle/optimisation.h"
#include "nozzle/selection_lists.h"
#include "nozzle/tab_messages.h"
#include "ui_nozzletab.h"

namespace {

QVector<double> toQVector(const std::vector<double>& v)
{
    return QVector<double>(v.begin(), v.end());
}

QString formatted(double value)
{
    return QString::number(value, 'g', NUM_DIS_PREC);
}

} // namespace

NozzleTab::NozzleTab(QWidget* parent) : QWidget(parent), ui(new Ui::NozzleTab)
{
    // The form selects the optimisation target while it is built, which reaches the
    // panel's record: the model (a member, built before this body) holds it already.
    ui->setupUi(this);
    ui->comb_type->removeItem(2); // the aerospike has no contour

    QCustomPlot* plot = ui->graph;
    for (int k = 0; k < 3; ++k)
        plot->addGraph();
    plot->xAxis->setLabel("Length");
    plot->yAxis->setLabel("Radius");
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);

    ui->line_points->setValidator(wholeNumberFieldValidator(ui->line_points));
    for (QLineEdit* field : {ui->line_conv_conical,
                             ui->line_conv_length_conical,
                             ui->line_div_length_conical,
                             ui->line_div_conical,
                             ui->line_ent_conical,
                             ui->line_exit_conical,
                             ui->line_throat_conical,
                             ui->line_fillet_conical,
                             ui->line_tfillet_conical,
                             ui->line_conv_length_bezier,
                             ui->line_conv_ang_bezier,
                             ui->line_div_length_bezier,
                             ui->line_ent_bezier,
                             ui->line_exit_bezier,
                             ui->line_throat_bezier,
                             ui->line_parabola_final,
                             ui->line_parabola_initial,
                             ui->line_fent,
                             ui->line_fgconv,
                             ui->line_fgdiv,
                             ui->line_opt_target,
                             ui->line_ambient,
                             ui->line_Pc_max,
                             ui->line_Pc_min,
                             ui->line_AeAt_min,
                             ui->line_Rt_min}) {
        field->setValidator(numberFieldValidator(field));
    }

    refreshLists();
    geometry_change(0);
}

NozzleTab::~NozzleTab()
{
    // The optimisation model, destroyed after this, stops and awaits a run still going.
    delete ui;
}

// ---- Contour input and drawing ----

ConicalForm NozzleTab::conicalForm() const
{
    ConicalForm f;
    f.points = ui->line_points->text();
    f.entrance = ui->line_ent_conical->text();
    f.throat = ui->line_throat_conical->text();
    f.exit = ui->line_exit_conical->text();
    f.convergentAngle = ui->line_conv_conical->text();
    f.convergentLength = ui->line_conv_length_conical->text();
    f.divergentAngle = ui->line_div_conical->text();
    f.divergentLength = ui->line_div_length_conical->text();
    f.fillet = ui->line_fillet_conical->text();
    f.throatFillet = ui->line_tfillet_conical->text();
    f.convergentAsLength = !ui->radio_conv_conical->isChecked();
    f.divergentAsLength = !ui->radio_div_conical->isChecked();
    f.filletOn = ui->check_fillet_conical->isChecked();
    f.throatFilletOn = ui->check_tfillet_conical->isChecked();
    f.unitIndex = ui->comb_units->currentIndex();
    return f;
}

BezierForm NozzleTab::bezierForm() const
{
    BezierForm f;
    f.points = ui->line_points->text();
    f.entrance = ui->line_ent_bezier->text();
    f.throat = ui->line_throat_bezier->text();
    f.exit = ui->line_exit_bezier->text();
    f.convergentAngle = ui->line_conv_ang_bezier->text();
    f.convergentLength = ui->line_conv_length_bezier->text();
    f.divergentLength = ui->line_div_length_bezier->text();
    f.entranceFillet = ui->line_fent->text();
    f.convergentFillet = ui->line_fgconv->text();
    f.divergentFillet = ui->line_fgdiv->text();
    f.initialAngle = ui->line_parabola_initial->text();
    f.finalAngle = ui->line_parabola_final->text();
    f.convergentAsLength = !ui->radio_conv_ang_bezier->isChecked();
    f.unitIndex = ui->comb_units->currentIndex();
    return f;
}

bool NozzleTab::calculate_conical()
{
    const ConicalForm form = conicalForm();
    return finishComputation(nozzle.computeConical(form, form.unitIndex), true);
}

bool NozzleTab::calculate_bezier()
{
    const BezierForm form = bezierForm();
    return finishComputation(nozzle.computeBezier(form, form.unitIndex), false);
}

bool NozzleTab::finishComputation(const ContourCheck& check, bool conical)
{
    // Derived values are shown even when a later check refused the nozzle.
    const DerivedFields& d = check.derived;
    if (conical) {
        if (d.convergentAngle)
            ui->line_conv_conical->setText(*d.convergentAngle);
        if (d.convergentLength)
            ui->line_conv_length_conical->setText(*d.convergentLength);
        if (d.divergentAngle)
            ui->line_div_conical->setText(*d.divergentAngle);
        if (d.divergentLength)
            ui->line_div_length_conical->setText(*d.divergentLength);
    } else {
        if (d.convergentAngle)
            ui->line_conv_ang_bezier->setText(*d.convergentAngle);
        if (d.convergentLength)
            ui->line_conv_length_bezier->setText(*d.convergentLength);
    }
    if (!check.accepted()) {
        tabMessage(this, Msg::Critical, check.refusal, check.rule);
        return false;
    }
    return true;
}

bool NozzleTab::calculate_spike()
{
    return false;
}

bool NozzleTab::calculate(bool recalc)
{
    if (recalc) {
        switch (ui->comb_type->currentIndex()) {
        case 0: calculate_bezier(); break;
        case 1: calculate_conical(); break;
        case 2: nozzle.contourPending = false; return false;
        default: break;
        }
    }
    if (!nozzle.contourPending)
        return false;
    drawContour();
    nozzle.contourPending = false;
    return true;
}

void NozzleTab::drawContour()
{
    // The current nozzle's unit is the one its stations were accepted in; it is not
    // taken from the combo box here, which the user may have changed since.
    const CurrentNozzle& cn = currentNozzle;
    QCustomPlot* plot = ui->graph;
    plot->clearGraphs();
    const QPen pen(QColor(Qt::red), GLINE_WIDTH + 1);
    const QBrush fill(QColor(Qt::red), Qt::SolidPattern);
    const int display = Nozzle_display;
    const double x0 = cn.x.front(), xN = cn.x.back();
    const double R0 = cn.R.front(), RN = cn.R.back();
    const double Rt = nozzle.nozzleParameters.at(1) / 2;

    auto addGraph = [&](const QVector<double>& keys, const QVector<double>& values) {
        QCPGraph* g = plot->addGraph();
        g->setPen(pen);
        g->setData(keys, values);
        return g;
    };
    QCPGraph* wall = addGraph(toQVector(cn.x), toQVector(cn.R));
    if (NOZZLE_BRUSH)
        wall->setBrush(fill);
    if (display == 1) {
        addGraph({x0, xN}, {0.0, 0.0});
    } else if (display == 2) {
        std::vector<double> mirrored(cn.R);
        for (double& r : mirrored)
            r = -r;
        QCPGraph* other = addGraph(toQVector(cn.x), toQVector(mirrored));
        if (NOZZLE_BRUSH)
            other->setBrush(fill);
    }
    if (VNOZZ) {
        if (display == 1) {
            addGraph({x0, x0}, {0.0, R0});
            addGraph({xN, xN}, {0.0, RN});
            addGraph({0.0, 0.0}, {0.0, Rt});
        } else if (display == 2) {
            addGraph({x0, x0}, {-R0, R0});
            addGraph({xN, xN}, {-RN, RN});
            addGraph({0.0, 0.0}, {-Rt, Rt});
        } else {
            addGraph({x0, x0}, {Rt, R0});
            addGraph({xN, xN}, {Rt, RN});
            addGraph({}, {});
        }
    }
    applyScreenView();
    plot->replot(QCustomPlot::rpRefreshHint);
}

void NozzleTab::applyScreenView()
{
    const CurrentNozzle& cn = currentNozzle;
    QCustomPlot* plot = ui->graph;
    plot->rescaleAxes();
    plot->xAxis->setScaleRatio(plot->yAxis, 1.0);
    if (!cn.x.empty() && plot->xAxis->range().lower > cn.x.front()) {
        // A wide plot would cut the entrance off: fit x to the data and y to the ratio.
        plot->xAxis->rescale();
        plot->yAxis->setScaleRatio(plot->xAxis, 1.0);
    }
    if (nozzle.nozzleParameters.size() > 1 && Nozzle_display == 0)
        plot->yAxis->setRangeLower(nozzle.nozzleParameters[1] / 2);
    else if (Nozzle_display == 1)
        plot->yAxis->setRangeLower(0.0);
}

// ---- Type switch, field states, modes ----

void NozzleTab::geometry_change(int index)
{
    QWidget* panels[] = {ui->scroll_bezier, ui->scroll_conical, ui->scroll_spike};
    for (int k = 0; k < 3; ++k) {
        panels[k]->hide();
        ui->Box_define_grid->setColumnStretch(2 + k, 0);
    }
    if (index >= 0 && index < 3) {
        panels[index]->show();
        ui->Box_define_grid->setColumnStretch(2 + index, 70);
    }
    calculate(true);
}

void NozzleTab::onBezierConvSel(QAbstractButton* but)
{
    const bool angle = qobject_cast<QRadioButton*>(but) == ui->radio_conv_ang_bezier;
    ui->line_conv_ang_bezier->setEnabled(angle);
    ui->line_conv_length_bezier->setEnabled(!angle);
}

void NozzleTab::onConicalConvSel(QAbstractButton* but)
{
    const bool angle = qobject_cast<QRadioButton*>(but) == ui->radio_conv_conical;
    ui->line_conv_conical->setEnabled(angle);
    ui->line_conv_length_conical->setEnabled(!angle);
}

void NozzleTab::onConicalDivSel(QAbstractButton* but)
{
    const bool angle = qobject_cast<QRadioButton*>(but) == ui->radio_div_conical;
    ui->line_div_conical->setEnabled(angle);
    ui->line_div_length_conical->setEnabled(!angle);
}

void NozzleTab::onConicalFilSel(bool ch)
{
    ui->line_fillet_conical->setEnabled(ch);
}

void NozzleTab::onConicalTFilSel(bool ch)
{
    ui->line_tfillet_conical->setEnabled(ch);
}

void NozzleTab::showOptimisationPanel(bool visible)
{
    ui->scroll_opt->setVisible(visible);
    ui->but_opt_ode->setVisible(visible);
}

void NozzleTab::BabyMode(bool is)
{
    if (is)
        showOptimisationPanel(false);
    else if (!solidsHidden)
        showOptimisationPanel(true);
}

void NozzleTab::hideSolid(bool tog)
{
    if (tog)
        showOptimisationPanel(false);
    else if (!babyModeActive)
        showOptimisationPanel(true);
}

void NozzleTab::NightMode(bool on)
{
    applyPlotNightMode(ui->graph, on);
}

void NozzleTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QTimer::singleShot(100, this, [this] { calculate(true); });
}

// ---- Nozzles.json ----

void NozzleTab::save()
{
    const QString name = ui->line_name->text();
    if (name.isEmpty()) {
        tabMessage(this, Msg::Critical, "Cannot have empty name");
        return;
    }
    if (name == "Current") {
        tabMessage(this, Msg::Critical, QString("Cannot me named ") + "Current");
        return;
    }
    if (!calculate(true)) {
        tabMessage(this, Msg::Critical, "Save not completed, invalid parameters");
        return;
    }
    // The computation just accepted the fields: its parameters and options are the
    // numbers the form holds, in the stored layout.
    NozzleEntry entry;
    entry.units = ui->comb_units->currentIndex();
    entry.type = ui->comb_type->currentIndex();
    entry.points = nozzle.pointCount;
    entry.options = nozzle.nozzleOptions;
    entry.parameters = nozzle.nozzleParameters;
    showReported(this, saveNozzleEntry(this, name.toStdString(), entry));
}

int NozzleTab::chooseStoredNozzle(int mode, const std::vector<std::string>& names)
{
    return runItemChooser(this, mode, names);
}

void NozzleTab::load()
{
    const NozzleDocument doc = readNozzleFile();
    if (!doc.opened()) {
        tabMessage(this, Msg::Critical, nozzleFileCannotOpenMessage);
        return;
    }
    const std::vector<std::string> names = doc.names();
    const std::optional<std::string> chosen = chosenItem(chooseStoredNozzle(itemChooser::select, names), names);
    if (!chosen)
        return;
    const std::string& name = *chosen;
    NozzleEntry entry;
    // A hand-edited entry the form cannot show (a missing key, another type, a unit
    // the form does not offer) changes nothing.
    if (!parseNozzleEntry(doc.document.at(name), entry) || entry.units < 0 || entry.units > 3) {
        tabMessage(this, Msg::Critical, "Nozzle could not be loaded, its stored entry is incomplete or damaged",
                   QString::fromStdString(name));
        return;
    }
    fillFormFrom(name, entry);
    calculate(true);
}

void NozzleTab::fillFormFrom(const std::string& name, const NozzleEntry& e)
{
    ui->line_name->setText(QString::fromStdString(name));
    ui->line_points->setText(QString::number(e.points));
    // Runs the type change, which recomputes from the fields as they are now.
    ui->comb_type->setCurrentIndex(e.type);
    ui->comb_units->setCurrentIndex(e.units);
    const std::vector<double>& p = e.parameters;
    auto angleOrLength = [&](bool asLength, double value, QLineEdit* length, QRadioButton* lengthRadio,
                             QLineEdit* angle, QRadioButton* angleRadio) {
        (asLength ? length : angle)->setText(formatted(value));
        (asLength ? lengthRadio : angleRadio)->setChecked(true);
    };
    if (e.type == 1) {
        ui->line_ent_conical->setText(formatted(p[0]));
        ui->line_throat_conical->setText(formatted(p[1]));
        ui->line_exit_conical->setText(formatted(p[2]));
        angleOrLength(e.options[0], p[3], ui->line_conv_length_conical, ui->radio_conv_length_conical,
                      ui->line_conv_conical, ui->radio_conv_conical);
        angleOrLength(e.options[1], p[4], ui->line_div_length_conical, ui->radio_div_length_conical,
                      ui->line_div_conical, ui->radio_div_conical);
        // A fillet that is off only unchecks its box: the field keeps its text.
        if (e.options[2])
            ui->line_fillet_conical->setText(formatted(p[5]));
        ui->check_fillet_conical->setChecked(e.options[2]);
        if (e.options[3])
            ui->line_tfillet_conical->setText(formatted(p[6]));
        ui->check_tfillet_conical->setChecked(e.options[3]);
    } else {
        ui->line_ent_bezier->setText(formatted(p[0]));
        ui->line_throat_bezier->setText(formatted(p[1]));
        ui->line_exit_bezier->setText(formatted(p[2]));
        angleOrLength(e.options[0], p[3], ui->line_conv_length_bezier, ui->radio_conv_length_bezier,
                      ui->line_conv_ang_bezier, ui->radio_conv_ang_bezier);
        QLineEdit* rest[] = {ui->line_div_length_bezier, ui->line_fent,          ui->line_fgconv, ui->line_fgdiv,
                             ui->line_parabola_initial,  ui->line_parabola_final};
        for (int k = 0; k < 6; ++k)
            rest[k]->setText(formatted(p[static_cast<std::size_t>(4 + k)]));
    }
}

void NozzleTab::del()
{
    NozzleDocument doc = readNozzleFile();
    if (!doc.opened()) {
        tabMessage(this, Msg::Critical, nozzleFileCannotOpenMessage);
        return;
    }
    const std::vector<std::string> names = doc.names();
    if (const auto chosen = chosenItem(chooseStoredNozzle(itemChooser::remove, names), names))
        showReported(this, deleteNozzleEntry(doc, *chosen));
}

// ---- Export ----

uint32_t NozzleTab::chooseExportItems()
{
    ExportSelection dialog(exportMode::nozzle, this);
    return static_cast<uint32_t>(dialog.exec());
}

QString NozzleTab::askSaveFileName(const QString& caption, const QString& filter)
{
    return QFileDialog::getSaveFileName(this, caption, QString::fromStdString(PATH_EXPORT), filter);
}

void NozzleTab::exportar()
{
    if (!calculate(true)) {
        tabMessage(this, Msg::Critical, "Export aborted, invalid nozzle parameters");
        return;
    }
    if (currentNozzle.empty() || nozzle.nozzleParameters.empty()) {
        tabMessage(this, Msg::Critical, "No nozzle has been successfully displayed");
        return;
    }
    ExportDialogs dialogs;
    dialogs.chooseExport = [this] { return static_cast<int>(chooseExportItems()); };
    dialogs.saveFileName = [this](const QString& caption, const QString&, const QString& filter) {
        return askSaveFileName(caption, filter);
    };
    const ExportResult result = runExport(dialogs, [this](uint32_t mask) {
        ExportPlan plan;
        if (mask & (nozzleExport::parameters | nozzleExport::coordinates | nozzleExport::areas))
            plan.csv = ExportCsv{"CSV file for nozzle data to be written", [this, mask] { return csvText(mask); }};
        if (mask & nozzleExport::image)
            plan.images.push_back(ExportImage::file("file for nozzle image", ".png",
                                                    [this](const QString& path) { return saveContourImage(path); }));
        return std::optional<ExportPlan>(std::move(plan));
    });
    switch (result.end) {
    case ExportEnd::Finished: tabMessage(this, Msg::Information, "Export finished successfully"); break;
    case ExportEnd::Failed: {
        const ExportFailure& f = *result.failure;
        if (f.csv)
            tabMessage(this, Msg::Critical, "Export failed, the CSV file could not be written",
                       f.path + (f.reason.isEmpty() ? QString() : ": " + f.reason));
        else
            tabMessage(this, Msg::Critical, "Export failed, the image could not be written", f.path);
        break;
    }
    default: break;
    }
}

std::string NozzleTab::csvText(uint32_t mask) const
{
    const CurrentNozzle& cn = currentNozzle;
    const NozzleCsvData data{
            ui->line_name->text().toStdString(), nozzle.nozzleParameters, nozzle.nozzleOptions, cn.x, cn.R, cn.A};
    return nozzleCsv(data, mask, LIST_SEPARATOR, DIG_OUT);
}

std::optional<ExportFailure> NozzleTab::saveContourImage(const QString& path)
{
    // One unit of x and one of y take the same number of pixels in the image.
    QCustomPlot* plot = ui->graph;
    plot->rescaleAxes();
    AxisSpan x{plot->xAxis->range().lower, plot->xAxis->range().upper};
    AxisSpan y{plot->yAxis->range().lower, plot->yAxis->range().upper};
    fitImageRanges(x, y, static_cast<int>(IMG_WIDTH), static_cast<int>(IMG_HEIGHT), Nozzle_display,
                   nozzle.nozzleParameters[1] / 2);
    plot->xAxis->setRange(x.lower, x.upper);
    plot->yAxis->setRange(y.lower, y.upper);
    plot->replot();
    std::optional<ExportFailure> failure = savePlotImage(plot, path);
    applyScreenView();
    plot->replot();
    return failure;
}

// ---- Optimisation panel ----

void NozzleTab::refreshLists()
{
    const auto propellants = storedPropellantNames();
    if (!propellants) {
        tabMessage(this, Msg::Critical, propellantFileCannotOpenMessage);
        return;
    }
    const auto grains = storedGrainNames();
    if (!grains) {
        tabMessage(this, Msg::Critical, grainFileCannotOpenMessage);
        return;
    }
    // The lists are refilled silently and the selection restored by position; the item
    // that ends up selected is then loaded once.
    const int propIndex = ui->comb_prop->currentIndex();
    const int grainIndex = ui->comb_grain->currentIndex();
    {
        const QSignalBlocker blockProp(ui->comb_prop);
        const QSignalBlocker blockGrain(ui->comb_grain);
        ui->comb_prop->clear();
        for (const std::string& name : *propellants)
            ui->comb_prop->addItem(QString::fromStdString(name));
        ui->comb_prop->setCurrentIndex(propellants->empty() ? -1 : propIndex);
        ui->comb_grain->clear();
        ui->comb_grain->addItem("Current");
        for (const std::string& name : *grains)
            ui->comb_grain->addItem(QString::fromStdString(name));
        ui->comb_grain->setCurrentIndex(grains->empty() ? 0 : grainIndex);
    }
    if (ui->comb_prop->currentIndex() >= 0)
        OptSelProp(ui->comb_prop->currentText());
    if (ui->comb_grain->currentIndex() >= 0)
        OptSelGrain(ui->comb_grain->currentText());
}

void NozzleTab::OptTargetChange(int type)
{
    optimisation.targetChanged();
    ui->line_opt_target->clear();
    // Filling the unit list selects its first unit, which shows the (zero) result of a
    // maximisation through OptUnitsChange.
    ui->combo_opt_target_units->clear();
    ui->combo_opt_target_units->addItems(targetUnitItems(type));
    if (type < optTarget::ChamberPressure || type > optTarget::SpecificImpulse)
        return;
    const bool restrictions = isMaximisation(type);
    ui->check_OptAdapt->setVisible(!restrictions);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->label_Pc_min, ui->label_Pc_max, ui->label_Rt_min, ui->label_AeAt_min,
                                         ui->line_Pc_min, ui->line_Pc_max, ui->line_Rt_min, ui->line_AeAt_min,
                                         ui->units_Pc_min, ui->units_Pc_max, ui->units_Rt_min, ui->units_AeAt_min})
        w->setVisible(restrictions);
    ui->line_opt_target->setReadOnly(restrictions);
}

void NozzleTab::OptUnitsChange(int unit)
{
    const int target = ui->combo_opt_target->currentIndex();
    if (unit < 0 || !isMaximisation(target))
        return;
    ui->line_opt_target->setText(
            formatted(convertFromSI(targetUnitKind(target), optimisation.bestValue(), static_cast<int16_t>(unit))));
}

void NozzleTab::OptSelProp(QString name)
{
    if (ui->comb_prop->currentIndex() < 0)
        return;
    if (showReported(this, optimisation.selectPropellant(name.toStdString()))) {
        tabMessage(this, Msg::Critical, "A critical error occured in propellant definition",
                   "Please check active flags for further detail");
        emit FlagsUpdated(true, true);
        return;
    }
    emit FlagsUpdated(true, false);
}

void NozzleTab::OptSelGrain(QString name)
{
    if (ui->comb_grain->currentIndex() < 0)
        return;
    switch (showReported(this, optimisation.selectGrain(name.toStdString()))) {
    case GrainSelection::Deselect:
        // A start is then refused with "A grain must be selected".
        ui->comb_grain->setCurrentIndex(-1);
        emit FlagsUpdated(true, true);
        break;
    case GrainSelection::Critical:
        tabMessage(this, Msg::Critical, "A critical error occured in grain definition",
                   "Please check active flags for further detail");
        emit FlagsUpdated(true, true);
        break;
    case GrainSelection::Loaded: emit FlagsUpdated(true, false); break;
    }
}

OptimisationForm NozzleTab::optimisationForm() const
{
    OptimisationForm form;
    form.propellantIndex = ui->comb_prop->currentIndex();
    form.propellant = ui->comb_prop->currentText().toStdString();
    form.grainIndex = ui->comb_grain->currentIndex();
    form.ambient = ui->line_ambient->text();
    form.ambientUnit = ui->comb_pres->currentIndex();
    form.target = ui->combo_opt_target->currentIndex();
    form.targetValue = ui->line_opt_target->text();
    form.targetUnit = ui->combo_opt_target_units->currentIndex();
    form.adaptExit = ui->check_OptAdapt->isChecked();
    form.minPressure = ui->line_Pc_min->text();
    form.minPressureUnit = ui->units_Pc_min->currentIndex();
    form.maxPressure = ui->line_Pc_max->text();
    form.maxPressureUnit = ui->units_Pc_max->currentIndex();
    form.minThroatRadius = ui->line_Rt_min->text();
    form.minThroatRadiusUnit = ui->units_Rt_min->currentIndex();
    form.minAreaRatio = ui->line_AeAt_min->text();
    form.nozzleType = ui->comb_type->currentIndex();
    return form;
}

QWidget* NozzleTab::parameterArea(int nozzleType) const
{
    return nozzleType == 1 ? ui->scroll_conical : ui->scroll_bezier;
}

void NozzleTab::OptimizeODE()
{
    if (optimisation.requestAbort()) {
        // The run stops when its solver next looks at the byte; its result is discarded.
        tabMessage(this, Msg::Critical, "Optimization aborted");
        return;
    }
    PreparedOptimisation run = optimisation.prepareRun(
            optimisationForm(), [this] { return calculate(true); }, currentNozzle);
    if (!run.ready()) {
        const OptimisationStart& refused = run.start;
        showViewMessages(this, refused.messages);
        if (!refused.silent)
            tabMessage(this, Msg::Critical, refused.refusal, refused.informative);
        if (refused.reportFlags)
            emit FlagsUpdated(true, true);
        return;
    }
    ui->but_opt_ode->setEnabled(false);
    ui->but_opt_ode->setText("Optimizing...");
    parameterArea(run.nozzleType)->setEnabled(false);
    optimisation.startRun(std::move(run), this, [this](bool success) { OptODEFinished(success); });
    abortTimersPending.started();
    QTimer::singleShot(static_cast<int>(ABORT) * 1000, this, SLOT(showAbortButton()));
}

void NozzleTab::showAbortButton()
{
    if (abortTimersPending.fired(optimisation.running())) {
        ui->but_opt_ode->setEnabled(true);
        ui->but_opt_ode->setText("Abort Optimization");
    }
}

void NozzleTab::OptODEFinished(bool success)
{
    const OptimisationCompletion done
            = optimisation.finishRun(success,
                                     {ui->combo_opt_target->currentIndex(), ui->combo_opt_target_units->currentIndex(),
                                      ui->check_OptAdapt->isChecked()});
    ui->but_opt_ode->setEnabled(true);
    ui->but_opt_ode->setText("Optimize ODE");
    parameterArea(done.nozzleType)->setEnabled(true);
    emit FlagsUpdated(true, true);
    switch (done.outcome) {
    case OptimisationOutcome::Aborted: return;
    case OptimisationOutcome::Failed: tabMessage(this, Msg::Critical, "Optimization failed", done.reason); return;
    case OptimisationOutcome::Succeeded: break;
    }
    const OptimisationWriteBack& w = done.writeBack;
    if (w.targetValue)
        ui->line_opt_target->setText(formatted(*w.targetValue));
    const bool conical = done.nozzleType == 1;
    (conical ? ui->line_throat_conical : ui->line_throat_bezier)->setText(formatted(w.throatDiameter));
    if (w.exitDiameter)
        (conical ? ui->line_exit_conical : ui->line_exit_bezier)->setText(formatted(*w.exitDiameter));
    calculate(true);
}
