#pragma once
// The dialog in which the user picks what an export writes. Each tab opens it with its
// mode (0 propellant, 1 grain, 2 nozzle, 3 calculations); the choice comes back as a bit
// mask through the dialog's result, 0 meaning "export nothing". Bit 0 is never used, so
// any non-zero result names at least one item.
#include <cstdint>

#include <QDialog>

namespace Ui {
class ExportSelection;
}

// The dialog's modes: which tab asks, and so which items it offers.
namespace exportMode {
inline constexpr int propellant = 0;
inline constexpr int grain = 1;
inline constexpr int nozzle = 2;
inline constexpr int calculations = 3;
} // namespace exportMode

class ExportSelection : public QDialog {
    Q_OBJECT

public:
    ExportSelection(int mode, QWidget* parent);
    ~ExportSelection() override;

public slots:
    void tableActive(bool is);
    void GraphActive(bool is);
    void GraphAllActive(bool is);
    void Cancel();
    void Export();

private:
    uint32_t computeMask() const;

    Ui::ExportSelection* ui;
    uint8_t mode;
    uint32_t mask;
};
