#include "core/message_box.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QPushButton>
#include <QThread>

#include "core/preferences.h"

namespace {

MessagePresenter& presenterSlot()
{
    static MessagePresenter presenter;
    return presenter;
}

MessageReply presentModal(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(parent);
    box.setWindowIcon(QIcon(QString::fromStdString(appDirectory + "/Graphics/Logo.ico")));
    box.setIcon(request.icon);
    box.setWindowTitle(request.title);
    box.setText(request.text);
    if (!request.informativeText.isEmpty())
        box.setInformativeText(request.informativeText);
    box.setStandardButtons(request.buttons);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    std::vector<QPushButton*> custom;
    for (const QString& text : request.customButtons)
        custom.push_back(box.addButton(text, QMessageBox::ActionRole));
    if (!custom.empty()) {
        // Escape and the window's close button press this one: no choice is made.
        box.addButton(QString(), QMessageBox::RejectRole)->hide();
        if (request.defaultCustomButton >= 0 && request.defaultCustomButton < static_cast<int>(custom.size()))
            box.setDefaultButton(custom[static_cast<std::size_t>(request.defaultCustomButton)]);
    }
    QCheckBox* check = nullptr;
    if (!request.checkBoxText.isEmpty()) {
        check = new QCheckBox(request.checkBoxText, &box);
        box.setCheckBox(check);
    }
    MessageReply reply;
    const int result = box.exec();
    if (custom.empty()) {
        reply.button = static_cast<QMessageBox::StandardButton>(result);
    } else {
        // exec() returns an opaque value once custom buttons exist: ask the box what was clicked.
        QAbstractButton* clicked = box.clickedButton();
        const auto found = std::find(custom.begin(), custom.end(), clicked);
        if (found != custom.end()) {
            reply.button = QMessageBox::NoButton;
            reply.customButton = static_cast<int>(found - custom.begin());
        } else {
            reply.button = clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
        }
    }
    reply.checked = check && check->isChecked();
    return reply;
}

void showOneButton(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = icon;
    request.text = text;
    request.informativeText = informativeText;
    showMessage(parent, request);
}

} // namespace

MessageReply showMessage(QWidget* parent, const MessageRequest& request)
{
    if (presenterSlot())
        return presenterSlot()(parent, request);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return MessageReply{QMessageBox::NoButton, false, -1};
    if (QThread::currentThread() != app->thread()) {
        // Widgets live on the GUI thread only: hand the box over and wait for the answer.
        MessageReply reply;
        QMetaObject::invokeMethod(
                app, [&] { reply = presentModal(nullptr, request); }, Qt::BlockingQueuedConnection);
        return reply;
    }
    return presentModal(parent, request);
}

void showCritical(QWidget* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, QMessageBox::Critical, text, informativeText);
}

void showWarning(QWidget* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, QMessageBox::Warning, text, informativeText);
}

void showInformation(QWidget* parent, const QString& text, const QString& informativeText)
{
    showOneButton(parent, QMessageBox::Information, text, informativeText);
}

bool askQuestion(QWidget* parent, const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                 QMessageBox::StandardButton defaultButton)
{
    MessageRequest request;
    request.icon = icon;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return showMessage(parent, request).button == QMessageBox::Yes;
}

void setMessagePresenter(MessagePresenter presenter)
{
    presenterSlot() = std::move(presenter);
}
