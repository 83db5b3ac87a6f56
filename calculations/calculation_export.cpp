#include "calculations/calculation_export.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "calculations/calculation_labels.h"
#include "calculations/plot_series.h"
#include "engine/rocket_variables.h"

namespace calc {

using namespace exportBit;

bool csvChosen(uint32_t mask)
{
    return (mask & (Parameters | Rocket | Thermo | Transport | Composition)) != 0;
}

bool graphSeriesChosen(uint32_t mask)
{
    return (mask & (GraphThermo | GraphTransport | GraphComposition | GraphTime)) != 0;
}

std::optional<QString> exportRefusal(uint32_t mask, int currentRun)
{
    if (mask == CurrentRun || mask == AllRuns)
        return QStringLiteral("No items were selected to be exported");
    if ((mask & CurrentRun) && currentRun < 0 && (mask & ~(CurrentRun | CurrentGraph)))
        return QStringLiteral("No configuration currently selected");
    return std::nullopt;
}

std::vector<SeriesImage> graphSeriesImages(uint32_t mask, int currentRun, bool currentIsGrain,
                                           const std::vector<const RocketVariables*>& compositionRuns)
{
    std::vector<SeriesImage> images;
    // All runs go through the two "Plot all" entries; the current run draws the groups
    // of its own kind.
    const bool all = (mask & CurrentRun) == 0;
    const int selector = all ? plotSelector::allStationary : currentRun + plotSelector::firstRun;
    const bool stationGroups = all || !currentIsGrain;
    const bool timeGroup = all || currentIsGrain;
    auto named = [](const QString& label) { return "_" + label + ".png"; };
    if (stationGroups && (mask & GraphThermo)) {
        const QStringList labels = thermoImageLabels();
        for (int t = 0; t < labels.size(); ++t)
            images.push_back({selector, t, -1, named(labels[t])});
    }
    if (stationGroups && (mask & GraphTransport)) {
        const QStringList labels = transportImageLabels();
        for (int t = 0; t < labels.size(); ++t)
            images.push_back({selector, stationRow::firstTransport + t, -1, named(labels[t])});
    }
    if (stationGroups && (mask & GraphComposition)) {
        // Species 0 as "_Comp_0", then 1, 2, ... until a species no run has.
        auto anyHolds = [&compositionRuns](std::size_t n) {
            return std::any_of(compositionRuns.begin(), compositionRuns.end(),
                               [n](const RocketVariables* r) { return r && speciesSeries(*r, n).drawn; });
        };
        for (std::size_t n = 0; anyHolds(n); ++n) {
            const int species = static_cast<int>(n);
            images.push_back(
                    {selector, stationRow::species + species, species, "_Comp_" + QString::number(species) + ".png"});
        }
    }
    if (timeGroup && (mask & GraphTime)) {
        const QStringList labels = timeImageLabels();
        for (int t = 0; t < labels.size(); ++t)
            images.push_back({all ? plotSelector::allTime : selector, t, -1, named(labels[t])});
    }
    return images;
}

namespace {

class CsvWriter {
public:
    CsvWriter(char separator, int digits) : sep_(separator) { out_ << std::setprecision(digits); }

    // One cell: the separator, then the content.
    CsvWriter& text(const std::string& s)
    {
        out_ << sep_ << quoted(s);
        return *this;
    }
    CsvWriter& number(double v)
    {
        out_ << sep_ << v;
        return *this;
    }
    // An empty cell.
    CsvWriter& empty()
    {
        out_ << sep_;
        return *this;
    }
    // A first cell without a separator before it, then one separator.
    CsvWriter& leading(const std::string& s)
    {
        out_ << quoted(s) << sep_;
        return *this;
    }
    CsvWriter& raw(const std::string& s)
    {
        out_ << s;
        return *this;
    }
    void endLine() { out_ << '\n'; }
    std::string str() const { return out_.str(); }

private:
    // RFC 4180: a cell holding the separator, a quote or a line break is quoted.
    std::string quoted(const std::string& s) const
    {
        if (s.find_first_of(std::string(1, sep_) + "\"\r\n") == std::string::npos)
            return s;
        std::string q = "\"";
        for (char c : s) {
            if (c == '"')
                q += '"';
            q += c;
        }
        return q + "\"";
    }

    char sep_;
    std::ostringstream out_;
};

bool frozenRun(const RocketVariables& r)
{
    return r.isODE && r.frozenIndex != r.stationCount;
}

double at(const std::vector<double>& v, std::size_t i)
{
    return i < v.size() ? v[i] : std::nan("");
}

void parameterCells(CsvWriter& w, const RocketVariables& r, int row)
{
    switch (row) {
    case 0: w.empty().text("Parameters").empty(); break;
    case 1: w.text("Propellant").text(r.propellantName).empty(); break;
    case 2: w.text("Nozzle").text(r.nozzleName).empty(); break;
    case 3:
        if (r.isGrain)
            w.text("Grain").text(r.grainName).empty();
        else
            w.text("Chamber pressure").number(r.givenPressure).empty();
        break;
    case 4: w.text("Calculation type").text(r.isODE ? "ODE" : "ODK").empty(); break;
    case 5:
        if (frozenRun(r))
            w.text("Frozen").number(at(r.x, r.frozenIndex)).empty();
        else
            w.empty().empty().empty();
        break;
    case 6: w.text("Combustor area type").text(r.isIAC ? "IAC" : "FAC").empty(); break;
    case 7:
        if (!r.isIAC)
            w.text("Combustor area").number(r.chamberArea).empty();
        else
            w.empty().empty().empty();
        break;
    case 8: w.text("Transport").text(r.calcTransport ? "true" : "false").empty(); break;
    case 9: w.text("Ambient pressure").number(r.ambientPressure).empty(); break;
    case 10:
        if (r.reactantTemperature != 0.0)
            w.text("Reactant temperature").number(r.reactantTemperature).empty();
        break;
    case 11: w.text("Nozzle wall temperature").number(r.wallTemperature).empty(); break;
    default: break;
    }
}

void rocketCells(CsvWriter& w, const RocketVariables& r, int row)
{
    switch (row) {
    case 0: w.empty().text("Rocket"); break;
    case 1: w.text("Chamber pressure").number(r.injectorPressure); break;
    case 2: w.text("Combustion temperature").number(r.chamberT); break;
    case 3: w.text("Thrust").number(r.thrust); break;
    case 4: w.text("Isp").number(r.specificImpulse); break;
    case 5: w.text("C*").number(r.cStar); break;
    case 6: w.text("CE").number(r.CE); break;
    case 7:
        if (r.isGrain)
            w.text("Combustion time").number(r.burnTime);
        break;
    default: break;
    }
}

// One line of the station table: the label, the chamber cell, the key stations and,
// with every station chosen, an empty cell and every station.
void stationLine(CsvWriter& w, const std::string& label, const std::optional<double>& chamber,
                 const std::vector<double>& values, bool available, const std::vector<std::size_t>& keys,
                 bool everyStation, std::size_t stations)
{
    w.text(label);
    if (!available || !chamber)
        w.text("N/A");
    else
        w.number(*chamber);
    auto value = [&](std::size_t k) {
        if (available)
            w.number(at(values, k));
        else
            w.text("N/A");
    };
    for (std::size_t k : keys)
        value(k);
    if (everyStation) {
        w.empty();
        for (std::size_t k = 0; k < stations; ++k)
            value(k);
    }
    w.endLine();
}

void stationTable(CsvWriter& w, const RocketVariables& r, uint32_t mask)
{
    const bool frozen = frozenRun(r);
    const bool every = (mask & AllStations) != 0;
    const std::size_t n = r.stationCount;
    std::vector<std::size_t> keys = {0, r.throatIndex, n > 0 ? n - 1 : 0};
    if (frozen)
        keys.push_back(r.frozenIndex);

    w.empty().text("Combustion chamber").text("Nozzle entrance").text("Nozzle throat").text("Nozzle exit").empty();
    if (frozen)
        w.raw("Frozen point");
    w.endLine();
    // The chamber has no x coordinate.
    w.text("x coordinate").text("N/A");
    for (std::size_t k : keys)
        w.number(at(r.x, k));
    if (every) {
        w.empty();
        for (std::size_t k = 0; k < n; ++k)
            w.number(at(r.x, k));
    }
    w.endLine();

    auto line = [&](const char* label, std::optional<double> chamber, const std::vector<double>& v, bool available) {
        stationLine(w, label, chamber, v, available, keys, every, n);
    };
    if (mask & Thermo) {
        line("Pressure", r.injectorPressure, r.p, true);
        line("Temperature", r.chamberT, r.T, true);
        line("Density", r.chamberRho, r.rho, true);
        line("Enthalpy", r.chamberH, r.h, true);
        line("Entropy", r.chamberS, r.s, true);
        line("Molecular weight", r.chamberMW, r.molecularWeight, true);
        line("gamma", r.chamberGamma, r.gamma, true);
        line("Cp", r.chamberCp, r.cp, true);
        line("Cv", r.chamberCv, r.cv, true);
        line("a", r.chamberSoundSpeed, r.soundSpeed, true);
        line("u", std::nullopt, r.u, true);
        line("M", std::nullopt, r.mach, true);
        line("G", std::nullopt, r.massFlow, true);
    }
    if (mask & Transport) {
        // Values of a run that did not compute them are "N/A", as in the result table.
        line("Conductivity", r.chamberConductivity, r.conductivity, r.calcTransport);
        line("Viscosity", r.chamberViscosity, r.viscosity, r.calcTransport);
        line("Prandtl", r.chamberPrandtl, r.prandtl, r.calcTransport);
        line("Convective heat transfer coefficient", r.chamberBartzH, r.bartzH, r.calcHeatTransfer);
    }
    if (mask & Composition) {
        static const std::vector<double> none;
        for (std::size_t i = 0; i < r.speciesNames.size(); ++i) {
            const std::vector<double>& row = i < r.moleFractions.size() ? r.moleFractions[i] : none;
            stationLine(w, r.speciesNames[i], at(r.chamberMoleFractions, i), row, true, keys, every, n);
        }
    }
    w.endLine();
}

void burnSeries(CsvWriter& w, const RocketVariables& r)
{
    const std::pair<const char*, const std::vector<double>*> series[9] = {
            {"Time", &r.burnTimes},
            {"Chamber pressure", &r.burnChamberPressure},
            {"Combustion temperature", &r.burnChamberT},
            {"Thrust", &r.burnThrust},
            {"Isp", &r.burnIsp},
            {"c*", &r.burnCStar},
            {"CE", &r.burnCE},
            {"Mass flow", &r.burnMassFlow},
            {"Burn rate", &r.burnRate},
    };
    const std::size_t steps = r.burnPoints;
    for (const auto& [label, values] : series) {
        // A run without burn steps gives an empty line.
        if (steps > 0) {
            w.text(label);
            for (std::size_t k = 0; k < steps; ++k)
                w.number(at(*values, k));
        }
        w.endLine();
    }
}

} // namespace

std::string calculationCsv(const std::vector<const RocketVariables*>& runs, uint32_t mask, char separator, int digits)
{
    CsvWriter w(separator, digits);
    for (const RocketVariables* run : runs) {
        const RocketVariables& r = *run;
        w.leading(r.configurationName);
        w.endLine();
        if (mask & (Parameters | Rocket)) {
            for (int row = 0; row < 12; ++row) {
                if (mask & Parameters)
                    parameterCells(w, r, row);
                if (mask & Rocket)
                    rocketCells(w, r, row);
                w.endLine();
            }
            w.endLine();
        }
        if (mask & (Thermo | Transport | Composition | AllStations)) {
            if (!r.isGrain)
                stationTable(w, r, mask);
            else if (mask & AllStations)
                burnSeries(w, r);
        }
        w.endLine();
    }
    return w.str();
}

} // namespace calc
