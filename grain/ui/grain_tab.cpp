#include "grain/ui/grain_tab.h"

#include <algorithm>

#include <QDoubleValidator>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QIntValidator>
#include <QPainter>
#include <QStandardItemModel>
#include <QTimer>
#include <qcustomplot.h>

#include "core/export_flow.h"
#include "core/item_choice.h"
#include "core/message_box.h"
#include "core/preferences.h"
#include "core/ui/auxchoose.h"
#include "core/ui/export_selection.h"
#include "core/ui/number_fields.h"
#include "core/ui/plot_image.h"
#include "core/ui/plot_night_mode.h"
#include "grain/current_grain.h"
#include "grain/grain_export.h"
#include "grain/grain_store.h"
#include "ui_graintab.h"

using namespace grain;

namespace {

GrainTab::Dialogs realDialogs()
{
    GrainTab::Dialogs d;
    d.chooseItem = runItemChooser;
    d.chooseExport = [](QWidget* parent) {
        auto* dialog = new ExportSelection(exportMode::grain, parent);
        const int mask = dialog->exec();
        dialog->deleteLater();
        return mask;
    };
    d.saveFileName = [](QWidget* parent, const QString& caption, const QString& directory, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, directory, filter);
    };
    return d;
}

void setItemsEnabled(QComboBox* combo, std::initializer_list<int> rows, bool enabled)
{
    auto* items = qobject_cast<QStandardItemModel*>(combo->model());
    for (int row : rows)
        if (QStandardItem* item = items ? items->item(row) : nullptr)
            item->setEnabled(enabled);
}

} // namespace

GrainTab::GrainTab(QWidget* parent) : QWidget(parent), ui(new Ui::GrainTab), dialogs_(realDialogs())
{
    ui->setupUi(this);
    // The custom and star geometries have no place in the tab (stored star grains still
    // reach the runs through the provider).
    ui->comb_geo_type->removeItem(3);
    ui->comb_geo_type->removeItem(2);

    ui->graph->addGraph();
    ui->graph->xAxis->setLabel(QStringLiteral("Advance parameter"));
    ui->graph->yAxis->setLabel(QStringLiteral("Combustion Area"));
    ui->graph->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    tracer = new QCPItemTracer(ui->graph);

    scene_ = new QGraphicsScene(this);
    ui->Grain_image->setScene(scene_);
    ui->Grain_image->setSceneRect(scene_->sceneRect());
    ui->Grain_image->setMinimumSize(0, 0);

    geometry_change(0);

    // Numbers are read locale-independently, so the fields accept the C locale's form.
    for (QLineEdit* field :
         {ui->line_y_points, ui->line_number_cilindrical, ui->line_points_star, ui->line_number_star}) {
        field->setValidator(wholeNumberFieldValidator(this));
    }
    for (QLineEdit* field :
         {ui->line_Dext_cilindrical, ui->line_Di_cilindrical, ui->line_length_cilindrical, ui->line_from_cilindrical,
          ui->line_to_cilindrical, ui->line_step_cilindrical, ui->line_Dext_frontal, ui->line_length_frontal,
          ui->line_Dext_star, ui->line_Din_star, ui->line_Dpoint_star, ui->line_length_star}) {
        field->setValidator(numberFieldValidator(this));
    }
}

GrainTab::~GrainTab()
{
    delete ui;
}

void GrainTab::critical(const QString& text, const QString& informativeText)
{
    MessageRequest request = grainTabMessage(Msg::Critical, text);
    request.informativeText = informativeText;
    showMessage(this, request);
}

CylindricalInputs GrainTab::cylindricalInputs() const
{
    return {ui->line_Dext_cilindrical->text(), ui->line_Di_cilindrical->text(), ui->line_length_cilindrical->text(),
            ui->line_number_cilindrical->text()};
}

FrontalInputs GrainTab::frontalInputs() const
{
    return {ui->line_Dext_frontal->text(), ui->line_length_frontal->text()};
}

StarInputs GrainTab::starInputs() const
{
    return {ui->line_Dext_star->text(),   ui->line_Din_star->text(),    ui->line_Dpoint_star->text(),
            ui->line_points_star->text(), ui->line_length_star->text(), ui->line_number_star->text()};
}

// ---- Geometry and combustion choice ----------------------------------------------------

void GrainTab::geometry_change(int index)
{
    for (QWidget* w : {static_cast<QWidget*>(ui->scroll_cilindrical), static_cast<QWidget*>(ui->scroll_custom),
                       static_cast<QWidget*>(ui->scroll_frontal), static_cast<QWidget*>(ui->scroll_star),
                       static_cast<QWidget*>(ui->but_def_custom)})
        w->hide();
    setItemsEnabled(ui->comb_combustion, {0, 1, 2}, true);
    tracer->setVisible(true);
    switch (index) {
    case Cylindrical: ui->scroll_cilindrical->show(); break;
    case Frontal:
        ui->scroll_frontal->show();
        // A frontal grain burns on its base only.
        ui->comb_combustion->setCurrentIndex(Base);
        setItemsEnabled(ui->comb_combustion, {0, 1}, false);
        break;
    case Star: ui->scroll_star->show(); break;
    case Custom:
        ui->scroll_custom->show();
        ui->but_def_custom->show();
        break;
    default: break;
    }
    calculate();
}

void GrainTab::comb_change(int index)
{
    const bool sweep = index == RadialAndBase;
    for (QWidget* w :
         {static_cast<QWidget*>(ui->but_opt_length_cilindrical), static_cast<QWidget*>(ui->line_from_cilindrical),
          static_cast<QWidget*>(ui->line_to_cilindrical), static_cast<QWidget*>(ui->line_step_cilindrical)})
        w->setEnabled(sweep);
    calculate();
}

// ---- Burn-back -----------------------------------------------------------------------

bool GrainTab::calculate()
{
    bool done = false;
    switch (ui->comb_geo_type->currentIndex()) {
    case Cylindrical: done = calculate_cilindrical(); break;
    case Frontal: done = calculate_frontal(); break;
    case Star: done = calculate_star(); break;
    default:
        // No geometry the tab can show: nothing may be drawn or exported under its name.
        model_.clearParameters();
        return false;
    }
    if (!done)
        return false;

    currentGrain.unitIndex = ui->combo_units->currentIndex();
    const int samples = static_cast<int>(model_.sampleCount());
    ui->Slider_burnback->setRange(0, samples - 1);
    tracer->setGraph(ui->graph->graph(0));
    const int position = std::clamp(ui->Slider_burnback->value(), 0, samples - 1);
    tracer->setGraphKey(currentGrain.y[static_cast<std::size_t>(position)]);
    tracer->setSize(10);
    tracer->setBrush(QBrush(Qt::red));
    tracer->setStyle(QCPItemTracer::tsCircle);
    tracer->updatePosition();
    ui->graph->replot(QCustomPlot::rpRefreshHint);
    ui->Slider_burnback->setValue(0);
    sliderActive(0);
    tracer->setVisible(true);
    return true;
}

bool GrainTab::showCalculation(const GrainCalculation& result)
{
    if (result.status == CalculationStatus::Empty)
        return false;
    if (result.status == CalculationStatus::Invalid) {
        critical(result.message, result.rule);
        return false;
    }
    currentGrain.y = result.curve.y;
    currentGrain.area = result.curve.area;
    currentGrain.geometry = result.entry; // the grain just judged, as a stored grain would be

    const GrainFigures& f = result.figures;
    ui->line_Amax->setText(f.maximumArea);
    ui->line_Amin->setText(f.minimumArea);
    ui->line_Amed->setText(f.averageArea);
    ui->line_Adev->setText(f.deviation);
    ui->line_fill->setText(f.fill);
    ui->line_volume->setText(f.volume);

    const QVector<double> keys(result.curve.y.begin(), result.curve.y.end());
    const QVector<double> values(result.curve.area.begin(), result.curve.area.end());
    QCPGraph* curve = ui->graph->graph(0);
    curve->setData(keys, values, false);
    curve->setPen(QPen(QBrush(Qt::red), GLINE_WIDTH + 1));
    ui->graph->rescaleAxes();
    ui->graph->replot(QCustomPlot::rpRefreshHint);
    return true;
}

bool GrainTab::calculate_cilindrical()
{
    return showCalculation(model_.calculateCylindrical(cylindricalInputs(), ui->line_y_points->text(),
                                                       ui->comb_combustion->currentIndex(),
                                                       ui->combo_units->currentIndex()));
}

bool GrainTab::calculate_frontal()
{
    return showCalculation(
            model_.calculateFrontal(frontalInputs(), ui->line_y_points->text(), ui->combo_units->currentIndex()));
}

bool GrainTab::calculate_star()
{
    return showCalculation(model_.calculateStar(starInputs(), ui->line_y_points->text(),
                                                ui->comb_combustion->currentIndex(), ui->combo_units->currentIndex()));
}

void GrainTab::opt_length_cilindrical()
{
    SweepInputs in;
    in.exteriorDiameter = ui->line_Dext_cilindrical->text();
    in.interiorDiameter = ui->line_Di_cilindrical->text();
    in.charges = ui->line_number_cilindrical->text();
    in.samples = ui->line_y_points->text();
    in.maximum = ui->line_to_cilindrical->text();
    in.minimum = ui->line_from_cilindrical->text();
    in.step = ui->line_step_cilindrical->text();
    in.combustion = ui->comb_combustion->currentIndex();
    in.units = ui->combo_units->currentIndex();
    const SweepOutcome out = sweepNeutralLength(in);
    switch (out.status) {
    case SweepOutcome::Missing: showMessage(this, grainTabMessage(Msg::Warning, out.message)); return;
    case SweepOutcome::Invalid: critical(out.message, out.rule); return;
    case SweepOutcome::Done: break;
    }
    ui->line_length_cilindrical->setText(displayNumber(out.length));
    calculate();
}

// ---- Picture -------------------------------------------------------------------------

void GrainTab::sliderActive(int x)
{
    if (x == -1)
        x = ui->Slider_burnback->value();
    const std::vector<double>& parameters = model_.parameters();
    if (parameters.empty())
        return;
    if (x < 0 || static_cast<std::size_t>(x) >= currentGrain.y.size()
        || static_cast<std::size_t>(x) >= currentGrain.area.size())
        return;
    const std::size_t i = static_cast<std::size_t>(x);
    tracer->setGraphKey(currentGrain.y[i]);
    tracer->updatePosition();
    ui->graph->replot(QCustomPlot::rpRefreshHint);

    const QColor grainColour = palette().color(QPalette::PlaceholderText);
    const QColor backgroundColour = palette().color(QPalette::Base);
    auto pen = [&](PictureColour c) {
        switch (c) {
        case PictureColour::Grain: return QPen(grainColour);
        case PictureColour::Background: return QPen(backgroundColour);
        case PictureColour::Burning: break;
        }
        return QPen(QColor(Qt::red));
    };
    auto brush = [&](PictureColour c) {
        return QBrush(c == PictureColour::Grain ? grainColour : backgroundColour, Qt::SolidPattern);
    };

    scene_->clear();
    areaText = nullptr;
    const GrainPicture pic
            = grainPicture(parameters, model_.combustionType(), COMB_EV, currentGrain.y[i], currentGrain.area[i]);
    sceneWidth_ = pic.width;
    sceneHeight_ = pic.height;
    sceneScale_ = pic.scale;
    scene_->setSceneRect(pic.sceneRect);
    for (const PictureShape& s : pic.shapes) {
        switch (s.kind) {
        case PictureShape::Ellipse: scene_->addEllipse(s.rect, pen(s.pen), brush(s.brush)); break;
        case PictureShape::Rectangle: scene_->addRect(s.rect, pen(s.pen), brush(s.brush)); break;
        case PictureShape::Line: scene_->addLine(s.line, pen(s.pen)); break;
        }
    }
    areaText = scene_->addText(pic.text);
    areaText->setPos(pic.textPosition);
    areaText->setFont(QFont(QStringLiteral("Times"), 5));
    ui->Grain_image->fitInView(pic.sceneRect, Qt::KeepAspectRatio);
    ui->Grain_image->centerOn(0.0, 0.0);
    ui->Grain_image->repaint();
}

void GrainTab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Fit the picture once the layout has settled.
    QTimer::singleShot(100, this, [this] { sliderActive(-1); });
}

void GrainTab::NightMode(bool on)
{
    applyPlotNightMode(ui->graph, on);
    QTimer::singleShot(500, this, [this] { sliderActive(); });
}

void GrainTab::BabyMode(bool)
{ }

// ---- Store ---------------------------------------------------------------------------

void GrainTab::save()
{
    const QString name = ui->line_name->text();
    if (const auto refusal = grainNameRefusal(name)) {
        critical(*refusal);
        return;
    }
    if (!calculate()) {
        critical(QString::fromUtf8(kSaveNotCompleted));
        return;
    }
    // The calculation recorded the grain of its curve as it is saved.
    showReported(this, saveGrainEntry(this, name.toStdString(), *currentGrain.geometry));
}

void GrainTab::load()
{
    GrainDocument doc = readGrainFile();
    if (!doc.opened()) {
        critical(QString::fromUtf8(kGrainFileCannotOpen));
        return;
    }
    const std::vector<std::string> names = doc.names();
    const std::optional<std::string> chosen = chosenItem(dialogs_.chooseItem(this, itemChooser::select, names), names);
    if (!chosen)
        return;
    const std::string& name = *chosen;
    const std::optional<GrainEntry> entry = parseGrainEntry(doc.document[name]);
    if (!entry || entry->geometry < 0 || entry->units < 0 || entry->units > 3 || entry->combustion < RadialAndBase
        || entry->combustion > Base) {
        critical(QStringLiteral("The grain \"") + QString::fromStdString(name)
                 + QStringLiteral("\" could not be loaded: its stored data are incomplete or invalid"));
        return;
    }

    const LoadedFields fields = fieldsOfEntry(*entry);
    ui->line_name->setText(QString::fromStdString(name));
    // An index the list does not hold (a star or custom grain) leaves no geometry chosen.
    ui->comb_geo_type->setCurrentIndex(entry->geometry);
    ui->comb_combustion->setCurrentIndex(entry->combustion);
    ui->line_y_points->setText(fields.samples);
    ui->combo_units->setCurrentIndex(entry->units);
    if (const auto& c = fields.cylindrical) {
        ui->line_Dext_cilindrical->setText(c->exteriorDiameter);
        ui->line_Di_cilindrical->setText(c->interiorDiameter);
        ui->line_length_cilindrical->setText(c->length);
        ui->line_number_cilindrical->setText(c->charges);
    }
    if (const auto& f = fields.frontal) {
        ui->line_length_frontal->setText(f->length);
        ui->line_Dext_frontal->setText(f->diameter);
    }
    if (const auto& s = fields.star) {
        ui->line_Dext_star->setText(s->exteriorDiameter);
        ui->line_Dpoint_star->setText(s->pointDiameter);
        ui->line_Din_star->setText(s->innerDiameter);
        ui->line_length_star->setText(s->length);
        ui->line_number_star->setText(s->charges);
        ui->line_points_star->setText(s->starPoints);
    }
    calculate();
}

void GrainTab::del()
{
    GrainDocument doc = readGrainFile();
    if (!doc.opened()) {
        critical(QString::fromUtf8(kGrainFileCannotOpen));
        return;
    }
    const std::vector<std::string> names = doc.names();
    if (const auto chosen = chosenItem(dialogs_.chooseItem(this, itemChooser::remove, names), names))
        showReported(this, deleteGrainEntry(doc, *chosen));
}

// ---- Export --------------------------------------------------------------------------

void GrainTab::exportar()
{
    if (currentGrain.y.empty() || currentGrain.area.empty() || model_.parameters().empty()) {
        critical(QStringLiteral("No grain combustion has been calculated"));
        return;
    }
    ExportDialogs dialogs;
    dialogs.chooseExport = [this] { return dialogs_.chooseExport(this); };
    dialogs.saveFileName = [this](const QString& caption, const QString& directory, const QString& filter) {
        return dialogs_.saveFileName(this, caption, directory, filter);
    };
    const ExportResult result = runExport(dialogs, [this](uint32_t mask) {
        ExportPlan plan;
        if (mask & exportBit::Csv)
            plan.csv = ExportCsv{tr("CSV file for grain data to be written"), [this, mask] { return csvText(mask); }};
        if (mask & exportBit::Curve)
            plan.images.push_back(
                    ExportImage::file(tr("file for combustion area graph"), QStringLiteral("_graph.png"),
                                      [this](const QString& path) { return savePlotImage(ui->graph, path); }));
        if (mask & exportBit::Picture)
            plan.images.push_back(ExportImage::file(tr("file for grain image"), QStringLiteral("_img.png"),
                                                    [this](const QString& path) { return savePictureImage(path); }));
        return std::optional<ExportPlan>(std::move(plan));
    });
    switch (result.end) {
    case ExportEnd::Finished:
        showMessage(this, grainTabMessage(Msg::Information, QStringLiteral("Export finished successfully")));
        break;
    case ExportEnd::Failed: critical(exportFailedMessage(result.failure->path, result.failure->reason)); break;
    default: break;
    }
}

std::string GrainTab::csvText(uint32_t mask) const
{
    GrainCsvContent content;
    content.name = ui->line_name->text().toStdString();
    content.parameters = model_.parameters();
    content.combustion = model_.combustionType();
    content.y = currentGrain.y;
    content.area = currentGrain.area;
    return grainCsvText(content, mask, LIST_SEPARATOR, DIG_OUT);
}

std::optional<ExportFailure> GrainTab::savePictureImage(const QString& path)
{
    // The picture scaled to fit, the margins it leaves transparent.
    QImage image(static_cast<int>(IMG_WIDTH), static_cast<int>(IMG_HEIGHT), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        scene_->render(&painter, QRectF(image.rect()), scene_->sceneRect(), Qt::KeepAspectRatio);
    }
    if (image.save(path, "PNG", 100))
        return std::nullopt;
    return ExportFailure{path, QString(), false};
}
