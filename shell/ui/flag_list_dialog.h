#pragma once
// The pop-up that lists the raised codes of one menu: the icon of its kind, a title, a
// line of text and a scrolling list with one label per code, then an Ok button. The
// list is at least a third of the main window wide and a quarter of it high, so that
// long code lines stay readable.
#include <QDialog>

#include "shell/flag_texts.h"

class QLabel;

class FlagListDialog : public QDialog {
    Q_OBJECT

public:
    // `window` is the main window: the dialog's parent and the measure of its list.
    FlagListDialog(QWidget* window, const FlagListRequest& request);

    // The labels of the list, in order (for tests).
    QStringList listedLines() const;

private:
    QList<QLabel*> lineLabels;
};
