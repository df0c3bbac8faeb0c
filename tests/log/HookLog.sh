#!/usr/bin/env bash
# The administrators' log: QUENDRA_LOG makes a play of scenarios append one line per hook call, two
# processes appending to one file at once lose and split no line, and a failure a hook caught is
# written beside its result.
# Usage: HookLog.sh <scenario file> <work folder> <play command...>
#   e.g. `quendra play`, or under Wine `wine quendra.exe play --com` (the lines come from quendra.dll);
#   with WINE_LOG_PATHS=1 the log is named to the program by its Windows path.
# SPDX-License-Identifier: Apache-2.0
set -uo pipefail
scenario=$1
work=$2
shift 2
play=("$@")
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
status=0
logPath() {
    if [ -n "${WINE_LOG_PATHS:-}" ]; then "${play[0]}" winepath -w "$work/$1"; else echo "$work/$1"; fi
}
fail() {
    echo "FAILED: $*"
    status=1
}

QUENDRA_LOG=$(logPath alone.log) "${play[@]}" "$scenario" >/dev/null || fail "the play answered $?"
calls=$(wc -l <alone.log)
[ "$calls" -gt 0 ] || fail "one play wrote no line"

shared=$(logPath shared.log)
QUENDRA_LOG=$shared "${play[@]}" "$scenario" >/dev/null &
first=$!
QUENDRA_LOG=$shared "${play[@]}" "$scenario" >/dev/null || fail "the second play answered $?"
wait $first || fail "the first play answered $?"
[ "$(wc -l <shared.log)" -eq $((2 * calls)) ] || fail "two plays at once wrote $(wc -l <shared.log) lines, not $((2 * calls))"

# time, process, hook, user, result, duration, failure: seven fields split by tabs.
line=$'^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z\t[^\t]+ [0-9]+\t[A-Za-z]+\t[^\t]+\t(0|1|failed)\t[0-9]+\.[0-9]{3} ms\t[^\t]*$'
bad=$(tr -d '\r' <shared.log | grep -cvE "$line")
[ "$bad" -eq 0 ] || fail "$bad lines are not as written: $(tr -d '\r' <shared.log | grep -vE "$line" | head -3)"
[ "$(cut -f2 shared.log | sort -u | wc -l)" -eq 2 ] || fail "the lines do not name two processes"
# A hook that catches a failure answers 1 and the line says what it caught.
tr -d '\r' <alone.log | grep -qP '\tUploadDocument\t[^\t]+\t1\t[^\t]+\t.+$' ||
    fail "no line of UploadDocument says the failure it caught: $(grep UploadDocument alone.log | head -3)"
[ $status -eq 0 ] && echo "$calls calls logged, alone and by two processes at once"
exit $status
