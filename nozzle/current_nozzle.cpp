#include "nozzle/current_nozzle.h"

CurrentNozzle currentNozzle;
