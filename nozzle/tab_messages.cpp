#include "nozzle/tab_messages.h"

MessageRequest tabRequest(Msg::Icon icon, const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = icon;
    request.title.clear();
    request.windowIcon = false;
    request.text = text;
    request.informativeText = informativeText;
    return request;
}

MessageReply tabMessage(QObject* parent, Msg::Icon icon, const QString& text, const QString& informativeText)
{
    return showMessage(parent, tabRequest(icon, text, informativeText));
}
