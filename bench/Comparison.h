// Comparison: the hook's and the floor's times and memory over the iterations of one benchmark, as counters.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

namespace quendra::bench {

// Runs a benchmark for at least that many milliseconds, or for exactly QUENDRA_BENCH_ITERATIONS iterations when
// that is set: instruction counts under callgrind are repeatable only for a fixed number of runs, and under it the
// first, slow run would fill the time alone.
template <int Milliseconds> void RunFor(benchmark::internal::Benchmark* bench) {
    if (const char* iterations = std::getenv("QUENDRA_BENCH_ITERATIONS"))
        bench->Iterations(std::atoi(iterations));
    else
        bench->MinTime(Milliseconds / 1000.0);
}

class Comparison {
public:
    // settle runs before each timed side, outside its time (the benchmarks move the write-ahead log into the
    // database file there, so that neither side pays for a checkpoint of the other's pages).
    explicit Comparison(benchmark::State& state, std::function<void()> settle = {})
        : state_(state), settle_(std::move(settle)) {}
    // Runs the hook once, timed as the benchmark's own (manual) time; its peak memory is metered in the first runs
    // only, which make what later runs reuse, so that the meter's own work is not in the time of the others.
    void Hook(const std::function<void()>& run);
    // Runs the hand-written floor once.
    void Floor(const std::function<void()>& run);
    // Counts the requests each side waits for, from running totals of the hook's and the floor's requests (on a
    // server); Report then gives them per call.
    void CountRoundTrips(std::function<int64_t()> hookTrips, std::function<int64_t()> floorTrips) {
        hookTrips_ = std::move(hookTrips);
        floorTrips_ = std::move(floorTrips);
    }
    // Runs each hook call inside `unit` (on a server: the call as one transaction, as the platform's hosts run a
    // person's call there), the unit's begin and commit in the hook's time and round trips.
    void RunHookIn(std::function<void(const std::function<void()>&)> unit) { hookUnit_ = std::move(unit); }
    // Sets the counters: hook and floor in ms (wall clock and CPU of the thread), their ratios, peak heap and SQLite
    // memory of the hook in MB.
    void Report(double items);

private:
    static constexpr int kMeteredRuns = 8;
    benchmark::State& state_;
    std::function<void()> settle_;
    double hookSeconds_ = 0;
    double floorSeconds_ = 0;
    double hookCpu_ = 0;
    double floorCpu_ = 0;
    size_t hookHeapPeak_ = 0;
    size_t floorHeapPeak_ = 0;
    long long sqlitePeak_ = 0;
    int hookRuns_ = 0;
    int floorRuns_ = 0;
    std::function<int64_t()> hookTrips_;
    std::function<void(const std::function<void()>&)> hookUnit_;
    std::function<int64_t()> floorTrips_;
    int64_t hookTripsRun_ = 0;
    int64_t floorTripsRun_ = 0;
};

// How many times each workload runs on a server: a call takes a fraction of a millisecond of two processes, so
// each repetition has connections (server processes) of its own and bench/summarise.py reports the median. Once
// for counted runs (QUENDRA_BENCH_ITERATIONS), whose counts are the same in every repetition.
inline int ServerRepetitions() {
    return std::getenv("QUENDRA_BENCH_ITERATIONS") ? 1 : 5;
}

// Through a relay that delays every byte (QUENDRA_BENCH_DELAY_MS, bench/postgres.sh), a run is latency: each server
// workload runs once, on this many units (round trips per unit do not depend on the size).
inline constexpr int kDelayedUnits = 100;
inline bool Delayed() {
    const char* delay = std::getenv("QUENDRA_BENCH_DELAY_MS");
    return delay && *delay;
}

// Registers a workload on a database file under its name and, when QUENDRA_BENCH_POSTGRES gives the address of a
// PostgreSQL server, on that server under name/postgres, repeated ServerRepetitions() times. The workload receives
// the server's address, or nothing for the file. Delayed, only the server's run, once, of kDelayedUnits.
using Workload = void (*)(benchmark::State&, const std::string& server);
bool RegisterWorkload(const std::string& name, Workload workload, void (*shape)(benchmark::internal::Benchmark*));

} // namespace quendra::bench
