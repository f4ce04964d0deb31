// How long one recalculation takes, and how often it allocates: it runs on every key press.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "conversion/recalculation.h"

namespace {

std::atomic<long> allocations{0};

const runtime::RegionalSettings kGerman{",", "-"};

void Recalculate(benchmark::State& state, const char* temperature, const char* humidity) {
    double rel = 0.0;
    const long before = allocations.load();
    for (auto _ : state) {
        auto result = conversion::Recalculate(temperature, humidity, rel, kGerman);
        benchmark::DoNotOptimize(result);
    }
    state.counters["allocations_per_call"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before), benchmark::Counter::kAvgIterations);
}

void RecalculateMegabyte(benchmark::State& state) {
    const std::string pasted = std::string(1 << 20, '0') + "23,5";
    double rel = 0.0;
    for (auto _ : state) {
        auto result = conversion::Recalculate(pasted, "8,6", rel, kGerman);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long>(pasted.size()));
}

}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

BENCHMARK_CAPTURE(Recalculate, InitialTexts, "23,0", "8,6");
BENCHMARK_CAPTURE(Recalculate, NotANumber, "abc", "8,6");
BENCHMARK_CAPTURE(Recalculate, OutOfRange, "-40", "8,6");
BENCHMARK(RecalculateMegabyte);
BENCHMARK_MAIN();
