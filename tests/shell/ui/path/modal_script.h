#pragma once
// Answers the modal dialogs of a user's flow in order, as the user would: each step is
// offered the active modal widget until it takes it (returns true). The wait is event
// driven (a short poll of QApplication::activeModalWidget()) and bounded: a dialog that no
// step takes within the patience is rejected and reported, so a broken flow fails instead
// of hanging.
//
// A step must not block: an action that opens a further modal dialog (a button whose slot
// runs a file dialog) is queued with QTimer::singleShot, so that the poll keeps running
// while the nested dialog is open.
#include <deque>
#include <functional>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

class ModalScript {
public:
    using Step = std::function<bool(QWidget*)>;
    struct NamedStep {
        std::string name; // for the failure message
        Step step;
    };

    explicit ModalScript(std::deque<NamedStep> steps, int patienceMs = 60000)
        : steps_(std::move(steps)), patienceMs_(patienceMs)
    {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    bool finished() const { return steps_.empty(); }
    // The step still waiting for its dialog, empty when all were taken.
    std::string pending() const { return steps_.empty() ? std::string() : steps_.front().name; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (!steps_.empty() && steps_.front().step(modal)) {
            steps_.pop_front();
            clock_.restart();
            return;
        }
        if (clock_.elapsed() > (steps_.empty() ? 2000 : patienceMs_)) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                ADD_FAILURE() << "dialog " << modal->metaObject()->className() << " \""
                              << modal->windowTitle().toStdString() << "\" not expected by step \"" << pending()
                              << "\"";
                dialog->reject();
                clock_.restart();
            }
        }
    }

    std::deque<NamedStep> steps_;
    int patienceMs_;
    QTimer timer_;
    QElapsedTimer clock_;
};
