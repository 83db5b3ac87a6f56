#include "nozzle/tab_messages.h"

MessageRequest tabRequest(Msg::Icon icon, const QString& text, const QString& informativeText)
{
    return untitledRequest(icon, text, informativeText);
}

MessageReply tabMessage(QObject* parent, Msg::Icon icon, const QString& text, const QString& informativeText)
{
    return showMessage(parent, tabRequest(icon, text, informativeText));
}
