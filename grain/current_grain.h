#pragma once
// The burn-back of the grain tab's last successful calculation, for the whole process:
// the grain the name "Current" stands for in the other tabs, the drawing and the export.
#include <cstdint>
#include <optional>
#include <vector>

#include "grain/grain_entry.h"

struct GrainBurnback {
    std::vector<float> y; // burnt distance per sample, in the unit of unitIndex; 0 first, y_max last
    std::vector<float> area; // combustion area per sample, in the square of that unit
    int32_t unitIndex = 0; // 0 mm, 1 cm, 2 dm, 3 m
    // The grain the curve was computed for, as the tab would save it: a run takes
    // "Current" only within the limits of a stored grain. Empty for a curve set without it.
    std::optional<grain::GrainEntry> geometry;
};

// Empty with unit index 0 until the grain tab's first calculation; never cleared.
extern GrainBurnback currentGrain;
