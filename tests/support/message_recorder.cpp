#include "message_recorder.h"

MessageRecorder::MessageRecorder() : previous_(messagePresenter())
{
    setMessagePresenter([this](QObject* parent, const MessageRequest& request) {
        messages_.push_back(request);
        parents_.push_back(parent);
        if (!replies_.empty()) {
            MessageReply reply = replies_.front();
            replies_.pop_front();
            return reply;
        }
        MessageReply reply;
        if (!request.customButtons.isEmpty() && request.defaultCustomButton >= 0) {
            reply.button = Msg::NoButton;
            reply.customButton = request.defaultCustomButton;
            return reply;
        }
        reply.button = request.defaultButton != Msg::NoButton ? request.defaultButton : Msg::Ok;
        return reply;
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(previous_);
}

QStringList MessageRecorder::texts() const
{
    QStringList out;
    for (const MessageRequest& m : messages_)
        out << m.text;
    return out;
}
