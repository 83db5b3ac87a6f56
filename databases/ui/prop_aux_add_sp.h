#pragma once
// The species and reactant editor: creates one entry of Species.json or Reactants.json,
// or edits a stored one. The dialog builds its own interval grids (heat capacity,
// viscosity, conductivity); the field rules are the pure checks of composition.h.
// Result: 1 after a successful save, 0 otherwise.
#include <string>
#include <vector>

#include <QDialog>

#include "databases/database_files.h"
#include "databases/species_entry.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QSpacerItem;
class QGridLayout;
struct CpIntervalTexts;
struct TransportIntervalTexts;
enum class TransportProperty;

namespace Ui {
class PropAuxAddSP;
}

// The editor's modes. The database browser numbers its own lists differently, so the
// editor takes this enum and never a bare number.
enum class SpeciesEditorMode : int { Species = 0, Reactant = 1 };

class PropAuxAddSP : public QDialog {
    Q_OBJECT

public:
    explicit PropAuxAddSP(SpeciesEditorMode mode, QWidget* parent = nullptr);
    ~PropAuxAddSP() override;

    // Fills the fields from the stored entry of that name (edit mode). Missing or
    // malformed parts of the entry leave their fields empty.
    void load(std::string name);

    SpeciesEditorMode mode() const { return reactantMode ? SpeciesEditorMode::Reactant : SpeciesEditorMode::Species; }
    ChemicalDatabase database() const { return reactantMode ? ChemicalDatabase::Reactants : ChemicalDatabase::Species; }

    // Sizes of the grids (for callers and tests).
    int cpIntervalCount() const { return static_cast<int>(tminFields.size()); }
    int cpTermCount() const
    {
        return coefficientFields.empty() ? 0 : static_cast<int>(coefficientFields.front().size());
    }
    int viscosityRowCount() const { return static_cast<int>(viscRangeFields.size()); }
    int conductivityRowCount() const { return static_cast<int>(condRangeFields.size()); }

public slots:
    void save();
    void exit();
    void add_interval();
    void rem_interval();
    void add_term();
    void rem_term();
    void cp_active(bool check);
    void add_visc_int();
    void rem_visc_int();
    void visc_active(bool check);
    void add_cond_int();
    void rem_cond_int();
    void cond_active(bool check);

private:
    struct TransportGrid {
        std::vector<std::pair<QLineEdit*, QLineEdit*>>* ranges;
        std::vector<QLineEdit*>* coefs[4];
        QGridLayout* layout;
        const char* prefix;
    };

    bool parseComposition();
    bool checkCp();
    bool checkViscosity();
    bool checkConductivity();
    bool checkTransport(const QGroupBox* box, const TransportGrid& grid, TransportProperty property,
                        std::vector<TransportInterval>& intervals);
    bool cpDataOff() const; // reactant mode with the "Cp formulation" box unchecked

    QLineEdit* newField(QWidget* box, const QString& objectName);
    QLabel* newCaption(QWidget* box, const QString& text);
    void addTransportRow(const TransportGrid& grid, QWidget* box);
    void removeTransportRow(const TransportGrid& grid);
    std::vector<TransportIntervalTexts> transportTexts(const TransportGrid& grid) const;
    void placeSpacer();
    TransportGrid viscosityGrid();
    TransportGrid conductivityGrid();

    Ui::PropAuxAddSP* form;
    bool reactantMode;
    QLineEdit* temperatureField = nullptr;
    QLabel* temperatureCaption = nullptr;
    std::vector<QLineEdit*> tminFields;
    std::vector<QLineEdit*> tmaxFields;
    std::vector<std::pair<QLineEdit*, QLineEdit*>> constantFields;
    std::vector<std::vector<QLineEdit*>> exponentFields;
    std::vector<std::vector<QLineEdit*>> coefficientFields;
    std::vector<std::vector<QLabel*>> intervalCaptions;
    QSpacerItem* spacer;
    std::vector<std::pair<QLineEdit*, QLineEdit*>> viscRangeFields;
    std::vector<std::pair<QLineEdit*, QLineEdit*>> condRangeFields;
    std::vector<QLineEdit*> viscA, viscB, viscC, viscD;
    std::vector<QLineEdit*> condA, condB, condC, condD;

    // Results of the checks of the last save.
    std::vector<CompositionPair> composition;
    std::vector<CpInterval> cpIntervals;
    std::vector<TransportInterval> viscosityIntervals;
    std::vector<TransportInterval> conductivityIntervals;
};
