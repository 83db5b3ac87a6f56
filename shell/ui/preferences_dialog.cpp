#include "shell/ui/preferences_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QIntValidator>
#include <QLineEdit>

#include "core/message_box.h"
#include "core/preferences.h"
#include "core/ui/number_fields.h"
#include "core/view_message.h"
#include "shell/preferences_fields.h"
#include "ui_preferences.h"

namespace {

using Kind = PreferenceFieldKind;

bool isLineEdit(Kind kind)
{
    return kind != Kind::Choice && kind != Kind::Check;
}

} // namespace

Preferences::Preferences(QWidget* parent) : QDialog(parent), ui(new Ui_Preferences)
{
    ui->setupUi(this); // also connects the buttons, the marked combos and the lock box
    fillForm();
    ui->Preferences_tab->setCurrentIndex(preferences_tab);
    resultFlags = 0; // filling moved the marked combos; that is no change
    setValidators();
}

Preferences::~Preferences()
{
    delete ui;
}

void Preferences::fillForm()
{
    const PreferenceEntries entries = entriesInForce();
    const std::vector<PreferenceField>& fields = preferenceFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const PreferenceField& field = fields[i];
        const PreferenceEntry& entry = entries[i];
        const QString name = QString::fromLatin1(field.widget);
        if (field.kind == Kind::Choice) {
            findChild<QComboBox*>(name)->setCurrentIndex(entry.index);
        } else if (field.kind == Kind::Check) {
            findChild<QCheckBox*>(name)->setChecked(entry.checked);
        } else {
            findChild<QLineEdit*>(name)->setText(entry.text);
            if (field.unitWidget)
                findChild<QComboBox*>(QString::fromLatin1(field.unitWidget))->setCurrentIndex(entry.unit);
        }
    }
    // The lock cannot be undone here: only by editing the preferences file.
    if (LOCK_BABYMODE) {
        ui->check_LOCK_BABYMODE->setEnabled(false);
        ui->check_BabyMode->setChecked(true);
        ui->check_BabyMode->setEnabled(false);
    }
    filled = readForm();
}

void Preferences::setValidators()
{
    // The number fields' validators: what save parses (the C locale), with a typed ","
    // left for save to refuse; no range: save checks the limits and names the field it
    // refuses.
    for (const PreferenceField& field : preferenceFields()) {
        QLineEdit* edit = findChild<QLineEdit*>(QString::fromLatin1(field.widget));
        QValidator* validator = nullptr;
        if (field.kind == Kind::Integer || field.kind == Kind::WholeNumber)
            validator = wholeNumberFieldValidator(edit);
        else if (field.kind == Kind::Real || field.kind == Kind::Pressure || field.kind == Kind::Logarithm)
            validator = numberFieldValidator(edit);
        if (validator)
            edit->setValidator(validator);
    }
}

PreferenceEntries Preferences::readForm() const
{
    PreferenceEntries entries;
    for (const PreferenceField& field : preferenceFields()) {
        const QString name = QString::fromLatin1(field.widget);
        PreferenceEntry entry;
        if (field.kind == Kind::Choice) {
            entry.index = findChild<QComboBox*>(name)->currentIndex();
        } else if (field.kind == Kind::Check) {
            entry.checked = findChild<QCheckBox*>(name)->isChecked();
        } else if (isLineEdit(field.kind)) {
            entry.text = findChild<QLineEdit*>(name)->text();
            if (field.unitWidget)
                entry.unit = findChild<QComboBox*>(QString::fromLatin1(field.unitWidget))->currentIndex();
        }
        entries.push_back(entry);
    }
    return entries;
}

void Preferences::showRefusal(const PreferenceRefusal& refusal)
{
    MessageRequest request;
    request.icon = Msg::Critical;
    request.text = refusal.text;
    request.informativeText = refusal.informativeText;
    showMessage(this, request);
}

void Preferences::save()
{
    if (const auto refusal = savePreferences(readForm(), filled)) {
        showRefusal(*refusal); // the dialog stays open on the page the user is on
        return;
    }
    done(resultFlags);
}

void Preferences::discard()
{
    done(0);
}

void Preferences::restore_default()
{
    const Reported<std::optional<PreferenceRefusal>> reset = resetPreferences();
    if (reset.value) {
        showRefusal(*reset.value);
        return;
    }
    // The values are reset even when the file could not be read or written: its boxes,
    // then the dialog ends.
    showViewMessages(this, reset.messages);
    done(preferences_result::Reset);
}

void Preferences::specialChange()
{
    if (const QObject* combo = sender())
        resultFlags |= resultBitsOfChange(combo->objectName().toStdString());
}

void Preferences::lock()
{
    if (showMessage(this, babyModeLockQuestion()).button != Msg::Yes) {
        ui->check_LOCK_BABYMODE->setChecked(false);
        return;
    }
    ui->check_BabyMode->setChecked(true);
    ui->check_BabyMode->setEnabled(false);
    ui->check_LOCK_BABYMODE->setEnabled(false);
    resultFlags |= preferences_result::BabyModeLocked;
    save();
}

void Preferences::change_export_file()
{
    const QString folder = QFileDialog::getExistingDirectory(
            this, QString::fromUtf8(exportFolderCaption), QString::fromStdString(PATH_EXPORT),
            QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!folder.isEmpty())
        ui->line_PATH_EXPORT->setText(folder);
}
