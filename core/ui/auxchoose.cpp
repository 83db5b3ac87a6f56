#include "core/ui/auxchoose.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSpacerItem>

#include "core/item_choice.h"
#include "core/message_box.h"
#include "ui_auxchoose.h"

std::vector<int> auxChooseChecked;

AuxChoose::AuxChoose(int mode, QWidget* parent) : QDialog(parent), ui(new Ui::AuxChoose), mode(mode)
{
    ui->setupUi(this);
    // The spacer stays the last entry of the list so the items gather at the top.
    spacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui->scroll_layout->addItem(spacer);
    auxChooseChecked.clear();
    if (mode != 0) {
        ui->but_select->setText(QStringLiteral("Delete"));
        setWindowTitle(QStringLiteral("KAVRO - Deletion window"));
    }
}

AuxChoose::~AuxChoose()
{
    // The buttons, boxes and the spacer belong to the list's layout and widget tree.
    delete ui;
}

void AuxChoose::appendToList(QWidget* item, bool disabled)
{
    ui->scroll_layout->removeItem(spacer);
    ui->scroll_layout->addWidget(item);
    ui->scroll_layout->addItem(spacer);
    if (disabled)
        item->setEnabled(false);
}

bool AuxChoose::addRadio(const std::string& text, bool disabled)
{
    auto* button = new QRadioButton(QString::fromStdString(text), ui->scroll_contents);
    radioButtons.push_back(button);
    appendToList(button, disabled);
    return true;
}

bool AuxChoose::addCheck(const std::string& text, bool disabled)
{
    auto* box = new QCheckBox(QString::fromStdString(text), ui->scroll_contents);
    checkBoxes.push_back(box);
    appendToList(box, disabled);
    return true;
}

void AuxChoose::cancel()
{
    done(-1);
}

bool AuxChoose::confirmDeletion(const QString& itemText)
{
    MessageRequest request;
    request.icon = Msg::Question;
    request.text = QStringLiteral("Are you sure you want to delete this item?");
    request.informativeText = itemText;
    request.buttons = Msg::Yes | Msg::Cancel;
    request.defaultButton = Msg::Yes;
    return showMessage(this, request).button == Msg::Yes;
}

void AuxChoose::select()
{
    // The list names what this press accepted: a second press (after a refused
    // confirmation left the dialog open) must not append the same boxes again.
    auxChooseChecked.clear();
    const bool deletion = mode != 0;
    for (size_t i = 0; i < checkBoxes.size(); ++i) {
        QCheckBox* box = checkBoxes[i];
        if (!box->isChecked())
            continue;
        if (deletion && !confirmDeletion(box->text()))
            continue;
        auxChooseChecked.push_back(static_cast<int>(i));
    }
    for (size_t i = 0; i < radioButtons.size(); ++i) {
        QRadioButton* button = radioButtons[i];
        if (!button->isChecked())
            continue;
        if (deletion && !confirmDeletion(button->text()))
            return; // the dialog stays open; the boxes confirmed above stay reported
        done(firstItemResult + static_cast<int>(i));
        return;
    }
    // Nothing chosen: the rejected code, which reaches cancel() and so the caller as -1.
    done(0);
}

int runItemChooser(QWidget* parent, int mode, const std::vector<std::string>& items)
{
    AuxChoose dialog(mode, parent);
    for (const std::string& item : items)
        dialog.addRadio(item, false);
    return dialog.exec();
}
