#pragma once
// The nozzle tab under test: its list, export and file dialogs answered from queues,
// a throw-away application folder for its files, the message seam recorded, and the
// optimisation panel's loaders replaced by a perfect-gas propellant and a grain of
// constant burning area.
#include <deque>
#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode/perfect_gas.h"
#include "grain/current_grain.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/optimisation.h"
#include "nozzle/ui/nozzle_tab.h"
#include "support/message_recorder.h"
#include "support/qstring_printer.h"
#include "support/temp_app_dir.h"

namespace {

// The tab with its dialogs answered from queues.
class TestTab : public NozzleTab {
public:
    std::deque<int> choices; // results of the list dialog
    std::vector<std::pair<int, std::vector<std::string>>> listsShown;
    uint32_t exportMask = 0;
    QStringList fileAnswers;
    QStringList captions; // of the file dialogs shown

protected:
    int chooseStoredNozzle(int mode, const std::vector<std::string>& names) override
    {
        listsShown.emplace_back(mode, names);
        if (choices.empty())
            return 0;
        const int r = choices.front();
        choices.pop_front();
        return r;
    }
    uint32_t chooseExportItems() override { return exportMask; }
    QString askSaveFileName(const QString& caption, const QString&) override
    {
        captions << caption;
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
};

class NozzleTabTest : public ::testing::Test {
protected:
    NozzleTabTest()
    {
        saved = {NOZZLE, PROPELLANT, GRAIN, PATH_EXPORT};
        NOZZLE = app.dataFile("Nozzles.json");
        PROPELLANT = app.dataFile("Propellants.json");
        GRAIN = app.dataFile("Grains.json");
        PATH_EXPORT = app.path();
        flagsF = 0;
        flagsL = 0;
        refreshFlag = 0;
        abortFlag = 0;
        currentNozzle = CurrentNozzle{};
        savedProviders = optimisationProviders();
        optimisationProviders().propellantMixture = [this](const std::string& name, ViewMessages* refusals) {
            report(refusals, "propellant loader");
            propellantsLoaded.push_back(name);
            raiseFlag(flagsL, propellantCodes);
            return perfect_gas::mixture();
        };
        optimisationProviders().burnLaw
                = [this](const std::string&, double& rho, auto& limits, auto& a, auto& n, ViewMessages* refusals) {
                      if (!burnLawAvailable) {
                          report(refusals, "burn law loader");
                          return false;
                      }
                      rho = perfect_gas::RHO_P;
                      limits = {{1e5, 1e8}};
                      a = {perfect_gas::LAW_A};
                      n = {perfect_gas::LAW_N};
                      return true;
                  };
        optimisationProviders().grainBurnback = [this](const std::string& name, std::vector<double>* y,
                                                       std::vector<double>* A, ViewMessages* refusals) {
            report(refusals, "grain loader");
            if (grainFails)
                return -1.0;
            // "G2" burns twice the area of the others.
            *y = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
            A->assign(7, name == "G2" ? 0.08 : 0.04);
            return A->front();
        };
    }
    ~NozzleTabTest() override
    {
        tab.reset();
        optimisationProviders() = savedProviders;
        abortFlag = 0;
        NOZZLE = saved[0];
        PROPELLANT = saved[1];
        GRAIN = saved[2];
        PATH_EXPORT = saved[3];
        Nozzle_display = 1;
        VNOZZ = true;
        NOZZLE_BRUSH = false;
        SAME_NAME_EXPORT = true;
        babyModeActive = false;
        solidsHidden = false;
        flagsF = 0;
        flagsL = 0;
        refreshFlag = 0;
        currentNozzle = CurrentNozzle{};
    }

    TestTab& make()
    {
        tab = std::make_unique<TestTab>();
        return *tab;
    }
    // A stand-in loader's box (parentless, as the real loaders' boxes), when they report.
    void report(ViewMessages* refusals, const char* text) const
    {
        if (loadersReport)
            refusals->push_back(ViewMessage{untitledRequest(Msg::Critical, text), true});
    }
    template <class W>
    W* w(const char* name) const
    {
        W* widget = tab->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* line(const char* name) const { return w<QLineEdit>(name); }
    // Types into a field and leaves it, as the user does.
    void edit(const char* name, const QString& text) const
    {
        line(name)->setText(text);
        emit line(name)->editingFinished();
    }
    QCustomPlot* plot() const { return w<QCustomPlot>("graph"); }
    nlohmann::json nozzleFile() const { return nlohmann::json::parse(app.read("Data/Nozzles.json")); }

    TempAppDir app;
    MessageRecorder messages;
    std::vector<std::string> saved;
    OptimisationProviders savedProviders;
    std::vector<std::string> propellantsLoaded;
    uint32_t propellantCodes = 0; // raised by the propellant loader
    bool burnLawAvailable = true;
    bool grainFails = false;
    bool loadersReport = false; // the stand-in loaders hand back a box of their own
    std::unique_ptr<TestTab> tab;
};

inline QStringList items(QComboBox* c)
{
    QStringList out;
    for (int k = 0; k < c->count(); ++k)
        out << c->itemText(k);
    return out;
}

} // namespace
