#!/bin/sh
# Runs the benchmarks on a throwaway PostgreSQL server as well as on database files: starts one with the test
# suite's script in a temporary folder on a free loopback port, runs quendra_bench with its address in
# QUENDRA_BENCH_POSTGRES (the arguments go to quendra_bench), and stops it, also on failure.
# Usage: bench/postgres.sh BUILD/bench/quendra_bench [benchmark arguments]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bench=$1
shift
folder=$(mktemp -d /tmp/quendra-bench-postgres.XXXXXX)
chmod 755 "$folder"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
trap '"$here/../tests/postgres/server.sh" stop "$folder/server"; rm -rf "$folder"' EXIT INT TERM
address=$("$here/../tests/postgres/server.sh" start "$folder/server" "$port")
QUENDRA_BENCH_POSTGRES=$address "$bench" "$@"
