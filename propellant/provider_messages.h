#pragma once
// The boxes of the propellant providers, which other tabs call: modal, without a parent,
// with the critical icon and the program's window icon, without a title.
#include <QString>

#include "core/view_message.h"

void showProviderMessage(const QString& text, const QString& informativeText = {});
// The same box, for code that hands it to its view instead of showing it.
ViewMessage providerViewMessage(const QString& text, const QString& informativeText = {});

// "<Which> file could not be opened, it may be opened by another software or have
// accesibility restrictions" (the spelling is the program's own).
QString cannotOpenFileMessage(const QString& which);
// "<Which> file was corrupted, <operation> process aborted".
QString corruptedFileMessage(const QString& which, const QString& operation);
