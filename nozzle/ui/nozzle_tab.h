#pragma once
// The nozzle tab: the nozzle definition form (Bezier or conical contour with fillets),
// the contour plot, the store buttons, the export and the optimisation panel. The
// checks, the contours, the store, the export text and the optimisation run live in the
// nozzle library; this class reads the fields, calls them and writes the fields, the
// plot and the current nozzle.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "core/export_flow.h"
#include "nozzle/nozzle_model.h"
#include "nozzle/nozzle_store.h"
#include "nozzle/optimisation_model.h"

class QAbstractButton;
namespace Ui {
class NozzleTab;
}

class NozzleTab : public QWidget {
    Q_OBJECT

public:
    explicit NozzleTab(QWidget* parent = nullptr);
    ~NozzleTab() override;

    // Night or day colours of the contour plot.
    void NightMode(bool on);
    // Refills the optimisation panel's propellant and grain lists from their files.
    void refreshLists();

    // The tab's state (the last accepted nozzle, the pending drawing), for its owner and tests.
    const NozzleModel& model() const { return nozzle; }
    // The optimisation panel's state and run, likewise.
    const OptimisationModel& optimisationModel() const { return optimisation; }

signals:
    void StatusMessage(QString text, int time = 0);
    void FlagsUpdated(bool popup_err, bool popup_warn);

public slots:
    // With recalc, first rebuilds the current nozzle from the fields of the chosen type;
    // then draws it if a contour is pending. True when it drew.
    bool calculate(bool recalc = false);
    bool calculate_conical();
    bool calculate_bezier();
    bool calculate_spike(); // the aerospike has no contour: always false
    void onBezierConvSel(QAbstractButton* but);
    void onConicalConvSel(QAbstractButton* but);
    void onConicalDivSel(QAbstractButton* but);
    void onConicalFilSel(bool ch);
    void onConicalTFilSel(bool ch);
    void geometry_change(int index);
    void save();
    void load();
    void del();
    void OptTargetChange(int type);
    void OptUnitsChange(int unit = 0);
    void OptSelProp(QString name);
    void OptSelGrain(QString name);
    void OptimizeODE();
    void showAbortButton();
    void OptODEFinished(bool success);
    void exportar();
    void BabyMode(bool is);
    void hideSolid(bool tog);

protected:
    void resizeEvent(QResizeEvent* event) override;

    // The dialogs of the store and the export, one function each so that tests can
    // answer them. chooseStoredNozzle returns the stored-item chooser's result, which
    // chosenItem (core/item_choice.h) maps to a name or none.
    virtual int chooseStoredNozzle(int mode, const std::vector<std::string>& names);
    virtual uint32_t chooseExportItems();
    virtual QString askSaveFileName(const QString& caption, const QString& filter);

private:
    ConicalForm conicalForm() const;
    BezierForm bezierForm() const;
    bool finishComputation(const ContourCheck& check, bool conical);
    // Draws the current nozzle (graphs by the display preferences) and sets the axes.
    void drawContour();
    // Both axes fitted to the contour at one unit of x per unit of radius.
    void applyScreenView();
    void fillFormFrom(const std::string& name, const NozzleEntry& entry);
    // The export's CSV text for the chosen bits.
    std::string csvText(uint32_t mask) const;
    // The export's image: the contour at one unit of x per unit of radius, then the
    // screen view back.
    std::optional<ExportFailure> saveContourImage(const QString& path);
    void showOptimisationPanel(bool visible);
    // The optimisation panel's fields (and the nozzle type) as the user left them.
    OptimisationForm optimisationForm() const;
    // The parameter area of a nozzle type: conical for 1, Bezier otherwise.
    QWidget* parameterArea(int nozzleType) const;

    Ui::NozzleTab* ui = nullptr;
    NozzleModel nozzle; // nozzleParameters, nozzleOptions, pointCount, contourPending
    // The optimisation panel's propellant, record and run.
    OptimisationModel optimisation;
    // The abort button's timers, one per started run.
    AbortButtonTimers abortTimersPending;
};
