#include "calculations/results_table.h"

#include "calculations/calculation_labels.h"
#include "engine/rocket_variables.h"

namespace calc {

namespace {

const QString notAvailable = QStringLiteral("N/A");

QString cell(const std::vector<double>& v, std::size_t i, int digits)
{
    return i < v.size() ? QString::number(v[i], 'g', digits) : notAvailable;
}

QString cell(double v, int digits)
{
    return QString::number(v, 'g', digits);
}

} // namespace

ResultTable stationTable(const RocketVariables& run, int digits)
{
    ResultTable t;
    t.columns = stationTableColumns();
    t.rows = stationaryVariables().mid(0, 17);
    for (std::size_t i = 0; i < run.moleFractions.size(); ++i)
        t.rows << (i < run.speciesNames.size() ? QString::fromStdString(run.speciesNames[i]) : QString());
    t.frozenColumnShown = run.frozenIndex != run.stationCount;
    const std::size_t stations[]
            = {0, run.throatIndex, run.stationCount > 0 ? run.stationCount - 1u : 0u, run.frozenIndex};
    const std::size_t columns = t.frozenColumnShown ? 5 : 4;

    // Per row: the chamber value, the station vector, and whether the run computed it.
    struct Row {
        double chamber;
        bool chamberShown;
        const std::vector<double>* stations;
        bool computed;
    };
    const Row fixed[17] = {
            {run.injectorPressure, true, &run.p, true},
            {run.chamberT, true, &run.T, true},
            {run.chamberRho, true, &run.rho, true},
            {run.chamberH, true, &run.h, true},
            {run.chamberS, true, &run.s, true},
            {run.chamberMW, true, &run.molecularWeight, true},
            {run.chamberGamma, true, &run.gamma, true},
            {run.chamberCp, true, &run.cp, true},
            {run.chamberCv, true, &run.cv, true},
            {run.chamberSoundSpeed, true, &run.soundSpeed, true},
            {0.0, false, &run.u, true},
            {0.0, false, &run.mach, true},
            {0.0, false, &run.massFlow, true},
            {run.chamberConductivity, true, &run.conductivity, run.calcTransport},
            {run.chamberViscosity, true, &run.viscosity, run.calcTransport},
            {run.chamberPrandtl, true, &run.prandtl, run.calcTransport},
            {run.chamberBartzH, true, &run.bartzH, run.calcHeatTransfer},
    };
    t.cells.assign(t.rows.size(), std::vector<QString>(5));
    for (std::size_t r = 0; r < 17; ++r) {
        const Row& row = fixed[r];
        t.cells[r][0] = row.chamberShown && row.computed ? cell(row.chamber, digits) : notAvailable;
        for (std::size_t c = 1; c < columns; ++c)
            t.cells[r][c] = row.computed ? cell(*row.stations, stations[c - 1], digits) : notAvailable;
    }
    for (std::size_t i = 0; i < run.moleFractions.size(); ++i) {
        auto& cells = t.cells[17 + i];
        cells[0] = cell(run.chamberMoleFractions, i, digits);
        for (std::size_t c = 1; c < columns; ++c)
            cells[c] = cell(run.moleFractions[i], stations[c - 1], digits);
    }
    return t;
}

std::array<std::size_t, 3> burnSamples(const RocketVariables& run)
{
    const std::size_t n = run.burnPoints;
    std::size_t middle = n / 2;
    for (std::size_t i = 0; i < n && i < run.burnTimes.size(); ++i) {
        if (run.burnTimes[i] > run.burnTime / 2.0) {
            middle = i;
            break;
        }
    }
    return {0, middle, n > 0 ? n - 1 : 0};
}

ResultTable burnTable(const RocketVariables& run, int digits)
{
    ResultTable t;
    t.columns = burnTableColumns();
    t.rows = timeVariables();
    const std::vector<double>* series[8]
            = {&run.burnChamberPressure, &run.burnChamberT, &run.burnThrust,   &run.burnIsp,
               &run.burnCStar,           &run.burnCE,       &run.burnMassFlow, &run.burnRate};
    const auto samples = burnSamples(run);
    const bool any = run.burnPoints > 0;
    t.cells.assign(8, std::vector<QString>(3));
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            t.cells[r][c] = any ? cell(*series[r], samples[c], digits) : notAvailable;
    return t;
}

} // namespace calc
