#pragma once
// What the browser tests share: a stand-in for the propellant tab, the captions of the
// listed entries, and putting back the globals the tests change.
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QLayout>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "support/database_globals.h"

// Stands in for the propellant tab as the browser's parent: records the rebuild requests
// the browser makes of it, in order.
struct CountingTab : QWidget, CompatibleListsUpdater {
    std::vector<std::string> calls;
    void updateCompatibleSpecies() override { calls.push_back("species"); }
    bool updateCompatibleReactions(bool check) override
    {
        calls.push_back(check ? "reactions(true)" : "reactions(false)");
        return true;
    }
};

// The buttons of the browser's list, in list order.
inline std::vector<QAbstractButton*> listedButtons(QWidget& browser)
{
    std::vector<QAbstractButton*> out;
    auto* lay = browser.findChild<QLayout*>("scroll_lay");
    EXPECT_NE(lay, nullptr) << "no list layout";
    for (int i = 0; lay && i < lay->count(); ++i)
        if (auto* b = qobject_cast<QAbstractButton*>(lay->itemAt(i)->widget()))
            out.push_back(b);
    return out;
}

// Their captions; with `shownOnly`, of those the search and filter leave shown.
inline QStringList listedCaptions(QWidget& browser, bool shownOnly = false)
{
    QStringList out;
    for (QAbstractButton* b : listedButtons(browser))
        if (!shownOnly || !b->isHidden())
            out << b->text();
    return out;
}
