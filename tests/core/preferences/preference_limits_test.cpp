#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "core/preference_limits.h"
#include "core/preferences.h"

namespace {

// Whether `key` is a preference of the table.
bool isPreferenceKey(std::string_view key)
{
#define KAVRO_IS_KEY(section, name, type, def)                                                                         \
    if (key == #name)                                                                                                  \
        return true;
    KAVRO_VALUE_PREFERENCES(KAVRO_IS_KEY)
#undef KAVRO_IS_KEY
    return false;
}

} // namespace

// Every default is a value the dialog would accept; otherwise a fresh file would load
// with codes raised and the dialog would refuse to save what it was given.
TEST(PreferenceLimits, DefaultsLieWithinTheirLimits)
{
#define KAVRO_CHECK_DEFAULT(section, key, type, def) EXPECT_TRUE(preferenceValueAllowed(#key, type(def))) << #key;
    KAVRO_VALUE_PREFERENCES(KAVRO_CHECK_DEFAULT)
#undef KAVRO_CHECK_DEFAULT
#define KAVRO_DEFAULT_OF(section, key, type, def) [[maybe_unused]] const type key##Default = def;
    KAVRO_VALUE_PREFERENCES(KAVRO_DEFAULT_OF)
#undef KAVRO_DEFAULT_OF
#define KAVRO_CHECK_PAIR(lower, upper) EXPECT_LT(lower##Default, upper##Default) << #lower;
    KAVRO_ORDERED_PREFERENCE_PAIRS(KAVRO_CHECK_PAIR)
#undef KAVRO_CHECK_PAIR
}

// A misspelt key in the limits would silently limit nothing.
TEST(PreferenceLimits, EveryRowNamesAPreference)
{
#define KAVRO_CHECK_ROW(key, scale, lowRule, low, highRule, high)                                                      \
    EXPECT_TRUE(isPreferenceKey(#key)) << #key;                                                                        \
    EXPECT_NE(preferenceLimit(#key), nullptr) << #key;
    KAVRO_PREFERENCE_LIMITS(KAVRO_CHECK_ROW)
#undef KAVRO_CHECK_ROW
    for (const OrderedPreferencePair& pair : orderedPreferencePairs()) {
        EXPECT_TRUE(isPreferenceKey(pair.lower));
        EXPECT_TRUE(isPreferenceKey(pair.upper));
    }
    EXPECT_EQ(preferenceLimit("NightMode"), nullptr);
    EXPECT_TRUE(preferenceValueAllowed("NightMode", 12345.0));
}

// A logarithm key: the bounds are those of the shown number (0 < v <= 0.01 for the
// smallest composition kept); the stored logarithm is checked against ln of them.
TEST(PreferenceLimits, LogarithmKeysAreBoundedAsShown)
{
    const PreferenceLimit* limit = preferenceLimit("MIN_SP_LOG_N");
    ASSERT_NE(limit, nullptr);
    EXPECT_FALSE(limit->admitsShown(0.0));
    EXPECT_TRUE(limit->admitsShown(1e-300));
    EXPECT_TRUE(limit->admitsShown(0.01));
    EXPECT_FALSE(limit->admitsShown(0.0100001));
    EXPECT_FALSE(limit->admitsShown(std::nan("")));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(limit->admitsStored(-inf)); // the logarithm of 0
    EXPECT_TRUE(limit->admitsStored(-700.0));
    EXPECT_TRUE(limit->admitsStored(-4.605170185988091)); // ln 0.01
    EXPECT_FALSE(limit->admitsStored(-4.6));

    const PreferenceLimit* reset = preferenceLimit("ln_Pinf_Pi_RESET"); // 1 < v <= 1.1
    ASSERT_NE(reset, nullptr);
    EXPECT_FALSE(reset->admitsStored(0.0));
    EXPECT_TRUE(reset->admitsStored(1e-12));
    EXPECT_TRUE(reset->admitsStored(0.09531017980432493)); // ln 1.1
    EXPECT_FALSE(reset->admitsStored(0.0954));
}

TEST(PreferenceLimits, IntegerTypesCountByTheirValue)
{
    EXPECT_FALSE(preferenceValueAllowed("ABORT", uint16_t(0)));
    EXPECT_TRUE(preferenceValueAllowed("ABORT", uint16_t(65535)));
    EXPECT_TRUE(preferenceValueAllowed("LIST_SEPARATOR", ';'));
    EXPECT_FALSE(preferenceValueAllowed("LIST_SEPARATOR", char(0xB0))); // a byte above 127
    EXPECT_FALSE(preferenceValueAllowed("LIST_SEPARATOR", '\t'));
    EXPECT_TRUE(preferenceValueAllowed("PATH_EXPORT", std::string("anything")));
}
