#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"

TEST(CoreSmoke, DefaultsBeforeLoading)
{
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
    EXPECT_TRUE(SPECIES.empty());
    EXPECT_EQ(flagsSP.load(), 0u);
}
