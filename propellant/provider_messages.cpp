#include "propellant/provider_messages.h"

#include "core/message_box.h"

ViewMessage providerViewMessage(const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = Msg::Critical;
    request.title.clear();
    request.text = text;
    request.informativeText = informativeText;
    request.windowIcon = true;
    return ViewMessage{request, true};
}

QString cannotOpenFileMessage(const QString& which)
{
    return which
            + QStringLiteral(" file could not be opened, it may be opened by another software or have accesibility "
                             "restrictions");
}

QString corruptedFileMessage(const QString& which, const QString& operation)
{
    return which + QStringLiteral(" file was corrupted, ") + operation + QStringLiteral(" process aborted");
}
