// The real box presenter: what it puts on the box it shows, in particular the program's
// window icon, which some boxes of the tabs leave out.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "core/ui/message_box_presenter.h"

namespace {

struct ShownBox {
    bool seen = false;
    bool windowIconSet = false;
    QString title;
    QString text;
};

// Shows the request through the presenter and closes the box from inside its event loop
// with its Ok button; a bounded poll, so a box that never shows cannot hang the test.
ShownBox present(const MessageRequest& request)
{
    ShownBox shown;
    QTimer poll;
    int attempts = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++attempts > 200)
                poll.stop();
            return;
        }
        poll.stop();
        shown.seen = true;
        shown.windowIconSet = box->testAttribute(Qt::WA_SetWindowIcon);
        shown.title = box->windowTitle();
        shown.text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(10);
    presentMessageBox(nullptr, request);
    return shown;
}

} // namespace

TEST(MessageBoxPresenter, WindowIconOnlyWhenTheRequestAsksForIt)
{
    for (const bool withIcon : {true, false}) {
        MessageRequest request;
        request.text = QStringLiteral("Grain load failed");
        request.title.clear();
        request.windowIcon = withIcon;
        const ShownBox shown = present(request);
        ASSERT_TRUE(shown.seen) << withIcon;
        EXPECT_EQ(shown.windowIconSet, withIcon);
        EXPECT_EQ(shown.text, request.text);
        EXPECT_TRUE(shown.title.isEmpty());
    }
}
