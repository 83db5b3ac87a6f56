#include "databases/ui/prop_aux_data.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QTimer>

#include "core/message_box.h"
#include "core/preferences.h"
#include "core/ui/wait_cursor.h"
#include "databases/compatible_lists.h"
#include "databases/database_files.h"
#include "databases/import_common.h"
#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "databases/ui/prop_aux_add_k.h"
#include "databases/ui/prop_aux_add_sp.h"
#include "ui_propauxdata.h"

namespace {

BrowserMode browserModeOf(int mode)
{
    switch (mode) {
    case 0: return BrowserMode::Reactions;
    case 2: return BrowserMode::Reactants;
    default: return BrowserMode::Species;
    }
}

ChemicalDatabase databaseOf(BrowserMode mode)
{
    switch (mode) {
    case BrowserMode::Reactions: return ChemicalDatabase::Kinetics;
    case BrowserMode::Reactants: return ChemicalDatabase::Reactants;
    case BrowserMode::Species: break;
    }
    return ChemicalDatabase::Species;
}

// The status show_all() returns when the file of the mode cannot be opened.
uint8_t cannotOpenStatus(BrowserMode mode)
{
    switch (mode) {
    case BrowserMode::Reactions: return 1;
    case BrowserMode::Species: return 2;
    case BrowserMode::Reactants: return 3;
    }
    return 2;
}

QString word(ChemicalDatabase db)
{
    return QString::fromStdString(databaseWord(db));
}

// A list caption shows the name as it is: '&' would otherwise mark a shortcut.
QString captionOf(const std::string& name)
{
    return QString::fromStdString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool isActiveEntry(const nlohmann::json& document, const std::string& name)
{
    auto it = document.find(name);
    if (it == document.end() || !it->is_object())
        return false;
    auto active = it->find("isActive");
    return active != it->end() && active->is_boolean() && active->get<bool>();
}

} // namespace

PropAuxData::PropAuxData(int mode, QWidget* parent, CompatibleListsUpdater* lists)
    // Everything search() reads is set here: the form calls it while it is being built.
    : QDialog(parent), ui(new Ui::PropAuxData), lists(lists), mode(browserModeOf(mode)), allSelected(true),
      notShowAgain(false), answerRemembered(true), reactionEditor(nullptr), speciesEditor(nullptr),
      spacer(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding))
{
    ui->setupUi(this);
    ui->scroll_lay->addItem(spacer);

    {
        // The filter items change while none is chosen; nothing to search for yet.
        const QSignalBlocker blocker(ui->combo_search);
        switch (this->mode) {
        case BrowserMode::Reactants:
            ui->But_sel->hide();
            ui->check_all->hide();
            ui->But_save->setText(QStringLiteral("Exit"));
            ui->combo_search->removeItem(2);
            break;
        case BrowserMode::Reactions:
            ui->check_all->setText(QStringLiteral("show only reactions compatible with reactants"));
            ui->check_all->setChecked(ONLY_COMPATIBLE);
            ui->combo_search->removeItem(2);
            ui->combo_search->setItemText(2, QStringLiteral("Liquids present"));
            ui->combo_search->setItemText(3, QStringLiteral("Solids present"));
            break;
        case BrowserMode::Species:
            ui->combo_search->addItem(QStringLiteral("With transport properties"));
            ui->check_all->setChecked(ONLY_COMPATIBLE);
            break;
        }
    }

    const uint8_t status = show_all();
    if (status != 0) {
        static const char* const files[] = {"", "Kinetics", "Species", "Reactants"};
        showCritical(this,
                     QString::fromLatin1(files[status])
                             + QStringLiteral(" File could not be opened, it could be because it is opened by a "
                                              "different software or it has restricted acccess"));
        QTimer::singleShot(500, this, &QDialog::close);
    } else if (this->mode != BrowserMode::Reactants) {
        onCheck();
    }
}

PropAuxData::~PropAuxData()
{
    delete ui;
}

uint8_t PropAuxData::show_all()
{
    const WaitCursor wait;
    {
        const QSignalBlocker blocker(this);
        for (QCheckBox* box : checkBoxes) {
            ui->scroll_lay->removeWidget(box);
            box->hide();
            box->deleteLater();
        }
        for (QRadioButton* button : radioButtons) {
            ui->scroll_lay->removeWidget(button);
            button->hide();
            button->deleteLater();
        }
        checkBoxes.clear();
        radioButtons.clear();
        names.clear();

        const DatabaseDocument doc = readDatabase(databaseOf(mode));
        if (doc.status == JsonReadStatus::CannotOpen)
            return cannotOpenStatus(mode);

        const std::vector<std::string>& compatibleList
                = mode == BrowserMode::Reactions ? compatibleReactions : compatibleSpecies;
        const std::unordered_set<std::string> compatible(compatibleList.begin(), compatibleList.end());
        const bool onlyCompatible = ui->check_all->isChecked();

        for (auto it = doc.document.begin(); it != doc.document.end(); ++it) {
            const std::string& name = it.key();
            QWidget* button = nullptr;
            if (mode == BrowserMode::Reactants) {
                auto* radio = new QRadioButton(captionOf(name), ui->DataContents);
                radioButtons.push_back(radio);
                button = radio;
            } else {
                const bool isCompatible = compatible.count(name) != 0;
                if (!isCompatible && onlyCompatible)
                    continue;
                auto* box = new QCheckBox(captionOf(name), ui->DataContents);
                box->setChecked(isActiveEntry(doc.document, name));
                if (isCompatible)
                    connect(box, &QCheckBox::stateChanged, this, &PropAuxData::onCheck);
                else
                    box->setEnabled(!DISABLE_INCOMPATIBLE);
                checkBoxes.push_back(box);
                button = box;
            }
            names.push_back(name);
            ui->scroll_lay->insertWidget(ui->scroll_lay->count() - 1, button);
        }
    }
    search();
    return 0;
}

void PropAuxData::search()
{
    nlohmann::json species = nlohmann::json::object();
    if (mode == BrowserMode::Reactions) {
        DatabaseDocument doc = readDatabase(ChemicalDatabase::Species);
        if (doc.status == JsonReadStatus::CannotOpen) {
            showCritical(this,
                         QStringLiteral("Search aborted because species file could not be opened, close it "
                                        "or change its accesibility restrictions"));
            return;
        }
        species = std::move(doc.document);
    }
    const ChemicalDatabase db = databaseOf(mode);
    const DatabaseDocument doc = readDatabase(db);
    if (doc.status == JsonReadStatus::CannotOpen) {
        showCritical(this,
                     QStringLiteral("Search aborted because ") + word(db)
                             + QStringLiteral(" file could not be opened, close it or change its accesibility "
                                              "restrictions"));
        return;
    }
    if (doc.document.empty() || (mode == BrowserMode::Reactions && species.empty()))
        return;

    const std::string text = ui->line_search->text().toStdString();
    const BrowserFilter filter = browserFilterAt(mode, ui->combo_search->currentIndex());
    static const nlohmann::json none;
    for (std::size_t i = 0; i < names.size(); ++i) {
        QWidget* button = mode == BrowserMode::Reactants ? static_cast<QWidget*>(radioButtons[i])
                                                         : static_cast<QWidget*>(checkBoxes[i]);
        auto entry = doc.document.find(names[i]);
        const bool shown = browserNameMatches(names[i], text)
                && browserEntryPasses(mode, filter, entry == doc.document.end() ? none : *entry, species);
        button->setHidden(!shown);
    }
    if (mode != BrowserMode::Reactants)
        onCheck();
}

void PropAuxData::onCheck()
{
    if (mode == BrowserMode::Reactants)
        return;
    // Shown on screen: before the dialog is first shown no box counts, so "Edit" starts
    // disabled until the user changes a box, the search or the filter.
    const auto count = std::count_if(checkBoxes.begin(), checkBoxes.end(),
                                     [](const QCheckBox* box) { return box->isChecked() && box->isVisible(); });
    ui->but_edit->setEnabled(count == 1);
}

void PropAuxData::select()
{
    if (checkBoxes.empty())
        return;
    const bool check = !allSelected;
    for (QCheckBox* box : checkBoxes)
        if (!box->isHidden())
            box->setChecked(check);
    allSelected = check;
    ui->But_sel->setText(check ? QStringLiteral("Deselect all") : QStringLiteral("Select all"));
}

void PropAuxData::save()
{
    if (mode == BrowserMode::Reactants) {
        done(1);
        return;
    }
    const ChemicalDatabase db = databaseOf(mode);
    DatabaseDocument doc = readDatabase(db);
    if (doc.status == JsonReadStatus::CannotOpen) {
        showCritical(this,
                     QStringLiteral("Save aborted because ") + word(db)
                             + QStringLiteral(" file could not be opened, close it or change its accesibility "
                                              "restrictions"));
        return;
    }
    if (doc.status == JsonReadStatus::Unparsable) {
        showCritical(this, QString::fromStdString(corruptDatabaseMessage(db, "Save", doc.path)));
        return;
    }
    // Only entries that exist take the new state: a name that vanished from the file
    // must not come back as an entry holding nothing but "isActive".
    bool changed = false;
    for (std::size_t i = 0; i < checkBoxes.size(); ++i) {
        auto entry = doc.document.find(names[i]);
        if (entry == doc.document.end() || !entry->is_object() || entry->empty())
            continue;
        (*entry)["isActive"] = checkBoxes[i]->isChecked();
        changed = true;
    }
    if (changed) {
        std::string error;
        if (!writeDatabase(doc, &error)) {
            showCritical(this, QString::fromStdString(writeFailedMessage(db, doc.path, error)));
            return;
        }
    }
    done(1);
}

void PropAuxData::del()
{
    const ChemicalDatabase db = databaseOf(mode);
    DatabaseDocument doc = readDatabase(db);
    if (doc.status == JsonReadStatus::CannotOpen) {
        const QString text = mode == BrowserMode::Reactants
                ? QStringLiteral("Cannot delete items because reactants file could not be opened, close it or change "
                                 "its accesibility restrictions")
                : QStringLiteral("Cannot delete items aborted because ") + word(db)
                        + QStringLiteral(" file could not be opened, close it or change its accesibility restrictions");
        showCritical(this, text);
        return;
    }
    if (doc.status == JsonReadStatus::Unparsable) {
        showCritical(this, QString::fromStdString(corruptDatabaseMessage(db, "Delete", doc.path)));
        return;
    }

    std::vector<std::string> marked;
    if (mode == BrowserMode::Reactants) {
        const auto checked = std::find_if(radioButtons.begin(), radioButtons.end(),
                                          [](const QRadioButton* b) { return b->isChecked(); });
        if (checked != radioButtons.end()) {
            const std::string& name = names[static_cast<std::size_t>(checked - radioButtons.begin())];
            MessageRequest question;
            question.icon = Msg::Question;
            question.text = QStringLiteral("Are you sure you want to delete this item?");
            question.informativeText = QString::fromStdString(name);
            question.buttons = Msg::Yes | Msg::Cancel;
            question.defaultButton = Msg::Yes;
            if (showMessage(this, question).button != Msg::Yes)
                return;
            marked.push_back(name);
        }
    } else {
        for (std::size_t i = 0; i < checkBoxes.size(); ++i)
            if (checkBoxes[i]->isChecked())
                marked.push_back(names[i]);
        if (!askQuestion(this, QStringLiteral("Are you sure you want to delete all selected items?"), Msg::Question,
                         Msg::Yes | Msg::Cancel, Msg::Yes))
            return;
    }

    bool changed = false;
    for (const std::string& name : marked)
        changed = doc.document.erase(name) != 0 || changed;
    if (changed) {
        std::string error;
        if (!writeDatabase(doc, &error))
            showCritical(this, QString::fromStdString(writeFailedMessage(db, doc.path, error)));
    }
    show_all();
}

void PropAuxData::add()
{
    QDialog* editor = nullptr;
    if (mode == BrowserMode::Reactions) {
        reactionEditor = new PropAuxAddK(this);
        editor = reactionEditor;
    } else {
        speciesEditor = new PropAuxAddSP(
                mode == BrowserMode::Species ? SpeciesEditorMode::Species : SpeciesEditorMode::Reactant, this);
        editor = speciesEditor;
    }
    if (editor->exec() != QDialog::Accepted)
        return;
    rebuildCompatibleLists();
    show_all();
}

int PropAuxData::entryToEdit() const
{
    if (mode == BrowserMode::Reactants) {
        for (std::size_t i = 0; i < radioButtons.size(); ++i)
            if (radioButtons[i]->isChecked())
                return static_cast<int>(i);
        return -1;
    }
    for (std::size_t i = 0; i < checkBoxes.size(); ++i)
        if (checkBoxes[i]->isChecked() && !checkBoxes[i]->isHidden())
            return static_cast<int>(i);
    return -1;
}

void PropAuxData::edit()
{
    const int index = entryToEdit();
    if (index < 0)
        return;
    const std::string name = names[static_cast<std::size_t>(index)];
    QDialog* editor = nullptr;
    if (mode == BrowserMode::Reactions) {
        reactionEditor = new PropAuxAddK(this);
        reactionEditor->load(name);
        editor = reactionEditor;
    } else {
        speciesEditor = new PropAuxAddSP(
                mode == BrowserMode::Species ? SpeciesEditorMode::Species : SpeciesEditorMode::Reactant, this);
        speciesEditor->load(name);
        editor = speciesEditor;
    }
    if (editor->exec() != QDialog::Accepted)
        return;
    // A reactant's content does not change which species and reactions are compatible
    // until the propellant tab next rebuilds from its reactant rows.
    if (mode != BrowserMode::Reactants)
        rebuildCompatibleLists();
    show_all();
}

void PropAuxData::from_file()
{
    notShowAgain = false;
    if (mode == BrowserMode::Reactions)
        importMechanism();
    else
        importSubstanceData();
}

namespace {

// The file the user picks, starting in the program's folder; empty when the dialog was
// cancelled, or when the name does not exist (after saying so).
QString chooseExistingFile(QWidget* parent, const QString& caption, const QString& filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, caption, QString::fromStdString(appDirectory), filter);
    if (path.isEmpty())
        return {};
    if (!QFileInfo::exists(path)) {
        showCritical(parent, QString::fromUtf8(kFileDoesNotExist));
        return {};
    }
    return path;
}

const QString kTransportCaption = QStringLiteral("KAVRO - Open transport properties file");
const QString kTransportFilter = QStringLiteral("transport files (*.inp)");

} // namespace

void PropAuxData::finishImport(bool ok, const std::string& detail)
{
    if (ok) {
        rebuildCompatibleLists();
        show_all();
        showInformation(this, QString::fromUtf8(kSuccessfullyRead));
    } else {
        showCritical(this, QString::fromUtf8(kErrorReadingFile), QString::fromStdString(detail));
    }
}

void PropAuxData::importMechanism()
{
    const QString path = chooseExistingFile(this, QStringLiteral("KAVRO - Open kinetics file"),
                                            QStringLiteral("ChemKin files (*.MECH *.mech) ;; Cantera files (*.cti)"));
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == QLatin1String("cti")) {
        finishImport(false, kCanteraNotSupported);
        return;
    }
    if (suffix != QLatin1String("MECH") && suffix != QLatin1String("mech")) {
        finishImport(false, {});
        return;
    }
    std::optional<WaitCursor> wait(std::in_place);
    ImportCallbacks callbacks = messageBoxImportCallbacks(this);
    const ImportOutcome outcome = importMechanismFile(path.toStdString(), callbacks);
    wait.reset();
    finishImport(outcome.ok, outcome.detail);
}

void PropAuxData::importSubstanceData()
{
    const ChemicalDatabase db = databaseOf(mode);
    // The overwrite questions of the readers keep the browser's memory of the answer.
    ImportCallbacks callbacks = messageBoxImportCallbacks(this);
    callbacks.askOverwrite = [this, ask = callbacks.askOverwrite](const std::string& question) {
        const OverwriteReply reply = ask(question);
        not_show_check(reply.doNotShowAgain ? Qt::Checked : Qt::Unchecked);
        answerRemembered = reply.answer == OverwriteAnswer::Cancel;
        return reply;
    };

    // "Thermo" or "Transport"; closing the box chooses neither.
    enum { Thermo = 0, Transport = 1 };
    MessageRequest kind;
    kind.icon = Msg::Question;
    kind.text = QStringLiteral("Do you want to read thermo or transport data");
    kind.buttons = Msg::NoButton;
    kind.customButtons = {QStringLiteral("Thermo"), QStringLiteral("Transport")};
    kind.defaultCustomButton = Thermo;
    const int choice = showMessage(this, kind).customButton;
    if (choice != Thermo && choice != Transport)
        return;
    const bool readThermo = choice == Thermo;

    const QString path = readThermo
            ? chooseExistingFile(this, QStringLiteral("KAVRO - Open thermodynamic properties file"),
                                 QStringLiteral("Thermo files (*.inp)"))
            : chooseExistingFile(this, kTransportCaption, kTransportFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix() != QLatin1String("inp")) {
        finishImport(false, {});
        return;
    }

    std::optional<WaitCursor> wait(std::in_place);
    if (!readThermo) {
        const ImportOutcome outcome = importTransportFile(path.toStdString(), db, callbacks);
        wait.reset();
        finishImport(outcome.ok, outcome.detail);
        return;
    }
    const ImportOutcome thermoOutcome = importThermoFile(path.toStdString(), db, callbacks);
    if (!thermoOutcome.ok) {
        wait.reset();
        finishImport(false, thermoOutcome.detail);
        return;
    }
    show_all();
    wait.reset();

    MessageRequest more;
    more.icon = Msg::Question;
    more.text = QStringLiteral("Successful read. Do you want to add transport properties data?");
    more.informativeText = QStringLiteral("Note that the species names must be the same in both files");
    more.buttons = Msg::Yes | Msg::No;
    more.defaultButton = Msg::Yes;
    if (showMessage(this, more).button != Msg::Yes)
        return;
    const QString transportPath = chooseExistingFile(this, kTransportCaption, kTransportFilter);
    if (transportPath.isEmpty())
        return;
    notShowAgain = false;
    wait.emplace();
    ImportOutcome transportOutcome;
    if (QFileInfo(transportPath).suffix() == QLatin1String("inp"))
        transportOutcome = importTransportFile(transportPath.toStdString(), db, callbacks);
    wait.reset();
    if (transportOutcome.ok) {
        finishImport(true, {});
        return;
    }
    // The thermodynamic data are stored whatever became of the transport data: the
    // lists must follow them, and the user must not be told that nothing was read.
    rebuildCompatibleLists();
    show_all();
    std::string detail = kThermoStoredTransportNotRead;
    if (!transportOutcome.detail.empty())
        detail += "\n" + transportOutcome.detail;
    showCritical(this, QString::fromUtf8(kErrorReadingFile), QString::fromStdString(detail));
}

void PropAuxData::exit()
{ }

void PropAuxData::not_show_check(int state)
{
    notShowAgain = state != 0;
}

void PropAuxData::rebuildCompatibleLists()
{
    showViewMessages(this, ::rebuildCompatibleLists(lists));
}
