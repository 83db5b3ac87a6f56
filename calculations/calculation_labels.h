#pragma once
// The fixed texts of the calculation tab that several views share: the plot-variable
// lists, their normalised labels, the result-table headers and the names of the
// exported images.
#include <array>

#include <QString>
#include <QStringList>

namespace calc {

// Item of the nozzle and grain lists that stands for what the other tab shows now.
inline const QString currentItem = QStringLiteral("Current");

// Rows of the per-station variable list that depend on what a run computed: the
// transport properties (13..15), the wall heat transfer (16), then the entry that opens
// the species choice (17); a plot type past it draws species type - 17.
namespace stationRow {
constexpr int firstTransport = 13;
constexpr int lastTransport = 15;
constexpr int wallHeat = 16;
constexpr int species = 17;
} // namespace stationRow

// The 18 per-station variables (index 17 is the species dialog entry) and the 8
// burn-time variables, in list order.
QStringList stationaryVariables();
QStringList timeVariables();

// Labels used in place of the plain ones while NORMALIZED is set; index 17 (species)
// keeps its plain label, species are never normalised.
QStringList normalisedStationaryVariables();
QStringList normalisedTimeVariables();

// Plot selector items that come before the runs in the plot view.
inline const QString plotAllStationary = QStringLiteral("Plot all (stationary)");
inline const QString plotAllTime = QStringLiteral("Plot all (time dependant)");

// Entries of the run selector in the plot view: the two "Plot all" entries, then one per
// finished run in run order. The table view lists the runs alone.
namespace plotSelector {
constexpr int allStationary = 0;
constexpr int allTime = 1;
constexpr int firstRun = 2;
// The finished run an entry stands for (negative for a "Plot all" entry).
constexpr int runOf(int entry, bool tableView)
{
    return tableView ? entry : entry - firstRun;
}
} // namespace plotSelector

// Column headers of the station table and of the burn-time table.
QStringList stationTableColumns();
QStringList burnTableColumns();

// Variable parts of the exported image names (characters a file name cannot hold
// replaced), by group.
QStringList thermoImageLabels(); // stationary variables 0..12
QStringList transportImageLabels(); // stationary variables 13..16
QStringList timeImageLabels(); // time variables 0..7

} // namespace calc
