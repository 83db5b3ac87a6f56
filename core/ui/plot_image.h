#pragma once
// The plot images of the exports: PNG files of IMG_WIDTH by IMG_HEIGHT pixels, at scale
// 1.0, quality 100 and 96 dots per inch.
#include <optional>

#include <QString>

#include "core/export_flow.h"

class QCustomPlot;

// Saves the plot as drawn; the failure (with the path) when the file was not written.
std::optional<ExportFailure> savePlotImage(QCustomPlot* plot, const QString& path);
