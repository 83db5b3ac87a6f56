#pragma once
// The timed loop of a whole infinite-area-combustor run: each repetition starts from the
// same chamber temperature estimate, so every one solves the same problem.
#include <benchmark/benchmark.h>

#include "engine/ode.h"

inline void timeIacRuns(benchmark::State& state, ODE& ode, RocketVariables& rv)
{
    for (auto _ : state) {
        rv.chamberT = 3800.0; // K
        ode.calculateIAC();
        benchmark::DoNotOptimize(rv.u.back());
    }
    if (ode.failed)
        state.SkipWithError("run failed");
}
