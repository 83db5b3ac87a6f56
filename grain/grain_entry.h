#pragma once
// A grain as Grains.json stores it (the file's layout is described in grain_store.h): the
// record the store writes and reads, the provider computes and the limits judge.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grain/burnback.h"

namespace grain {

struct GrainEntry {
    int geometry = Cylindrical; // "Geo_type"
    int units = 0; // "Units"
    int combustion = RadialAndBase; // "Comb_type"
    int64_t points = 0; // "Points"
    // In the file's order; counts (N, nStar) hold whole numbers.
    std::vector<double> parameters;
};

// Number of parameters of a geometry, 0 for one without a burn-back (custom, unknown).
std::size_t parameterCount(int geometry);
// Whether parameter `index` of that geometry is a count (written as a JSON integer).
bool isCountParameter(int geometry, std::size_t index);

} // namespace grain
