#pragma once
// Test fake for the message seam: records every box and answers from a queue
// (default: the request's default button, or Ok; for a box of custom buttons, its
// default custom button).
#include <deque>
#include <vector>

#include <QStringList>

#include "core/message_box.h"

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void answer(Msg::Button button, bool checked = false) { replies_.push_back({button, checked, -1}); }
    // Answers the next box by clicking its custom button `index` (-1: none, as Escape does).
    void answerCustom(int index) { replies_.push_back({Msg::NoButton, false, index}); }
    const std::vector<MessageRequest>& messages() const { return messages_; }
    // The parent each box was given (null: none), in the order of messages().
    const std::vector<QObject*>& parents() const { return parents_; }
    QString lastText() const { return messages_.empty() ? QString() : messages_.back().text; }
    // The texts of every box so far, in order.
    QStringList texts() const;
    void clear()
    {
        messages_.clear();
        parents_.clear();
        replies_.clear();
    }

private:
    std::vector<MessageRequest> messages_;
    std::vector<QObject*> parents_;
    std::deque<MessageReply> replies_;
    MessagePresenter previous_; // put back when the recorder goes
};
