#pragma once
// The presenter of the message seam that shows real modal message boxes.
#include "core/message_box.h"

// Shows the request as a modal QMessageBox with the window icon "/Graphics/Logo.ico"
// (from any thread: a worker's request is carried to the GUI thread and waits for the
// answer). Without an application object nothing is shown and the answer is NoButton.
MessageReply presentMessageBox(QObject* parent, const MessageRequest& request);

// Makes presentMessageBox the presenter of the seam (the program does this at start).
void installMessageBoxPresenter();
