#include "core/ui/message_box_presenter.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "core/preferences.h"

// The seam's values are QMessageBox's, so they convert one to one.
static_assert(Msg::Critical == static_cast<int>(QMessageBox::Critical));
static_assert(Msg::Question == static_cast<int>(QMessageBox::Question));
static_assert(Msg::Information == static_cast<int>(QMessageBox::Information));
static_assert(Msg::Warning == static_cast<int>(QMessageBox::Warning));
static_assert(Msg::Ok == static_cast<unsigned>(QMessageBox::Ok));
static_assert(Msg::Save == static_cast<unsigned>(QMessageBox::Save));
static_assert(Msg::Open == static_cast<unsigned>(QMessageBox::Open));
static_assert(Msg::Yes == static_cast<unsigned>(QMessageBox::Yes));
static_assert(Msg::No == static_cast<unsigned>(QMessageBox::No));
static_assert(Msg::Abort == static_cast<unsigned>(QMessageBox::Abort));
static_assert(Msg::Retry == static_cast<unsigned>(QMessageBox::Retry));
static_assert(Msg::Ignore == static_cast<unsigned>(QMessageBox::Ignore));
static_assert(Msg::Close == static_cast<unsigned>(QMessageBox::Close));
static_assert(Msg::Cancel == static_cast<unsigned>(QMessageBox::Cancel));
static_assert(Msg::Discard == static_cast<unsigned>(QMessageBox::Discard));
static_assert(Msg::Apply == static_cast<unsigned>(QMessageBox::Apply));
static_assert(Msg::Reset == static_cast<unsigned>(QMessageBox::Reset));

namespace {

MessageReply presentModal(QWidget* parent, const MessageRequest& request)
{
    QMessageBox box(parent);
    if (request.windowIcon)
        box.setWindowIcon(QIcon(QString::fromStdString(appDirectory + "/Graphics/Logo.ico")));
    box.setIcon(static_cast<QMessageBox::Icon>(request.icon));
    box.setWindowTitle(request.title);
    box.setText(request.text);
    if (!request.informativeText.isEmpty())
        box.setInformativeText(request.informativeText);
    box.setStandardButtons(QMessageBox::StandardButtons(static_cast<int>(request.buttons)));
    if (request.defaultButton != Msg::NoButton)
        box.setDefaultButton(static_cast<QMessageBox::StandardButton>(request.defaultButton));
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
        reply.button = static_cast<Msg::Button>(result);
    } else {
        // exec() returns an opaque value once custom buttons exist: ask the box what was clicked.
        QAbstractButton* clicked = box.clickedButton();
        const auto found = std::find(custom.begin(), custom.end(), clicked);
        if (found != custom.end()) {
            reply.button = Msg::NoButton;
            reply.customButton = static_cast<int>(found - custom.begin());
        } else {
            reply.button = clicked ? static_cast<Msg::Button>(box.standardButton(clicked)) : Msg::NoButton;
        }
    }
    reply.checked = check && check->isChecked();
    return reply;
}

} // namespace

MessageReply presentMessageBox(QObject* parent, const MessageRequest& request)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return MessageReply{Msg::NoButton, false, -1};
    if (QThread::currentThread() != app->thread()) {
        // Widgets live on the GUI thread only: hand the box over and wait for the answer.
        MessageReply reply;
        QMetaObject::invokeMethod(
                app, [&] { reply = presentModal(nullptr, request); }, Qt::BlockingQueuedConnection);
        return reply;
    }
    return presentModal(qobject_cast<QWidget*>(parent), request);
}

void installMessageBoxPresenter()
{
    setMessagePresenter(presentMessageBox);
}
