#pragma once
// What the Warnings and Critical Errors menus show, built from the one code table
// (core/flag_codes.h): the two explanation texts and the fixed texts of the menus and
// their pop-ups.
#include <QString>
#include <QStringList>

#include "core/flag_codes.h"

// The rich text of the explanation window of `menu`: one entry per code of that
// severity in menu order, each the code in bold, " - ", its explanation and a line
// break. It does not depend on which entry was chosen.
QString flagExplanations(Severity menu);

// Placeholders of an empty menu, and the pop-up's title and text per menu.
extern const char* const noWarningsPlaceholder; // "No warnings found"
extern const char* const noCriticalErrorsPlaceholder; // "No critical errors found"
extern const char* const warningsPopupTitle; // "Warnings raised"
extern const char* const warningsPopupText; // "Warnings raised during calculations:"
extern const char* const criticalPopupTitle; // "Critical errors raised"
extern const char* const criticalPopupText; // "Critical errors raised during calculations:"
extern const char* const warningInfoTitle; // "KAVRO - Warning information"
extern const char* const criticalInfoTitle; // "KAVRO - Critical error information"

// What one pop-up of raised codes shows: the window hands it to the dialog that lists them.
struct FlagListRequest {
    Severity severity = Severity::Warning;
    QString title; // "Critical errors raised" / "Warnings raised"
    QString text; // "Critical errors raised during calculations:" ...
    QStringList lines; // the menu's entries, in menu order
};
