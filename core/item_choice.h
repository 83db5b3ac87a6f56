#pragma once
// The answer of the list dialog with which a tab lets the user pick one stored item to
// load or to delete (AuxChoose): the chosen radio button comes back as its position
// plus firstItemResult, so that any smaller result (cancelled, closed, nothing chosen)
// names no item.
#include <optional>
#include <string>
#include <vector>

inline constexpr int firstItemResult = 2;

// The dialog's modes.
namespace itemChooser {
inline constexpr int select = 0;
inline constexpr int remove = 1; // every chosen item is confirmed by the dialog
} // namespace itemChooser

// The item of `items` (listed in the dialog in this order) that `dialogResult` names, or
// nothing.
std::optional<std::string> chosenItem(int dialogResult, const std::vector<std::string>& items);
