#include "grain/grain_entry.h"

namespace grain {

std::size_t parameterCount(int geometry)
{
    switch (geometry) {
    case Cylindrical: return 4;
    case Frontal: return 2;
    case Star: return 6;
    default: return 0;
    }
}

bool isCountParameter(int geometry, std::size_t index)
{
    return (geometry == Cylindrical && index == 3) || (geometry == Star && (index == 4 || index == 5));
}

} // namespace grain
