// Speed of the calculation, the year-round assessment, the data file and the
// refusal of hostile project files.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/Quil_c.h"
#include "core/assessment.h"
#include "storage/datafile.h"
#include "storage/project_file.h"

namespace {

std::atomic<long> allocations{0};

Partition eleven_layer_curved() {
    Partition p;
    p.wall_type = 1;
    p.calc_mode = 1;
    p.radius = 6.0;
    while (p.layer_count < MAX_LAYERS) insert_layer(p, p.layer_count);
    for (int i = 0; i < MAX_LAYERS; ++i) {
        p.layers[i].thickness = 0.02 + 0.03 * i;
        p.layers[i].lambda = 0.04 + 0.15 * i;
        p.layers[i].delta = 0.002 * (i + 1);
    }
    p.diff_ext = 0.05;
    p.diff_int = 0.1;
    return p;
}

std::string scratch_folder() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/parieta-bench-XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
    return tmpl;
}

void BM_calculate_curved_eleven_layers(benchmark::State& state) {
    Partition p = eleven_layer_curved();
    const long before = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(calculate_partition(p));
        benchmark::ClobberMemory();
    }
    state.counters["allocs_per_call"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_calculate_curved_eleven_layers);

// A made-up year, cold and humid enough for condensate to build up and dry out again.
Climate bench_climate() {
    Climate c;
    const double theta_e[MONTHS] = {-8, -6, -1, 6, 12, 16, 18, 17, 13, 7, 2, -4};
    for (int m = 0; m < MONTHS; ++m) {
        c.months[m].theta_e = theta_e[m];
        c.months[m].phi_e = 85.0;
        c.months[m].theta_i = 20.0;
        c.months[m].phi_i = theta_e[m] < 5 ? 65.0 : 50.0;
    }
    return c;
}

// The whole year-round assessment; the month loop works on fixed arrays only.
void BM_assess_curved_eleven_layers(benchmark::State& state) {
    Partition p = eleven_layer_curved();
    p.layers[0].delta = 0.0002;  // a tight outer layer, so the chain has corners
    const Climate climate = bench_climate();
    AssessmentSettings settings;
    settings.kind = PartitionKind::ExternalWall;
    Assessment result;
    if (!assess_partition(p, climate, settings, result) ||
        result.interstitial == InterstitialVerdict::None) {
        state.SkipWithError("the benchmark record does not condense");
        return;
    }
    const long before = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(assess_partition(p, climate, settings, result));
        benchmark::ClobberMemory();
    }
    state.counters["allocs_per_call"] = benchmark::Counter(
        static_cast<double>(allocations.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_assess_curved_eleven_layers)->Unit(benchmark::kMicrosecond);

void BM_write_data_file(benchmark::State& state) {
    const std::string folder = scratch_folder();
    const std::string path = folder + "/bench.PAR";
    Partition p = eleven_layer_curved();
    for (auto _ : state) {
        if (write_data_file(p, path.c_str()) != 0) state.SkipWithError("write failed");
    }
    ::unlink(path.c_str());
    ::rmdir(folder.c_str());
}
BENCHMARK(BM_write_data_file)->Unit(benchmark::kMicrosecond);

void BM_read_data_file(benchmark::State& state) {
    const std::string folder = scratch_folder();
    const std::string path = folder + "/bench.PAR";
    Partition p = eleven_layer_curved();
    if (write_data_file(p, path.c_str()) != 0) std::abort();
    for (auto _ : state) {
        if (read_data_file(p, path.c_str()) != 0) state.SkipWithError("read failed");
    }
    ::unlink(path.c_str());
    ::rmdir(folder.c_str());
}
BENCHMARK(BM_read_data_file)->Unit(benchmark::kMicrosecond);

// Refused in well under 100 ms: 1 MiB of project file, as 131,000 distinct
// keys of one object, or as as many one-key objects in an array.
std::string many_keys(bool one_object) {
    std::string text = one_object ? "{" : "{\"a\":[";
    for (int i = 0; text.size() < PROJECT_FILE_MAX_SIZE - 16; ++i)
        text +=
            one_object ? "\"" + std::to_string(i) + "\":0," : "{\"" + std::to_string(i) + "\":0},";
    text.back() = one_object ? '}' : ']';
    return one_object ? text : text + "}";
}

void BM_refuse_project_of_many_keys(benchmark::State& state) {
    const std::string text = many_keys(state.range(0) == 1);
    for (auto _ : state) {
        Project out;
        std::string error;
        if (parse_project(text, out, error)) state.SkipWithError("read");
    }
    state.counters["bytes"] = double(text.size());
}
BENCHMARK(BM_refuse_project_of_many_keys)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// 60,000 brackets deep: refused at the 65th, before any value is built.
void BM_refuse_deep_project(benchmark::State& state) {
    const std::string text =
        "{\"a\":" + std::string(60000, '[') + std::string(60000, ']') + ",\"b\":1}";
    for (auto _ : state) {
        Project out;
        std::string error;
        if (parse_project(text, out, error)) state.SkipWithError("read");
    }
}
BENCHMARK(BM_refuse_deep_project)->Unit(benchmark::kMicrosecond);

}  // namespace

// Counts every allocation, so the calculation can show that it makes none.
// GCC cannot see that these replace the global pair, hence the pragma.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
