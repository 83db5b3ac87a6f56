#pragma once
// The grain tab: the user defines a cylindrical or frontal grain, sees its combustion
// area against the burnt distance and the charge drawn at any burnt distance, sweeps the
// length for the most neutral burn, saves, loads, deletes and exports grains. The slots
// read the fields, call the grain model (grain/grain_model.h) and the store, and write
// the fields, the plot, the picture and currentGrain.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "core/export_flow.h"
#include "grain/grain_model.h"

class QCPItemTracer;
class QGraphicsScene;
class QGraphicsTextItem;

namespace Ui {
class GrainTab;
}

class GrainTab : public QWidget {
    Q_OBJECT

public:
    explicit GrainTab(QWidget* parent = nullptr);
    ~GrainTab() override;

    // Recolours the plot for night or day and redraws the picture half a second later,
    // with the palette of the new mode.
    void NightMode(bool on);

    // The modal dialogs the tab opens, replaceable so that tests answer them. Defaults:
    // the stored-item chooser (runItemChooser; its result goes through chosenItem),
    // ExportSelection in its grain mode (the bit mask, 0 for nothing) and
    // Qt's save-file dialog (empty when cancelled).
    struct Dialogs {
        std::function<int(QWidget* parent, int mode, const std::vector<std::string>& items)> chooseItem;
        std::function<int(QWidget* parent)> chooseExport;
        std::function<QString(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)>
                saveFileName;
    };
    Dialogs& dialogs() { return dialogs_; }

    const grain::GrainModel& model() const { return model_; }
    QGraphicsScene* scene() const { return scene_; }
    double sceneWidth() const { return sceneWidth_; }
    double sceneHeight() const { return sceneHeight_; }
    double sceneScale() const { return sceneScale_; }

signals:
    void StatusMessage(QString text, int time = 0);
    void FlagsUpdated(bool popup_err, bool popup_warn);

public slots:
    void geometry_change(int index);
    void comb_change(int index);
    bool calculate();
    bool calculate_cilindrical();
    void opt_length_cilindrical();
    bool calculate_star();
    bool calculate_frontal();
    void save();
    void load();
    void del();
    void sliderActive(int x = -1);
    void exportar();
    void BabyMode(bool is);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool showCalculation(const grain::GrainCalculation& result);
    void critical(const QString& text, const QString& informativeText = QString());
    grain::CylindricalInputs cylindricalInputs() const;
    grain::FrontalInputs frontalInputs() const;
    grain::StarInputs starInputs() const;
    // The export's CSV text for the chosen bits, and its picture of the grain.
    std::string csvText(uint32_t mask) const;
    std::optional<ExportFailure> savePictureImage(const QString& path);

    Ui::GrainTab* ui;
    grain::GrainModel model_; // parameter list, sample count and combustion type
    QCPItemTracer* tracer = nullptr;
    double sceneWidth_ = 0.0;
    double sceneHeight_ = 0.0;
    double sceneScale_ = 0.0;
    QGraphicsScene* scene_ = nullptr;
    QGraphicsTextItem* areaText = nullptr;
    Dialogs dialogs_;
};
