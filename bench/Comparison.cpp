// Timing and memory of the two sides of a benchmark.
// SPDX-License-Identifier: Apache-2.0
#include "Comparison.h"

#include "HeapMeter.h"

#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <utility>

namespace quendra::bench {

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall-clock and CPU seconds of this thread (user and system) for one run.
std::pair<double, double> Seconds(const std::function<void()>& run) {
    auto start = std::chrono::steady_clock::now();
    double cpuStart = ThreadCpuSeconds();
    run();
    double cpu = ThreadCpuSeconds() - cpuStart;
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), cpu};
}

} // namespace

void Comparison::Hook(const std::function<void()>& run) {
    if (settle_) settle_();
    sqlite3_memory_highwater(1);
    long long sqliteBefore = sqlite3_memory_used();
    const bool metered = hookRuns_ < kMeteredRuns;
    if (metered) HeapMeter::Start();
    const int64_t tripsBefore = hookTrips_ ? hookTrips_() : 0;
    auto [seconds, cpu] = hookUnit_ ? Seconds([&] { hookUnit_(run); }) : Seconds(run);
    if (hookTrips_) hookTripsRun_ += hookTrips_() - tripsBefore;
    if (metered) hookHeapPeak_ = std::max(hookHeapPeak_, HeapMeter::Stop());
    sqlitePeak_ = std::max(sqlitePeak_, sqlite3_memory_highwater(0) - sqliteBefore);
    state_.SetIterationTime(seconds);
    hookSeconds_ += seconds;
    hookCpu_ += cpu;
    ++hookRuns_;
}

void Comparison::Floor(const std::function<void()>& run) {
    if (settle_) settle_();
    const bool metered = floorRuns_ < kMeteredRuns;
    if (metered) HeapMeter::Start();
    const int64_t tripsBefore = floorTrips_ ? floorTrips_() : 0;
    auto [seconds, cpu] = Seconds(run);
    if (floorTrips_) floorTripsRun_ += floorTrips_() - tripsBefore;
    floorSeconds_ += seconds;
    floorCpu_ += cpu;
    if (metered) floorHeapPeak_ = std::max(floorHeapPeak_, HeapMeter::Stop());
    ++floorRuns_;
}

void Comparison::Report(double items) {
    if (hookRuns_ == 0 || floorRuns_ == 0) return;
    const double hook = hookSeconds_ / hookRuns_;
    const double floor = floorSeconds_ / floorRuns_;
    state_.counters["hook_ms"] = hook * 1e3;
    state_.counters["floor_ms"] = floor * 1e3;
    state_.counters["ratio"] = floor > 0 ? hook / floor : 0;
    state_.counters["hook_cpu_ms"] = hookCpu_ / hookRuns_ * 1e3;
    state_.counters["floor_cpu_ms"] = floorCpu_ / floorRuns_ * 1e3;
    state_.counters["cpu_ratio"] = floorCpu_ > 0 ? (hookCpu_ / hookRuns_) / (floorCpu_ / floorRuns_) : 0;
    state_.counters["heap_MB"] = static_cast<double>(hookHeapPeak_) / (1 << 20);
    state_.counters["floor_heap_MB"] = static_cast<double>(floorHeapPeak_) / (1 << 20);
    state_.counters["sqlite_MB"] = static_cast<double>(sqlitePeak_) / (1 << 20);
    state_.counters["n"] = items;
    if (hookTrips_) {
        state_.counters["hook_trips"] = static_cast<double>(hookTripsRun_) / hookRuns_;
        state_.counters["floor_trips"] = static_cast<double>(floorTripsRun_) / floorRuns_;
    }
}

bool RegisterWorkload(const std::string& name, Workload workload, void (*shape)(benchmark::internal::Benchmark*)) {
    const char* server = std::getenv("QUENDRA_BENCH_POSTGRES");
    if (server && *server && Delayed()) {
        // A workload registered with several shapes runs once.
        static std::set<std::string> registered;
        if (!registered.insert(name).second) return true;
        benchmark::RegisterBenchmark((name + "/postgres").c_str(), workload, std::string(server))
            ->Arg(kDelayedUnits)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        return true;
    }
    shape(benchmark::RegisterBenchmark(name.c_str(), workload, std::string()));
    if (server && *server) {
        auto* bench = benchmark::RegisterBenchmark((name + "/postgres").c_str(), workload, std::string(server));
        shape(bench);
        bench->Repetitions(ServerRepetitions());
    }
    return true;
}

} // namespace quendra::bench
