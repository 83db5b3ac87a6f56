#include "core/message_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
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
    QCheckBox* check = nullptr;
    if (!request.checkBoxText.isEmpty()) {
        check = new QCheckBox(request.checkBoxText, &box);
        box.setCheckBox(check);
    }
    MessageReply reply;
    reply.button = static_cast<QMessageBox::StandardButton>(box.exec());
    reply.checked = check && check->isChecked();
    return reply;
}

} // namespace

MessageReply showMessage(QWidget* parent, const MessageRequest& request)
{
    if (presenterSlot())
        return presenterSlot()(parent, request);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return MessageReply{QMessageBox::NoButton, false};
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
    showMessage(parent, MessageRequest{QMessageBox::Critical, QStringLiteral("KAVRO"), text, informativeText});
}

void showWarning(QWidget* parent, const QString& text, const QString& informativeText)
{
    showMessage(parent, MessageRequest{QMessageBox::Warning, QStringLiteral("KAVRO"), text, informativeText});
}

void showInformation(QWidget* parent, const QString& text, const QString& informativeText)
{
    showMessage(parent, MessageRequest{QMessageBox::Information, QStringLiteral("KAVRO"), text, informativeText});
}

bool askQuestion(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
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
