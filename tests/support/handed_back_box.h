#pragma once
// The one box a loader hands back instead of showing it: critical, untitled and
// parentless (the caller's view shows it), with its text and window icon.
#include <gtest/gtest.h>

#include "core/view_message.h"

inline void expectOneHandedBackBox(const ViewMessages& handed, const QString& text, bool windowIcon)
{
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].box.text, text);
    EXPECT_EQ(handed[0].box.icon, Msg::Critical);
    EXPECT_TRUE(handed[0].box.title.isEmpty());
    EXPECT_EQ(handed[0].box.windowIcon, windowIcon);
    EXPECT_TRUE(handed[0].parentless);
}
