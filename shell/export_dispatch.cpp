#include "shell/export_dispatch.h"

#include <array>

ExportTarget exportTarget(int tabIndex, bool solidsHidden)
{
    static constexpr std::array<ExportTarget, 4> allTabs{ExportTarget::Propellant, ExportTarget::Grain,
                                                         ExportTarget::Nozzle, ExportTarget::Calculations};
    static constexpr std::array<ExportTarget, 3> withoutGrain{ExportTarget::Propellant, ExportTarget::Nozzle,
                                                              ExportTarget::Calculations};
    if (tabIndex < 0)
        return ExportTarget::None;
    const auto index = static_cast<std::size_t>(tabIndex);
    if (solidsHidden)
        return index < withoutGrain.size() ? withoutGrain[index] : ExportTarget::None;
    return index < allTabs.size() ? allTabs[index] : ExportTarget::None;
}
