#pragma once
// Runs a dialog modally the way the tabs do; the user's actions happen inside exec().
// A watchdog ends a dialog that a failing check left open, so no test can hang.
#include <functional>

#include <QDialog>
#include <QTimer>

inline int runModal(QDialog& dialog, const std::function<void()>& actions)
{
    QTimer::singleShot(0, &dialog, actions);
    QTimer::singleShot(5000, &dialog, [&dialog] {
        if (dialog.isVisible())
            dialog.done(-99);
    });
    return dialog.exec();
}
