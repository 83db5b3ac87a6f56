#include "propellant/tab_messages.h"

MessageReply showTabMessage(QObject* tab, Msg::Icon icon, const QString& text, const QString& informativeText,
                            Msg::Buttons buttons, Msg::Button defaultButton)
{
    MessageRequest request = untitledRequest(icon, text, informativeText);
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return showMessage(tab, request);
}
