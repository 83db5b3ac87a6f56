#pragma once
// What the results plot draws for one run and one variable: the points, the graph name
// suffix, and the colour of the n-th graph.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <Qt>

class RocketVariables;

namespace calc {

struct PlotSeries {
    bool drawn = false; // false: the run has no graph for this variable
    std::vector<double> x; // station x [m] or burn time [s]
    std::vector<double> y;
    QString suffix; // appended to the run's name in the legend
};

// Per-station variable `type` (0..16) of a pressure run, divided by its reference while
// `normalised`: P by the chamber pressure, T by the chamber temperature, s by the chamber
// entropy, h, u and M by the exit value, the heat coefficient by the throat value, the
// others by the first station. Transport variables (13..15) need the run's transport.
PlotSeries stationSeries(const RocketVariables& run, int type, bool normalised);
// Mole fraction of species `species` over the stations (never normalised).
PlotSeries speciesSeries(const RocketVariables& run, std::size_t species);
// The species a run offers for plotting, in its order, each with whether it is offered
// disabled (a mole fraction of zero at every station).
std::vector<std::pair<std::string, bool>> speciesOffer(const RocketVariables& run);
// Burn-time variable `type` (0..7) of a grain run, divided by the largest value of the
// series while `normalised`.
PlotSeries timeSeries(const RocketVariables& run, int type, bool normalised);

// The per-station variable rows a run can draw: the transport rows need its transport
// properties and the wall-heat row its heat transfer. The rows it cannot draw are
// offered disabled, and a choice on one of them goes back to row 0.
struct StationRows {
    std::vector<int> disabled; // in ascending order
    int current = 0; // the list's choice afterwards
};
StationRows stationRowsFor(bool transport, bool wallHeat, int currentRow);

// Colour of a graph by the number of graphs on the plot once it is added: red, blue,
// green, yellow, black, magenta, cyan; nullopt from the eighth on (a random colour).
std::optional<Qt::GlobalColor> graphColour(int graphCount);

// The key of the read-out: "x:<x> m\ny:<y>" (" s" for a burn-time graph).
QString readOut(double x, double y, bool timeGraph, int digits);

} // namespace calc
