#pragma once
// The calculation tab: a run configuration assembled on the form (propellant, nozzle,
// chamber pressure or grain, model, combustor, options), run on a worker thread, its
// finished runs summarised, plotted, tabulated, stored and exported. The tab's state
// (the results list, the mixture, the uniform temperature, the run in progress) and its
// checks live in calc::CalculationModel; the slots read the form, call the model and
// write the form, the plot and the table.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QWidget>

#include "calculations/calculation_model.h"
#include "core/export_flow.h"

class QAbstractButton;
class QComboBox;
class QCPAbstractPlottable;
class QCPGraph;
class QCPItemLine;
class QCPItemText;
class QCPItemTracer;
class QMouseEvent;
class QTableWidget;
class Ui_DataTab;

class DataTab : public QWidget {
    Q_OBJECT

public:
    // The dialogs the tab opens, replaceable so that a test can answer them.
    struct Dialogs {
        // The export choice (calculations mode): its bit mask, 0 for none.
        std::function<int(QWidget* parent)> exportChoice;
        // A save-file name, empty when cancelled.
        std::function<QString(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)>
                saveFileName;
        // One stored item (itemChooser::select or ::remove): the chooser's result, which
        // chosenItem maps to a name or none.
        std::function<int(QWidget* parent, int mode, const std::vector<std::string>& names)> chooseItem;
        // Species to plot (name, offered disabled); the ticked positions go to auxChooseChecked.
        std::function<void(QWidget* parent, const std::vector<std::pair<std::string, bool>>& species)> chooseSpecies;
    };

    explicit DataTab(QWidget* parent = nullptr, CalculationProviders providers = defaultProviders());
    ~DataTab() override;

    // Re-reads the propellant, nozzle and grain names into their lists, keeping each
    // selection by name while it is still listed.
    void refreshLists();
    // Puts the plot or the table in the results area as TYPE_RESULTS says.
    void switchResultsView();
    void NightMode(bool night);

    calc::CalculationModel& model() { return model_; }
    Dialogs dialogs;

signals:
    void StatusMessage(QString text, int time = 0);
    void FlagsUpdated(bool popup_err, bool popup_warn);

public slots:
    void SelectionChange(QAbstractButton* but);
    void ODChange(QAbstractButton* but);
    void FrozChange(bool ch);
    void ACChange(QAbstractButton* but);
    void OnSelProp(QString nam);
    void OnSelNozzle(QString nam);
    void OnSelGrain(QString nam);
    bool OnSelPres();
    void OnSelHomT(bool check);
    bool setHomT();
    void ConfSelChange(int i);
    void OnCheckHeatWall(bool check);
    void OnCheckTransport(bool check);
    void sliderModLine();
    bool lineModSlider();
    void calculate();
    void showAbortButton();
    void RunFinished();
    void clearCalc();
    void display();
    bool plot(bool first = false, short in_ = -1, short type_ = -1);
    void clearAll();
    void clearLast();
    void onGraphSelect(QCPAbstractPlottable* plottable, int dataIndex, QMouseEvent* event);
    void textOutput(bool first = false);
    bool save();
    void load();
    void del();
    void exportar();
    void BabyMode(bool is);
    void hideSolid(bool tog);

private:
    // Graphs on the plot with the markers that belong to them, in drawing order.
    struct DrawnGraph {
        QCPGraph* graph;
        std::vector<QCPItemTracer*> markers;
        bool timeGraph;
    };

    calc::TabForm readForm() const;
    calc::FormActions formActions();
    // The choices of OnSelNozzle and OnSelGrain; true when the loader's boxes were shown.
    bool chooseNozzle(const QString& nam);
    bool chooseGrain(const QString& nam);
    // In force: the table view (the plot's variable lists are disabled there).
    bool tableView() const;
    // The finished run behind item `item` of the selector, or null.
    std::shared_ptr<RocketVariables> selectedRun(int item) const;
    void writeSummary(const RocketVariables& run);
    // Places the slider on the station of the frozen-point text without a message.
    void placeSliderQuietly();
    // Draws variable `type` of the runs behind selector value `selector` (plot-view
    // numbering); `species` >= 0 draws that species whatever `type` says.
    void drawSelection(int selector, int type, int species);
    void removeMarkers(DrawnGraph& drawn);
    void resetReadOut();
    void showTable(int runIndex, bool first);
    // The export's CSV text: the current run (`current`) or every finished run.
    std::string csvText(uint32_t mask, const RocketVariables* current) const;
    // The images of a graph series under `base`, one per variable of the chosen groups,
    // for all runs or for the run `current` at `currentRun`; the first file that cannot be
    // written ends it.
    std::optional<ExportFailure> saveGraphSeries(const QString& base, uint32_t mask, int currentRun,
                                                 const RocketVariables* current);
    // Shows what a check of the model handed back: the frozen point moved, its boxes, the
    // refused pressure emptied.
    void showFormEcho(const calc::FormEcho& echo, const ViewMessages& messages);

    Ui_DataTab* ui;
    calc::CalculationModel model_;
    QComboBox* comb_var_time = nullptr;
    QComboBox* comb_var_stationary = nullptr;
    std::vector<QCPItemTracer*> markerTracers;
    QCPItemText* clickLabel = nullptr;
    QCPItemLine* clickArrow = nullptr;
    QTableWidget* resultsTable = nullptr;

    std::vector<DrawnGraph> drawnGraphs_;
    QString loadedNozzle_; // the nozzle now in the record being edited
    bool lastRunResult_ = true;
};
