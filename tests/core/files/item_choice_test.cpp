// The answer of the stored-item chooser mapped to the item: the dialog gives the chosen
// position plus 2; anything else (cancel -1, nothing chosen 0, a result past the list)
// names no item.
#include <gtest/gtest.h>

#include "core/item_choice.h"

namespace {

TEST(ItemChoice, ResultNamesTheItemAtItsPosition)
{
    const std::vector<std::string> names{"A", "B", "C"};
    const struct {
        int result;
        const char* item; // nullptr: none
    } cases[] = {{-1, nullptr}, {0, nullptr}, {1, nullptr}, {2, "A"}, {3, "B"}, {4, "C"}, {5, nullptr}};
    for (const auto& c : cases) {
        const std::optional<std::string> chosen = chosenItem(c.result, names);
        if (c.item)
            EXPECT_EQ(chosen, std::optional<std::string>(c.item)) << c.result;
        else
            EXPECT_FALSE(chosen) << c.result;
    }
    EXPECT_FALSE(chosenItem(2, {}));
}

} // namespace
