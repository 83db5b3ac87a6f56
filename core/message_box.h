#pragma once
// Every modal message of the program goes through showMessage(). Tests install a
// presenter that records the request and answers at once, so no test blocks on a box.
#include <functional>

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

struct MessageRequest {
    QMessageBox::Icon icon = QMessageBox::Critical;
    QString title = QStringLiteral("KAVRO");
    QString text;
    QString informativeText;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString checkBoxText; // a "Do not show again" style check box when not empty
    // Buttons with texts of their own ("Thermo", "Transport"), shown in this order after
    // the standard buttons, with the action role. When there are any, the box also gets
    // a hidden button with the reject role, so that Escape or closing the window clicks
    // none of them.
    QStringList customButtons;
    int defaultCustomButton = -1; // index into customButtons; -1: none is the default
};

struct MessageReply {
    QMessageBox::StandardButton button = QMessageBox::Ok; // NoButton when a custom button was clicked
    bool checked = false; // state of the check box, if there was one
    int customButton = -1; // index of the clicked custom button; -1: none was clicked
};

using MessagePresenter = std::function<MessageReply(QWidget* parent, const MessageRequest&)>;

// Shows the box modally (from any thread: a worker's request is carried to the GUI
// thread and waits for the answer) and returns the user's answer.
MessageReply showMessage(QWidget* parent, const MessageRequest& request);

// Shorthands for the common one-button boxes.
void showCritical(QWidget* parent, const QString& text, const QString& informativeText = QString());
void showWarning(QWidget* parent, const QString& text, const QString& informativeText = QString());
void showInformation(QWidget* parent, const QString& text, const QString& informativeText = QString());
// A Yes/No (or Yes/Cancel) question; true when the answer is Yes.
bool askQuestion(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Question,
                 QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                 QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

// Replaces the presenter (tests); an empty function restores the real message boxes.
void setMessagePresenter(MessagePresenter presenter);
