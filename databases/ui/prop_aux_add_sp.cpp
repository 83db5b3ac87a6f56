#include "databases/ui/prop_aux_add_sp.h"

#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpacerItem>

#include "core/message_box.h"
#include "core/number_text.h"
#include "core/preferences.h"
#include "core/ui/number_fields.h"
#include "databases/composition.h"
#include "ui_propauxaddsp.h"

using nlohmann::json;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string text(const QLineEdit* field)
{
    return field ? field->text().toStdString() : std::string();
}

// Numbers are shown in general format with the display precision of the preferences.
QString shown(double value)
{
    return QString::number(value, 'g', NUM_DIS_PREC > 0 ? NUM_DIS_PREC : 1);
}

// Checked readers for load: anything missing or of another type reads as nothing.
const json* element(const json& array, std::size_t index)
{
    if (!array.is_array() || index >= array.size())
        return nullptr;
    return &array[index];
}

const json* member(const json& object, const char* key)
{
    if (!object.is_object())
        return nullptr;
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

void showNumber(QLineEdit* field, const json* value)
{
    if (field)
        field->setText(value && value->is_number() ? shown(value->get<double>()) : QString());
}

void selectIndex(QComboBox* combo, const json* value)
{
    if (!value || !value->is_number_integer())
        return;
    const auto index = value->get<long long>();
    if (index >= 0 && index < combo->count())
        combo->setCurrentIndex(static_cast<int>(index));
}

} // namespace

PropAuxAddSP::PropAuxAddSP(SpeciesEditorMode mode, QWidget* parent)
    : QDialog(parent), form(new Ui::PropAuxAddSP), reactantMode(mode == SpeciesEditorMode::Reactant),
      spacer(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding))
{
    form->setupUi(this);
    // The spacer keeps the intervals at the top of the box; the grid owns it from here on.
    form->Box_cp_lay->addItem(spacer, 1, 0);

    add_interval();
    add_term();
    add_visc_int();
    add_cond_int();

    if (reactantMode) {
        form->Box_cp->setCheckable(true);
        form->Box_cp->setChecked(true);
        connect(form->Box_cp, &QGroupBox::toggled, this, &PropAuxAddSP::cp_active);
        temperatureCaption = new QLabel(QStringLiteral("Defined at temperature [K] -> "), form->Box_info);
        temperatureCaption->setObjectName(QStringLiteral("label_Tref"));
        temperatureField = new QLineEdit(QStringLiteral("298.15"), form->Box_info);
        temperatureField->setObjectName(QStringLiteral("line_Tref"));
        form->BoxInfoLay->addWidget(temperatureCaption, 5, 2);
        form->BoxInfoLay->addWidget(temperatureField, 5, 3);
        temperatureCaption->hide();
        temperatureField->hide();
        form->box_visc->setChecked(false);
        form->Box_cond->setChecked(false);
    }

    for (QLineEdit* field : {form->line_enth, form->line_mw}) {
        field->setValidator(numberFieldValidator(field));
    }
}

PropAuxAddSP::~PropAuxAddSP()
{
    // Interval fields, captions and the spacer belong to their boxes and grids.
    delete form;
}

QLineEdit* PropAuxAddSP::newField(QWidget* box, const QString& objectName)
{
    auto* field = new QLineEdit(box);
    field->setObjectName(objectName);
    field->setValidator(numberFieldValidator(field));
    return field;
}

QLabel* PropAuxAddSP::newCaption(QWidget* box, const QString& caption)
{
    return new QLabel(caption, box);
}

void PropAuxAddSP::placeSpacer()
{
    form->Box_cp_lay->removeItem(spacer);
    form->Box_cp_lay->addItem(spacer, 3 * static_cast<int>(tminFields.size()), 0);
}

// ---- heat-capacity grid: interval i uses rows 3i (range and constants), 3i+1
// (exponents) and 3i+2 (coefficients); term j sits in column 6+j.

void PropAuxAddSP::add_interval()
{
    QWidget* box = form->Box_cp;
    QGridLayout* grid = form->Box_cp_lay;
    const int i = static_cast<int>(tminFields.size());
    const int row = 3 * i;
    const int terms = cpTermCount();

    std::vector<QLabel*> captions
            = {newCaption(box, QStringLiteral("from")),       newCaption(box, QStringLiteral("to")),
               newCaption(box, QStringLiteral("K")),          newCaption(box, QStringLiteral("Integration constants:")),
               newCaption(box, QStringLiteral("T exponent")), newCaption(box, QStringLiteral("Coefficient"))};
    QLineEdit* tmin = newField(box, QStringLiteral("line_Tmin_%1").arg(i));
    QLineEdit* tmax = newField(box, QStringLiteral("line_Tmax_%1").arg(i));
    QLineEdit* b1 = newField(box, QStringLiteral("line_cte_a_%1").arg(i));
    QLineEdit* b2 = newField(box, QStringLiteral("line_cte_b_%1").arg(i));
    grid->addWidget(captions[0], row, 0);
    grid->addWidget(tmin, row, 1);
    grid->addWidget(captions[1], row, 2);
    grid->addWidget(tmax, row, 3);
    grid->addWidget(captions[2], row, 4);
    grid->addWidget(captions[3], row, 8);
    grid->addWidget(b1, row, 9);
    grid->addWidget(b2, row, 10);
    grid->addWidget(captions[4], row + 1, 5);
    grid->addWidget(captions[5], row + 2, 5);

    std::vector<QLineEdit*> exponents;
    std::vector<QLineEdit*> coefficients;
    for (int j = 0; j < terms; ++j) {
        exponents.push_back(newField(box, QStringLiteral("line_exp_%1_%2").arg(i).arg(j)));
        coefficients.push_back(newField(box, QStringLiteral("line_coef_%1_%2").arg(i).arg(j)));
        grid->addWidget(exponents.back(), row + 1, 6 + j);
        grid->addWidget(coefficients.back(), row + 2, 6 + j);
    }
    tminFields.push_back(tmin);
    tmaxFields.push_back(tmax);
    constantFields.emplace_back(b1, b2);
    exponentFields.push_back(std::move(exponents));
    coefficientFields.push_back(std::move(coefficients));
    intervalCaptions.push_back(std::move(captions));
    placeSpacer();
}

void PropAuxAddSP::rem_interval()
{
    if (tminFields.size() <= 1)
        return;
    std::vector<QWidget*> gone
            = {tminFields.back(), tmaxFields.back(), constantFields.back().first, constantFields.back().second};
    gone.insert(gone.end(), exponentFields.back().begin(), exponentFields.back().end());
    gone.insert(gone.end(), coefficientFields.back().begin(), coefficientFields.back().end());
    gone.insert(gone.end(), intervalCaptions.back().begin(), intervalCaptions.back().end());
    tminFields.pop_back();
    tmaxFields.pop_back();
    constantFields.pop_back();
    exponentFields.pop_back();
    coefficientFields.pop_back();
    intervalCaptions.pop_back();
    for (QWidget* w : gone) {
        form->Box_cp_lay->removeWidget(w);
        delete w;
    }
    placeSpacer();
}

void PropAuxAddSP::add_term()
{
    QWidget* box = form->Box_cp;
    for (std::size_t i = 0; i < tminFields.size(); ++i) {
        const int j = static_cast<int>(coefficientFields[i].size());
        const int row = 3 * static_cast<int>(i);
        QLineEdit* exponent = newField(box, QStringLiteral("line_exp_%1_%2").arg(i).arg(j));
        QLineEdit* coefficient = newField(box, QStringLiteral("line_coef_%1_%2").arg(i).arg(j));
        form->Box_cp_lay->addWidget(exponent, row + 1, 6 + j);
        form->Box_cp_lay->addWidget(coefficient, row + 2, 6 + j);
        exponentFields[i].push_back(exponent);
        coefficientFields[i].push_back(coefficient);
    }
}

void PropAuxAddSP::rem_term()
{
    if (cpTermCount() <= 1)
        return;
    for (std::size_t i = 0; i < tminFields.size(); ++i) {
        for (auto* list : {&exponentFields[i], &coefficientFields[i]}) {
            QLineEdit* field = list->back();
            list->pop_back();
            form->Box_cp_lay->removeWidget(field);
            delete field;
        }
    }
}

void PropAuxAddSP::cp_active(bool check)
{
    form->but_add_int->setEnabled(check);
    form->but_rem_int->setEnabled(check);
    if (temperatureCaption)
        temperatureCaption->setVisible(!check);
    if (temperatureField)
        temperatureField->setVisible(!check);
}

// ---- transport grids: row i holds Tmin (column 1), Tmax (3) and A to D (7 to 10).

PropAuxAddSP::TransportGrid PropAuxAddSP::viscosityGrid()
{
    return {&viscRangeFields, {&viscA, &viscB, &viscC, &viscD}, form->Box_visc_lay, "visc"};
}

PropAuxAddSP::TransportGrid PropAuxAddSP::conductivityGrid()
{
    return {&condRangeFields, {&condA, &condB, &condC, &condD}, form->Box_cond_lay, "cond"};
}

void PropAuxAddSP::addTransportRow(const TransportGrid& grid, QWidget* box)
{
    const int i = static_cast<int>(grid.ranges->size());
    const QString suffix = QStringLiteral("_%1_%2").arg(QLatin1String(grid.prefix)).arg(i);
    QLineEdit* tmin = newField(box, QStringLiteral("line_Tmin") + suffix);
    QLineEdit* tmax = newField(box, QStringLiteral("line_Tmax") + suffix);
    grid.layout->addWidget(tmin, i, 1);
    grid.layout->addWidget(tmax, i, 3);
    grid.ranges->emplace_back(tmin, tmax);
    static const char* const letters[4] = {"A", "B", "C", "D"};
    for (int k = 0; k < 4; ++k) {
        QLineEdit* coef = newField(box, QStringLiteral("line_%1").arg(QLatin1String(letters[k])) + suffix);
        grid.layout->addWidget(coef, i, 7 + k);
        grid.coefs[k]->push_back(coef);
    }
}

void PropAuxAddSP::removeTransportRow(const TransportGrid& grid)
{
    if (grid.ranges->size() <= 1)
        return;
    std::vector<QWidget*> gone = {grid.ranges->back().first, grid.ranges->back().second};
    grid.ranges->pop_back();
    for (auto* list : grid.coefs) {
        gone.push_back(list->back());
        list->pop_back();
    }
    for (QWidget* w : gone) {
        grid.layout->removeWidget(w);
        delete w;
    }
}

std::vector<TransportIntervalTexts> PropAuxAddSP::transportTexts(const TransportGrid& grid) const
{
    std::vector<TransportIntervalTexts> rows;
    for (std::size_t i = 0; i < grid.ranges->size(); ++i) {
        TransportIntervalTexts row;
        row.tmin = text((*grid.ranges)[i].first);
        row.tmax = text((*grid.ranges)[i].second);
        for (int k = 0; k < 4; ++k)
            row.coef[k] = text((*grid.coefs[k])[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

void PropAuxAddSP::add_visc_int()
{
    addTransportRow(viscosityGrid(), form->box_visc);
}

void PropAuxAddSP::rem_visc_int()
{
    removeTransportRow(viscosityGrid());
}

void PropAuxAddSP::visc_active(bool check)
{
    form->but_add_visc->setEnabled(check);
    form->but_rem_visc->setEnabled(check);
}

void PropAuxAddSP::add_cond_int()
{
    addTransportRow(conductivityGrid(), form->Box_cond);
}

void PropAuxAddSP::rem_cond_int()
{
    removeTransportRow(conductivityGrid());
}

void PropAuxAddSP::cond_active(bool check)
{
    form->but_add_cond->setEnabled(check);
    form->but_rem_cond->setEnabled(check);
}

void PropAuxAddSP::exit()
{
    done(0);
}

// ---- checks: gather the field texts, apply the pure rules, show the first message.

bool PropAuxAddSP::cpDataOff() const
{
    return reactantMode && form->Box_cp->isCheckable() && !form->Box_cp->isChecked();
}

bool PropAuxAddSP::parseComposition()
{
    composition.clear();
    const CompositionResult r = ::parseComposition(text(form->line_comp));
    if (!r.ok) {
        showCritical(this, qs(r.message));
        return false;
    }
    composition = r.pairs;
    return true;
}

bool PropAuxAddSP::checkCp()
{
    cpIntervals.clear();
    if (cpDataOff())
        return true;
    std::vector<CpIntervalTexts> intervals;
    for (std::size_t i = 0; i < tminFields.size(); ++i) {
        CpIntervalTexts t;
        t.tmin = text(tminFields[i]);
        t.tmax = text(tmaxFields[i]);
        t.b1 = text(constantFields[i].first);
        t.b2 = text(constantFields[i].second);
        for (QLineEdit* f : coefficientFields[i])
            t.coefficients.push_back(text(f));
        for (QLineEdit* f : exponentFields[i])
            t.exponents.push_back(text(f));
        intervals.push_back(std::move(t));
    }
    const CpResult r = checkCpIntervals(intervals);
    if (!r.ok) {
        showCritical(this, qs(r.message));
        return false;
    }
    cpIntervals = r.intervals;
    return true;
}

// An unchecked box has no intervals (no key is written for it).
bool PropAuxAddSP::checkTransport(const QGroupBox* box, const TransportGrid& grid, TransportProperty property,
                                  std::vector<TransportInterval>& intervals)
{
    intervals.clear();
    if (!box->isChecked())
        return true;
    const TransportResult r = checkTransportIntervals(property, transportTexts(grid));
    if (!r.ok) {
        showCritical(this, qs(r.message));
        return false;
    }
    intervals = r.intervals;
    return true;
}

bool PropAuxAddSP::checkViscosity()
{
    return checkTransport(form->box_visc, viscosityGrid(), TransportProperty::Viscosity, viscosityIntervals);
}

bool PropAuxAddSP::checkConductivity()
{
    return checkTransport(form->Box_cond, conductivityGrid(), TransportProperty::Conductivity, conductivityIntervals);
}

void PropAuxAddSP::save()
{
    const std::string name = text(form->line_name); // kept as typed, blanks included
    if (name.empty()) {
        showCritical(this, QStringLiteral("Cannot have empty name"));
        return;
    }
    // The field rules are the entry rules (databases/species_entry.h), checked field by
    // field so that the first bad field is the one named.
    const auto enthalpy = readNumber(text(form->line_enth));
    if (!enthalpy || !validEnthalpy(*enthalpy, form->unit_enth->currentIndex())) {
        showCritical(this, QStringLiteral("Invalid enthalpy"));
        return;
    }
    const auto molecWeight = readNumber(text(form->line_mw));
    if (!molecWeight || !validMolarMass(*molecWeight, form->unit_mw->currentIndex())) {
        showCritical(this, QStringLiteral("Invalid molecular weight"));
        return;
    }
    std::optional<double> temperature;
    if (cpDataOff()) {
        temperature = readNumber(text(temperatureField));
        if (!temperature || !validFormationTemperature(*temperature)) {
            showCritical(this, QStringLiteral("Invalid temperature for formation enthalpy"));
            return;
        }
    }
    if (!parseComposition()) {
        showCritical(this, QStringLiteral("Save not completed, invalid composition"));
        return;
    }
    if (!checkCp() || !checkViscosity() || !checkConductivity())
        return;

    SpeciesEntry entry;
    entry.composition = composition;
    entry.phase = form->sel_phase->currentIndex();
    entry.enthalpy = *enthalpy;
    entry.enthalpyUnit = form->unit_enth->currentIndex();
    entry.enthalpyTemperature = temperature;
    entry.molecWeight = *molecWeight;
    entry.molecWeightUnit = form->unit_mw->currentIndex();
    entry.intervals = cpIntervals;
    entry.viscosity = viscosityIntervals;
    entry.conductivity = conductivityIntervals;
    entry.isActive = true;
    // The field checks keep every rule but the engine's limit of 255 pairs, intervals
    // and terms; never store an entry the program could not load.
    const std::string broken = validateEntry(entry, reactantMode ? SubstanceKind::Reactant : SubstanceKind::Species);
    if (!broken.empty()) {
        showCritical(this, qs(broken));
        return;
    }

    DatabaseDocument doc = readDatabase(database());
    if (!doc.opened()) {
        showCritical(this,
                     qs("Save aborted because " + databaseWord(database())
                        + " file could not be opened, close it or change its accesibility restrictions"));
        return;
    }
    if (!doc.writable()) {
        // Going on would replace every stored entry by this one.
        showCritical(this, qs(corruptDatabaseMessage(database(), "Save", doc.path)));
        return;
    }
    if (holdsEntry(doc.document, name)
        && !askQuestion(this, QStringLiteral("You are about to overwrite a save with the same name. Continue?"),
                        Msg::Warning, Msg::Yes | Msg::Cancel, Msg::Yes))
        return;
    doc.document[name] = toJson(entry);

    std::string error;
    if (!writeDatabase(doc, &error)) {
        showCritical(this, qs(writeFailedMessage(database(), doc.path, error)));
        return;
    }
    showInformation(this, QStringLiteral("Successful save"));
    done(1);
}

void PropAuxAddSP::load(std::string name)
{
    const DatabaseDocument doc = readDatabase(database());
    if (!doc.opened()) {
        showCritical(this,
                     qs("Load aborted because " + databaseWord(database())
                        + " file could not be opened, close it or change its accesibility restrictions"));
        return;
    }
    form->line_name->setText(qs(name));
    const auto found = doc.document.find(name);
    if (found == doc.document.end() || !found->is_object())
        return; // nothing stored (or an empty entry): the fields stay as built
    const json& entry = *found;

    if (const json* phase = member(entry, "Phase"))
        selectIndex(form->sel_phase, phase);
    if (const json* enthalpy = member(entry, "Enthalpy")) {
        selectIndex(form->unit_enth, element(*enthalpy, 1));
        showNumber(form->line_enth, element(*enthalpy, 0));
        if (temperatureField && enthalpy->is_array() && enthalpy->size() == 3)
            showNumber(temperatureField, element(*enthalpy, 2));
    }
    if (const json* mw = member(entry, "MolecWeight")) {
        selectIndex(form->unit_mw, element(*mw, 1));
        showNumber(form->line_mw, element(*mw, 0));
    }

    const json* intervals = member(entry, "Intervals");
    if (intervals && intervals->is_array() && !intervals->empty()) {
        const json* firstA = member((*intervals)[0], "a");
        const std::size_t terms = firstA && firstA->is_array() ? firstA->size() : 0;
        for (std::size_t i = 0; i < intervals->size(); ++i) {
            while (tminFields.size() < i + 1)
                add_interval();
            const json& interval = (*intervals)[i];
            const json* range = member(interval, "T_int");
            const json* b = member(interval, "b");
            const json* a = member(interval, "a");
            const json* exp = member(interval, "exp");
            showNumber(tminFields[i], range ? element(*range, 0) : nullptr);
            showNumber(tmaxFields[i], range ? element(*range, 1) : nullptr);
            showNumber(constantFields[i].first, b ? element(*b, 0) : nullptr);
            showNumber(constantFields[i].second, b ? element(*b, 1) : nullptr);
            for (std::size_t k = 0; k < terms; ++k) {
                while (static_cast<std::size_t>(cpTermCount()) < k + 1)
                    add_term();
                showNumber(coefficientFields[i][k], a ? element(*a, k) : nullptr);
                showNumber(exponentFields[i][k], exp ? element(*exp, k) : nullptr);
            }
        }
    } else if (form->Box_cp->isCheckable()) {
        form->Box_cp->setChecked(false);
    }

    std::vector<CompositionPair> pairs;
    if (const json* comp = member(entry, "Composition"); comp && comp->is_array())
        for (const json& pair : *comp) {
            const json* count = element(pair, 0);
            const json* symbol = element(pair, 1);
            if (count && count->is_number() && symbol && symbol->is_string())
                pairs.push_back({count->get<double>(), symbol->get<std::string>()});
        }
    form->line_comp->setText(qs(formatComposition(pairs, NUM_DIS_PREC > 0 ? NUM_DIS_PREC : 1)));

    auto loadTransport = [this, &entry](const char* key, QGroupBox* box, const TransportGrid& grid, auto addRow) {
        const json* list = member(entry, key);
        if (!list || !list->is_array() || list->empty()) {
            box->setChecked(false);
            return;
        }
        box->setChecked(true);
        for (std::size_t i = 0; i < list->size(); ++i) {
            while (grid.ranges->size() < i + 1)
                (this->*addRow)();
            const json* range = member((*list)[i], "T_int");
            const json* coef = member((*list)[i], "Coef");
            showNumber((*grid.ranges)[i].first, range ? element(*range, 0) : nullptr);
            showNumber((*grid.ranges)[i].second, range ? element(*range, 1) : nullptr);
            for (std::size_t k = 0; k < 4; ++k)
                showNumber((*grid.coefs[k])[i], coef ? element(*coef, k) : nullptr);
        }
    };
    loadTransport("Viscosity", form->box_visc, viscosityGrid(), &PropAuxAddSP::add_visc_int);
    loadTransport("Conductivity", form->Box_cond, conductivityGrid(), &PropAuxAddSP::add_cond_int);
}
