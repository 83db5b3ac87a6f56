#include "core/item_choice.h"

std::optional<std::string> chosenItem(int dialogResult, const std::vector<std::string>& items)
{
    if (dialogResult < firstItemResult)
        return std::nullopt;
    const auto position = static_cast<std::size_t>(dialogResult - firstItemResult);
    if (position >= items.size())
        return std::nullopt;
    return items[position];
}
