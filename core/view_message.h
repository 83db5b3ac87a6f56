#pragma once
// What pure code (a model, a store) hands back to its view instead of showing a box
// itself: the refusal that stops an operation, or the notice that ends it ("Successful
// save"); the view shows them through the message seam. A question asked in the middle
// of an operation (overwrite a stored item?) is none of these: its answer decides how
// the operation goes on, so the operation still asks it through the seam.
#include <utility>
#include <vector>

#include <QString>

#include "core/message_box.h"

struct ViewMessage {
    MessageRequest box;
    // Shown without a parent window (the boxes of checks that other windows call too);
    // otherwise the view that shows it is its parent.
    bool parentless = false;
};
using ViewMessages = std::vector<ViewMessage>;

// An operation's result together with the boxes its view shows afterwards, in order.
template <typename T>
struct Reported {
    T value{};
    ViewMessages messages;
};

// A box of a tab: no title and no window icon.
ViewMessage tabViewMessage(Msg::Icon icon, const QString& text, const QString& informativeText = QString());

// Shows the boxes in order, each a child of `view` unless it is parentless.
void showViewMessages(QObject* view, const ViewMessages& messages);

// Shows the boxes of `reported` and hands back its value.
template <typename T>
T showReported(QObject* view, Reported<T> reported)
{
    showViewMessages(view, reported.messages);
    return std::move(reported.value);
}
