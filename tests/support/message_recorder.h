#pragma once
// Test fake for the message seam: records every box and answers from a queue
// (default: the request's default button, or Ok).
#include <deque>
#include <vector>

#include "core/message_box.h"

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void answer(QMessageBox::StandardButton button, bool checked = false) { replies_.push_back({button, checked}); }
    const std::vector<MessageRequest>& messages() const { return messages_; }
    QString lastText() const { return messages_.empty() ? QString() : messages_.back().text; }
    void clear() { messages_.clear(); replies_.clear(); }

private:
    std::vector<MessageRequest> messages_;
    std::deque<MessageReply> replies_;
};
