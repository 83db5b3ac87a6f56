#include "core/preference_limits.h"

#include <array>
#include <cmath>

#include "core/preferences.h"

using namespace preference_limits;

namespace {

bool admits(double v, Rule lowRule, double low, Rule highRule, double high)
{
    if (std::isnan(v))
        return false;
    const bool aboveLow = lowRule == Above ? v > low : lowRule == AtLeast ? v >= low : true;
    const bool belowHigh = highRule == Below ? v < high : highRule == AtMost ? v <= high : true;
    return aboveLow && belowHigh;
}

#define KAVRO_LIMIT_ROW(key, scale, lowRule, low, highRule, high)                                                      \
    PreferenceLimit{#key, scale, lowRule, double(low), highRule, double(high)},
const PreferenceLimit limits[] = {KAVRO_PREFERENCE_LIMITS(KAVRO_LIMIT_ROW)};
#undef KAVRO_LIMIT_ROW

} // namespace

bool PreferenceLimit::admitsShown(double shown) const
{
    return admits(shown, lowRule, low, highRule, high);
}

bool PreferenceLimit::admitsStored(double stored) const
{
    if (!std::isfinite(stored))
        return false;
    if (scale == Plain)
        return admits(stored, lowRule, low, highRule, high);
    // ln is increasing, so the bounds of the shown value become bounds of its logarithm
    // (a lower bound 0 becomes minus infinity: every finite logarithm is above it).
    return admits(stored, lowRule, std::log(low), highRule, std::log(high));
}

const PreferenceLimit* preferenceLimit(std::string_view key)
{
    for (const PreferenceLimit& limit : limits)
        if (limit.key == key)
            return &limit;
    return nullptr;
}

bool preferenceValueAllowed(std::string_view key, double stored)
{
    const PreferenceLimit* limit = preferenceLimit(key);
    return limit == nullptr || limit->admitsStored(stored);
}

const std::vector<OrderedPreferencePair>& orderedPreferencePairs()
{
#define KAVRO_PAIR_ROW(lower, upper) OrderedPreferencePair{#lower, #upper},
    static const std::vector<OrderedPreferencePair> pairs = {KAVRO_ORDERED_PREFERENCE_PAIRS(KAVRO_PAIR_ROW)};
#undef KAVRO_PAIR_ROW
    return pairs;
}

std::vector<std::string_view> restoreDisorderedPreferencePairs()
{
    // The table's defaults of the paired keys, in their own types.
#define KAVRO_DEFAULT_OF(section, key, type, def) [[maybe_unused]] const type key##Default = def;
    KAVRO_VALUE_PREFERENCES(KAVRO_DEFAULT_OF)
#undef KAVRO_DEFAULT_OF
    std::vector<std::string_view> reset;
#define KAVRO_RESTORE_PAIR(lower, upper)                                                                               \
    if (!(lower < upper)) {                                                                                            \
        lower = lower##Default;                                                                                        \
        upper = upper##Default;                                                                                        \
        reset.push_back(#lower);                                                                                       \
        reset.push_back(#upper);                                                                                       \
    }
    KAVRO_ORDERED_PREFERENCE_PAIRS(KAVRO_RESTORE_PAIR)
#undef KAVRO_RESTORE_PAIR
    return reset;
}
