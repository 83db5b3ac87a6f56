// The tab over the other subsystems' own loaders: grains from Grains.json and the grain
// tab's current grain; propellants from Propellants.json and the chemical databases as the
// program imports them; nozzles from Nozzles.json and the nozzle tab's current nozzle; run
// end to end on the published hydrogen/oxygen case.
#include "../tab_fixture.h"
#include "core/json_file.h"
#include "grain/current_grain.h"
#include "nozzle/current_nozzle.h"
#include "support/imported_databases.h"

namespace {

using tab_test::TabTest;

class ProvidersTab : public TabTest {
public:
    // The stand-in stores, but the grain subsystem's own loader.
    DataTab& makeWithGrainLoader()
    {
        CalculationProviders p = stores.providers();
        p.loadGrainBurnback = defaultProviders().loadGrainBurnback;
        tab = std::make_unique<DataTab>(nullptr, p);
        return *tab;
    }
    void TearDown() override
    {
        currentGrain = {};
        currentNozzle = {};
        TabTest::TearDown();
    }

    // The databases the program imports from the public NASA files, and the published
    // case's propellant (O/F 5.55157) stored as the propellant tab stores it, once more
    // with the hydrogen/oxygen mechanism for kinetic runs.
    void storeReferencePropellant()
    {
        const ImportedDatabases& db = importedDatabases();
        ASSERT_TRUE(writeJsonFile(app.dataFile("Species.json"), db.speciesWithTransport));
        ASSERT_TRUE(writeJsonFile(app.dataFile("Reactants.json"), db.reactants));
        ASSERT_TRUE(writeJsonFile(app.dataFile("Kinetics.json"), db.kinetics));
        nlohmann::json entry
                = propellantEntry({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"},
                                  {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"});
        nlohmann::json kinetic = propellantEntry({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2"},
                                                 {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"},
                                                 mechanismReactionKeys());
        ASSERT_TRUE(writeJsonFile(PROPELLANT, nlohmann::json{{"LOX/LH2", entry}, {"LOX/LH2 kinetic", kinetic}}));
    }
    // Every loader of the other subsystems.
    DataTab& makeWithLoaders()
    {
        tab = std::make_unique<DataTab>(nullptr, defaultProviders());
        return *tab;
    }
    // A conical nozzle stored as the nozzle tab stores it: 200 mm entrance, 100 mm throat
    // and 500 mm exit diameter (exit area ratio 25), 45-degree convergent, 15-degree
    // divergent, no fillets, 100 stations.
    void storeConicalNozzle()
    {
        app.write("Data/Nozzles.json",
                  R"({"Conical 25": {"Options": [false, false, false, false],)"
                  R"( "Parameters": [200.0, 100.0, 500.0, 45.0, 15.0, 0.0, 0.0], "Points": 100, "Type": 1,)"
                  R"( "Units": 0}})");
    }
};

double figure(const QString& text)
{
    return text.section(' ', 0, 0).toDouble();
}

// The published case (NASA RP-1311, example 8) as a user runs it: LOX/LH2 at 53.3172 bar
// on a conical nozzle of exit area ratio 25, equilibrium, infinite-area combustor, the
// ambient pressure typed equal to the published exit pressure (0.20491 bar): c* 2332.3 m/s
// and Isp 4124.4 m/s within 0.2 %.
TEST_F(ProvidersTab, ThePublishedHydrogenOxygenCaseEndToEnd)
{
    storeReferencePropellant();
    storeConicalNozzle();
    DataTab& t = makeWithLoaders();
    choose("comb_prop", "LOX/LH2");
    EXPECT_EQ(flagsL.load(), 0u);
    choose("comb_nozzle", "Conical 25");
    type("line_spec_pres", "53.3172");
    combo("combo_units_pres")->setCurrentIndex(2); // bar
    line("line_ambient")->setText("0.20491");
    combo("combo_ambient_units")->setCurrentIndex(2);
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
    const double cstar = figure(line("line_cstar")->text());
    const double isp = figure(line("line_isp")->text());
    EXPECT_NEAR(cstar / 2332.3, 1.0, 0.002) << cstar;
    EXPECT_NEAR(isp / 4124.4, 1.0, 0.002) << isp;
    EXPECT_NEAR(figure(line("line_Tcomb")->text()) / 3383.84, 1.0, 0.002);
    EXPECT_EQ(line("line_pres")->text(), "5331720 Pa");
    const RocketVariables& run = *t.model().results[0];
    EXPECT_NEAR(run.p.back() / 0.20491e5, 1.0, 0.005); // the exit pressure the ambient was set to
}

// Water saved with an empty interval list, which the species editor refuses to save: the
// propellant is refused when it is chosen (the loader's box names water and the rule, L07)
// and so is the run, instead of a "result" of 1151.6 K without water's heat capacity.
TEST_F(ProvidersTab, AStoredEntryTheEditorRefusesRefusesThePropellantAndTheRun)
{
    storeReferencePropellant();
    nlohmann::json species = readJsonFile(app.dataFile("Species.json")).document;
    species["H2O"]["Intervals"] = nlohmann::json::array();
    ASSERT_TRUE(writeJsonFile(app.dataFile("Species.json"), species));
    storeConicalNozzle();
    DataTab& t = makeWithLoaders();
    choose("comb_prop", "LOX/LH2");
    ASSERT_EQ(messages.texts(), QStringList{"Invalid specie 'H2O' in the species database, propellant load failed"});
    EXPECT_EQ(messages.messages()[0].informativeText, "A species needs at least one Cp interval");
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(flagsL.load(), code::L07);
    choose("comb_nozzle", "Conical 25");
    type("line_spec_pres", "5.33172");
    messages.clear();
    EXPECT_FALSE(runToEnd());
    EXPECT_EQ(messages.texts().value(0),
              "Calculations can not be performed with a critical error in propellant definition");
    EXPECT_EQ(t.model().finishedCount(), 0u);
}

// Water stored with a third "Enthalpy" element, which the program reads past for a
// species: the propellant and the run are the published case's. Water stored with a unit
// index the list lacks: no load code, but U, and the run start refuses with its words.
TEST_F(ProvidersTab, StoredEnthalpiesOutsideTheWrittenLayoutLoadAndRunAsTheyAlwaysHave)
{
    const struct {
        const char* what;
        nlohmann::json enthalpy;
        bool unitCode;
    } cases[] = {
            {"third element", nlohmann::json::array({-241826.0, 1, 298.15}), false},
            {"unit index 7", nlohmann::json::array({-241826.0, 7}), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        storeReferencePropellant();
        nlohmann::json species = readJsonFile(app.dataFile("Species.json")).document;
        species["H2O"]["Enthalpy"] = c.enthalpy;
        ASSERT_TRUE(writeJsonFile(app.dataFile("Species.json"), species));
        storeConicalNozzle();
        flagsL = 0;
        unitFlag = 0;
        messages.clear();
        DataTab& t = makeWithLoaders();
        choose("comb_prop", "LOX/LH2");
        EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
        EXPECT_EQ(flagsL.load(), 0u);
        EXPECT_EQ(unitFlag.load(), c.unitCode ? 1 : 0);
        choose("comb_nozzle", "Conical 25");
        type("line_spec_pres", "53.3172");
        combo("combo_units_pres")->setCurrentIndex(2); // bar
        line("line_ambient")->setText("0.20491");
        combo("combo_ambient_units")->setCurrentIndex(2);
        if (c.unitCode) {
            EXPECT_FALSE(runToEnd());
            ASSERT_EQ(messages.texts(), QStringList{"A unit used was invalid"});
            EXPECT_EQ(messages.messages()[0].informativeText,
                      "This is probably caused by a manual alteration of the save files, please revert it");
            EXPECT_EQ(t.model().finishedCount(), 0u);
        } else {
            ASSERT_TRUE(runToEnd());
            EXPECT_TRUE(messages.messages().empty()) << messages.texts().join("|").toStdString();
            // The published chamber temperature of the case, 3383.84 K.
            EXPECT_NEAR(figure(line("line_Tcomb")->text()) / 3383.84, 1.0, 0.002);
        }
    }
    unitFlag = 0;
}

TEST_F(ProvidersTab, GrainsComeFromTheGrainSubsystem)
{
    // A tube of 60 mm outside and 20 mm inside diameter, 100 mm long, burning on its
    // inner surface only: 100 samples from an area of pi * 20 mm * 100 mm.
    app.write("Data/Grains.json",
              R"({"Tube": {"Comb_type": 1, "Geo_type": 0, "Parameters": [60.0, 20.0, 100.0, 1], "Points": 100,)"
              R"( "Units": 0}})");
    DataTab& t = makeWithGrainLoader();
    choose("comb_grain", "Tube");
    const RocketVariables& rv = t.model().edited();
    EXPECT_EQ(rv.burnPoints, 100u);
    ASSERT_EQ(rv.burnDistance.size(), 100u);
    EXPECT_NEAR(rv.combustionArea, M_PI * 0.02 * 0.1, 1e-6);
    EXPECT_NEAR(rv.burnDistance.back(), 0.02, 1e-9); // burnt through to the outer wall
    EXPECT_EQ(rv.burnTimes.size(), 100u);
    EXPECT_EQ(flagsL.load(), 0u);

    // The grain tab shows no grain: its message, nothing chosen, no code; a run that
    // re-reads it is refused.
    choose("comb_grain", "Current");
    EXPECT_EQ(messages.texts(), QStringList({"Grain load failed, no grain active in Grain definition tab"}));
    EXPECT_EQ(combo("comb_grain")->currentIndex(), -1);
    EXPECT_FALSE(flagRaised(flagsL, code::L09));

    // It shows one now (in mm): chosen, and re-read at the press.
    currentGrain.y = {0.0f, 5.0f, 10.0f};
    currentGrain.area = {6000.0f, 9000.0f, 12000.0f};
    currentGrain.unitIndex = 0;
    choose("comb_grain", "Current");
    EXPECT_NEAR(t.model().edited().burnArea[2], 0.012, 1e-9);
    chooseReferenceRun();
    radio("radio_spec_grain")->setChecked(true);
    currentGrain = {};
    messages.clear();
    release("but_run");
    // The loader's box says why; the start adds no second box for the same refusal.
    EXPECT_EQ(messages.texts(), QStringList({"Grain load failed, no grain active in Grain definition tab"}));
    EXPECT_FALSE(t.model().running);
}

// The loaders hand their boxes back; the tab shows each right after its load, without a
// parent, and before it tells the shell to update the flags; a burn law refused at the
// start is the start's last box.
TEST_F(ProvidersTab, ALoadersBoxIsShownAfterItsLoadAndBeforeTheFlags)
{
    auto box = [](const char* text) { return ViewMessage{untitledRequest(Msg::Critical, text), true}; };
    CalculationProviders p = stores.providers();
    p.loadPropellantMixture
            = [load = p.loadPropellantMixture, box](const std::string& name, std::vector<std::string>* species,
                                                    ViewMessages* refusals) {
                  refusals->push_back(box("propellant"));
                  return load(name, species, refusals);
              };
    p.loadNozzle
            = [load = p.loadNozzle, box](const std::string& name, std::vector<double>& x, std::vector<double>& area,
                                         double& dt, double& rc, ViewMessages* refusals) {
                  refusals->push_back(box("nozzle"));
                  return load(name, x, area, dt, rc, refusals);
              };
    p.loadGrainBurnback = [load = p.loadGrainBurnback, box](const std::string& name, std::vector<double>& y,
                                                            std::vector<double>& area, ViewMessages* refusals) {
        refusals->push_back(box("grain"));
        return load(name, y, area, refusals);
    };
    p.loadVielleParameters = [box](const std::string&, double&, std::vector<std::pair<double, double>>&,
                                   std::vector<double>&, std::vector<double>&, ViewMessages* refusals) {
        refusals->push_back(box("burn law"));
        return false;
    };
    tab = std::make_unique<DataTab>(nullptr, p);

    // The boxes and the flag updates in the order they happen.
    QStringList log;
    const MessagePresenter recorder = messagePresenter();
    setMessagePresenter([&](QObject* parent, const MessageRequest& r) {
        log << r.text + (parent ? " (child)" : "");
        return recorder(parent, r);
    });
    QObject::connect(tab.get(), &DataTab::FlagsUpdated, [&log] { log << "flags"; });

    choose("comb_prop", "H2/O2");
    choose("comb_nozzle", "N1");
    choose("comb_grain", "G1");
    EXPECT_EQ(log, (QStringList{"propellant", "flags", "nozzle", "flags", "grain", "flags"}));

    // The uniform temperature switched off: the propellant is built again.
    line("line_homT")->setText("298.15");
    check("check_homT")->setChecked(true);
    log.clear();
    check("check_homT")->setChecked(false);
    EXPECT_EQ(log, (QStringList{"propellant", "flags"}));

    radio("radio_spec_grain")->setChecked(true);
    line("line_name")->setText("Grain run");
    log.clear();
    release("but_run");
    EXPECT_EQ(log, QStringList{"burn law"});
    EXPECT_FALSE(tab->model().running);
    setMessagePresenter(recorder);
}

TEST_F(ProvidersTab, NozzlesComeFromTheNozzleSubsystem)
{
    storeConicalNozzle();
    DataTab& t = makeWithLoaders();
    choose("comb_nozzle", "Conical 25");
    const RocketVariables& rv = t.model().edited();
    ASSERT_EQ(rv.stationCount, 100u);
    EXPECT_DOUBLE_EQ(rv.x[rv.throatIndex], 0.0);
    EXPECT_NEAR(rv.area.back() / rv.area[rv.throatIndex], 25.0, 1e-9);
    EXPECT_NEAR(rv.throatDiameter, 0.1, 1e-12);
    EXPECT_EQ(w<QSlider>("Slider_frozen")->value(), static_cast<int>(rv.throatIndex));
    // The entrance area, 3.141592 x (0.1 m)^2, in m^2 as the default chamber area.
    EXPECT_EQ(line("line_chamberA")->text(), "0.03141592");
    EXPECT_EQ(combo("combo_unitsA")->currentIndex(), 3);

    // The nozzle tab shows none: its message, nothing chosen, no code.
    choose("comb_nozzle", "Current");
    EXPECT_EQ(messages.texts(), QStringList({"Nozzle load failed, no nozzle displayed in nozzle definition tab"}));
    EXPECT_EQ(combo("comb_nozzle")->currentIndex(), -1);
    EXPECT_FALSE(flagRaised(flagsL, code::L08));
    // It shows one (in cm): taken in metres.
    currentNozzle.x = {-2.0, -1.0, 0.0, 1.0, 2.0};
    currentNozzle.R = {2.0, 1.5, 1.0, 1.5, 2.0};
    for (double r : currentNozzle.R)
        currentNozzle.A.push_back(3.141592 * r * r);
    currentNozzle.unitIndex = 1;
    currentNozzle.throatDiameter = 2.0;
    currentNozzle.throatCurvatureRadius = 1.0;
    choose("comb_nozzle", "Current");
    EXPECT_EQ(t.model().edited().stationCount, 5u);
    EXPECT_DOUBLE_EQ(t.model().edited().x[4], 0.02);
    EXPECT_EQ(t.model().edited().throatIndex, 2u);
}

TEST_F(ProvidersTab, AKineticRunIsKeptAndShowsItsSwitchStations)
{
    storeReferencePropellant();
    storeConicalNozzle();
    DataTab& t = makeWithLoaders();
    choose("comb_prop", "LOX/LH2 kinetic");
    choose("comb_nozzle", "Conical 25");
    type("line_spec_pres", "5.33172");
    radio("radio_odk")->setChecked(true);
    ASSERT_TRUE(runToEnd(60000));
    ASSERT_EQ(combo("comb_select_conf")->count(), 3)
            << messages.texts().join("|").toStdString() << " ODK " << flagsODK.load() << " L " << flagsL.load();
    const RocketVariables& run = *t.model().results[0];
    EXPECT_FALSE(run.isODE);
    EXPECT_EQ(run.frozenIndex, run.stationCount);
    int markers = 0;
    for (int i = 0; i < graph()->itemCount(); ++i)
        if (auto* tracer = qobject_cast<QCPItemTracer*>(graph()->item(i)))
            markers += tracer->visible() ? 1 : 0;
    EXPECT_EQ(markers, 2);
}

} // namespace
