// The grain tab as a user meets it: the initial grain, the panels and combustion types in
// step with the geometry, recalculation, the sweep, the picture, saving, loading and
// deleting through the store, and the export with its files and messages.
#include <filesystem>
#include <functional>

#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "grain/current_grain.h"
#include "grain/grain_provider.h"
#include "grain/ui/grain_tab.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

const char* const kInitialGrainFile = "{\n    \"Grain_1\": {\n        \"Comb_type\": 0,\n        \"Geo_type\": 0,\n"
                                      "        \"Parameters\": [\n            50.0,\n            20.0,\n"
                                      "            100.0,\n            1\n        ],\n        \"Points\": 100,\n"
                                      "        \"Units\": 0\n    }\n}\n";

class GrainTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept = {GRAIN, PATH_EXPORT, NUM_DIS_PREC, COMB_EV, SAME_NAME_EXPORT, currentGrain};
        GRAIN = dir.dataFile("Grains.json");
        PATH_EXPORT = dir.path() + "/Exports";
        NUM_DIS_PREC = 10;
        COMB_EV = 0;
        SAME_NAME_EXPORT = true;
        currentGrain = {};
        refreshFlag = 0;
        tab = std::make_unique<GrainTab>();
        tab->resize(1063, 619);
        tab->dialogs().chooseItem = [this](QWidget*, int mode, const std::vector<std::string>& items) {
            offered.push_back({mode, items});
            return choice;
        };
        tab->dialogs().chooseExport = [this](QWidget*) { return exportMask; };
        tab->dialogs().saveFileName = [this](QWidget*, const QString& caption, const QString&, const QString& filter) {
            asked << caption + " | " + filter;
            return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        };
    }
    void TearDown() override
    {
        tab.reset();
        GRAIN = kept.grain;
        PATH_EXPORT = kept.pathExport;
        NUM_DIS_PREC = kept.digits;
        COMB_EV = kept.combEv;
        SAME_NAME_EXPORT = kept.sameName;
        currentGrain = kept.current;
        refreshFlag = 0;
        flagsF = 0;
        flagsL = 0;
    }

    template <typename T>
    T* w(const char* name) const
    {
        T* found = tab->findChild<T*>(name);
        EXPECT_TRUE(found) << name;
        return found;
    }
    QLineEdit* field(const char* name) const { return w<QLineEdit>(name); }
    // Types a new text and confirms it, as the user does.
    void edit(const char* name, const QString& text) const
    {
        field(name)->setText(text);
        emit field(name)->editingFinished();
    }
    bool itemEnabled(QComboBox* combo, int row) const
    {
        return qobject_cast<QStandardItemModel*>(combo->model())->item(row)->isEnabled();
    }
    QString pictureText() const
    {
        for (QGraphicsItem* item : tab->scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item))
                return text->toPlainText();
        return {};
    }

    struct Kept {
        std::string grain, pathExport;
        uint8_t digits, combEv;
        bool sameName;
        GrainBurnback current;
    } kept;
    TempAppDir dir;
    MessageRecorder recorder;
    std::unique_ptr<GrainTab> tab;
    std::vector<std::pair<int, std::vector<std::string>>> offered;
    int choice = 0;
    int exportMask = 0;
    QStringList fileAnswers, asked;
};

} // namespace

TEST_F(GrainTabTest, StartsWithTheInitialGrain)
{
    auto* geometry = w<QComboBox>("comb_geo_type");
    EXPECT_EQ(geometry->count(), 2);
    EXPECT_EQ(geometry->itemText(0), "Cylindrical charges");
    EXPECT_EQ(geometry->itemText(1), "Frontal");
    EXPECT_FALSE(w<QScrollArea>("scroll_cilindrical")->isHidden());
    for (const char* hidden : {"scroll_frontal", "scroll_star", "scroll_custom"})
        EXPECT_TRUE(w<QScrollArea>(hidden)->isHidden()) << hidden;
    EXPECT_TRUE(w<QPushButton>("but_def_custom")->isHidden());

    auto* slider = w<QSlider>("Slider_burnback");
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 99);
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(field("line_fill")->text(), "84%");
    EXPECT_EQ(field("line_volume")->text(), "164933.58");
    EXPECT_EQ(field("line_Amin")->text(), "9581.855469");
    EXPECT_EQ(currentGrain.y.size(), 100u);
    EXPECT_EQ(currentGrain.y.back(), 15.0f);
    EXPECT_EQ(currentGrain.unitIndex, 0);
    EXPECT_EQ(tab->model().parameters(), (std::vector<double>{50, 20, 100, 1}));

    auto* plot = w<QCustomPlot>("graph");
    ASSERT_EQ(plot->graphCount(), 1);
    EXPECT_EQ(plot->graph(0)->dataCount(), 100);
    EXPECT_EQ(plot->graph(0)->pen().color(), QColor(Qt::red));
    EXPECT_EQ(plot->graph(0)->pen().width(), GLINE_WIDTH + 1);
    EXPECT_EQ(plot->xAxis->label(), "Advance parameter");
    EXPECT_EQ(plot->yAxis->label(), "Combustion Area");
    EXPECT_EQ(pictureText(), "Current combustion area: 9581.855469");
    EXPECT_DOUBLE_EQ(tab->sceneWidth(), 225.0);
    EXPECT_DOUBLE_EQ(tab->sceneHeight(), 100.0);

    // Numbers in the C locale's form; integers where a count is asked.
    int pos = 0;
    QString text = "1.5";
    EXPECT_EQ(field("line_Dext_cilindrical")->validator()->validate(text, pos), QValidator::Acceptable);
    text = "1.5";
    EXPECT_NE(field("line_y_points")->validator()->validate(text, pos), QValidator::Acceptable);
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainTabTest, GeometryAndCombustionChoices)
{
    auto* geometry = w<QComboBox>("comb_geo_type");
    auto* combustion = w<QComboBox>("comb_combustion");
    geometry->setCurrentIndex(1);
    EXPECT_FALSE(w<QScrollArea>("scroll_frontal")->isHidden());
    EXPECT_TRUE(w<QScrollArea>("scroll_cilindrical")->isHidden());
    EXPECT_EQ(combustion->currentIndex(), 2);
    EXPECT_FALSE(itemEnabled(combustion, 0));
    EXPECT_FALSE(itemEnabled(combustion, 1));
    EXPECT_EQ(field("line_Amax")->text(), "constant area");
    EXPECT_EQ(field("line_fill")->text(), "100%");
    EXPECT_EQ(tab->model().parameters(), (std::vector<double>{50, 100}));
    EXPECT_FALSE(w<QPushButton>("but_opt_length_cilindrical")->isEnabled());

    geometry->setCurrentIndex(0);
    EXPECT_TRUE(itemEnabled(combustion, 0) && itemEnabled(combustion, 1));
    EXPECT_EQ(combustion->currentIndex(), 2); // base burning stays chosen
    EXPECT_EQ(field("line_Adev")->text(), "0%");
    for (const char* name : {"line_from_cilindrical", "line_to_cilindrical", "line_step_cilindrical"})
        EXPECT_FALSE(field(name)->isEnabled()) << name;

    combustion->setCurrentIndex(0);
    EXPECT_TRUE(w<QPushButton>("but_opt_length_cilindrical")->isEnabled());
    EXPECT_TRUE(field("line_step_cilindrical")->isEnabled());
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainTabTest, UnitFollowsAtTheNextCalculation)
{
    w<QComboBox>("combo_units")->setCurrentIndex(1);
    EXPECT_EQ(currentGrain.unitIndex, 0);
    edit("line_length_cilindrical", "90");
    EXPECT_EQ(currentGrain.unitIndex, 1);
}

TEST_F(GrainTabTest, InvalidInputKeepsTheLastCurveButNothingToExport)
{
    const std::vector<float> before = currentGrain.area;
    edit("line_Di_cilindrical", "50"); // zero web
    ASSERT_EQ(recorder.messages().size(), 1u);
    const MessageRequest& m = recorder.messages()[0];
    EXPECT_EQ(m.text, "Exterior diameter must be greater than interior");
    EXPECT_EQ(m.icon, Msg::Critical);
    EXPECT_TRUE(m.title.isEmpty());
    EXPECT_FALSE(m.windowIcon);
    EXPECT_EQ(currentGrain.area, before);
    EXPECT_TRUE(tab->model().parameters().empty());
    EXPECT_EQ(field("line_fill")->text(), "84%");

    recorder.clear();
    exportMask = 2;
    tab->exportar();
    EXPECT_EQ(recorder.texts(), QStringList({"No grain combustion has been calculated"}));
    EXPECT_TRUE(asked.isEmpty());

    recorder.clear();
    edit("line_Di_cilindrical", ""); // an empty field says nothing
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainTabTest, SweepWritesTheMostNeutralLength)
{
    emit w<QPushButton>("but_opt_length_cilindrical")->released();
    EXPECT_EQ(field("line_length_cilindrical")->text(), "85");
    EXPECT_EQ(tab->model().parameters(), (std::vector<double>{50, 20, 85, 1}));
    EXPECT_TRUE(recorder.messages().empty()); // no message on success

    field("line_from_cilindrical")->setText("100");
    field("line_to_cilindrical")->setText("10");
    emit w<QPushButton>("but_opt_length_cilindrical")->released();
    EXPECT_EQ(recorder.texts(), QStringList({"Invalid maximum length for optimization"}));
    EXPECT_EQ(field("line_length_cilindrical")->text(), "85");

    recorder.clear();
    field("line_step_cilindrical")->clear();
    emit w<QPushButton>("but_opt_length_cilindrical")->released();
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.lastText(), "Missing data for optimization");
    EXPECT_EQ(recorder.messages()[0].icon, Msg::Warning);
}

TEST_F(GrainTabTest, SliderMovesTracerAndPicture)
{
    auto* slider = w<QSlider>("Slider_burnback");
    slider->setValue(66);
    EXPECT_EQ(pictureText(), "Current combustion area: 11466.81055");
    auto* tracer = qobject_cast<QCPItemTracer*>(w<QCustomPlot>("graph")->item(0));
    ASSERT_TRUE(tracer);
    EXPECT_DOUBLE_EQ(tracer->graphKey(), currentGrain.y[66]);

    COMB_EV = 1;
    tab->sliderActive(-1);
    EXPECT_DOUBLE_EQ(tab->sceneWidth(), 100.0);
    EXPECT_EQ(tab->scene()->sceneRect(), QRectF(-50, -50, 100, 100));
    tab->sliderActive(1000); // beyond the samples: nothing happens
    EXPECT_EQ(pictureText(), "Current combustion area: 11466.81055");

    // A resize redraws about 100 ms later, with the preference then in force.
    COMB_EV = 2;
    tab->resize(900, 500);
    QApplication::sendPostedEvents();
    QResizeEvent resize(QSize(900, 500), QSize(1063, 619));
    QApplication::sendEvent(tab.get(), &resize);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tab->sceneWidth() == 150.0; }, 3000));
}

TEST_F(GrainTabTest, NightModeRecoloursThePlotAndRedraws)
{
    auto* plot = w<QCustomPlot>("graph");
    COMB_EV = 1;
    tab->NightMode(true);
    EXPECT_EQ(plot->xAxis->labelColor(), QColor(Qt::white));
    EXPECT_NE(tab->sceneWidth(), 100.0);
    // The picture follows half a second later, with the new mode's palette.
    EXPECT_TRUE(QTest::qWaitFor([&] { return tab->sceneWidth() == 100.0; }, 3000));
    tab->NightMode(false);
    EXPECT_EQ(plot->xAxis->labelColor(), QColor(Qt::black));
}

TEST_F(GrainTabTest, SaveLoadAndDelete)
{
    emit w<QPushButton>("but_save")->released();
    EXPECT_EQ(recorder.texts(), QStringList({"Successful save"}));
    EXPECT_EQ(dir.read("Data/Grains.json"), kInitialGrainFile);
    EXPECT_EQ(refreshFlag.load(), 1);

    // A frontal grain beside it, saved under another name.
    w<QComboBox>("comb_geo_type")->setCurrentIndex(1);
    edit("line_length_frontal", "80");
    field("line_name")->setText("Front");
    emit w<QPushButton>("but_save")->released();

    // Load the cylindrical grain back over the frontal one.
    recorder.clear();
    field("line_y_points")->setText("40");
    w<QComboBox>("combo_units")->setCurrentIndex(3);
    choice = 3; // the second name in key order: "Grain_1"
    emit w<QPushButton>("but_load")->released();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].first, 0);
    EXPECT_EQ(offered[0].second, (std::vector<std::string>{"Front", "Grain_1"}));
    EXPECT_EQ(field("line_name")->text(), "Grain_1");
    EXPECT_EQ(w<QComboBox>("comb_geo_type")->currentIndex(), 0);
    EXPECT_EQ(w<QComboBox>("combo_units")->currentIndex(), 0);
    EXPECT_EQ(field("line_y_points")->text(), "100");
    EXPECT_EQ(tab->model().parameters(), (std::vector<double>{50, 20, 100, 1}));
    EXPECT_EQ(currentGrain.y.size(), 100u);
    EXPECT_TRUE(recorder.messages().empty());

    choice = 2;
    emit w<QPushButton>("but_load")->released();
    EXPECT_EQ(field("line_length_frontal")->text(), "80");
    EXPECT_EQ(field("line_Dext_frontal")->text(), "50");
    EXPECT_EQ(tab->model().parameters(), (std::vector<double>{50, 80}));

    // Cancelled or nothing chosen: nothing changes.
    for (int none : {-1, 0}) {
        choice = none;
        emit w<QPushButton>("but_load")->released();
        emit w<QPushButton>("but_del")->released();
    }
    EXPECT_EQ(field("line_name")->text(), "Front");

    refreshFlag = 0;
    choice = 2;
    emit w<QPushButton>("but_del")->released();
    EXPECT_EQ(offered.back().first, 1);
    EXPECT_EQ(dir.read("Data/Grains.json"), kInitialGrainFile);
    EXPECT_EQ(refreshFlag.load(), 0);
    EXPECT_TRUE(recorder.messages().empty());
}

TEST_F(GrainTabTest, SaveRefusals)
{
    struct Case {
        QString name;
        const char* field;
        QString value;
        QStringList messages;
    };
    const Case cases[] = {
            {"", nullptr, {}, {"Cannot have empty name"}},
            {"Current", nullptr, {}, {"Cannot me named Current"}},
            {"G",
             "line_Dext_cilindrical",
             "0",
             {"Invalid exterior diameter", "Save not completed, invalid parameters"}},
            {"G", "line_number_cilindrical", "", {"Save not completed, invalid parameters"}},
            // Values the tab computes but every run refuses: the field's text, the limit beside it.
            {"G", "line_length_cilindrical", "1e308", {"Invalid length", "Save not completed, invalid parameters"}},
            {"G", "line_length_cilindrical", "5e-324", {"Invalid length", "Save not completed, invalid parameters"}},
            {"G",
             "line_number_cilindrical",
             "5000",
             {"Invalid number of charges", "Save not completed, invalid parameters"}},
    };
    for (const Case& k : cases) {
        // Back to the initial grain; a value the last case left is refused on the way.
        edit("line_Dext_cilindrical", "50");
        edit("line_length_cilindrical", "100");
        edit("line_number_cilindrical", "1");
        recorder.clear();
        if (k.field)
            field(k.field)->setText(k.value);
        field("line_name")->setText(k.name);
        emit w<QPushButton>("but_save")->released();
        EXPECT_EQ(recorder.texts(), k.messages) << k.name.toStdString();
        EXPECT_FALSE(std::filesystem::exists(GRAIN));
    }
    EXPECT_EQ(recorder.messages().front().informativeText, "The number of charges must lie between 1 and 1000");
}

// The grain the tab shows is "Current" for the runs: within the limits of a stored grain
// it loads; beyond them (5000 charges) the tab refuses it where it is typed, so
// "Current" stays the last grain within them and never one a run refuses.
TEST_F(GrainTabTest, CurrentGrainObeysTheLimitsOfStoredGrains)
{
    std::vector<double> y, A;
    ViewMessages boxes;
    flagsL = 0;
    const std::vector<float> shown = currentGrain.area;
    edit("line_number_cilindrical", "5000");
    EXPECT_EQ(recorder.texts(), QStringList{"Invalid number of charges"});
    EXPECT_EQ(currentGrain.area, shown);
    EXPECT_GT(loadGrainBurnback("Current", &y, &A, &boxes), 0.0);
    EXPECT_EQ(flagsL.load(), 0u);
    ASSERT_EQ(A.size(), 100u);
    EXPECT_FLOAT_EQ(static_cast<float>(A[0] * 1e6), shown[0]); // the last grain within the limits, mm^2

    flagsL = 0;
    edit("line_number_cilindrical", "2");
    EXPECT_GT(loadGrainBurnback("Current", &y, &A, &boxes), 0.0);
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_EQ(A.size(), 100u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(GrainTabTest, LoadingWhatTheTabCannotShow)
{
    dir.write("Data/Grains.json", R"({
        "Broken": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0], "Points": 100, "Units": 0},
        "Odd unit": {"Comb_type": 0, "Geo_type": 0, "Parameters": [50.0, 20.0, 100.0, 1], "Points": 100, "Units": 9},
        "Star": {"Comb_type": 1, "Geo_type": 2, "Parameters": [60.0, 44.0, 30.0, 90.0, 2, 6], "Points": 50, "Units": 0}})");
    const QString name = field("line_name")->text();
    for (int c : {2, 3}) {
        recorder.clear();
        choice = c;
        emit w<QPushButton>("but_load")->released();
        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_TRUE(recorder.lastText().endsWith("could not be loaded: its stored data are incomplete or invalid"));
        EXPECT_EQ(field("line_name")->text(), name);
        EXPECT_FALSE(tab->model().parameters().empty());
    }

    // A star: no geometry of the list, every panel hidden, nothing left to draw or export
    // under the star's name; its fields are filled.
    recorder.clear();
    choice = 4;
    emit w<QPushButton>("but_load")->released();
    EXPECT_EQ(w<QComboBox>("comb_geo_type")->currentIndex(), -1);
    for (const char* panel : {"scroll_cilindrical", "scroll_frontal", "scroll_star", "scroll_custom"})
        EXPECT_TRUE(w<QScrollArea>(panel)->isHidden()) << panel;
    EXPECT_EQ(field("line_name")->text(), "Star");
    EXPECT_EQ(field("line_Dpoint_star")->text(), "44");
    EXPECT_EQ(field("line_Din_star")->text(), "30");
    EXPECT_EQ(field("line_points_star")->text(), "6");
    EXPECT_TRUE(tab->model().parameters().empty());
    EXPECT_TRUE(recorder.messages().empty());
    exportMask = 18;
    tab->exportar();
    EXPECT_EQ(recorder.texts(), QStringList({"No grain combustion has been calculated"}));

    // Back to a geometry of the list.
    w<QComboBox>("comb_geo_type")->setCurrentIndex(0);
    EXPECT_FALSE(tab->model().parameters().empty());
}

TEST_F(GrainTabTest, ExportWritesTheChosenFiles)
{
    const QString folder = QString::fromStdString(dir.path());
    fileAnswers << folder + "/run.final.csv";
    exportMask = 2 | 4 | 8 | 16;
    tab->exportar();
    EXPECT_EQ(asked, QStringList({"CSV file for grain data to be written | data file (*.csv)"}));
    EXPECT_EQ(recorder.texts(), QStringList({"Export finished successfully"}));
    EXPECT_EQ(recorder.messages()[0].icon, Msg::Information);

    const std::string csv = dir.read("run.final.csv");
    EXPECT_EQ(csv.rfind("\nGrain_1\n;Exterior diameter;Interior diameter;Length;Number;Combustion type\n"
                        ";50;20;100;1;Radial & Base\n\n;Coordinate y:;0;0.1515151560306549;",
                        0),
              0u);
    for (const char* image : {"/run_graph.png", "/run_img.png"}) {
        const QImage png(folder + image);
        EXPECT_EQ(png.size(), QSize(800, 450)) << image;
    }
    // The picture keeps transparent margins where the scene does not reach.
    const QImage picture(folder + "/run_img.png");
    EXPECT_EQ(picture.pixelColor(400, 0).alpha(), 0);
    EXPECT_EQ(PATH_EXPORT, dir.path() + "/run_img.png");
}

TEST_F(GrainTabTest, ExportAsksOrStops)
{
    const QString folder = QString::fromStdString(dir.path());
    // Images alone are asked for, even with names derived from a CSV file otherwise.
    fileAnswers << folder + "/plot.png" << QString();
    exportMask = 8 | 4;
    tab->exportar();
    EXPECT_EQ(asked,
              QStringList({"file for combustion area graph | image file (*.png)",
                           "file for grain image | image file (*.png)"}));
    EXPECT_TRUE(QFile::exists(folder + "/plot.png"));
    EXPECT_TRUE(recorder.messages().empty()); // the cancelled dialog ends it silently

    // Nothing chosen, or the CSV dialog cancelled.
    asked.clear();
    exportMask = 0;
    tab->exportar();
    exportMask = 16;
    tab->exportar();
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(recorder.messages().empty());

    // A CSV file that cannot be written is reported, never confirmed.
    fileAnswers << folder + "/missing/a.csv";
    tab->exportar();
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_TRUE(recorder.lastText().startsWith("Export failed: " + folder + "/missing/a.csv could not be written"));
    EXPECT_EQ(recorder.messages()[0].icon, Msg::Critical);
}

TEST_F(GrainTabTest, NeverEmitsFlagsUpdated)
{
    int emitted = 0;
    QObject::connect(tab.get(), &GrainTab::FlagsUpdated, [&] { ++emitted; });
    edit("line_Dext_cilindrical", "0");
    dir.write("Data/Grains.json", "not json");
    choice = 0;
    emit w<QPushButton>("but_load")->released();
    EXPECT_TRUE(flagRaised(flagsF, code::F(26)));
    EXPECT_EQ(emitted, 0);
}

// A number no run can compute is refused on Return with the field's message and the
// limit, as at save: the outputs keep the last grain and never show "inf" or "nan".
TEST_F(GrainTabTest, FieldsBeyondTheLimitsAreRefusedOnReturn)
{
    struct Typed {
        const char* field;
        const char* text;
        const char* message;
        const char* rule;
    };
    const char* lengths = "Diameters and lengths must lie between 0.001 mm and 1000000 mm";
    const Typed cases[] = {
            {"line_Dext_cilindrical", "1e308", "Invalid exterior diameter", lengths},
            {"line_length_cilindrical", "1e308", "Invalid length", lengths},
            {"line_Di_cilindrical", "1e-300", "Invalid interior diameter", lengths},
    };
    const char* outputs[] = {"line_Amax", "line_Amin", "line_Amed", "line_Adev", "line_fill", "line_volume"};
    for (const Typed& t : cases) {
        SCOPED_TRACE(t.field);
        QStringList before;
        for (const char* o : outputs)
            before << field(o)->text();
        const QString was = field(t.field)->text();
        recorder.clear();
        edit(t.field, t.text);
        ASSERT_EQ(recorder.texts(), QStringList{t.message});
        EXPECT_EQ(recorder.messages().front().informativeText, t.rule);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(field(outputs[k])->text(), before[k]) << outputs[k];
            EXPECT_FALSE(field(outputs[k])->text().contains("inf")) << outputs[k];
        }
        edit(t.field, was);
    }
}
