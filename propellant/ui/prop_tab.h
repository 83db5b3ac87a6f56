#pragma once
// The propellant tab: reactant rows with their relative masses, the solid-propellant data
// (density and Vieille's burn-law intervals), the name, the c* graph and the buttons that
// open the chemical databases. The tab keeps the process-wide compatibility lists for the
// database browser it opens (it hands itself to the browser as their owner). Its model
// (propellant/propellant_model.h) checks, computes and stores; the tab reads its fields,
// calls the model and writes fields, plots and globals.
#include <functional>

#include <QPointer>
#include <QWidget>
#include <qcustomplot.h>

#include "databases/compatible_lists.h"
#include "databases/ui/prop_aux_data.h"
#include "propellant/propellant_model.h"

class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class QSpacerItem;
class Ui_PropTab;

class PropTab : public QWidget, public CompatibleListsUpdater {
    Q_OBJECT

public:
    explicit PropTab(QWidget* parent = nullptr);
    ~PropTab() override;

    // Refills sel_react with the keys of Reactants.json (missing: F02, unparsable: F18,
    // an empty list; unopenable: reported, the list kept).
    void updateReactantList();
    // Removes every reactant row without asking.
    void removeAllReactants();
    bool checkSolidData();
    bool checkComposition();
    // CompatibleListsUpdater: the lists of the rows shown (boxes children of the tab).
    void updateCompatibleSpecies() override;
    bool updateCompatibleReactions(bool check) override;
    // Rebuilds the tab's own mixture from the rows and the selected compatible species.
    bool buildMixture();
    // Recolours the c* plot and its read-out for the night (or day) look.
    void NightMode(bool on);

    // What the tab shows, for the main window and the tests.
    int reactantRowCount() const { return static_cast<int>(reactantLabels.size()); }
    QLabel* reactantLabel(int row) const { return reactantLabels.at(static_cast<std::size_t>(row)); }
    QLineEdit* relativeMassField(int row) const { return relativeMassFields.at(static_cast<std::size_t>(row)); }
    QPushButton* removeButton(int row) const { return removeButtons.at(static_cast<std::size_t>(row)); }
    int intervalRowCount() const { return static_cast<int>(lowerFields.size()); }
    QLineEdit* lowerField(int row) const { return lowerFields.at(static_cast<std::size_t>(row)); }
    QLineEdit* upperField(int row) const { return upperFields.at(static_cast<std::size_t>(row)); }
    QLineEdit* coefficientField(int row) const { return coefficientFields.at(static_cast<std::size_t>(row)); }
    QLineEdit* exponentField(int row) const { return exponentFields.at(static_cast<std::size_t>(row)); }
    QPushButton* optimiseButton() const { return optimise; }
    const PropellantModel& model() const { return propellant; }
    // The database browser while it is open (null otherwise).
    PropAuxData* openBrowser() const { return browser; }
    // The click read-out while one is shown (null otherwise).
    QCPItemText* readout() const { return readoutLabel; }

    // The dialogs of the export: the export choice (its bit mask) and the file question.
    // The tab uses the real dialogs; tests replace them.
    struct ExportDialogs {
        std::function<int(QWidget* parent)> chooseExport;
        std::function<QString(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)>
                saveFileName;
    };
    void setExportDialogs(ExportDialogs dialogs) { exportDialogs = std::move(dialogs); }

signals:
    void StatusMessage(QString text, int time = 0);
    void FlagsUpdated(bool popup_err, bool popup_warn);

public slots:
    bool save_prop();
    void load_prop();
    void del_prop();
    void add_reactant(QString name, bool check = true);
    void rem_reactant(int r = -1);
    void reacDatabase();
    void specieDatabase();
    void KineticsDatabase();
    void AddInterval();
    void RemInterval();
    void display();
    void clear_graph();
    void onGraphSelect(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event);
    void OptComp();
    void exportar();
    void BabyMode(bool is);
    void hideSolid(bool tog);

private:
    std::vector<ReactantRowText> reactantRows() const;
    std::vector<std::string> reactantNames() const;
    SolidDataForm solidDataForm() const;
    // Enables a field inside PropDataBox: at once when the box is checked, otherwise
    // when the user checks it. Disabled fields stay disabled when the box is checked.
    void setDataFieldEnabled(QWidget* field, bool enabled);
    void placeOptimiseButton();
    void takeOptimiseButton();
    void runBrowser(int mode);
    // Graph over rows 0 to 5 of the right column, or over 0 to 2 with the data below.
    void graphOverWholeColumn();
    void graphAboveData();
    // The start of both c* tools: the tab's mixture rebuilt, and false (reported) when its
    // construction or a unit conversion failed.
    bool startCStarTool();
    // "Critical errors occured during calculations", then the flag menus.
    void reportCriticalErrors();
    // A new curve of c* over pressures or ratios, named, coloured, on a plot that holds
    // only curves of its kind.
    void addCurve(const std::vector<double>& keys, const std::vector<double>& values, bool ratioCurve);
    // The export's CSV text for the chosen bits, from the values the save just checked.
    std::string csvText(uint32_t mask) const;
    void removeReadout();
    void styleReadout();

    Ui_PropTab* ui;
    std::vector<QLineEdit*> lowerFields;
    std::vector<QLineEdit*> upperFields;
    std::vector<QLineEdit*> coefficientFields;
    std::vector<QLineEdit*> exponentFields;
    QSpacerItem* dataSpacer;
    QSpacerItem* compositionSpacer;
    std::vector<QLabel*> reactantLabels;
    std::vector<QLineEdit*> relativeMassFields;
    std::vector<QPushButton*> removeButtons;
    PropellantModel propellant; // the checked values and the tab's mixture
    QPushButton* optimise;
    QPointer<QCPItemText> readoutLabel;
    QPointer<QCPItemLine> readoutArrow;
    QPointer<PropAuxData> browser;
    ExportDialogs exportDialogs;
};
