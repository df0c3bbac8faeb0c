#!/usr/bin/env python3
"""Turns the JSON output of quendra_bench into the Markdown tables of RESULTS.md: times, ratios, growth; the runs on
a PostgreSQL server (names with /postgres) in a table of their own, with the round trips of hook and floor.

`summarise.py --latency MS=FILE ...` makes the latency table instead from runs through the delaying relay
(QUENDRA_BENCH_DELAY_MS=MS bench/postgres.sh ...): per workload the round trips per unit, the wall times of hook and
floor at each delay, and at the longest delay the hook's time against its round trips times the round trip time.

A benchmark run with repetitions is given by the median of its repetitions (each counter's own median), and the
server table then shows how far the ratio ranged over them."""
# SPDX-License-Identifier: Apache-2.0
import json
import math
import sys


def workload(run):
    parts = run["name"].split("/")
    return parts[0] + ("/" + parts[1] if parts[1] in ("tree", "chain") else "")


def settled(benchmarks):
    """One row per benchmark, in the order they ran: the median of its repetitions when it has any, with the
    lowest and highest ratio of them; else its only run."""
    names = []
    repetitions = {}
    medians = {}
    for run in benchmarks:
        name = run.get("run_name", run["name"])
        if run.get("run_type") == "iteration":
            if name not in repetitions:
                names.append(name)
                repetitions[name] = []
            repetitions[name].append(run)
        elif run.get("aggregate_name") == "median":
            medians[name] = run
    rows = []
    for name in names:
        runs = repetitions[name]
        row = dict(medians.get(name, runs[0]), name=name)
        if len(runs) > 1:
            row["ratio_range"] = (min(run["ratio"] for run in runs), max(run["ratio"] for run in runs))
        rows.append(row)
    return rows


def main(path):
    with open(path) as source:
        runs = settled(json.load(source)["benchmarks"])
    files = [run for run in runs if "/postgres" not in run["name"]]
    servers = [run for run in runs if "/postgres" in run["name"]]
    print("| workload | n | hook ms | floor ms | ratio | hook CPU ms | floor CPU ms | CPU ratio | growth | heap MB | SQLite MB |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    previous = {}
    for run in files:
        name = workload(run)
        n = run.get("n", 0)
        growth = ""
        if name in previous and previous[name][0] not in (0, n):
            before_n, before_cpu = previous[name]
            growth = "n^%.2f" % (math.log(run["hook_cpu_ms"] / before_cpu) / math.log(n / before_n))
        previous[name] = (n, run["hook_cpu_ms"])
        print("| %s | %d | %.3f | %.3f | %.2f× | %.3f | %.3f | %.2f× | %s | %.2f | %.2f |" % (
            name, n, run["hook_ms"], run["floor_ms"], run["ratio"], run["hook_cpu_ms"], run["floor_cpu_ms"],
            run["cpu_ratio"], growth, run["heap_MB"], run["sqlite_MB"]))
    if not servers:
        return
    ranges = any("ratio_range" in run for run in servers)
    print()
    print("| workload (PostgreSQL) | n | hook ms | floor ms | ratio |%s hook CPU ms | floor CPU ms | CPU ratio "
          "| hook round trips | floor round trips | heap MB |" % (" ratio range |" if ranges else ""))
    print("|---|---:|---:|---:|---:|%s---:|---:|---:|---:|---:|---:|" % ("---:|" if ranges else ""))
    for run in servers:
        spread = ""
        if ranges:
            spread = " %.2f–%.2f× |" % run["ratio_range"] if "ratio_range" in run else " |"
        print("| %s | %d | %.3f | %.3f | %.2f× |%s %.3f | %.3f | %.2f× | %.1f | %.1f | %.2f |" % (
            workload(run), run.get("n", 0), run["hook_ms"], run["floor_ms"], run["ratio"], spread,
            run["hook_cpu_ms"], run["floor_cpu_ms"], run["cpu_ratio"], run.get("hook_trips", 0),
            run.get("floor_trips", 0), run["heap_MB"]))


# Workloads whose size is the database's or the list's, not a count of units: one unit is the call.
PER_CALL = ("AddExistingPart", "CleanLinkAttributes")


def latency(arguments):
    delays = []
    for argument in arguments:
        delay, path = argument.split("=", 1)
        with open(path) as source:
            delays.append((float(delay), {workload(run): run for run in settled(json.load(source)["benchmarks"])}))
    delays.sort(key=lambda pair: pair[0])
    longest = delays[-1][0]
    print("| workload (PostgreSQL) | units | hook / floor round trips per unit | %s | hook ÷ (trips × %g ms) |" % (
        " | ".join("hook / floor ms at %g ms" % delay for delay, _ in delays), 2 * longest))
    print("|---|---:|---:|%s---:|" % ("---:|" * len(delays)))
    for name, run in delays[0][1].items():
        units = 1 if name.split("/")[0] in PER_CALL else run.get("n", 0) or 1
        cells = []
        for _, runs in delays:
            other = runs.get(name)
            cells.append("%.1f / %.1f" % (other["hook_ms"], other["floor_ms"]) if other else "")
        last = delays[-1][1].get(name)
        against = ""
        if last and last.get("hook_trips") and longest > 0:
            against = "%.2f×" % (last["hook_ms"] / (last["hook_trips"] * 2 * longest))
        print("| %s | %d | %.2f / %.2f | %s | %s |" % (
            name.replace("/postgres", ""), units, run.get("hook_trips", 0) / units, run.get("floor_trips", 0) / units,
            " | ".join(cells), against))


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--latency":
        latency(sys.argv[2:])
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else "bench.json")
