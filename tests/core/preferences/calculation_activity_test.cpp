#include <gtest/gtest.h>

#include "core/calculation_activity.h"

// Two overlapping runs (a performance run and a nozzle optimisation) and one finish
// reported twice: the count follows the runs and never goes negative.
TEST(CalculationActivity, CountsOverlappingRuns)
{
    ASSERT_EQ(calculationsRunning(), 0);
    calculationStarted();
    calculationStarted();
    EXPECT_EQ(calculationsRunning(), 2);
    calculationFinished();
    EXPECT_EQ(calculationsRunning(), 1);
    calculationFinished();
    calculationFinished();
    EXPECT_EQ(calculationsRunning(), 0);
    calculationStarted();
    EXPECT_EQ(calculationsRunning(), 1);
    calculationFinished();
}
