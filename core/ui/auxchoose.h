#pragma once
// The list dialog with which the tabs let the user pick a stored item to load or to
// delete (one radio button per item) or tick several entries (one check box each).
// The chosen radio button comes back as the dialog's result (core/item_choice.h maps it
// to the item); the ticked boxes come back in auxChooseChecked.
#include <string>
#include <vector>

#include <QDialog>

class QCheckBox;
class QRadioButton;
class QSpacerItem;

namespace Ui {
class AuxChoose;
}

// Positions, ascending, of the check boxes accepted by the last select() of an
// AuxChoose; emptied by every AuxChoose constructor and kept after the dialog is gone.
extern std::vector<int> auxChooseChecked;

class AuxChoose : public QDialog {
    Q_OBJECT

public:
    // mode 0: selection; any other value: deletion (every chosen item is confirmed).
    AuxChoose(int mode, QWidget* parent);
    ~AuxChoose() override;

    // Appends an item below the earlier ones; text is UTF-8. Always returns true.
    bool addRadio(const std::string& text, bool disabled);
    bool addCheck(const std::string& text, bool disabled);

public slots:
    void cancel();
    void select();

private:
    bool confirmDeletion(const QString& itemText);
    void appendToList(QWidget* item, bool disabled);

    Ui::AuxChoose* ui;
    int mode;
    std::vector<QRadioButton*> radioButtons;
    std::vector<QCheckBox*> checkBoxes;
    QSpacerItem* spacer;
};

// The stored-item chooser of the tabs: an AuxChoose in `mode` (itemChooser::select or
// itemChooser::remove) with one enabled radio button per item, in order, run modally.
// Returns the dialog's result, for chosenItem().
int runItemChooser(QWidget* parent, int mode, const std::vector<std::string>& items);
