#include "propellant/ui/prop_tab.h"

#include <QApplication>
#include <QDoubleValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <qcustomplot.h>

#include "core/item_choice.h"
#include "core/preferences.h"
#include "core/ui/auxchoose.h"
#include "core/ui/number_fields.h"
#include "core/ui/wait_cursor.h"
#include "databases/ui/prop_aux_data.h"
#include "propellant/compatibility.h"
#include "propellant/tab_messages.h"
#include "ui_proptab.h"

namespace {

// Interval rows start in row 4 of PropDataGrid, beside "from" and "to".
constexpr int firstIntervalGridRow = 4;
// The optimise button's cell in PropCompGrid (below the two reactant rows).
constexpr int optimiseGridRow = 3;

} // namespace

PropTab::ExportDialogs propTabExportDialogs(); // prop_tab_graph.cpp

PropTab::PropTab(QWidget* parent)
    : QWidget(parent), ui(new Ui_PropTab),
      dataSpacer(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding)),
      compositionSpacer(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding)), optimise(nullptr),
      exportDialogs(propTabExportDialogs())
{
    ui->setupUi(this);
    ui->PropDataGrid->addItem(dataSpacer, 5, 1);
    ui->PropCompGrid->addItem(compositionSpacer, 0, 0);
    ui->line_dens->setValidator(numberFieldValidator(ui->line_dens));
    AddInterval();
    updateReactantList();

    optimise = new QPushButton(QStringLiteral("Optimize composition for max c*"), this);
    connect(optimise, &QPushButton::released, this, &PropTab::OptComp);
    optimise->hide();

    ui->Graph->xAxis->setLabel(QStringLiteral("Chamber pressure [Pa]"));
    ui->Graph->yAxis->setLabel(QStringLiteral("C* [m/s]"));
    ui->Graph->legend->setVisible(true);
    ui->Graph->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ui->Graph->setInteraction(QCP::iSelectPlottables, true);
    connect(ui->Graph, SIGNAL(plottableClick(QCPAbstractPlottable*, int, QMouseEvent*)), this,
            SLOT(onGraphSelect(QCPAbstractPlottable*, int, QMouseEvent*)));
    readoutLabel = new QCPItemText(ui->Graph);
    readoutLabel->setVisible(false);
    readoutArrow = new QCPItemLine(ui->Graph);
    readoutArrow->setVisible(false);
}

PropTab::~PropTab()
{
    delete ui;
}

// ---- What the fields hold -------------------------------------------------------------

std::vector<ReactantRowText> PropTab::reactantRows() const
{
    std::vector<ReactantRowText> rows;
    for (std::size_t i = 0; i < reactantLabels.size(); ++i)
        rows.push_back({reactantLabels[i]->text().toStdString(), relativeMassFields[i]->text()});
    return rows;
}

std::vector<std::string> PropTab::reactantNames() const
{
    std::vector<std::string> names;
    for (QLabel* label : reactantLabels)
        names.push_back(label->text().toStdString());
    return names;
}

SolidDataForm PropTab::solidDataForm() const
{
    SolidDataForm form;
    form.enabled = ui->PropDataBox->isChecked();
    form.density = ui->line_dens->text();
    for (std::size_t i = 0; i < lowerFields.size(); ++i)
        form.intervals.push_back({lowerFields[i]->text(), upperFields[i]->text(), coefficientFields[i]->text(),
                                  exponentFields[i]->text()});
    form.pressureUnit = ui->Box_P_units->currentIndex();
    form.burnRateUnit = ui->Box_a_units->currentIndex();
    form.densityUnit = ui->Box_dens_units->currentIndex();
    return form;
}

bool PropTab::checkSolidData()
{
    return showReported(this, propellant.checkSolidData(solidDataForm(), PRES_VIELLE_TOP_LIMIT));
}

bool PropTab::checkComposition()
{
    return showReported(this, propellant.checkComposition(reactantRows()));
}

bool PropTab::buildMixture()
{
    return showReported(this, propellant.buildMixture(ui->line_Name->text(), reactantRows()));
}

void PropTab::updateCompatibleSpecies()
{
    showViewMessages(this, updateCompatibleSpeciesFor(reactantNames()));
}

bool PropTab::updateCompatibleReactions(bool check)
{
    return showReported(this, updateCompatibleReactionsFor(check));
}

// ---- Reactant rows ---------------------------------------------------------------------

void PropTab::updateReactantList()
{
    DatabaseDocument doc = readDatabase(ChemicalDatabase::Reactants);
    if (doc.status == JsonReadStatus::CannotOpen) {
        showTabMessage(this, Msg::Critical,
                       QStringLiteral("Reactants file could not be opened, it may be opened by "
                                      "another software or have accesibility restrictions"));
        return;
    }
    // Filling an empty box makes its first item current, which would add a reactant row.
    const QSignalBlocker quiet(ui->sel_react);
    ui->sel_react->clear();
    for (const std::string& key : documentKeys(doc.document))
        ui->sel_react->addItem(QString::fromStdString(key));
    ui->sel_react->setCurrentIndex(-1);
}

void PropTab::placeOptimiseButton()
{
    ui->PropCompGrid->addWidget(optimise, optimiseGridRow, 1, 1, 2);
    optimise->show();
}

void PropTab::takeOptimiseButton()
{
    ui->PropCompGrid->removeWidget(optimise);
    optimise->hide();
}

void PropTab::add_reactant(QString name, bool check)
{
    if (name.isEmpty())
        return;
    for (QLabel* label : reactantLabels) {
        if (label->text() == name) {
            showTabMessage(this, Msg::Warning, QStringLiteral("Reactant already present"));
            ui->sel_react->setCurrentIndex(-1);
            return;
        }
    }
    if (reactantLabels.size() == 2)
        takeOptimiseButton();
    auto* label = new QLabel(name, ui->PropCompBox);
    auto* mass = new QLineEdit(ui->PropCompBox);
    mass->setPlaceholderText(QStringLiteral("Relative mass"));
    mass->setValidator(numberFieldValidator(mass));
    auto* remove = new QPushButton(QStringLiteral("Remove"), ui->PropCompBox);
    reactantLabels.push_back(label);
    relativeMassFields.push_back(mass);
    removeButtons.push_back(remove);
    const int row = static_cast<int>(reactantLabels.size()) - 1;
    ui->PropCompGrid->removeItem(compositionSpacer);
    ui->PropCompGrid->addWidget(label, row, 0, Qt::AlignVCenter);
    ui->PropCompGrid->addWidget(mass, row, 1, Qt::AlignVCenter);
    ui->PropCompGrid->addWidget(remove, row, 2, Qt::AlignVCenter);
    ui->PropCompGrid->addItem(compositionSpacer, row + 1, 0);
    // By signature, so that the slot can tell which row's button was pressed.
    connect(remove, SIGNAL(released()), this, SLOT(rem_reactant()));
    ui->sel_react->setCurrentIndex(-1);
    if (check) {
        updateCompatibleSpecies();
        updateCompatibleReactions(false);
    }
    if (reactantLabels.size() == 2)
        placeOptimiseButton();
}

void PropTab::rem_reactant(int r)
{
    int row = r;
    if (r == -1) {
        row = 0;
        for (std::size_t i = 0; i < removeButtons.size(); ++i) {
            if (sender() == removeButtons[i]) {
                const MessageReply reply
                        = showTabMessage(this, Msg::Question, QStringLiteral("Do you want to remove this reactant?"),
                                         reactantLabels[i]->text(), Msg::Yes | Msg::Cancel, Msg::Yes);
                if (reply.button != Msg::Yes)
                    return;
                row = static_cast<int>(i);
                break;
            }
        }
    }
    if (row < 0 || row >= reactantRowCount())
        return;
    if (reactantLabels.size() == 2)
        takeOptimiseButton();
    ui->PropCompGrid->removeItem(compositionSpacer);
    const auto k = static_cast<std::size_t>(row);
    for (QWidget* w : std::initializer_list<QWidget*>{reactantLabels[k], relativeMassFields[k], removeButtons[k]}) {
        ui->PropCompGrid->removeWidget(w);
        w->hide();
        w->deleteLater();
    }
    for (std::size_t j = k + 1; j < reactantLabels.size(); ++j) {
        const int up = static_cast<int>(j) - 1;
        for (int column = 0; column < 3; ++column) {
            QWidget* w = column == 0 ? static_cast<QWidget*>(reactantLabels[j])
                    : column == 1    ? static_cast<QWidget*>(relativeMassFields[j])
                                     : static_cast<QWidget*>(removeButtons[j]);
            ui->PropCompGrid->removeWidget(w);
            ui->PropCompGrid->addWidget(w, up, column, Qt::AlignVCenter);
        }
    }
    reactantLabels.erase(reactantLabels.begin() + row);
    relativeMassFields.erase(relativeMassFields.begin() + row);
    removeButtons.erase(removeButtons.begin() + row);
    ui->PropCompGrid->addItem(compositionSpacer, reactantRowCount(), 0);
    if (reactantLabels.size() == 2)
        placeOptimiseButton();
    updateCompatibleSpecies();
    updateCompatibleReactions(false);
}

void PropTab::removeAllReactants()
{
    while (!reactantLabels.empty())
        rem_reactant(0);
}

// ---- Burn-law intervals ------------------------------------------------------------------

void PropTab::setDataFieldEnabled(QWidget* field, bool enabled)
{
    if (!enabled) {
        field->setEnabled(false);
        return;
    }
    if (ui->PropDataBox->isChecked()) {
        field->setEnabled(true);
    } else {
        // As the group box does itself: disabled now, enabled with the box.
        field->setEnabled(false);
        field->setAttribute(Qt::WA_ForceDisabled, false);
    }
}

void PropTab::AddInterval()
{
    if (!upperFields.empty())
        setDataFieldEnabled(upperFields.back(), true);
    auto newField = [] {
        auto* field = new QLineEdit();
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        field->setValidator(numberFieldValidator(field));
        return field;
    };
    lowerFields.push_back(newField());
    upperFields.push_back(newField());
    coefficientFields.push_back(newField());
    exponentFields.push_back(newField());
    const int row = intervalRowCount() + firstIntervalGridRow - 1;
    ui->PropDataGrid->removeItem(dataSpacer);
    ui->PropDataGrid->addWidget(lowerFields.back(), row, 2, Qt::AlignVCenter);
    ui->PropDataGrid->addWidget(upperFields.back(), row, 4, Qt::AlignVCenter);
    ui->PropDataGrid->addWidget(coefficientFields.back(), row, 7, 1, 4, Qt::AlignVCenter);
    ui->PropDataGrid->addWidget(exponentFields.back(), row, 12, 1, 3, Qt::AlignVCenter);
    ui->PropDataGrid->addItem(dataSpacer, row + 1, 1);
    // Added to the group box only now: the last interval has no upper limit without
    // PRES_VIELLE_TOP_LIMIT.
    if (!PRES_VIELLE_TOP_LIMIT)
        setDataFieldEnabled(upperFields.back(), false);
}

void PropTab::RemInterval()
{
    if (intervalRowCount() > 1) {
        for (auto* list : {&lowerFields, &upperFields, &coefficientFields, &exponentFields}) {
            QLineEdit* field = list->back();
            ui->PropDataGrid->removeWidget(field);
            field->hide();
            field->deleteLater();
            list->pop_back();
        }
        ui->PropDataGrid->removeItem(dataSpacer);
        ui->PropDataGrid->addItem(dataSpacer, intervalRowCount() + firstIntervalGridRow, 1);
        if (!PRES_VIELLE_TOP_LIMIT) {
            upperFields.back()->clear();
            setDataFieldEnabled(upperFields.back(), false);
        }
        return;
    }
    for (QLineEdit* field : {lowerFields[0], upperFields[0], coefficientFields[0], exponentFields[0]})
        field->clear();
    // Enabled with the box, whether it is checked now or later.
    setDataFieldEnabled(upperFields[0], PRES_VIELLE_TOP_LIMIT);
}

// ---- Propellants.json ----------------------------------------------------------------------

bool PropTab::save_prop()
{
    return showReported(this,
                        propellant.save(ui->line_Name->text(), reactantRows(), solidDataForm(), PRES_VIELLE_TOP_LIMIT,
                                        this, [] { return updateCompatibleReactionsFor(true); }));
}

void PropTab::load_prop()
{
    const QSignalBlocker ownSignals(this);
    std::optional<LoadDocuments> docs = showReported(this, PropellantModel::readLoadDocuments());
    if (!docs)
        return;
    const std::vector<std::string> keys = documentKeys(docs->propellants.document);
    const int result = runItemChooser(this, itemChooser::select, keys);
    const WaitCursor wait;
    const std::optional<std::string> chosen = chosenItem(result, keys);
    if (!chosen)
        return;
    const std::string& name = *chosen;
    std::string why;
    std::optional<PropellantEntry> entry = propellantEntryFromJson(docs->propellants.document[name], &why);
    if (entry && entry->solid
        && (entry->solid->pressureUnit < 0 || entry->solid->pressureUnit >= ui->Box_P_units->count()
            || entry->solid->burnRateUnit < 0 || entry->solid->burnRateUnit >= ui->Box_a_units->count()
            || entry->solid->densityUnit < 0 || entry->solid->densityUnit >= ui->Box_dens_units->count())) {
        why = "a unit index is out of range";
        entry.reset();
    }
    if (!entry) {
        showTabMessage(this, Msg::Critical,
                       QStringLiteral("The propellant '") + QString::fromStdString(name)
                               + QStringLiteral("' could not be read"),
                       QString::fromStdString(why));
        return;
    }

    ui->line_Name->setText(QString::fromStdString(name));
    for (int row = reactantRowCount() - 1; row >= 0; --row)
        rem_reactant(row);
    for (const CompositionRow& c : entry->composition) {
        const int before = reactantRowCount();
        add_reactant(QString::fromStdString(c.reactant), false);
        // A name stored twice gets no second row, and its mass no field.
        if (reactantRowCount() == before + 1)
            relativeMassFields.back()->setText(formatNumber(c.relativeMass));
    }
    updateCompatibleSpecies();
    updateCompatibleReactions(false);

    auto resetIntervals = [this] {
        const int rows = intervalRowCount();
        for (int k = 0; k < rows; ++k)
            RemInterval();
    };
    if (entry->solid) {
        const SolidPropellantData& solid = *entry->solid;
        ui->PropDataBox->setChecked(true);
        ui->line_dens->setText(formatNumber(solid.density));
        ui->Box_P_units->setCurrentIndex(solid.pressureUnit);
        ui->Box_a_units->setCurrentIndex(solid.burnRateUnit);
        ui->Box_dens_units->setCurrentIndex(solid.densityUnit);
        resetIntervals();
        for (std::size_t k = 0; k < solid.intervals.size(); ++k) {
            if (k > 0)
                AddInterval();
            const VielleInterval& interval = solid.intervals[k];
            lowerFields[k]->setText(formatNumber(interval.lower));
            const bool lastOpen = k + 1 == solid.intervals.size() && !PRES_VIELLE_TOP_LIMIT;
            if (interval.upper && !lastOpen)
                upperFields[k]->setText(formatNumber(*interval.upper));
            coefficientFields[k]->setText(formatNumber(interval.a));
            exponentFields[k]->setText(formatNumber(interval.n));
        }
    } else {
        resetIntervals();
        ui->line_dens->clear();
        ui->PropDataBox->setChecked(false);
    }
    showReported(this, PropellantModel::applyStoredSelection(*entry, *docs));
}

void PropTab::del_prop()
{
    std::optional<PropellantDocument> doc = showReported(this, PropellantModel::readPropellants());
    if (!doc)
        return;
    const std::vector<std::string> keys = documentKeys(doc->document);
    if (const auto chosen = chosenItem(runItemChooser(this, itemChooser::remove, keys), keys))
        showReported(this, PropellantModel::erasePropellant(*doc, *chosen));
}

// ---- Database buttons ---------------------------------------------------------------------

void PropTab::runBrowser(int mode)
{
    PropAuxData dialog(mode, this, this);
    browser = &dialog;
    dialog.exec();
}

void PropTab::specieDatabase()
{
    runBrowser(1);
}

void PropTab::KineticsDatabase()
{
    runBrowser(0);
}

void PropTab::reacDatabase()
{
    runBrowser(2);
    updateReactantList();
    // An edited reactant may bring other elements: the lists follow at once.
    updateCompatibleSpecies();
    updateCompatibleReactions(false);
}

// ---- Modes -----------------------------------------------------------------------------------

void PropTab::graphOverWholeColumn()
{
    ui->PropTabGrid->removeWidget(ui->Graph);
    ui->PropTabGrid->addWidget(ui->Graph, 0, 1, 6, 1);
    ui->Graph->show();
}

void PropTab::graphAboveData()
{
    ui->PropTabGrid->removeWidget(ui->Graph);
    ui->PropTabGrid->removeWidget(ui->PropData);
    ui->PropTabGrid->addWidget(ui->Graph, 0, 1, 3, 1);
    ui->PropTabGrid->addWidget(ui->PropData, 3, 1, 3, 1);
    ui->Graph->show();
    ui->PropData->show();
}

void PropTab::BabyMode(bool is)
{
    if (is) {
        ui->but_Reac->hide();
        ui->but_Species->hide();
        ui->but_Kinetics->hide();
        ui->PropData->hide();
        ui->PropDataBox->setChecked(false);
        ui->PropTabGrid->setRowStretch(0, 6);
        graphOverWholeColumn();
        return;
    }
    if (!solidsHidden) {
        graphAboveData();
        ui->PropTabGrid->setRowStretch(0, 12);
    }
    ui->but_Reac->show();
    ui->but_Species->show();
    ui->but_Kinetics->show();
}

void PropTab::hideSolid(bool tog)
{
    if (tog) {
        ui->PropData->hide();
        ui->PropDataBox->setChecked(false);
        graphOverWholeColumn();
        return;
    }
    if (babyModeActive)
        return;
    graphAboveData();
}
