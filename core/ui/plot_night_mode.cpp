#include "core/ui/plot_night_mode.h"

#include <qcustomplot.h>

void applyPlotNightMode(QCustomPlot* plot, bool night)
{
    if (!plot)
        return;
    // Only what the plot owns right now is reached through the plot itself, so graphs
    // and items removed earlier (e.g. by clearing the plot) are never touched.
    const QColor text = night ? QColor(Qt::white) : QColor(Qt::black);
    const QPen line(night ? QColor(Qt::white) : QColor(Qt::lightGray));

    plot->setBackground(QBrush(night ? Qt::darkGray : Qt::white));
    // The default axes and legend can be removed from a plot; recolour those it has.
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        if (!axis)
            continue;
        axis->setBasePen(line);
        axis->setLabelColor(text);
        axis->setTickLabelColor(text);
    }
    if (plot->legend) {
        plot->legend->setBorderPen(line);
        plot->legend->setTextColor(text); // also recolours every legend entry
        plot->legend->setBrush(QBrush(night ? Qt::black : Qt::white));
    }
    plot->replot();
}
