// The c* tools of the propellant tab and its export.
#include "propellant/ui/prop_tab.h"

#include <qcustomplot.h>

void PropTab::display()
{ }
void PropTab::clear_graph()
{ }
void PropTab::onGraphSelect(QCPAbstractPlottable*, int, QMouseEvent*)
{ }
void PropTab::OptComp()
{ }
void PropTab::exportar()
{ }
void PropTab::NightMode(bool)
{ }
