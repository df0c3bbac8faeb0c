#!/usr/bin/env python3
"""Turns the JSON output of quendra_bench into the Markdown tables of RESULTS.md: times, ratios, growth; the runs on
a PostgreSQL server (names with /postgres) in a table of their own, with the round trips of hook and floor."""
import json
import math
import sys


def workload(run):
    parts = run["name"].split("/")
    return parts[0] + ("/" + parts[1] if parts[1] in ("tree", "chain") else "")


def main(path):
    with open(path) as source:
        runs = [run for run in json.load(source)["benchmarks"] if run.get("run_type") == "iteration"]
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
        print("| %s | %d | %.2f | %.2f | %.1f× | %.2f | %.2f | %.1f× | %s | %.2f | %.2f |" % (
            name, n, run["hook_ms"], run["floor_ms"], run["ratio"], run["hook_cpu_ms"], run["floor_cpu_ms"],
            run["cpu_ratio"], growth, run["heap_MB"], run["sqlite_MB"]))
    if not servers:
        return
    print()
    print("| workload (PostgreSQL) | n | hook ms | floor ms | ratio | hook CPU ms | floor CPU ms | CPU ratio "
          "| hook round trips | floor round trips | heap MB |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for run in servers:
        print("| %s | %d | %.2f | %.2f | %.1f× | %.2f | %.2f | %.1f× | %.1f | %.1f | %.2f |" % (
            workload(run), run.get("n", 0), run["hook_ms"], run["floor_ms"], run["ratio"], run["hook_cpu_ms"],
            run["floor_cpu_ms"], run["cpu_ratio"], run.get("hook_trips", 0), run.get("floor_trips", 0),
            run["heap_MB"]))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "bench.json")
