#!/usr/bin/env bash
# Without QUENDRA_LOG, the registry value LogFile under HKEY_CURRENT_USER\Software\Quendra names the
# log that quendra.dll appends to; without either, nothing is written.
# Usage: LogFromRegistry.sh <wine> <quendra.exe> <scenario file> <work folder>
# SPDX-License-Identifier: Apache-2.0
set -uo pipefail
wine=$1
quendra=$2
scenario=$3
work=$4
rm -rf "$work" && mkdir -p "$work"
status=0
unset QUENDRA_LOG
"$wine" "$quendra" play --com "$scenario" >/dev/null || { echo "FAILED: the play without a log answered $?"; status=1; }
"$wine" reg add 'HKCU\Software\Quendra' /v LogFile /d "$("$wine" winepath -w "$work/hooks.log")" /f >/dev/null
"$wine" "$quendra" play --com "$scenario" >/dev/null || { echo "FAILED: the play answered $?"; status=1; }
"$wine" reg delete 'HKCU\Software\Quendra' /f >/dev/null
lines=$(tr -d '\r' <"$work/hooks.log" 2>/dev/null | grep -c $'\tLockObject\t')
[ "$lines" -gt 0 ] || { echo "FAILED: the log the registry names has no line of LockObject"; status=1; }
[ "$(ls -A "$work")" = hooks.log ] || { echo "FAILED: files in $work: $(ls -A "$work")"; status=1; }
[ $status -eq 0 ] && echo "$(wc -l <"$work/hooks.log") lines in the log that the registry names"
exit $status
