#pragma once
// The night (dark) and day (light) look of the tabs' plots: background, the two main
// axes, and the legend. Graphs, items, grids, tick pens, fonts and the second axes are
// left alone: each tab recolours its own content afterwards, from the legend's colours.
class QCustomPlot;

// Applies the look and replots. A null plot is ignored.
void applyPlotNightMode(QCustomPlot* plot, bool night);
