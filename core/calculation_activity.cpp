#include "core/calculation_activity.h"

#include <atomic>

namespace {
std::atomic<int> running{0};
}

void calculationStarted()
{
    ++running;
}

void calculationFinished()
{
    int now = running.load();
    while (now > 0 && !running.compare_exchange_weak(now, now - 1)) {
    }
}

int calculationsRunning()
{
    return running.load();
}
