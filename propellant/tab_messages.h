#pragma once
// The propellant tab's own message boxes: modal children of the tab, without the
// program's window icon and without a title. The tab's model asks its overwrite question
// through these; its refusals come back as the same boxes (tabViewMessage) for the tab.
#include <QString>

#include "core/message_box.h"

MessageReply showTabMessage(QObject* tab, Msg::Icon icon, const QString& text, const QString& informativeText = {},
                            Msg::Buttons buttons = Msg::Ok, Msg::Button defaultButton = Msg::NoButton);
