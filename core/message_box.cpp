#include "core/message_box.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& presenterMutex()
{
    static std::mutex mutex;
    return mutex;
}

MessagePresenter& presenterSlot()
{
    static MessagePresenter presenter;
    return presenter;
}

void showOneButton(QObject* parent, Msg::Icon icon, const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = icon;
    request.text = text;
    request.informativeText = informativeText;
    showMessage(parent, request);
}

thread_local RepeatedBoxFilter* activeFilter = nullptr;

bool sameBox(const MessageRequest& a, const MessageRequest& b)
{
    return a.icon == b.icon && a.text == b.text && a.informativeText == b.informativeText && a.title == b.title;
}

} // namespace

RepeatedBoxFilter::RepeatedBoxFilter() : outer_(activeFilter)
{
    activeFilter = this;
}

RepeatedBoxFilter::~RepeatedBoxFilter()
{
    activeFilter = outer_;
}

bool RepeatedBoxFilter::repeated(const MessageRequest& request)
{
    // Only a box that tells something: a question is asked each time.
    if (request.buttons != Msg::Ok || !request.customButtons.isEmpty() || !request.checkBoxText.isEmpty())
        return false;
    for (const MessageRequest& earlier : shown_)
        if (sameBox(earlier, request))
            return true;
    shown_.push_back(request);
    return false;
}

MessageReply showMessage(QObject* parent, const MessageRequest& request)
{
    if (activeFilter && activeFilter->repeated(request))
        return MessageReply{Msg::Ok, false, -1};
    MessagePresenter presenter = messagePresenter();
    if (presenter)
        return presenter(parent, request);
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    if (!request.informativeText.isEmpty())
        std::fprintf(stderr, "%s\n", request.informativeText.toLocal8Bit().constData());
    return MessageReply{Msg::NoButton, false, -1};
}

void showCritical(QObject* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, Msg::Critical, text, informativeText);
}

void showWarning(QObject* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, Msg::Warning, text, informativeText);
}

void showInformation(QObject* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, Msg::Information, text, informativeText);
}

bool askQuestion(QObject* parent, const QString& text, Msg::Icon icon, Msg::Buttons buttons, Msg::Button defaultButton)
{
    MessageRequest request;
    request.icon = icon;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return showMessage(parent, request).button == Msg::Yes;
}

MessageRequest untitledRequest(Msg::Icon icon, const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = icon;
    request.title.clear();
    request.windowIcon = false;
    request.text = text;
    request.informativeText = informativeText;
    return request;
}

void setMessagePresenter(MessagePresenter presenter)
{
    std::lock_guard<std::mutex> lock(presenterMutex());
    presenterSlot() = std::move(presenter);
}

MessagePresenter messagePresenter()
{
    std::lock_guard<std::mutex> lock(presenterMutex());
    return presenterSlot();
}
