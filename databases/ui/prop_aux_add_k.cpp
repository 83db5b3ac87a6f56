#include "databases/ui/prop_aux_add_k.h"

#include <QDoubleValidator>
#include <QLocale>
#include <QSpacerItem>

#include "core/message_box.h"
#include "core/number_text.h"
#include "core/preferences.h"
#include "core/ui/number_fields.h"
#include "databases/composition.h"
#include "databases/database_files.h"
#include "ui_propauxaddk.h"

namespace {

QString formatNumber(double value)
{
    return QString::number(value, 'g', NUM_DIS_PREC);
}

std::optional<double> numberOf(const QLineEdit* field)
{
    return readNumber(field->text().toStdString());
}

// [value, unit] of a stored entry, read without trusting its shape.
void fillValueWithUnit(const nlohmann::json& entry, const char* key, QLineEdit* field, QComboBox* units)
{
    auto it = entry.find(key);
    if (it == entry.end() || !it->is_array())
        return;
    if (!it->empty() && (*it)[0].is_number())
        field->setText(formatNumber((*it)[0].get<double>()));
    if (it->size() > 1 && (*it)[1].is_number_integer()) {
        const long long unit = (*it)[1].get<long long>();
        if (unit >= 0 && unit < units->count())
            units->setCurrentIndex(static_cast<int>(unit));
    }
}

} // namespace

PropAuxAddK::PropAuxAddK(QWidget* parent) : QDialog(parent), ui(new Ui::PropAuxAddK)
{
    ui->setupUi(this);
    spacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui->Box_tb_grid->addItem(spacer, 1, 0);
    add();
    ui->line_Ea->setValidator(numberFieldValidator(this));
    ui->line_A->setValidator(numberFieldValidator(this));
    ui->line_b->setValidator(numberFieldValidator(this));
}

PropAuxAddK::~PropAuxAddK()
{
    delete ui;
}

void PropAuxAddK::exit()
{
    reject();
}

void PropAuxAddK::add()
{
    const int row = static_cast<int>(tbNameFields.size()) + 1;
    auto* name = new QLineEdit(ui->Box_tb);
    auto* efficiency = new QLineEdit(ui->Box_tb);
    efficiency->setValidator(numberFieldValidator(efficiency));
    for (QLineEdit* field : {name, efficiency})
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    ui->Box_tb_grid->removeItem(spacer);
    ui->Box_tb_grid->addWidget(name, row, 0, Qt::AlignVCenter);
    ui->Box_tb_grid->addWidget(efficiency, row, 1, Qt::AlignVCenter);
    ui->Box_tb_grid->addItem(spacer, row + 1, 0);
    tbNameFields.push_back(name);
    tbEffFields.push_back(efficiency);
}

void PropAuxAddK::rem()
{
    if (tbNameFields.size() <= 1)
        return;
    for (QLineEdit* field : {tbNameFields.back(), tbEffFields.back()}) {
        ui->Box_tb_grid->removeWidget(field);
        field->hide();
        field->deleteLater();
    }
    tbNameFields.pop_back();
    tbEffFields.pop_back();
    ui->Box_tb_grid->removeItem(spacer);
    ui->Box_tb_grid->addItem(spacer, static_cast<int>(tbNameFields.size()) + 1, 0);
}

void PropAuxAddK::tb_active(bool check)
{
    ui->but_add->setEnabled(check);
    ui->but_rem->setEnabled(check);
}

bool PropAuxAddK::parseReaction()
{
    reactants.clear();
    products.clear();
    const DatabaseDocument species = readDatabase(ChemicalDatabase::Species);
    if (species.status == JsonReadStatus::CannotOpen) {
        showCritical(this,
                     QStringLiteral("Species file could not be opened, it might be open by a different "
                                    "software or have restricted access"));
        reject();
        return false;
    }
    // Without species there is nothing to check the names against, and a reaction
    // without reactants and products must never be stored.
    if (species.document.empty()) {
        showCritical(this,
                     QStringLiteral("Species database is empty, missing or corrupted, reaction cannot be "
                                    "checked"));
        return false;
    }
    ReactionParse parsed = parseReactionText(ui->line_reac->text().toStdString(), species.document);
    if (!parsed.ok) {
        showCritical(this, QString::fromStdString(parsed.message));
        return false;
    }
    reactants = std::move(parsed.reactants);
    products = std::move(parsed.products);
    return true;
}

bool PropAuxAddK::checkThirdBody()
{
    thirdBody.clear();
    if (!ui->Box_tb->isChecked())
        return true;
    for (std::size_t row = 0; row < tbNameFields.size(); ++row) {
        const QString name = tbNameFields[row]->text();
        if (name.isEmpty()) {
            showCritical(this, QStringLiteral("Empty third body"));
            thirdBody.clear();
            return false;
        }
        const std::optional<double> efficiency = numberOf(tbEffFields[row]);
        if (!efficiency || *efficiency < 0) {
            showCritical(this, QStringLiteral("Invalid third body value: ") + tbEffFields[row]->text());
            thirdBody.clear();
            return false;
        }
        thirdBody.push_back({name.toStdString(), *efficiency});
    }
    return true;
}

void PropAuxAddK::save()
{
    const std::optional<double> Ea = numberOf(ui->line_Ea);
    if (!Ea) {
        showCritical(this, QStringLiteral("Invalid activation energy"));
        return;
    }
    const std::optional<double> A = numberOf(ui->line_A);
    if (!A) {
        showCritical(this, QStringLiteral("Invalid constant A"));
        return;
    }
    const std::optional<double> b = numberOf(ui->line_b);
    if (!b) {
        showCritical(this, QStringLiteral("Invalid constant b"));
        return;
    }
    if (!parseReaction()) {
        showCritical(this, QStringLiteral("Save not completed, invalid reaction"));
        return;
    }
    if (!checkThirdBody())
        return;

    DatabaseDocument kinetics = readDatabase(ChemicalDatabase::Kinetics);
    if (kinetics.status == JsonReadStatus::CannotOpen) {
        showCritical(this,
                     QStringLiteral("Save aborted. Kinetics file could not be opened, it might be open by a "
                                    "different software or have restricted access"));
        reject();
        return;
    }
    // Writing into an unreadable file would replace every reaction stored in it.
    if (!kinetics.writable()) {
        showCritical(this,
                     QString::fromStdString(corruptDatabaseMessage(ChemicalDatabase::Kinetics, "Save", kinetics.path)));
        return;
    }

    const std::string key = ui->line_reac->text().toStdString();
    nlohmann::json& document = kinetics.document;
    if (holdsEntry(document, key)) {
        if (!askQuestion(this, QStringLiteral("You are about to overwrite a save with the same name. Continue?"),
                         Msg::Warning, Msg::Yes | Msg::Cancel, Msg::Yes))
            return;
        document.erase(key);
    } else if (const std::optional<std::string> duplicate = findDuplicateReaction(document, reactants, products)) {
        if (!askQuestion(this,
                         QStringLiteral("A save with the described reaction alrady exists, it will be deleted. "
                                        "Continue?"),
                         Msg::Warning, Msg::Yes | Msg::Cancel, Msg::Yes))
            return;
        document.erase(*duplicate);
    }

    ReactionEntry entry;
    entry.reactants = reactants;
    entry.products = products;
    entry.A = *A;
    entry.AUnit = ui->units_A->currentIndex();
    entry.b = *b;
    entry.Ea = *Ea;
    entry.EaUnit = ui->units_Ea->currentIndex();
    entry.forward = ui->check_forward->isChecked();
    entry.thirdBody = thirdBody;
    entry.isActive = true;
    document[key] = toJson(entry);

    std::string error;
    if (!writeDatabase(kinetics, &error)) {
        showCritical(this,
                     QString::fromStdString(writeFailedMessage(ChemicalDatabase::Kinetics, kinetics.path, error)));
        return;
    }
    showInformation(this, QStringLiteral("Successful save"));
    accept();
}

void PropAuxAddK::load(const std::string& key)
{
    const DatabaseDocument kinetics = readDatabase(ChemicalDatabase::Kinetics);
    if (kinetics.status == JsonReadStatus::CannotOpen) {
        showCritical(this,
                     QStringLiteral("Kinetics file could not be opened, it might be open by a different "
                                    "software or have restricted access"));
        return;
    }
    auto found = kinetics.document.find(key);
    if (found == kinetics.document.end())
        return;
    ui->line_reac->setText(QString::fromStdString(key));
    const nlohmann::json& entry = *found;
    if (!entry.is_object())
        return;

    auto forward = entry.find("Forward");
    if (forward != entry.end() && forward->is_boolean())
        ui->check_forward->setChecked(forward->get<bool>());
    fillValueWithUnit(entry, "A", ui->line_A, ui->units_A);
    fillValueWithUnit(entry, "Ea", ui->line_Ea, ui->units_Ea);
    auto b = entry.find("b");
    if (b != entry.end() && b->is_number())
        ui->line_b->setText(formatNumber(b->get<double>()));

    auto third = entry.find("Third Body");
    if (third == entry.end() || isEmptyValue(*third) || !third->is_array()) {
        ui->Box_tb->setChecked(false);
        return;
    }
    // Set from code, so the add and remove buttons keep following the user's clicks.
    ui->Box_tb->setChecked(true);
    std::size_t row = 0;
    for (const nlohmann::json& pair : *third) {
        if (row >= tbNameFields.size())
            add();
        if (pair.is_array() && !pair.empty() && pair[0].is_string())
            tbNameFields[row]->setText(QString::fromStdString(pair[0].get<std::string>()));
        if (pair.is_array() && pair.size() > 1 && pair[1].is_number())
            tbEffFields[row]->setText(formatNumber(pair[1].get<double>()));
        ++row;
    }
}
