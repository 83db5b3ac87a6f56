// GoogleTest entry point of the widget tests: a QApplication exists for the whole run
// so widget code and queued calls work, on the offscreen platform, and the message
// seam shows real boxes unless a test installs a recorder.
#include <QApplication>
#include <gtest/gtest.h>

#include "core/ui/message_box_presenter.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installMessageBoxPresenter();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
