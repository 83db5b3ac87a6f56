#pragma once
// The boxes of the nozzle tab and its store: modal children of the tab (or of no
// window), without title and without window icon.
#include <QString>

#include "core/message_box.h"

MessageRequest tabRequest(Msg::Icon icon, const QString& text, const QString& informativeText = QString());
MessageReply tabMessage(QObject* parent, Msg::Icon icon, const QString& text,
                        const QString& informativeText = QString());
