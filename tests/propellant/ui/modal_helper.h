#pragma once
// Acts on the next modal dialog the code under test opens (a bounded, event-driven wait);
// a dialog the action leaves open is closed after five seconds so no test can hang.
#include <functional>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

inline void onNextModal(std::function<void(QDialog&)> act)
{
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, act] {
        QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && clock->elapsed() < 5000)
            return;
        poll->stop();
        poll->deleteLater();
        if (!dialog)
            return;
        QTimer::singleShot(5000, dialog, [dialog] {
            if (dialog && dialog->isVisible())
                dialog->done(-99);
        });
        act(*dialog);
    });
    poll->start(5);
}
