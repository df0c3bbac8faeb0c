#!/bin/sh
# Runs the benchmarks on a throwaway PostgreSQL server as well as on database files: starts one with the test
# suite's script in a temporary folder on a free loopback port, runs quendra_bench with its address in
# QUENDRA_BENCH_POSTGRES (the arguments go to quendra_bench), and stops it, also on failure.
#
# With two processors or more, the server runs on all but the first and quendra_bench on the first. Left to
# the scheduler, each connection's server process lands next to the client or on another processor, and the
# two differ by 2× to 3× in time per request (a wake-up across processors costs the client an interrupt): the
# hook's and the floor's connections then drew their places apart, and a workload read 0.8× in one run and
# 2.5× in the next. Pinned, both sides pay for the same wake-ups, as with a server on a machine of its own.
#
# With QUENDRA_BENCH_DELAY_MS set (0, 0.5, 10: milliseconds, one way), the benchmarks reach the server through
# quendra_delay_relay (next to quendra_bench), which holds back each direction's bytes by that time, as a network
# of that latency would; the relay runs with the server.
# Usage: [QUENDRA_BENCH_DELAY_MS=MS] bench/postgres.sh BUILD/bench/quendra_bench [benchmark arguments]
# SPDX-License-Identifier: Apache-2.0
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bench=$1
shift
folder=$(mktemp -d /tmp/quendra-bench-postgres.XXXXXX)
chmod 755 "$folder"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
processors=$(nproc)
server_on=""
client_on=""
if [ "$processors" -ge 2 ] && command -v taskset >/dev/null; then
    server_on="taskset -c 1-$((processors - 1))"
    client_on="taskset -c 0"
fi
relay=""
trap '[ -z "$relay" ] || kill "$relay"; "$here/../tests/postgres/server.sh" stop "$folder/server"; rm -rf "$folder"' EXIT INT TERM
address=$($server_on "$here/../tests/postgres/server.sh" start "$folder/server" "$port")
if [ -n "${QUENDRA_BENCH_DELAY_MS:-}" ]; then
    $server_on "$(dirname "$bench")/quendra_delay_relay" "$QUENDRA_BENCH_DELAY_MS" 127.0.0.1 "$port" >"$folder/relay" &
    relay=$!
    while [ ! -s "$folder/relay" ]; do sleep 0.1; done
    address=$(printf '%s' "$address" | sed "s/:$port\//:$(cat "$folder/relay")\//")
fi
QUENDRA_BENCH_POSTGRES=$address $client_on "$bench" "$@"
