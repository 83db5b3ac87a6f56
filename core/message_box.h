#pragma once
// Every modal message of the program goes through showMessage(): the one message seam.
// This layer holds no widget: the application installs the presenter that shows the
// real boxes (core/ui/message_box_presenter.h); tests install one that records the
// request and answers at once, so no test blocks on a box and pure code (models,
// stores, providers) can ask and report without depending on widgets.
#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

class QObject;

// Icons and buttons of a box. The values are those of QMessageBox, so the presenter
// converts them one to one (it checks that at compile time).
namespace Msg {
enum Icon { NoIcon = 0, Information = 1, Warning = 2, Critical = 3, Question = 4 };
enum Button : unsigned {
    NoButton = 0x00000000,
    Ok = 0x00000400,
    Save = 0x00000800,
    Open = 0x00002000,
    Yes = 0x00004000,
    No = 0x00010000,
    Abort = 0x00040000,
    Retry = 0x00080000,
    Ignore = 0x00100000,
    Close = 0x00200000,
    Cancel = 0x00400000,
    Discard = 0x00800000,
    Apply = 0x02000000,
    Reset = 0x04000000,
};
using Buttons = unsigned; // an OR of Button values
} // namespace Msg

struct MessageRequest {
    Msg::Icon icon = Msg::Critical;
    QString title = QStringLiteral("KAVRO");
    // The box carries the program's icon ("/Graphics/Logo.ico") in its title bar. Some
    // boxes of the tabs go without it.
    bool windowIcon = true;
    QString text;
    QString informativeText;
    Msg::Buttons buttons = Msg::Ok;
    Msg::Button defaultButton = Msg::NoButton;
    QString checkBoxText; // a "Do not show again" style check box when not empty
    // Buttons with texts of their own ("Thermo", "Transport"), shown in this order after
    // the standard buttons, with the action role. When there are any, the box also gets
    // a hidden button with the reject role, so that Escape or closing the window clicks
    // none of them.
    QStringList customButtons;
    int defaultCustomButton = -1; // index into customButtons; -1: none is the default
};

struct MessageReply {
    Msg::Button button = Msg::Ok; // NoButton when a custom button was clicked
    bool checked = false; // state of the check box, if there was one
    int customButton = -1; // index of the clicked custom button; -1: none was clicked
};

// A box of a tab, or of a loader the tabs call: no title and no window icon.
MessageRequest untitledRequest(Msg::Icon icon, const QString& text, const QString& informativeText = QString());

// `parent` is the widget the box belongs to (a QWidget, or null for none).
using MessagePresenter = std::function<MessageReply(QObject* parent, const MessageRequest&)>;

// Shows the box modally through the installed presenter and returns the user's answer.
// Without a presenter (a program or test that installed none) the text goes to stderr
// and the answer is NoButton.
MessageReply showMessage(QObject* parent, const MessageRequest& request);

// While one lives (on the thread that made it), a one-button box whose icon, text and
// informative text repeat a box already shown during its life is not shown again: one
// refresh reloads the same stored entry in several tabs, and its refusal is told once.
class RepeatedBoxFilter {
public:
    RepeatedBoxFilter();
    ~RepeatedBoxFilter();
    RepeatedBoxFilter(const RepeatedBoxFilter&) = delete;
    RepeatedBoxFilter& operator=(const RepeatedBoxFilter&) = delete;
    // True when `request` was shown before during this filter's life; notes it otherwise.
    bool repeated(const MessageRequest& request);

private:
    RepeatedBoxFilter* outer_;
    std::vector<MessageRequest> shown_;
};

// Shorthands for the common one-button boxes.
void showCritical(QObject* parent, const QString& text, const QString& informativeText = QString());
void showWarning(QObject* parent, const QString& text, const QString& informativeText = QString());
void showInformation(QObject* parent, const QString& text, const QString& informativeText = QString());
// A Yes/No (or Yes/Cancel) question; true when the answer is Yes.
bool askQuestion(QObject* parent, const QString& text, Msg::Icon icon = Msg::Question,
                 Msg::Buttons buttons = Msg::Yes | Msg::No, Msg::Button defaultButton = Msg::Yes);

// Replaces the presenter; an empty function removes it.
void setMessagePresenter(MessagePresenter presenter);
// The presenter in force (tests that replace it for a while put it back afterwards).
MessagePresenter messagePresenter();
