// Speed of the curve numerics that the kinetic right-hand side and the burn-time
// integrals call many times per run: interpolation, derivative and a Simpson integral
// over a station vector of typical length.
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/curves.h"

namespace {

struct Curve {
    std::vector<double> x, y;
    explicit Curve(int n)
    {
        for (int i = 0; i < n; ++i) {
            x.push_back(i * 0.01);
            y.push_back(1.0 + std::sin(i * 0.01));
        }
    }
};

void BM_Interpolate(benchmark::State& state)
{
    const Curve c(static_cast<int>(state.range(0)));
    double at = 0.0;
    const double end = c.x.back();
    for (auto _ : state) {
        at += 0.0137;
        if (at > end)
            at = 0.0;
        benchmark::DoNotOptimize(interpolate(c.y, c.x, at));
    }
}
BENCHMARK(BM_Interpolate)->Arg(200)->Arg(2000);

void BM_Differentiate(benchmark::State& state)
{
    const Curve c(200);
    double at = 0.0;
    for (auto _ : state) {
        at += 0.0137;
        if (at > 1.99)
            at = 0.0;
        benchmark::DoNotOptimize(differentiate(c.y, c.x, at));
    }
}
BENCHMARK(BM_Differentiate);

void BM_DerivativesAtNodes(benchmark::State& state)
{
    const Curve c(200);
    for (auto _ : state) {
        std::vector<double> out;
        derivativesAtNodes(c.y, c.x, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_DerivativesAtNodes)->Unit(benchmark::kMicrosecond);

void BM_IntegrateSimpson(benchmark::State& state)
{
    const Curve c(200);
    for (auto _ : state)
        benchmark::DoNotOptimize(integrateSimpson(c.y, c.x, c.x.front(), c.x.back()));
}
BENCHMARK(BM_IntegrateSimpson)->Unit(benchmark::kMicrosecond);

} // namespace
