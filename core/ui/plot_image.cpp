#include "core/ui/plot_image.h"

#include <qcustomplot.h>

#include "core/preferences.h"

std::optional<ExportFailure> savePlotImage(QCustomPlot* plot, const QString& path)
{
    if (plot->savePng(path, static_cast<int>(IMG_WIDTH), static_cast<int>(IMG_HEIGHT), 1.0, 100, 96))
        return std::nullopt;
    return ExportFailure{path, QString(), false};
}
