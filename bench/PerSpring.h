#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

// Springs per second over the whole run, and the springs of one iteration and
// the time each of them took.
inline void reportPerSpring(benchmark::State& state, std::size_t springs) {
    const auto total = static_cast<double>(springs) * static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(total));
    state.counters["springs"] = static_cast<double>(springs);
    state.counters["time_per_spring"] =
        benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
