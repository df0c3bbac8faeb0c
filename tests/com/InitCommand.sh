#!/usr/bin/env bash
# The Windows quendra.exe makes a database file and refuses to replace one: the one place where the
# command calls Windows itself (the move that may not replace) rather than the C++ library.
# Usage: InitCommand.sh <wine> <quendra.exe> <work folder>
# SPDX-License-Identifier: Apache-2.0
set -uo pipefail
wine=$1
quendra=$2
folder=$3
rm -rf "$folder" && mkdir -p "$folder" && cd "$folder" || exit 1
status=0

output=$("$wine" "$quendra" init plant.db --sample 2>&1 | tr -d '\r')
[ "$output" = "made plant.db from the model plant with the sample product" ] || { echo "FAILED: init said: $output"; status=1; }
[ -s plant.db ] || { echo "FAILED: no plant.db"; status=1; }
before=$(sha256sum plant.db)

output=$("$wine" "$quendra" init plant.db 2>&1 | tr -d '\r')
code=${PIPESTATUS[0]}
expected="quendra init: plant.db exists already; init only makes new database files"
[ "$output" = "$expected" ] || { echo "FAILED: a second init said: $output"; status=1; }
[ "$code" -ne 0 ] || { echo "FAILED: a second init answered 0"; status=1; }
[ "$(sha256sum plant.db)" = "$before" ] || { echo "FAILED: a second init changed plant.db"; status=1; }
leftovers=$(ls -A | grep -v '^plant\.db$')
[ -z "$leftovers" ] || { echo "FAILED: files left beside plant.db: $leftovers"; status=1; }
exit $status
