#pragma once
// Which tab's export the main window's "Export" command runs. While the solid-motor
// options are hidden the grain tab is out of the tab widget, so the indexes of the
// nozzle and calculation tabs move down by one.

enum class ExportTarget { None, Propellant, Grain, Nozzle, Calculations };

// `tabIndex` is the tab widget's current index (-1: no tab).
ExportTarget exportTarget(int tabIndex, bool solidsHidden);
