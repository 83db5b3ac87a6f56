#pragma once
// The preference values reached by key, for code that handles many keys alike (the
// Preferences dialog stages, compares and assigns them by its field table). Booleans
// stay booleans, every integer type (the separator as its signed code) is an int64_t,
// doubles and strings stay what they are.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

using PreferenceValue = std::variant<bool, int64_t, double, std::string>;

// The value of `key` in force; false for an unknown key.
PreferenceValue preferenceValue(std::string_view key);

// The table's default of `key` (PATH_EXPORT: empty; it is formed from appDirectory when
// the preferences are loaded); false for an unknown key.
PreferenceValue preferenceDefault(std::string_view key);

// Puts `value` into force as the value of `key`, converted to the key's type. Returns
// false for an unknown key or a value of another kind (a string for a number).
bool setPreferenceValue(std::string_view key, const PreferenceValue& value);
