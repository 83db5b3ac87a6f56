#include "core/view_message.h"

ViewMessage tabViewMessage(Msg::Icon icon, const QString& text, const QString& informativeText)
{
    return ViewMessage{untitledRequest(icon, text, informativeText), false};
}

void showViewMessages(QObject* view, const ViewMessages& messages)
{
    for (const ViewMessage& message : messages)
        showMessage(message.parentless ? nullptr : view, message.box);
}
