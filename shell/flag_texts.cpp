#include "shell/flag_texts.h"

const char* const noWarningsPlaceholder = "No warnings found";
const char* const noCriticalErrorsPlaceholder = "No critical errors found";
const char* const warningsPopupTitle = "Warnings raised";
const char* const warningsPopupText = "Warnings raised during calculations:";
const char* const criticalPopupTitle = "Critical errors raised";
const char* const criticalPopupText = "Critical errors raised during calculations:";
const char* const warningInfoTitle = "KAVRO - Warning information";
const char* const criticalInfoTitle = "KAVRO - Critical error information";

QString flagExplanations(Severity menu)
{
    QString text;
    for (const FlagCode& code : flagCodes) {
        if (code.severity != menu)
            continue;
        text += QStringLiteral("<b>") + QString::fromUtf8(code.code).toHtmlEscaped() + QStringLiteral("</b> - ")
                + QString::fromUtf8(code.explanation).toHtmlEscaped() + QStringLiteral("<br>");
    }
    return text;
}
