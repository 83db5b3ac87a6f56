#pragma once
// The database browser: lists the entries of Kinetics.json, Species.json or
// Reactants.json, filters and searches them, lets the user choose which species and
// reactions take part in calculations ("Load selected") and adds, edits and deletes
// entries through the editors. After an accepted change it asks the owner of the
// compatibility lists (its parent, normally the propellant tab) to rebuild them.
#include <cstdint>
#include <string>
#include <vector>

#include <QDialog>

#include "databases/browser_filter.h"

class CompatibleListsUpdater;
class QCheckBox;
class QRadioButton;
class QSpacerItem;
class PropAuxAddK;
class PropAuxAddSP;
namespace Ui {
class PropAuxData;
}

class PropAuxData : public QDialog {
    Q_OBJECT

public:
    // `mode`: 0 reactions, 1 species, 2 reactants (see BrowserMode); any other value
    // browses the species. `lists` is the owner of the compatibility lists (the
    // propellant tab), asked to rebuild them after each change; null: a stand-in
    // without reactant rows.
    PropAuxData(int mode, QWidget* parent = nullptr, CompatibleListsUpdater* lists = nullptr);
    ~PropAuxData() override;

    BrowserMode browserMode() const { return mode; }

    // The memory of the imports' overwrite questions: while "Do not show again" is set,
    // the remembered answer (true = keep the stored item) is repeated without asking.
    bool doNotShowAgain() const { return notShowAgain; }
    void setDoNotShowAgain(bool value) { notShowAgain = value; }
    bool rememberedAnswer() const { return answerRemembered; }
    void setRememberedAnswer(bool value) { answerRemembered = value; }

public slots:
    void add();
    void from_file();
    void edit();
    void del();
    void search();
    void select();
    void save();
    void exit();
    // Rebuilds the list from the file. 0 when built; 1, 2 or 3 when the kinetics,
    // species or reactants file exists but could not be opened (the list is then empty).
    uint8_t show_all();
    void onCheck();
    void not_show_check(int state);

private:
    // Asks the owner of the compatibility lists to rebuild them, species first.
    void rebuildCompatibleLists();
    // Index of the list entry the editors act on, or -1.
    int entryToEdit() const;
    // "Add from file": mechanism files in reaction mode, thermodynamic or transport data
    // files in the two other modes.
    void importMechanism();
    void importSubstanceData();
    // The end of an import: on success the lists are rebuilt and "Successfully read"
    // shown, otherwise "Error reading file" with `detail` as informative text.
    void finishImport(bool ok, const std::string& detail);

    Ui::PropAuxData* ui;
    CompatibleListsUpdater* lists;
    BrowserMode mode;
    std::vector<std::string> names;
    bool allSelected;
    bool notShowAgain;
    bool answerRemembered;
    PropAuxAddK* reactionEditor;
    PropAuxAddSP* speciesEditor;
    std::vector<QRadioButton*> radioButtons;
    std::vector<QCheckBox*> checkBoxes;
    QSpacerItem* spacer;
};
