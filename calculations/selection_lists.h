#pragma once
// The item names of the propellant, nozzle and grain lists of the calculation tab, read
// from the three data files (names only: the items are loaded by their owners when one
// is chosen).
#include <optional>

#include <QString>
#include <QStringList>

#include "core/view_message.h"

namespace calc {

struct SelectionLists {
    QStringList propellants; // the names of Propellants.json, in key (byte) order
    QStringList nozzles; // "Current", then the names of Nozzles.json
    QStringList grains; // "Current", then the names of Grains.json
};

// Reads PROPELLANT, NOZZLE and GRAIN in that order. A missing file raises F06, F08 or
// F10, one that is not a JSON object F22, F24 or F26, and lists no name. A file that
// exists but cannot be opened stops the reading: nullopt with its box.
Reported<std::optional<SelectionLists>> readSelectionLists();

// The position `name` has in `items` after a refresh, or -1 when it is gone (or empty).
int positionAfterRefresh(const QString& name, const QStringList& items);

} // namespace calc
