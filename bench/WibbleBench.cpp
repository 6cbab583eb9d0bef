// Building and copy-assigning Wibbles: springs per second, time and bytes per spring.
#include "bench/AllocationCounter.h"
#include "bench/DiscardingBuffer.h"
#include "bench/PerSpring.h"
#include "model/Wibble.h"

#include <benchmark/benchmark.h>

#include <iostream>

namespace {

Wibble build(const benchmark::State& state) {
    const auto cells = [&](int axis) { return static_cast<int>(state.range(axis)); };
    return {cells(0), cells(1), cells(2), 0.5f, 0.1f, 0.01f, 1.0f};
}

// Besides the time, the bytes that one iteration asked operator new for.
void reportPerSpringAndBytes(benchmark::State& state, std::size_t springs,
                             std::size_t bytesPerRun) {
    reportPerSpring(state, springs);
    state.counters["bytes_per_spring"] =
        static_cast<double>(bytesPerRun) / static_cast<double>(springs);
}

void BM_Build(benchmark::State& state) {
    std::size_t springs = 0;
    std::size_t bytesPerRun = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const std::size_t before = allocatedBytes();
        const Wibble wibble = build(state);
        bytesPerRun = allocatedBytes() - before;
        springs = wibble.springs.size();
        benchmark::DoNotOptimize(wibble.springs.data());
    }
    reportPerSpringAndBytes(state, springs, bytesPerRun);
}

void BM_CopyAssign(benchmark::State& state) {
    const Wibble source = build(state);
    std::size_t bytesPerRun = 0;
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const std::size_t before = allocatedBytes();
        Wibble copy;
        copy = source;
        bytesPerRun = allocatedBytes() - before;
        benchmark::DoNotOptimize(copy.springs.data());
    }
    reportPerSpringAndBytes(state, source.springs.size(), bytesPerRun);
}

void bodySizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({7, 3, 2})->Args({32, 32, 32})->Args({64, 64, 64});
    // Several runs of the largest body, so that first-touch page faults do not dominate.
    benchmark->ArgNames({"cellsX", "cellsY", "cellsZ"})->Unit(benchmark::kMillisecond)->MinTime(2);
}

BENCHMARK(BM_Build)->Apply(bodySizes);
BENCHMARK(BM_CopyAssign)->Apply(bodySizes);

} // namespace

int main(int argc, char** argv) {
    DiscardingBuffer discard;
    std::streambuf* trace = std::cerr.rdbuf(&discard);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::cerr.rdbuf(trace);
    return 0;
}
