#pragma once
// The application's widget style from the WINSTYLE preference.
#include <cstdint>

// 1 asks for "Fusion", 0 for "WindowsVista" (any other value counts as 1). When the
// platform has no such style (no "WindowsVista" outside Windows) the current style
// stays. Returns true when the requested style was applied.
bool applyWidgetStyle(uint8_t winstyle);
