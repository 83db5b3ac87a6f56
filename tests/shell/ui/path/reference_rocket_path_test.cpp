// A user's whole path through the real main window, from an empty Data folder to an
// exported CSV file: the NASA thermodynamic file imported through the database browser's
// "Add from file" (species, then reactants), the hydrogen/oxygen propellant composed and
// saved on the propellant tab, a conical nozzle drawn and saved on the nozzle tab, both
// chosen on the calculation tab after the change of tab refreshed its lists, the run in
// equilibrium with an infinite-area combustor, and the export. The exported figures must
// agree with the published case: the tabs are wired to each other, not only each to
// itself. Every dialog is the program's own, answered as the user answers it; the message
// boxes go through the recorded message seam.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <locale>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../../../engine/support/worker_run.h"
#include "calculations/ui/data_tab.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "core/ui/export_selection.h"
#include "databases/compatible_lists.h"
#include "databases/ui/prop_aux_data.h"
#include "modal_script.h"
#include "nozzle/ui/nozzle_tab.h"
#include "propellant/ui/prop_tab.h"
#include "shell/ui/main_window.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"
#include "ui_mainwindow.h"

namespace {

using nlohmann::json;
using Step = ModalScript::Step;

// NASA RP-1311 (Gordon and McBride, the users manual volume), example 8: liquid hydrogen and liquid
// oxygen, O/F 5.55157, 53.3172 bar, infinite-area combustor, equilibrium expansion. The
// column at Ae/At = 25 has the exit pressure 0.20491 bar; with the ambient pressure equal
// to it the specific impulse is the printed "Isp".
constexpr double publishedCStar = 2332.3; // m/s
constexpr double publishedIspAtAreaRatio25 = 4124.4; // m/s
constexpr double tolerance = 0.002; // 0.2 %

const std::string thermoFile = std::string(KAVRO_TEST_DATA_DIR) + "/import/thermo.inp";

// The products of the published case; the condensed waters and O3 stay absent there.
const std::vector<std::string> products = {"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"};

// ---- Steps of the modal dialogs -------------------------------------------------------

template <class T>
T* child(QWidget* parent, const char* name)
{
    T* w = parent->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// The database browser of `mode`: `act` is queued (it may open dialogs of its own).
Step inBrowser(BrowserMode mode, std::function<void(PropAuxData&)> act)
{
    return [mode, act](QWidget* w) {
        auto* browser = qobject_cast<PropAuxData*>(w);
        if (!browser || browser->browserMode() != mode)
            return false;
        QTimer::singleShot(0, browser, [browser, act] { act(*browser); });
        return true;
    };
}

// The open or save dialog of `caption`: the path typed into its name field and accepted.
Step pickFile(const QString& caption, const std::string& path)
{
    return [caption, path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog || dialog->windowTitle() != caption)
            return false;
        dialog->selectFile(QString::fromStdString(path));
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
            name->setText(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog checks the selection
        // A dialog still setting itself up may ignore the answer: it is offered again.
        return !dialog->isVisible();
    };
}

Step cancelFile(const QString& caption)
{
    return [caption](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog || dialog->windowTitle() != caption)
            return false;
        dialog->reject();
        return true;
    };
}

// ---- The exported CSV ----------------------------------------------------------------

// The cells of one CSV line (quoted cells may hold the separator; quotes are doubled).
std::vector<std::string> csvCells(const std::string& line, char separator)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                cells.back() += line[++i];
            else if (c == '"')
                quoted = false;
            else
                cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

// Every "label, value" pair of the file: a cell followed by the cell after it.
std::multimap<std::string, std::string> csvPairs(const std::string& path, char separator)
{
    std::multimap<std::string, std::string> pairs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> cells = csvCells(line, separator);
        for (std::size_t i = 0; i + 1 < cells.size(); ++i)
            if (!cells[i].empty())
                pairs.emplace(cells[i], cells[i + 1]);
    }
    return pairs;
}

// The one number after `label`, NaN when there is none or more than one.
double csvNumber(const std::multimap<std::string, std::string>& pairs, const std::string& label)
{
    if (pairs.count(label) != 1)
        return std::nan("");
    const std::string& text = pairs.find(label)->second;
    // The file's numbers are in the C locale whatever the process's locale is.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof() ? value : std::nan("");
}

std::string csvText(const std::multimap<std::string, std::string>& pairs, const std::string& label)
{
    auto it = pairs.find(label);
    return it == pairs.end() ? std::string("<none>") : it->second;
}

// ---- The fixture ---------------------------------------------------------------------

class WholeUserPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto* w : {&flagsSP, &flagsODE, &flagsODK, &flagsV, &flagsL, &flagsF})
            w->store(0);
        refreshFlag.store(0);
        abortFlag.store(0);
        propellantElements.clear();
        compatibleSpecies.clear();
        compatibleReactions.clear();
    }
    void TearDown() override
    {
        window.reset();
        propellantElements.clear();
        compatibleSpecies.clear();
        compatibleReactions.clear();
        qApp->setStyleSheet(QString());
    }

    // The window's own dialogs: the pop-up lists of raised codes are recorded, the rest
    // is closed at once (this path opens none of them).
    MainWindow::Dialogs windowDialogs()
    {
        MainWindow::Dialogs d;
        d.openFileName = [](QWidget*, const QString&, const QString&, const QString&) { return QString(); };
        d.showFlagList = [this](QWidget*, const FlagListRequest& request) {
            flagLists << request.title + ": " + request.lines.join(", ");
        };
        d.runDialog = [](QDialog* dialog) {
            dialog->close();
            return 0;
        };
        d.openUrl = [](const QUrl&) { return false; };
        return d;
    }

    // Runs `open` (a click that opens a modal dialog and returns when it is closed) while
    // `steps` answer the dialogs; true when every step found its dialog.
    bool throughDialogs(const std::function<void()>& open, std::deque<ModalScript::NamedStep> steps)
    {
        ModalScript script(std::move(steps));
        open();
        EXPECT_TRUE(script.finished()) << "waiting for: " << script.pending();
        return script.finished();
    }

    // "Add from file" in the open browser of `mode`, answered as the user does: "Thermo",
    // the NASA file, every overwrite question and the count of refused records with their
    // default answers, "Yes" to the transport data, whose file dialog is then cancelled;
    // then the browser is left (closed, or "Exit" for the reactants).
    std::deque<ModalScript::NamedStep> importThermoData(BrowserMode mode, const std::string& what)
    {
        return {{what + " browser: Add from file",
                 inBrowser(mode, [](PropAuxData& b) { child<QPushButton>(&b, "but_add_ff")->click(); })},
                {"thermo file for the " + what, pickFile("KAVRO - Open thermodynamic properties file", thermoFile)},
                {"no transport file", cancelFile("KAVRO - Open transport properties file")},
                {what + " browser left", inBrowser(mode, [mode](PropAuxData& b) {
                     if (mode == BrowserMode::Reactants)
                         child<QPushButton>(&b, "But_save")->click(); // "Exit"
                     else
                         b.reject(); // the window closed
                 })}};
    }

    std::string dataFile(const std::string& name) const { return app.path() + "/Data/" + name; }
    json readData(const std::string& name) const { return json::parse(app.read("Data/" + name)); }
    // The texts of the boxes of `icon` from box `from` on.
    QStringList raised(Msg::Icon icon, std::size_t from = 0) const
    {
        QStringList out;
        for (std::size_t i = from; i < boxes.messages().size(); ++i)
            if (boxes.messages()[i].icon == icon)
                out << boxes.messages()[i].text;
        return out;
    }

    // The texts of the boxes shown since the last call.
    QStringList newBoxes()
    {
        const QStringList all = boxes.texts();
        const QStringList fresh = all.mid(seenBoxes);
        seenBoxes = all.size();
        return fresh;
    }

    TempAppDir app; // the Data folder starts empty; the window writes the preferences
    MessageRecorder boxes;
    std::unique_ptr<MainWindow> window;
    QStringList flagLists;
    qsizetype seenBoxes = 0;
};

TEST_F(WholeUserPath, ImportedNasaDataToExportedCsvGiveThePublishedHydrogenOxygenRocket)
{
    ASSERT_TRUE(std::filesystem::is_empty(app.path() + "/Data"));
    window = std::make_unique<MainWindow>(nullptr, windowDialogs());
    ASSERT_FALSE(window->startupRefused()) << boxes.texts().join(" | ").toStdString();
    window->show();
    Ui_MainWindow& f = *window->form();
    PropTab& prop = *f.PropWin;
    NozzleTab& nozzle = *f.NozzleWin;
    DataTab& calc = *f.DataWin;

    // ---- Propellant tab: the databases from the NASA file --------------------------------
    f.tabs->setCurrentWidget(&prop);
    // Species: the products' records (the single-temperature reactants are not products).
    ASSERT_TRUE(throughDialogs([&] { child<QPushButton>(&prop, "but_Species")->click(); },
                               importThermoData(BrowserMode::Species, "species")));
    EXPECT_TRUE(readData("Species.json").contains("H2O(cr)"));
    EXPECT_EQ(boxes.lastText(), "Successful read. Do you want to add transport properties data?");
    // Reactants: every record of the file, the liquids H2(L) and O2(L) among them.
    ASSERT_TRUE(throughDialogs([&] { child<QPushButton>(&prop, "but_Reac")->click(); },
                               importThermoData(BrowserMode::Reactants, "reactant")));
    EXPECT_EQ(boxes.lastText(), "Successful read. Do you want to add transport properties data?");
    EXPECT_TRUE(readData("Reactants.json").contains("O2(L)"));
    // The NASA file holds a few records the importers refuse (atoms that are no elements, a
    // record without intervals); each import says so in one box, and nothing else goes wrong.
    for (const QString& text : raised(Msg::Critical))
        EXPECT_TRUE(text.endsWith(" records were not imported")) << text.toStdString();
    const std::size_t afterImports = boxes.messages().size();

    // ---- Propellant tab: the composition, the products, the save -------------------------
    auto* reactants = child<QComboBox>(&prop, "sel_react");
    for (const char* name : {"H2(L)", "O2(L)"}) {
        ASSERT_GE(reactants->findText(name), 0) << name << " not offered after the reactant import";
        reactants->setCurrentIndex(reactants->findText(name));
    }
    ASSERT_EQ(prop.reactantRowCount(), 2);
    prop.relativeMassField(0)->setText("0.15263517");
    prop.relativeMassField(1)->setText("0.84736483");
    // The products: only the species compatible with the reactants listed, all deselected,
    // then the published ones ticked and loaded into the database.
    QStringList notOffered;
    ASSERT_TRUE(throughDialogs(
            [&] { child<QPushButton>(&prop, "but_Species")->click(); },
            {{"species browser: the products selected", inBrowser(BrowserMode::Species, [&](PropAuxData& b) {
                  auto* onlyCompatible = child<QCheckBox>(&b, "check_all");
                  if (!onlyCompatible->isChecked())
                      onlyCompatible->click();
                  const QList<QCheckBox*> listed = b.findChildren<QCheckBox*>();
                  child<QPushButton>(&b, "But_sel")->click(); // "Deselect all"
                  for (const std::string& name : products) {
                      auto box = std::find_if(listed.begin(), listed.end(), [&](QCheckBox* c) {
                          return c->text() == QString::fromStdString(name) && !c->isHidden() && c->isEnabled();
                      });
                      if (box == listed.end())
                          notOffered << QString::fromStdString(name);
                      else
                          (*box)->setChecked(true);
                  }
                  child<QPushButton>(&b, "But_save")->click(); // "Load selected"
              })}}));
    EXPECT_TRUE(notOffered.isEmpty()) << notOffered.join(", ").toStdString();
    child<QLineEdit>(&prop, "line_Name")->setText("LOX/LH2");
    newBoxes();
    child<QPushButton>(&prop, "but_Save")->click();
    EXPECT_EQ(newBoxes(), QStringList{"Successful save"});

    // ---- Nozzle tab: a cone of exit area ratio (500 / 100)^2 = 25 --------------------------
    f.tabs->setCurrentWidget(&nozzle);
    child<QComboBox>(&nozzle, "comb_type")->setCurrentIndex(1); // "Conical"
    child<QComboBox>(&nozzle, "comb_units")->setCurrentIndex(0); // mm
    child<QLineEdit>(&nozzle, "line_ent_conical")->setText("200");
    child<QLineEdit>(&nozzle, "line_throat_conical")->setText("100");
    child<QLineEdit>(&nozzle, "line_exit_conical")->setText("500");
    child<QRadioButton>(&nozzle, "radio_conv_conical")->click();
    child<QLineEdit>(&nozzle, "line_conv_conical")->setText("45");
    child<QRadioButton>(&nozzle, "radio_div_conical")->click();
    child<QLineEdit>(&nozzle, "line_div_conical")->setText("15");
    for (const char* fillet : {"check_fillet_conical", "check_tfillet_conical"})
        child<QCheckBox>(&nozzle, fillet)->setChecked(false);
    child<QLineEdit>(&nozzle, "line_name")->setText("Conical 25");
    newBoxes();
    child<QPushButton>(&nozzle, "but_save")->click();
    EXPECT_EQ(newBoxes(), QStringList{"Successful save"});

    // ---- Calculation tab: the saved items, listed after the change of tab ----------------
    f.tabs->setCurrentWidget(&calc);
    EXPECT_EQ(refreshFlag.load(), 0); // the change of tab took the saves' request
    auto* propellants = child<QComboBox>(&calc, "comb_prop");
    auto* nozzles = child<QComboBox>(&calc, "comb_nozzle");
    ASSERT_GE(propellants->findText("LOX/LH2"), 0) << "the saved propellant is not listed";
    ASSERT_GE(nozzles->findText("Conical 25"), 0) << "the saved nozzle is not listed";
    newBoxes();
    propellants->setCurrentIndex(propellants->findText("LOX/LH2"));
    nozzles->setCurrentIndex(nozzles->findText("Conical 25"));
    auto* pressure = child<QLineEdit>(&calc, "line_spec_pres");
    pressure->setText("53.3172");
    emit pressure->editingFinished();
    child<QComboBox>(&calc, "combo_units_pres")->setCurrentIndex(2); // bar
    child<QRadioButton>(&calc, "radio_spec_pres")->click();
    child<QRadioButton>(&calc, "radio_ode")->click(); // equilibrium
    child<QCheckBox>(&calc, "check_froz")->setChecked(false);
    child<QRadioButton>(&calc, "radio_IAC")->click(); // infinite-area combustor
    child<QCheckBox>(&calc, "check_transport")->setChecked(false); // no transport data imported
    child<QLineEdit>(&calc, "line_ambient")->setText("0.20491");
    child<QComboBox>(&calc, "combo_ambient_units")->setCurrentIndex(2); // bar
    child<QPushButton>(&calc, "but_run")->click();
    ASSERT_TRUE(calc.model().running) << newBoxes().join(" | ").toStdString();
    ASSERT_TRUE(worker_run::waitFor([&] { return !calc.model().running; }, 180000)) << "the run did not end";
    ASSERT_EQ(calc.model().finishedCount(), 1u)
            << boxes.texts().join(" | ").toStdString() << " | " << flagLists.join(" | ").toStdString();
    // Nothing on the way was refused.
    EXPECT_TRUE(raised(Msg::Critical, afterImports).isEmpty())
            << raised(Msg::Critical, afterImports).join(" | ").toStdString();

    // ---- The export: parameters and rocket figures of every run, as a CSV file ------------
    const std::string csv = app.path() + "/reference run.csv";
    newBoxes();
    ASSERT_TRUE(throughDialogs([&] { child<QPushButton>(&calc, "but_export")->click(); },
                               {{"export choice",
                                 [](QWidget* w) {
                                     auto* choice = qobject_cast<ExportSelection*>(w);
                                     if (!choice)
                                         return false;
                                     child<QCheckBox>(choice, "check_Data_parameters")->setChecked(true);
                                     child<QCheckBox>(choice, "check_rocket")->setChecked(true);
                                     child<QRadioButton>(choice, "radio_config_all")->setChecked(true);
                                     child<QCheckBox>(choice, "check_table")->setChecked(false);
                                     child<QCheckBox>(choice, "check_graphs")->setChecked(false);
                                     child<QPushButton>(choice, "but_export")->click();
                                     return true;
                                 }},
                                {"CSV file", pickFile("CSV file for calculation data to be written", csv)}}));
    EXPECT_EQ(newBoxes(), QStringList{"Export finished successfully"});
    ASSERT_TRUE(std::filesystem::exists(csv));

    const auto pairs = csvPairs(csv, LIST_SEPARATOR);
    EXPECT_EQ(csvText(pairs, "Propellant"), "LOX/LH2");
    EXPECT_EQ(csvText(pairs, "Nozzle"), "Conical 25");
    EXPECT_EQ(csvText(pairs, "Calculation type"), "ODE");
    EXPECT_EQ(csvText(pairs, "Combustor area type"), "IAC");
    const double cStar = csvNumber(pairs, "C*");
    const double isp = csvNumber(pairs, "Isp");
    EXPECT_NEAR(cStar / publishedCStar, 1.0, tolerance) << "c* " << cStar << " m/s";
    EXPECT_NEAR(isp / publishedIspAtAreaRatio25, 1.0, tolerance) << "Isp " << isp << " m/s";

    // ---- Every data file written on the way parses -----------------------------------------
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(app.path() + "/Data")) {
        const std::string name = entry.path().filename().string();
        written.insert(name);
        std::ifstream in(entry.path());
        EXPECT_TRUE(json::accept(in)) << name << " does not parse";
    }
    for (const char* name : {"Preferences.json", "Species.json", "Reactants.json", "Propellants.json", "Nozzles.json"})
        EXPECT_EQ(written.count(name), 1u) << name << " was not written";

    // What the tabs stored is what the user composed.
    const json stored = readData("Propellants.json")["LOX/LH2"];
    EXPECT_EQ(std::set<std::string>(stored["Species"].begin(), stored["Species"].end()),
              std::set<std::string>(products.begin(), products.end()));
    EXPECT_EQ(stored["Composition"], json::parse(R"j([["H2(L)", 0.15263517], ["O2(L)", 0.84736483]])j"));
    const json cone = readData("Nozzles.json")["Conical 25"];
    EXPECT_EQ(cone["Type"], 1);
    EXPECT_EQ(cone["Units"], 0);
    ASSERT_GE(cone["Parameters"].size(), 5u);
    // Entrance, throat and exit diameters, convergent and divergent half-angles.
    const std::vector<double> shape(cone["Parameters"].begin(), cone["Parameters"].begin() + 5);
    EXPECT_EQ(shape, (std::vector<double>{200.0, 100.0, 500.0, 45.0, 15.0}));
    EXPECT_EQ(cone["Options"], json::parse("[false, false, false, false]"));
}

} // namespace
