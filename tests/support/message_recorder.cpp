#include "message_recorder.h"

MessageRecorder::MessageRecorder()
{
    setMessagePresenter([this](QWidget*, const MessageRequest& request) {
        messages_.push_back(request);
        if (!replies_.empty()) {
            MessageReply reply = replies_.front();
            replies_.pop_front();
            return reply;
        }
        MessageReply reply;
        reply.button = request.defaultButton != QMessageBox::NoButton ? request.defaultButton : QMessageBox::Ok;
        return reply;
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter({});
}
