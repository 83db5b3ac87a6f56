#pragma once
// The Preferences dialog: shows the preference values in force on eight pages, and puts
// the edited values into force and into the preferences file when the user saves. The
// main window builds one for each opening, runs it modally and re-applies what the
// result bits name (preferences_result in shell/preferences_form.h): 0 after "Discard"
// or closing, 6 after "Reset to default", the gathered bits after a save.
#include <QDialog>

#include "shell/preferences_form.h"

class Ui_Preferences;

class Preferences : public QDialog {
    Q_OBJECT

public:
    explicit Preferences(QWidget* parent = nullptr);
    ~Preferences() override;
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

public slots:
    // Checks every field, puts the values into force and rewrites the file; a refused
    // field (or a refused file) is named in a message and the dialog stays open.
    void save();
    void discard();
    // Every value back to its default (the data-file paths and the lock kept).
    void restore_default();
    // Marks the result bits of the combo that sent the change.
    void specialChange();
    // Asks for, then applies and saves, the permanent lock of the restricted mode.
    void lock();
    // Lets the user pick the default export folder; stored on save.
    void change_export_file();

private:
    void fillForm();
    void setValidators();
    PreferenceEntries readForm() const;
    void showRefusal(const PreferenceRefusal& refusal);

    Ui_Preferences* ui;
    int resultFlags = 0;
    PreferenceEntries filled; // what fillForm showed: a field still showing it keeps its value
};
