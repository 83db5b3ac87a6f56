#include <gtest/gtest.h>

#include "shell/export_dispatch.h"

// The "Export" command runs the export of the tab in front. With the solid-motor
// options hidden the grain tab is out of the tab widget: the tabs after it move down
// one place and index 3 no longer exists.
TEST(ExportDispatch, TabInFrontWithAndWithoutSolids)
{
    struct Row {
        int index;
        bool solidsHidden;
        ExportTarget target;
    };
    const Row rows[] = {
            {0, false, ExportTarget::Propellant},   {0, true, ExportTarget::Propellant},
            {1, false, ExportTarget::Grain},        {1, true, ExportTarget::Nozzle},
            {2, false, ExportTarget::Nozzle},       {2, true, ExportTarget::Calculations},
            {3, false, ExportTarget::Calculations}, {3, true, ExportTarget::None},
            {-1, false, ExportTarget::None},        {-1, true, ExportTarget::None},
    };
    for (const Row& row : rows)
        EXPECT_EQ(exportTarget(row.index, row.solidsHidden), row.target)
                << "index " << row.index << (row.solidsHidden ? ", solids hidden" : "");
    // an index the tab widget never gives
    EXPECT_EQ(exportTarget(4, false), ExportTarget::None);
}
