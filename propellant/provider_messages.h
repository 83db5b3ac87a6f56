#pragma once
// The boxes of the propellant providers, which other tabs call: modal, without a parent,
// with the critical icon and the program's window icon, without a title.
#include <QString>

#include "core/view_message.h"

// The providers show nothing themselves: they hand this box to their caller, whose view
// shows it.
ViewMessage providerViewMessage(const QString& text, const QString& informativeText = {});

// "<Which> file could not be opened, it may be opened by another software or have
// accesibility restrictions" (the spelling is the program's own).
QString cannotOpenFileMessage(const QString& which);
// "<Which> file was corrupted, <operation> process aborted".
QString corruptedFileMessage(const QString& which, const QString& operation);
