#include "core/ui/widget_style.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

bool applyWidgetStyle(uint8_t winstyle)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString name = winstyle == 0 ? QStringLiteral("WindowsVista") : QStringLiteral("Fusion");
    QStyle* style = QStyleFactory::create(name);
    if (!style)
        return false;
    QApplication::setStyle(style); // the application takes ownership
    return true;
}
