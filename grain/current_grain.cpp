#include "grain/current_grain.h"

GrainBurnback currentGrain;
