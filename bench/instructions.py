#!/usr/bin/env python3
"""Instructions per run of the hook and of its floor for one benchmark, counted by callgrind.

Usage: bench/instructions.py BINARY FILTER [ITERATIONS]
FILTER selects one benchmark run (e.g. 'LockObject/1/'). Only the timed parts are counted; the hook's count is
the inclusive count of its entry point in Application, the floor's the rest of the timed parts. Benchmarks that set
their own number of runs keep it; the count is read from the benchmark's own report.
"""
# SPDX-License-Identifier: Apache-2.0
import json
import os
import re
import subprocess
import sys
import tempfile


def main(binary, pattern, iterations=20):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "callgrind.out")
        environment = dict(os.environ, QUENDRA_BENCH_ITERATIONS=str(iterations))
        ran = subprocess.run(["valgrind", "--tool=callgrind", "--toggle-collect=*Seconds*",
                              "--callgrind-out-file=" + out, binary, "--benchmark_filter=" + pattern,
                              "--benchmark_format=json"], env=environment, check=True, capture_output=True, text=True)
        runs = [run for run in json.loads(ran.stdout)["benchmarks"] if run.get("run_type") == "iteration"]
        iterations = runs[0]["iterations"]
        report = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", out],
                                capture_output=True, text=True, check=True).stdout
    total = hook = 0
    for line in report.splitlines():
        count = re.match(r"\s*([\d,]+)\s", line)
        if not count:
            continue
        value = int(count.group(1).replace(",", ""))
        if "PROGRAM TOTALS" in line:
            total = value
        elif "quendra::Application::" in line or "quendra::host::TreeCommand::Print" in line:
            hook = max(hook, value)
    floor = total - hook
    print("%s: hook %.0f, floor %.0f instructions per run, ratio %.2f" % (
        pattern, hook / iterations, floor / iterations, hook / floor if floor else 0))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 20)
