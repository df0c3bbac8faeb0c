#!/usr/bin/env python3
"""Turns the JSON output of quendra_bench into the Markdown table of RESULTS.md: times, ratios, growth."""
import json
import math
import sys


def main(path):
    with open(path) as source:
        runs = [run for run in json.load(source)["benchmarks"] if run.get("run_type") == "iteration"]
    print("| workload | n | hook ms | floor ms | ratio | hook CPU ms | floor CPU ms | CPU ratio | growth | heap MB | SQLite MB |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    previous = {}
    for run in runs:
        name = run["name"].split("/")[0] + ("/" + run["name"].split("/")[1]
                                            if run["name"].split("/")[1] in ("tree", "chain") else "")
        n = run.get("n", 0)
        growth = ""
        if name in previous and previous[name][0] not in (0, n):
            before_n, before_cpu = previous[name]
            growth = "n^%.2f" % (math.log(run["hook_cpu_ms"] / before_cpu) / math.log(n / before_n))
        previous[name] = (n, run["hook_cpu_ms"])
        print("| %s | %d | %.2f | %.2f | %.1f× | %.2f | %.2f | %.1f× | %s | %.2f | %.2f |" % (
            name, n, run["hook_ms"], run["floor_ms"], run["ratio"], run["hook_cpu_ms"], run["floor_cpu_ms"],
            run["cpu_ratio"], growth, run["heap_MB"], run["sqlite_MB"]))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "bench.json")
