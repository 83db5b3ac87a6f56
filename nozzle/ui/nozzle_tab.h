#pragma once
// The nozzle tab: the nozzle definition form (Bezier or conical contour with fillets),
// the contour plot, the store buttons, the export and the optimisation panel. The
// checks, the contours, the store and the export text live in the nozzle library; this
// class reads the fields, calls them and writes the fields, the plot and the current
// nozzle.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>
#include <QThread>
#include <QWidget>

#include "nozzle/nozzle_model.h"
#include "nozzle/nozzle_store.h"
#include "nozzle/optimisation.h"

class Mixture;
class QAbstractButton;
class RocketVariables;
class Threader;
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
    // answer them. chooseStoredNozzle returns the list dialog's result: 2 + the position
    // of the chosen name, anything below 2 for none.
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
    void showOptimisationPanel(bool visible);

    Ui::NozzleTab* ui = nullptr;
    NozzleModel nozzle; // nozzleParameters, nozzleOptions, pointCount, contourPending

    // Optimisation panel. The panel's record holds the grain; each run works on a copy
    // of it (optRunRecord), so that selections and target changes during the run never
    // reach the record the worker is using.
    std::shared_ptr<Mixture> optMixture;
    std::shared_ptr<RocketVariables> optRecord;
    double optTargetValue = 0.0; // of the last started run, SI
    double optMinChamberPressure = 0.0;
    double optMaxChamberPressure = 0.0;
    double optMinThroatRadius = 0.0;
    double optMinAreaRatio = 0.0;
    int16_t optNozzleType = 0; // comb_type when the running optimisation started
    int16_t optTarget = 0; // combo_opt_target when it started
    int optLengthUnit = 0; // unit of its stations, for the write-back
    QPointer<QThread> optThread; // the last run's thread (gone once it has finished)
    Threader* optWorker = nullptr; // the last run's worker; never used after the start
    std::shared_ptr<RocketVariables> optRunRecord;
    bool optRunning = false;
    bool optAbortRequested = false; // this panel set the abort byte for its run
    AbortButtonTimers abortTimersPending;
};
