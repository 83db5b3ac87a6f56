#pragma once
// A calculation tab on the offscreen platform over stand-in stores: the item names in
// throw-away data files (for its lists), the items themselves from calc_test::FakeStores,
// the message seam recorded, the dialogs answered by the test, and the process-wide
// values put back afterwards.
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "../../engine/support/worker_run.h"
#include "../../engine/test_mixtures.h"
#include "../calc_fixtures.h"
#include "calculations/ui/data_tab.h"
#include "core/ui/auxchoose.h"
#include "engine/engine_messages.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace tab_test {

// A contour of the published hydrogen/oxygen case: area ratios 1.58, 1 (throat at x = 0),
// 2, 5, 10 and 25, stations 2 cm apart, throat area 0.01 m^2.
inline calc_test::Nozzle referenceNozzle()
{
    calc_test::Nozzle n;
    const double ratios[] = {1.58, 1.0, 2.0, 5.0, 10.0, 25.0};
    for (int j = 0; j < 6; ++j) {
        n.x.push_back((j - 1) * 0.02);
        n.area.push_back(0.01 * ratios[j]);
    }
    n.throatDiameter = std::sqrt(4.0 * 0.01 / M_PI);
    return n;
}

class TabTest : public ::testing::Test {
public:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        setEngineMessageHandler([](const EngineMessage&) {});
        PROPELLANT = app.dataFile("Propellants.json");
        NOZZLE = app.dataFile("Nozzles.json");
        GRAIN = app.dataFile("Grains.json");
        CONFIGURATIONS = app.dataFile("Configurations.json");
        PATH_EXPORT = app.path();
        auto h2o2 = hydrogenOxygenRocket();
        h2o2->setReactantEnthalpy(298.15);
        stores.propellants["H2/O2"] = h2o2;
        stores.burnLaws["H2/O2"] = calc_test::BurnLaw();
        stores.nozzles["Current"] = referenceNozzle();
        stores.nozzles["N1"] = referenceNozzle();
        calc_test::Nozzle wide = referenceNozzle();
        for (double& a : wide.area)
            a *= 2.0;
        stores.nozzles["N2"] = wide;
        // About 1 m^2 burning: with the stand-in burn law the chamber settles near 4 MPa.
        stores.grains["Current"] = {{0.0, 0.001, 0.002}, {1.0, 1.1, 1.2}};
        stores.grains["G1"] = stores.grains["Current"];
        writeNames();
    }
    void TearDown() override
    {
        tab.reset();
        auxChooseChecked.clear();
        PROPELLANT.clear();
        NOZZLE.clear();
        GRAIN.clear();
        CONFIGURATIONS.clear();
        PATH_EXPORT.clear();
        setEngineMessageHandler({});
        calc_test::resetCalculationGlobals();
    }

    // The item names the lists read: the stores' names (other than "Current").
    void writeNames()
    {
        auto names = [](const auto& map) {
            std::string text = "{";
            for (const auto& [name, item] : map) {
                if (name == "Current")
                    continue;
                text += (text.size() > 1 ? ", \"" : "\"") + name + "\": {}";
            }
            return text + "}";
        };
        app.write("Data/Propellants.json", names(stores.propellants));
        app.write("Data/Nozzles.json", names(stores.nozzles));
        app.write("Data/Grains.json", names(stores.grains));
    }

    DataTab& make()
    {
        tab = std::make_unique<DataTab>(nullptr, stores.providers());
        tab->dialogs.exportChoice = [this](QWidget*) { return exportMask; };
        tab->dialogs.saveFileName = [this](QWidget*, const QString& caption, const QString&, const QString&) {
            dialogCaptions << caption;
            return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
        };
        tab->dialogs.chooseItem = [this](QWidget*, int mode, const std::vector<std::string>& names) {
            chooseModes.push_back(mode);
            offeredNames = names;
            return itemChoice;
        };
        tab->dialogs.chooseSpecies = [this](QWidget*, const std::vector<std::pair<std::string, bool>>& offered) {
            ++speciesDialogs;
            offeredSpecies = offered;
            auxChooseChecked = speciesTicked;
        };
        tab->resize(1084, 640);
        return *tab;
    }

    template <class T>
    T* w(const char* name) const
    {
        T* widget = tab->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QComboBox* combo(const char* name) const { return w<QComboBox>(name); }
    QLineEdit* line(const char* name) const { return w<QLineEdit>(name); }
    QCheckBox* check(const char* name) const { return w<QCheckBox>(name); }
    QRadioButton* radio(const char* name) const { return w<QRadioButton>(name); }
    QPushButton* button(const char* name) const { return w<QPushButton>(name); }
    QCustomPlot* graph() const { return w<QCustomPlot>("graph"); }

    // The user picks an item of a list by its text.
    void choose(const char* list, const QString& text) const
    {
        QComboBox* c = combo(list);
        const int i = c->findText(text);
        ASSERT_GE(i, 0) << list << " lacks " << text.toStdString();
        c->setCurrentIndex(i);
    }
    // The user types into a field and leaves it.
    void type(const char* field, const QString& text) const
    {
        QLineEdit* l = line(field);
        l->setText(text);
        emit l->editingFinished();
    }
    void release(const char* name) const { emit button(name)->released(); }

    // Presses "Run calculations" and waits until the run has been taken back.
    bool runToEnd(int timeoutMs = 20000)
    {
        release("but_run");
        if (!tab->model().running)
            return false;
        return worker_run::waitFor([this] { return !tab->model().running; }, timeoutMs);
    }

    // The usual start: H2/O2 at the published 53.3172 bar on N1.
    void chooseReferenceRun()
    {
        choose("comb_prop", "H2/O2");
        choose("comb_nozzle", "N1");
        type("line_spec_pres", "5.33172");
    }

    TempAppDir app;
    MessageRecorder messages;
    calc_test::FakeStores stores;
    std::unique_ptr<DataTab> tab;

    int exportMask = 0;
    QStringList savePaths;
    QStringList dialogCaptions;
    int itemChoice = -1;
    std::vector<int> chooseModes;
    std::vector<std::string> offeredNames;
    std::vector<int> speciesTicked;
    std::vector<std::pair<std::string, bool>> offeredSpecies;
    int speciesDialogs = 0;
};

} // namespace tab_test
