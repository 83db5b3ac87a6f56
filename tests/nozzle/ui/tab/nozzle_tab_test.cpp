// The nozzle tab driven through its widgets on the offscreen platform; the list, export
// and file dialogs answered by the test.
#include "tab_fixture.h"

using nlohmann::json;

TEST_F(NozzleTabTest, ConstructionShowsTheDefaultBezierAndThrustTarget)
{
    make();
    EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    EXPECT_EQ(items(w<QComboBox>("comb_type")), (QStringList{"Bezier (parabolic)", "Conical"}));
    EXPECT_FALSE(w<QWidget>("scroll_bezier")->isHidden());
    EXPECT_TRUE(w<QWidget>("scroll_conical")->isHidden());
    EXPECT_TRUE(w<QWidget>("scroll_spike")->isHidden());
    EXPECT_EQ(line("line_conv_length_bezier")->text(), "28.86143602");
    ASSERT_EQ(currentNozzle.x.size(), 100u);
    EXPECT_DOUBLE_EQ(currentNozzle.x.back(), 125);
    EXPECT_FALSE(tab->model().contourPending); // drawn
    EXPECT_EQ(plot()->graphCount(), 5); // wall, axis and three markers
    EXPECT_EQ(plot()->xAxis->label(), "Length");
    EXPECT_EQ(plot()->yAxis->label(), "Radius");
    EXPECT_EQ(plot()->interactions(), QCP::iRangeDrag | QCP::iRangeZoom);

    // The optimisation panel on "Thrust": read-only result in N, restrictions shown.
    EXPECT_EQ(items(w<QComboBox>("combo_opt_target_units")), (QStringList{"N", "kN", "kgf"}));
    EXPECT_EQ(line("line_opt_target")->text(), "0");
    EXPECT_TRUE(line("line_opt_target")->isReadOnly());
    EXPECT_TRUE(w<QCheckBox>("check_OptAdapt")->isHidden());
    EXPECT_FALSE(line("line_Pc_min")->isHidden());
    EXPECT_FALSE(w<QWidget>("units_AeAt_min")->isHidden());
    // No stored propellants or grains: no propellant, "Current" grain, the files' codes.
    EXPECT_EQ(w<QComboBox>("comb_prop")->currentIndex(), -1);
    EXPECT_EQ(items(w<QComboBox>("comb_grain")), QStringList{"Current"});
    EXPECT_EQ(w<QComboBox>("comb_grain")->currentIndex(), 0);
    EXPECT_TRUE(flagRaised(flagsF, code::F(6)));
    EXPECT_TRUE(flagRaised(flagsF, code::F(10)));
    // Validators: only numbers reach the fields.
    ASSERT_NE(line("line_points")->validator(), nullptr);
    ASSERT_NE(line("line_fgdiv")->validator(), nullptr);
    EXPECT_EQ(line("line_name")->validator(), nullptr);
    // Night mode recolours the plot; the wall keeps its red pen.
    tab->NightMode(true);
    EXPECT_EQ(plot()->xAxis->tickLabelColor(), QColor(Qt::white));
    EXPECT_EQ(plot()->graph(0)->pen().color(), QColor(Qt::red));
    tab->NightMode(false);
    EXPECT_EQ(plot()->xAxis->tickLabelColor(), QColor(Qt::black));
}

TEST_F(NozzleTabTest, TypeSwitchShowsItsPanelAndRedrawsItsContour)
{
    make();
    auto* grid = w<QGridLayout>("Box_define_grid");
    w<QComboBox>("comb_type")->setCurrentIndex(1);
    EXPECT_TRUE(w<QWidget>("scroll_bezier")->isHidden());
    EXPECT_FALSE(w<QWidget>("scroll_conical")->isHidden());
    EXPECT_EQ(grid->columnStretch(3), 70);
    EXPECT_EQ(grid->columnStretch(2), 0);
    EXPECT_NEAR(currentNozzle.x.front(), -12.5, 1e-4); // the conical defaults
    EXPECT_EQ(line("line_div_length_conical")->text(), "102.6314196");
    w<QComboBox>("comb_type")->setCurrentIndex(0);
    EXPECT_FALSE(w<QWidget>("scroll_bezier")->isHidden());
    EXPECT_DOUBLE_EQ(currentNozzle.x.back(), 125);
    EXPECT_EQ(grid->columnStretch(2), 70);
}

TEST_F(NozzleTabTest, FieldStatesFollowTheirRadiosAndChecks)
{
    make();
    w<QRadioButton>("radio_conv_length_bezier")->setChecked(true);
    EXPECT_TRUE(line("line_conv_length_bezier")->isEnabled());
    EXPECT_FALSE(line("line_conv_ang_bezier")->isEnabled());
    w<QRadioButton>("radio_conv_ang_bezier")->setChecked(true);
    EXPECT_FALSE(line("line_conv_length_bezier")->isEnabled());
    EXPECT_TRUE(line("line_conv_ang_bezier")->isEnabled());
    w<QRadioButton>("radio_div_length_conical")->setChecked(true);
    EXPECT_TRUE(line("line_div_length_conical")->isEnabled());
    EXPECT_FALSE(line("line_div_conical")->isEnabled());

    w<QCheckBox>("check_tfillet_conical")->setChecked(true);
    EXPECT_TRUE(line("line_tfillet_conical")->isEnabled());
    line("line_tfillet_conical")->setText("3");
    w<QCheckBox>("check_tfillet_conical")->setChecked(false);
    EXPECT_FALSE(line("line_tfillet_conical")->isEnabled());
    EXPECT_EQ(line("line_tfillet_conical")->text(), "3");
    // None of them rebuilds the contour.
    EXPECT_FALSE(tab->model().contourPending);
}

TEST_F(NozzleTabTest, ModesHideTheOptimisationPanelUntilBothAreOff)
{
    make();
    auto hidden = [&] { return w<QWidget>("scroll_opt")->isHidden() && w<QWidget>("but_opt_ode")->isHidden(); };
    auto shown = [&] { return !w<QWidget>("scroll_opt")->isHidden() && !w<QWidget>("but_opt_ode")->isHidden(); };
    babyModeActive = true;
    tab->BabyMode(true);
    EXPECT_TRUE(hidden());
    solidsHidden = true;
    tab->hideSolid(true);
    babyModeActive = false;
    tab->BabyMode(false);
    EXPECT_TRUE(hidden()); // the solid options are still hidden
    solidsHidden = false;
    tab->hideSolid(false);
    EXPECT_TRUE(shown());
}

TEST_F(NozzleTabTest, EditsRecomputeAndDisplayDrawsOnce)
{
    make();
    edit("line_exit_bezier", "120");
    EXPECT_TRUE(tab->model().contourPending);
    EXPECT_DOUBLE_EQ(currentNozzle.R.back(), 60);
    emit w<QPushButton>("but_disp")->released();
    EXPECT_FALSE(tab->model().contourPending);
    EXPECT_DOUBLE_EQ(plot()->graph(0)->data()->at(99)->value, 60);
    EXPECT_FALSE(tab->calculate()); // nothing new to draw

    // A refused edit: its message, no title and no window icon; "Current" keeps the
    // last accepted contour and the plot is not redrawn.
    edit("line_exit_bezier", "10");
    ASSERT_EQ(messages.texts(), QStringList{"Exit diameter must be greater than throat"});
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_TRUE(messages.messages()[0].title.isEmpty());
    EXPECT_FALSE(messages.messages()[0].windowIcon);
    EXPECT_DOUBLE_EQ(currentNozzle.R.back(), 60);
    EXPECT_FALSE(tab->calculate());
    EXPECT_TRUE(tab->model().nozzleParameters.empty());

    // A derived value is written even when a later check refuses.
    messages.clear();
    line("line_exit_bezier")->setText("100");
    edit("line_conv_ang_bezier", "30");
    EXPECT_TRUE(messages.messages().empty());
    const QString at30 = line("line_conv_length_bezier")->text();
    edit("line_conv_ang_bezier", "20");
    const QString at20 = line("line_conv_length_bezier")->text();
    EXPECT_NE(at20, at30);
    line("line_div_length_bezier")->setText("8");
    edit("line_conv_ang_bezier", "25");
    EXPECT_EQ(messages.lastText(), "Incoherent values: insufficient divergent length");
    const QString at25 = line("line_conv_length_bezier")->text();
    EXPECT_NE(at25, at20); // written before the divergent check refused
    // A refusal before the convergent check leaves the derived field alone.
    line("line_parabola_final")->setText("70");
    edit("line_conv_ang_bezier", "35");
    EXPECT_EQ(messages.lastText(), "Final parabola angle must be smaller than initial");
    EXPECT_EQ(line("line_conv_length_bezier")->text(), at25);
}

// A "," typed as a decimal point stays in the field (it used to vanish, "12,5" becoming
// 125) and the contour's check refuses it with the field's message when the field is
// left (the point count, which recomputes nothing by itself, at the next recomputation):
// "Current" keeps the last accepted contour, so no run elsewhere takes another nozzle
// without a word.
TEST_F(NozzleTabTest, ACommaTypedIntoAGeometryFieldIsRefusedWithTheFieldsMessage)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    make();
    struct Typed {
        const char* field;
        const char* keys;
        const char* message;
    };
    for (const Typed& t : {Typed{"line_throat_bezier", "12,5", "Invalid throat diameter"},
                           Typed{"line_exit_bezier", "120,5", "Invalid exit diameter"},
                           Typed{"line_points", "1,000", "Invalid number of points for nozzle representation"}}) {
        SCOPED_TRACE(t.field);
        const CurrentNozzle accepted = currentNozzle;
        const QString was = line(t.field)->text();
        messages.clear();
        line(t.field)->clear();
        QTest::keyClicks(line(t.field), t.keys);
        EXPECT_EQ(line(t.field)->text(), t.keys);
        QTest::keyClick(line(t.field), Qt::Key_Return);
        if (QString(t.field) == "line_points")
            emit line("line_ent_bezier")->editingFinished();
        EXPECT_EQ(messages.texts(), QStringList{t.message});
        EXPECT_EQ(currentNozzle.x, accepted.x);
        EXPECT_EQ(currentNozzle.R, accepted.R);
        EXPECT_DOUBLE_EQ(currentNozzle.throatDiameter, accepted.throatDiameter);
        line(t.field)->setText(was);
    }
    QLocale::setDefault(before);
}

TEST_F(NozzleTabTest, TheUnitGoesWithTheStationsNotWithTheDrawing)
{
    make();
    EXPECT_EQ(currentNozzle.unitIndex, 0);
    w<QComboBox>("comb_units")->setCurrentIndex(1); // no connection: nothing recomputed
    EXPECT_EQ(currentNozzle.unitIndex, 0);
    edit("line_fent", "3"); // recomputed in cm, not drawn yet
    EXPECT_EQ(currentNozzle.unitIndex, 1);
    w<QComboBox>("comb_units")->setCurrentIndex(3);
    EXPECT_TRUE(tab->calculate()); // draws the pending contour
    EXPECT_EQ(currentNozzle.unitIndex, 1); // its stations are still in cm
}

TEST_F(NozzleTabTest, DrawingFollowsTheDisplayPreferences)
{
    make();
    tab->resize(1000, 700);
    tab->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
    struct Case {
        int display;
        bool markers;
        int graphs;
    };
    for (const Case& c : {Case{0, false, 1}, Case{0, true, 4}, Case{1, false, 2}, Case{1, true, 5}, Case{2, false, 2},
                          Case{2, true, 5}}) {
        Nozzle_display = static_cast<uint8_t>(c.display);
        VNOZZ = c.markers;
        NOZZLE_BRUSH = c.display == 2;
        ASSERT_TRUE(tab->calculate(true));
        SCOPED_TRACE(c.display * 10 + c.markers);
        EXPECT_EQ(plot()->graphCount(), c.graphs);
        EXPECT_EQ(plot()->graph(0)->pen().color(), QColor(Qt::red));
        EXPECT_EQ(plot()->graph(0)->pen().widthF(), GLINE_WIDTH + 1);
        if (c.display == 0) {
            EXPECT_DOUBLE_EQ(plot()->yAxis->range().lower, 12.5); // the throat radius
        } else if (c.display == 1) {
            EXPECT_DOUBLE_EQ(plot()->yAxis->range().lower, 0.0);
        } else {
            EXPECT_LT(plot()->yAxis->range().lower, -49.0); // the mirrored wall
            EXPECT_EQ(plot()->graph(1)->brush().style(), Qt::SolidPattern);
            EXPECT_DOUBLE_EQ(plot()->graph(1)->data()->at(0)->value, -25); // negated copy
            EXPECT_DOUBLE_EQ(currentNozzle.R.front(), 25); // the record keeps its radii
        }
        if (c.display == 1) {
            // One unit of length takes as many pixels along x as along y.
            const QRect rect = plot()->axisRect()->rect();
            EXPECT_NEAR(plot()->xAxis->range().size() / rect.width(), plot()->yAxis->range().size() / rect.height(),
                        0.02 * plot()->yAxis->range().size() / rect.height());
            EXPECT_LE(plot()->xAxis->range().lower, currentNozzle.x.front());
        }
    }
}

TEST_F(NozzleTabTest, SaveLoadAndDeleteThroughTheStore)
{
    TestTab& t = make();
    // Refusals.
    line("line_name")->setText("");
    t.save();
    line("line_name")->setText("Current");
    t.save();
    line("line_name")->setText("Bad");
    line("line_exit_bezier")->setText("x");
    t.save();
    EXPECT_EQ(messages.texts(),
              (QStringList{"Cannot have empty name", "Cannot me named Current", "Invalid exit diameter",
                           "Save not completed, invalid parameters"}));
    EXPECT_FALSE(std::filesystem::exists(NOZZLE));
    line("line_exit_bezier")->setText("100");

    // A conical nozzle in cm, convergent as a length, with both fillets.
    messages.clear();
    w<QComboBox>("comb_type")->setCurrentIndex(1);
    w<QComboBox>("comb_units")->setCurrentIndex(1);
    w<QRadioButton>("radio_conv_length_conical")->setChecked(true);
    line("line_conv_length_conical")->setText("30");
    w<QCheckBox>("check_fillet_conical")->setChecked(true);
    line("line_fillet_conical")->setText("4");
    w<QCheckBox>("check_tfillet_conical")->setChecked(true);
    line("line_tfillet_conical")->setText("6");
    line("line_name")->setText("Cone");
    t.save();
    EXPECT_EQ(messages.texts(), QStringList{"Successful save"});
    EXPECT_EQ(refreshFlag, 1);
    const json cone = nozzleFile()["Cone"];
    EXPECT_EQ(cone["Options"], json::array({true, false, true, true}));
    EXPECT_EQ(cone["Parameters"], json::array({50.0, 25.0, 80.0, 30.0, 15.0, 4.0, 6.0}));
    EXPECT_EQ(cone["Points"], 100);
    EXPECT_EQ(cone["Type"], 1);
    EXPECT_EQ(cone["Units"], 1);

    // The form changes; loading puts the stored nozzle back and draws it.
    line("line_ent_conical")->setText("60");
    w<QRadioButton>("radio_conv_conical")->setChecked(true);
    w<QCheckBox>("check_fillet_conical")->setChecked(false);
    w<QComboBox>("comb_units")->setCurrentIndex(0);
    line("line_name")->setText("Other");
    line("line_points")->setText("70");
    w<QComboBox>("comb_type")->setCurrentIndex(0);
    messages.clear();
    t.choices = {2};
    t.load();
    ASSERT_EQ(t.listsShown.size(), 1u);
    EXPECT_EQ(t.listsShown[0], (std::pair<int, std::vector<std::string>>{0, {"Cone"}}));
    EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
    EXPECT_EQ(line("line_name")->text(), "Cone");
    EXPECT_EQ(line("line_points")->text(), "100");
    EXPECT_EQ(w<QComboBox>("comb_type")->currentIndex(), 1);
    EXPECT_EQ(w<QComboBox>("comb_units")->currentIndex(), 1);
    EXPECT_EQ(line("line_ent_conical")->text(), "50");
    EXPECT_TRUE(w<QRadioButton>("radio_conv_length_conical")->isChecked());
    EXPECT_EQ(line("line_conv_length_conical")->text(), "30");
    EXPECT_TRUE(w<QCheckBox>("check_fillet_conical")->isChecked());
    EXPECT_EQ(line("line_fillet_conical")->text(), "4");
    EXPECT_DOUBLE_EQ(currentNozzle.x.front(), -30);
    EXPECT_EQ(currentNozzle.unitIndex, 1);

    // A stored fillet that is off only unchecks its box; the field keeps its text.
    app.write("Data/Nozzles.json", R"({"Plain": {"Options": [false, false, false, false],
        "Parameters": [100.0, 20.0, 60.0, 45.0, 15.0, 0.0, 0.0], "Points": 80, "Type": 1, "Units": 0},
        "Broken": {"Options": [false], "Parameters": [1.0], "Points": 80, "Type": 1, "Units": 0}})");
    t.choices = {3};
    t.load();
    EXPECT_FALSE(w<QCheckBox>("check_fillet_conical")->isChecked());
    EXPECT_EQ(line("line_fillet_conical")->text(), "4");
    EXPECT_EQ(line("line_ent_conical")->text(), "100");
    EXPECT_EQ(currentNozzle.x.size(), 80u);

    // A damaged entry changes nothing; cancelling changes nothing.
    messages.clear();
    t.choices = {2, 0};
    t.load();
    EXPECT_EQ(messages.lastText(), "Nozzle could not be loaded, its stored entry is incomplete or damaged");
    t.load();
    EXPECT_EQ(line("line_name")->text(), "Plain");
    EXPECT_EQ(currentNozzle.x.size(), 80u);

    // Deleting asks through the list in deletion mode, writes, shows nothing and does not
    // ask the other tabs to refresh.
    refreshFlag = 0;
    messages.clear();
    t.listsShown.clear();
    t.choices = {2};
    t.del();
    ASSERT_EQ(t.listsShown.size(), 1u);
    EXPECT_EQ(t.listsShown[0].first, 1);
    EXPECT_EQ(nozzleFile().size(), 1u);
    EXPECT_TRUE(nozzleFile().contains("Plain"));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(refreshFlag, 0);
}

TEST_F(NozzleTabTest, ExportWritesTheChosenFiles)
{
    TestTab& t = make();
    const QString dir = QString::fromStdString(app.path());

    // Everything, with one dialog: the image goes beside the CSV file.
    t.exportMask = 0x02 | 0x04 | 0x08 | 0x10;
    t.fileAnswers = {dir + "/run.1.csv"};
    t.exportar();
    EXPECT_EQ(t.captions, QStringList{"CSV file for nozzle data to be written"});
    EXPECT_EQ(messages.texts(), QStringList{"Export finished successfully"});
    EXPECT_EQ(messages.messages().back().icon, Msg::Information);
    const std::string csv = app.read("run.1.csv");
    EXPECT_EQ(csv.rfind("\nNozzle_1\n;Entrance diameter;Throat diameter;Exit diameter;Convergent angle;", 0), 0u);
    EXPECT_NE(csv.find("\n;Coordinate R:;"), std::string::npos);
    EXPECT_NE(csv.find("\n;Areas:;"), std::string::npos);
    const QImage image(dir + "/run.png");
    EXPECT_EQ(image.size(), QSize(800, 450));
    EXPECT_EQ(PATH_EXPORT, (dir + "/run.png").toStdString());

    // The image alone asks for its own file.
    t.captions.clear();
    messages.clear();
    t.exportMask = 0x10;
    t.fileAnswers = {dir + "/alone.png"};
    t.exportar();
    EXPECT_EQ(t.captions, QStringList{"file for nozzle image"});
    EXPECT_TRUE(QFileInfo::exists(dir + "/alone.png"));

    // Cancelled choice or file dialog: nothing, silently.
    messages.clear();
    t.exportMask = 0;
    t.exportar();
    t.exportMask = 0x04;
    t.fileAnswers.clear();
    t.exportar();
    EXPECT_TRUE(messages.messages().empty());

    // A CSV file that cannot be written is reported, not called a success.
    app.write("Blocked", "a file");
    t.fileAnswers = {dir + "/Blocked/out.csv"};
    t.exportar();
    EXPECT_EQ(messages.texts(), QStringList{"Export failed, the CSV file could not be written"});

    // An invalid form stops before any dialog.
    messages.clear();
    t.captions.clear();
    line("line_points")->setText("10");
    t.exportar();
    EXPECT_EQ(messages.texts(),
              (QStringList{"Invalid number of points for nozzle representation",
                           "Export aborted, invalid nozzle parameters"}));
    EXPECT_TRUE(t.captions.isEmpty());
}

TEST_F(NozzleTabTest, ResizeRecomputesAfterADelay)
{
    make();
    tab->resize(800, 600);
    tab->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
    // The resizes of the show have started their timers; one of the same length started
    // now fires after all of them.
    bool showSettled = false;
    QTimer::singleShot(100, tab.get(), [&showSettled] { showSettled = true; });
    ASSERT_TRUE(QTest::qWaitFor([&showSettled] { return showSettled; }, 5000));
    line("line_exit_bezier")->setText("110"); // typed, not yet left
    EXPECT_DOUBLE_EQ(currentNozzle.R.back(), 50);
    tab->resize(900, 650);
    // Neither the resize itself nor the events it posted recompute: a timer does.
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(currentNozzle.R.back(), 50);
    EXPECT_TRUE(QTest::qWaitFor([] { return currentNozzle.R.back() == 55; }, 5000));
    EXPECT_DOUBLE_EQ(currentNozzle.R.back(), 55);
}

TEST_F(NozzleTabTest, ListsRefreshFromTheFilesAndKeepTheirPositions)
{
    app.write("Data/Propellants.json", R"({"B": {}, "A": {}})");
    app.write("Data/Grains.json", R"({"G": {}})");
    make();
    auto* prop = w<QComboBox>("comb_prop");
    auto* grain = w<QComboBox>("comb_grain");
    EXPECT_EQ(items(prop), (QStringList{"A", "B"}));
    EXPECT_EQ(prop->currentIndex(), -1);
    EXPECT_EQ(items(grain), (QStringList{"Current", "G"}));
    EXPECT_EQ(grain->currentIndex(), -1);
    EXPECT_EQ(flagsF, 0u);

    prop->setCurrentIndex(1);
    grain->setCurrentIndex(1);
    app.write("Data/Propellants.json", R"({"A": {}, "AA": {}, "B": {}})");
    tab->refreshLists();
    EXPECT_EQ(prop->currentText(), "AA"); // by position, not by name
    EXPECT_EQ(grain->currentText(), "G");

    // A file that cannot be opened: its message, both lists as they were.
    std::filesystem::remove(GRAIN);
    std::filesystem::create_directory(GRAIN);
    app.write("Data/Propellants.json", R"({"Z": {}})");
    tab->refreshLists();
    EXPECT_EQ(messages.texts(),
              QStringList{"Grain file could not be opened, it may be opened by another software or "
                          "have accesibility restrictions"});
    EXPECT_EQ(items(prop), (QStringList{"A", "AA", "B"}));
    // Unparsable propellants: empty list and F22.
    std::filesystem::remove(GRAIN);
    app.write("Data/Propellants.json", "{");
    tab->refreshLists();
    EXPECT_EQ(prop->count(), 0);
    EXPECT_EQ(grain->currentText(), "Current");
    EXPECT_TRUE(flagRaised(flagsF, code::F(22)));
}

// Numbers that would give stations no run can compute are refused where they are typed,
// on leaving the field and at save, with the field's message and the limit: the plot and
// "Current" keep the last accepted contour and nothing is written.
TEST_F(NozzleTabTest, NumbersBeyondTheLimitsAreNeitherDrawnNorSaved)
{
    TestTab& t = make();
    struct Typed {
        int type; // 0 Bezier, 1 conical
        const char* field;
        const char* text;
        const char* message;
        const char* rule;
    };
    const char* diameters = "Diameters must lie between 0.001 mm and 1000000 mm";
    const Typed cases[] = {
            {0, "line_ent_bezier", "1e308", "Invalid entrance diameter", diameters},
            {0, "line_exit_bezier", "1e308", "Invalid exit diameter", diameters},
            {0, "line_throat_bezier", "1e-300", "Invalid throat diameter", diameters},
            {0, "line_conv_ang_bezier", "1e-320", "Invalid convergent angle/length",
             "The convergent and divergent sides must be at most 1000000 mm long"},
            {0, "line_fent", "1e-300", "Invalid fillet radius for entrance",
             "Fillet radii must be 0 or lie between 0.001 mm and 1000000 mm"},
            {1, "line_div_conical", "1e-320", "Invalid divergent angle/length",
             "The convergent and divergent sides must be at most 1000000 mm long"},
    };
    line("line_name")->setText("Far");
    for (const Typed& c : cases) {
        SCOPED_TRACE(c.field);
        w<QComboBox>("comb_type")->setCurrentIndex(c.type);
        const CurrentNozzle accepted = currentNozzle;
        const QString was = line(c.field)->text();
        messages.clear();
        edit(c.field, c.text);
        EXPECT_FALSE(t.calculate());
        t.save();
        EXPECT_EQ(messages.texts(), (QStringList{c.message, c.message, "Save not completed, invalid parameters"}));
        ASSERT_FALSE(messages.messages().empty());
        EXPECT_EQ(messages.messages().front().informativeText, c.rule);
        EXPECT_EQ(currentNozzle.x, accepted.x);
        EXPECT_EQ(currentNozzle.A, accepted.A);
        EXPECT_FALSE(std::filesystem::exists(NOZZLE));
        line(c.field)->setText(was);
        EXPECT_TRUE(t.calculate(true));
    }
}
