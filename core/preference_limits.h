#pragma once
// The limits of the preference values (KAVRO_PREFERENCE_LIMITS in preference_table.h),
// shared by the Preferences dialog, which refuses a value outside them, and the loader,
// which gives a stored value outside them its default.
#include <string_view>
#include <type_traits>
#include <vector>

namespace preference_limits {
enum Scale { Plain, Logarithm };
enum Rule { Unbounded, Above, AtLeast, Below, AtMost };
} // namespace preference_limits

struct PreferenceLimit {
    std::string_view key;
    preference_limits::Scale scale;
    preference_limits::Rule lowRule;
    double low;
    preference_limits::Rule highRule;
    double high;

    // Whether `shown`, the value as the dialog shows it (for a Logarithm key the plain
    // number, not its logarithm), lies within the limits. NaN never does.
    bool admitsShown(double shown) const;
    // Whether `stored`, the value as the preference holds it, lies within the limits.
    // Not finite never does.
    bool admitsStored(double stored) const;
};

// The limits of `key`; null when the key takes any value of its type.
const PreferenceLimit* preferenceLimit(std::string_view key);

// Whether the stored value of `key` lies within its limits (true for a key without).
bool preferenceValueAllowed(std::string_view key, double stored);

// The same for a value of the key's own type: booleans and strings have no limits; the
// separator counts as its signed character code, as the file keeps it.
template <typename T>
bool preferenceValueAllowed(std::string_view key, const T& value)
{
    if constexpr (std::is_same_v<T, char>)
        return preferenceValueAllowed(key, static_cast<double>(static_cast<signed char>(value)));
    else if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
        return preferenceValueAllowed(key, static_cast<double>(value));
    else
        return true;
}

// The pairs whose first value must stay below the second (KAVRO_ORDERED_PREFERENCE_PAIRS).
struct OrderedPreferencePair {
    std::string_view lower;
    std::string_view upper;
};
const std::vector<OrderedPreferencePair>& orderedPreferencePairs();

// Puts both values of every pair that is not in order back to their defaults; returns
// the keys it reset, in table order.
std::vector<std::string_view> restoreDisorderedPreferencePairs();
