#!/usr/bin/env bash
# regsvr32 registers quendra.dll, a JScript and a VBScript file run by cscript call its hooks,
# the same JScript file calls a hook whose window a scripted user answers (QUENDRA_ANSWERS), and
# regsvr32 /u removes every key that registration wrote. Every program is of the DLL's architecture,
# and the classes are checked in that architecture's view of the registry.
# Platform.js then calls the eighteen hooks with the embedded platform's objects (Quendra.Platform) on
# a database that quendra.exe makes from the sample product.
# Usage: Registration.sh <wine> <quendra.dll> <folder of the scripts> <win32|win64> <quendra.exe> <work folder>
# SPDX-License-Identifier: Apache-2.0
set -uo pipefail
wine=$1
dll=$("$wine" winepath -w "$2")
scripts=$3
system=$4
quendra=$5
work=$6
source "$(dirname "$0")/WineRegistry.sh"

"$wine" regsvr32 /s "$dll" || fail "regsvr32 answered $?"
expectRegistration "$dll"

# cscript answers 0 after a script error too: each script's closing line must say all passed.
for script in Hooks.js Hooks.vbs; do
    output=$("$wine" cscript //nologo "$("$wine" winepath -w "$scripts/$script")" 2>&1 | tr -d '\r')
    echo "$script: $output"
    grep -qE '^[0-9]+ passed, 0 failed$' <<<"$output" || fail "$script did not pass"
done

# With QUENDRA_ANSWERS set, the scripted user answers the windows from Answers.json.
output=$(QUENDRA_ANSWERS=$("$wine" winepath -w "$scripts/Answers.json") "$wine" cscript //nologo \
         "$("$wine" winepath -w "$scripts/Hooks.js")" answered 2>&1 | tr -d '\r')
echo "Hooks.js answered: $output"
grep -qE '^[0-9]+ passed, 0 failed$' <<<"$output" || fail "Hooks.js answered did not pass"

# The eighteen hooks with the embedded platform's objects over automation.
rm -rf "$work" && mkdir -p "$work"
"$wine" "$quendra" init "$work/plant.db" --sample >/dev/null || fail "quendra init answered $?"
output=$(QUENDRA_ANSWERS=$("$wine" winepath -w "$scripts/PlatformAnswers.json") "$wine" cscript //nologo \
         "$("$wine" winepath -w "$scripts/Platform.js")" "$("$wine" winepath -w "$work/plant.db")" 2>&1 | tr -d '\r')
echo "Platform.js: $output"
grep -qE '^[0-9]+ passed, 0 failed$' <<<"$output" || fail "Platform.js did not pass"

"$wine" regsvr32 /u /s "$dll" || fail "regsvr32 /u answered $?"
expectNoRegistration "regsvr32 /u"
[ $status -eq 0 ] && echo "registration, hooks and unregistration passed"
exit $status
