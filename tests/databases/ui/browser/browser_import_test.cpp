// "Add from file" of the database browser: the choice of data, the file dialogs, the
// follow-up transport import and the rebuilds, with the real readers.
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "browser_test_support.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "databases/ui/prop_aux_data.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using nlohmann::json;
using Names = std::vector<std::string>;

namespace {

// A synthetic species in the thermodynamic data layout (two intervals, seven terms).
const char* kThermo = R"(thermo
    200.000  1000.000  6000.000   this line is skipped unread
Ar                Synthetic monatomic gas
 2 g 1/01 AR  1.00    0.00    0.00    0.00    0.00 0   39.9480000          0.000
    200.000   1000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00
   1000.000   6000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00
END PRODUCTS
END REACTANTS
)";

// The argon record of the published transport file.
const char* kTransport = R"(transport property coefficients
Ar                                V2C1  BICH ET AL (1990)
 V  200.0   1000.0   0.61205763E 00-0.67714354E 02 0.19040660E 03 0.21588272E 01
 V 1000.0   5000.0   0.69357334E 00 0.70953943E 02-0.28386007E 05 0.14856447E 01
 C  200.0   1000.0   0.60968928E 00-0.70892249E 02 0.58420624E 03 0.19337152E 01
end
)";

const char* kMechanism = R"(ELEMENTS
O  H
END
SPECIES
H2 H O O2 OH
END
REACTIONS
O+H2<=>H+OH                              3.870E+04    2.700    6260.00
H+O2<=>O+OH                              2.650E+16    -.6707  17041.00
END
)";

// Answers the window-modal dialogs of a flow in order: each step is offered the active
// modal widget until it takes it (returns true). Whatever is still open after five
// seconds is rejected, so a broken flow fails instead of hanging.
class ModalScript {
public:
    using Step = std::function<bool(QWidget*)>;
    explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps))
    {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    bool finished() const { return steps_.empty(); }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (!steps_.empty() && steps_.front()(modal)) {
            steps_.pop_front();
            return;
        }
        // A dialog nobody expects, or one left open too long: fail instead of hanging.
        if ((steps_.empty() && clock_.elapsed() > 1000) || clock_.elapsed() > 5000) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                ADD_FAILURE() << "unexpected dialog " << modal->metaObject()->className() << " \""
                              << modal->windowTitle().toStdString() << "\"";
                dialog->reject();
            }
        }
    }
    std::deque<Step> steps_;
    QTimer timer_;
    QElapsedTimer clock_;
};

// Answers the real "Thermo" / "Transport" box (no recorder installed): clicks the button
// of that text, or presses Escape when there is none.
ModalScript::Step clickKind(const QString& button)
{
    return [button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return false;
        EXPECT_EQ(box->text(), "Do you want to read thermo or transport data");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        QStringList shown;
        for (QAbstractButton* b : box->buttons())
            if (!b->isHidden())
                shown << b->text();
        EXPECT_EQ(shown, (QStringList{"Thermo", "Transport"}));
        EXPECT_EQ(box->defaultButton() ? box->defaultButton()->text() : QString(), "Thermo");
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) {
                b->click();
                return true;
            }
        QTest::keyClick(box, Qt::Key_Escape);
        return true;
    };
}

ModalScript::Step pickFile(const std::string& path, const QString& caption, const QString& filter)
{
    return [=](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog || dialog->windowTitle() != caption)
            return false;
        EXPECT_EQ(dialog->nameFilters().join(";;").remove(' '), QString(filter).remove(' '));
        if (path.empty()) {
            dialog->reject();
        } else {
            // selectFile() leaves the name field alone while it has the focus: type the name.
            dialog->selectFile(QString::fromStdString(path));
            if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
                name->setText(QString::fromStdString(path));
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog checks the selection
        }
        // A dialog still busy setting itself up may ignore the answer: try again later.
        return !dialog->isVisible();
    };
}

const QString kKindQuestion = "Do you want to read thermo or transport data";
const QString kThermoCaption = "KAVRO - Open thermodynamic properties file";
const QString kThermoFilter = "Thermo files (*.inp)";
const QString kTransportCaption = "KAVRO - Open transport properties file";
const QString kTransportFilter = "transport files (*.inp)";
const QString kKineticsCaption = "KAVRO - Open kinetics file";
const QString kKineticsFilter = "ChemKin files (*.MECH *.mech);;Cantera files (*.cti)";

class BrowserImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        app.write("Data/Species.json", "{}");
        app.write("Data/Reactants.json", "{}");
        app.write("Data/Kinetics.json", "{}");
        app.write("files/data.inp", kThermo);
        app.write("files/trans.inp", kTransport);
        app.write("files/h2o2.mech", kMechanism);
        app.write("files/h2o2.cti", "units(length='cm')");
        app.write("files/data.txt", kThermo);
        flagsF.store(0);
        ONLY_COMPATIBLE = false;
        DISABLE_INCOMPATIBLE = true;
    }
    void TearDown() override { restoreBrowserGlobals(); }
    std::string file(const char* name) const { return app.path() + "/files/" + name; }
    QStringList texts() const { return messages.texts(); }
    // Answers the "Thermo" / "Transport" question with the button of that index (-1: none).
    void chooseKind(int button) { messages.answerCustom(button); }

    TempAppDir app;
    MessageRecorder messages;
    CountingTab tab;
};

} // namespace

TEST_F(BrowserImport, ThermoThenTransportStoresBothAndRebuildsOnce)
{
    PropAuxData browser(1, &tab, &tab);
    browser.not_show_check(Qt::Checked);
    chooseKind(0);
    ModalScript script({pickFile(file("data.inp"), kThermoCaption, kThermoFilter),
                        pickFile(file("trans.inp"), kTransportCaption, kTransportFilter)});
    QTest::mouseClick(browser.findChild<QPushButton*>("but_add_ff"), Qt::LeftButton);
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(browser.doNotShowAgain()); // cleared when the import starts
    EXPECT_EQ(texts(),
              (QStringList{kKindQuestion, "Successful read. Do you want to add transport properties data?",
                           "Successfully read"}));
    const MessageRequest& kind = messages.messages()[0];
    EXPECT_EQ(kind.icon, Msg::Question);
    EXPECT_EQ(kind.customButtons, (QStringList{"Thermo", "Transport"}));
    EXPECT_EQ(kind.defaultCustomButton, 0);
    EXPECT_EQ(kind.buttons, Msg::NoButton);
    EXPECT_EQ(messages.messages()[1].informativeText, "Note that the species names must be the same in both files");
    EXPECT_EQ(messages.messages()[2].icon, Msg::Information);
    const json species = readJsonFile(SPECIES).document;
    ASSERT_TRUE(species.contains("Ar"));
    EXPECT_EQ(species["Ar"]["Intervals"].size(), 2u);
    EXPECT_EQ(species["Ar"]["Viscosity"].size(), 2u);
    EXPECT_EQ(species["Ar"]["Conductivity"].size(), 1u);
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));
    EXPECT_EQ(listedCaptions(browser), QStringList{"Ar"});
}

TEST_F(BrowserImport, ThermoWithoutTransportRebuildsOnlyTheList)
{
    PropAuxData browser(2, &tab, &tab);
    chooseKind(0);
    messages.answer(Msg::No);
    ModalScript script({pickFile(file("data.inp"), kThermoCaption, kThermoFilter)});
    browser.from_file();
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(texts(), (QStringList{kKindQuestion, "Successful read. Do you want to add transport properties data?"}));
    EXPECT_TRUE(readJsonFile(REACTANTS).document.contains("Ar"));
    EXPECT_TRUE(tab.calls.empty());
    EXPECT_EQ(listedCaptions(browser), QStringList{"Ar"});
}

TEST_F(BrowserImport, FailedFollowUpTransportSaysWhatWasStored)
{
    PropAuxData browser(1, &tab, &tab);
    app.write("files/trans.inp", "transport property coefficients\nAr   V2C1\n V  200.0  broken\n");
    chooseKind(0);
    ModalScript script({pickFile(file("data.inp"), kThermoCaption, kThermoFilter),
                        pickFile(file("trans.inp"), kTransportCaption, kTransportFilter)});
    browser.from_file();
    EXPECT_TRUE(script.finished());
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(messages.lastText(), "Error reading file");
    EXPECT_TRUE(messages.messages().back().informativeText.startsWith(
            "thermodynamic data stored, transport data not read"));
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"})); // the thermodynamic data are in
    EXPECT_TRUE(readJsonFile(SPECIES).document.contains("Ar"));
}

TEST_F(BrowserImport, TransportOnlyAndRefusedChoices)
{
    app.write("Data/Species.json", R"({"Ar": {"Composition": [[1.0, "Ar"]], "Enthalpy": [0.0, 1],
        "Intervals": [{"T_int": [200.0, 6000.0], "a": [2.5], "b": [-745.375, 4.38], "exp": [0.0]}],
        "MolecWeight": [39.948, 0], "Phase": 0, "isActive": true}})");
    PropAuxData browser(1, &tab, &tab);
    {
        chooseKind(1);
        ModalScript script({pickFile(file("trans.inp"), kTransportCaption, kTransportFilter)});
        browser.from_file();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(texts(), (QStringList{kKindQuestion, "Successfully read"}));
    EXPECT_EQ(readJsonFile(SPECIES).document["Ar"]["Conductivity"].size(), 1u);
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));

    // closing the choice, or cancelling the file dialog, ends without a word
    tab.calls.clear();
    messages.clear();
    {
        chooseKind(-1); // no file dialog follows
        ModalScript script({});
        browser.from_file();
        EXPECT_TRUE(script.finished());
    }
    {
        chooseKind(0);
        ModalScript script({pickFile("", kThermoCaption, kThermoFilter)});
        browser.from_file();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(texts(), (QStringList{kKindQuestion, kKindQuestion}));

    // a file that is not an .inp file is not read
    messages.clear();
    {
        chooseKind(0);
        ModalScript script({pickFile(file("data.txt"), kThermoCaption, kThermoFilter)});
        browser.from_file();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(texts(), (QStringList{kKindQuestion, "Error reading file"}));
    EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
    EXPECT_TRUE(tab.calls.empty());
}

TEST_F(BrowserImport, MechanismFilesInReactionMode)
{
    app.write("Data/Species.json", R"({"H": {}, "H2": {}, "O": {}, "O2": {}, "OH": {}})");
    PropAuxData browser(0, &tab, &tab);
    {
        ModalScript script({pickFile(file("h2o2.mech"), kKineticsCaption, kKineticsFilter)});
        QTest::mouseClick(browser.findChild<QPushButton*>("but_add_ff"), Qt::LeftButton);
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(messages.lastText(), "Successfully read");
    EXPECT_EQ(readJsonFile(KINETICS).document.size(), 2u);
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));
    EXPECT_EQ(listedCaptions(browser).size(), 2);

    tab.calls.clear();
    messages.clear();
    {
        ModalScript script({pickFile(file("h2o2.cti"), kKineticsCaption, kKineticsFilter)});
        browser.from_file();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(texts(), QStringList{"Error reading file"});
    EXPECT_EQ(messages.messages().back().informativeText, "Cantera files are not supported");
    EXPECT_TRUE(tab.calls.empty());
}

// The choice as the user meets it: a real box (no recorder) whose "Transport" leads to the
// transport file dialog and whose Escape chooses nothing, without another box.
TEST(BrowserImportChoice, TheRealBoxMapsItsButtonsAndEscapeChoosesNeither)
{
    TempAppDir app;
    SPECIES = app.dataFile("Species.json");
    app.write("Data/Species.json", "{}");
    {
        PropAuxData browser(1);
        {
            ModalScript script({clickKind("Transport"), pickFile("", kTransportCaption, kTransportFilter)});
            browser.from_file();
            EXPECT_TRUE(script.finished());
        }
        {
            ModalScript script({clickKind("Thermo"), pickFile("", kThermoCaption, kThermoFilter)});
            browser.from_file();
            EXPECT_TRUE(script.finished());
        }
        {
            ModalScript script({clickKind("")});
            browser.from_file();
            EXPECT_TRUE(script.finished());
        }
    }
    restoreBrowserGlobals();
}
