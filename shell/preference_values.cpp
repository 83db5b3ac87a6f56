#include "shell/preference_values.h"

#include <type_traits>

#include "core/preferences.h"

namespace {

template <typename T>
PreferenceValue toValue(const T& v)
{
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, double> || std::is_same_v<T, std::string>)
        return v;
    else if constexpr (std::is_same_v<T, char>)
        return int64_t(static_cast<signed char>(v));
    else
        return int64_t(v);
}

template <typename T>
bool fromValue(T& variable, const PreferenceValue& value)
{
    if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, double> || std::is_same_v<T, std::string>) {
        if (!std::holds_alternative<T>(value))
            return false;
        variable = std::get<T>(value);
    } else {
        if (!std::holds_alternative<int64_t>(value))
            return false;
        variable = static_cast<T>(std::get<int64_t>(value));
    }
    return true;
}

} // namespace

PreferenceValue preferenceValue(std::string_view key)
{
#define KAVRO_GET(section, name, type, def)                                                                            \
    if (key == #name)                                                                                                  \
        return toValue(name);
    KAVRO_VALUE_PREFERENCES(KAVRO_GET)
#undef KAVRO_GET
    return false;
}

PreferenceValue preferenceDefault(std::string_view key)
{
#define KAVRO_DEFAULT(section, name, type, def)                                                                        \
    if (key == #name)                                                                                                  \
        return toValue(type(def));
    KAVRO_VALUE_PREFERENCES(KAVRO_DEFAULT)
#undef KAVRO_DEFAULT
    return false;
}

bool setPreferenceValue(std::string_view key, const PreferenceValue& value)
{
#define KAVRO_SET(section, name, type, def)                                                                            \
    if (key == #name)                                                                                                  \
        return fromValue(name, value);
    KAVRO_VALUE_PREFERENCES(KAVRO_SET)
#undef KAVRO_SET
    return false;
}
