#!/usr/bin/env bash
# regsvr32 registers quendra.dll, a JScript and a VBScript file run by cscript call its hooks,
# the same JScript file calls a hook whose window a scripted user answers (QUENDRA_ANSWERS), and
# regsvr32 /u removes every key that registration wrote.
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
platformClsid='{7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}'
clsid='{CAA60299-1FFF-497F-82B2-87E1416FD89D}'
libid='{93BB3613-C4AF-4EDD-9D60-3F8A27344900}'
diid='{C42BA17C-F867-418B-854C-AF31208E4514}'
status=0

fail() {
    echo "FAILED: $*"
    status=1
}

# expect KEY NAME VALUE: the value (NAME "" is the default value) holds VALUE.
expect() {
    local key=$1 name=$2 value=$3 output
    if [ -z "$name" ]; then
        output=$("$wine" reg query "$key" /ve 2>/dev/null | tr -d '\r') || { fail "$key is missing"; return; }
        name='(Default)'
    else
        output=$("$wine" reg query "$key" /v "$name" 2>/dev/null | tr -d '\r') || { fail "$key $name is missing"; return; }
    fi
    grep -qxF "    $name    REG_SZ    $value" <<<"$output" || fail "$key $name: expected $value, found: $output"
}

keys=("HKCR\\CLSID\\$clsid" "HKCR\\Quendra.Application" "HKCR\\Quendra.Application.1" "HKCR\\TypeLib\\$libid"
      "HKCR\\Interface\\$diid" "HKCR\\CLSID\\$platformClsid" "HKCR\\Quendra.Platform")

"$wine" regsvr32 /s "$dll" || fail "regsvr32 answered $?"
expect "HKCR\\CLSID\\$clsid" "" "Quendra.Application"
expect "HKCR\\CLSID\\$clsid\\InprocServer32" "" "$dll"
expect "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel Apartment
expect "HKCR\\CLSID\\$clsid\\ProgID" "" "Quendra.Application.1"
expect "HKCR\\CLSID\\$clsid\\VersionIndependentProgID" "" "Quendra.Application"
expect "HKCR\\CLSID\\$clsid\\TypeLib" "" "$libid"
expect "HKCR\\Quendra.Application\\CLSID" "" "$clsid"
expect "HKCR\\Quendra.Application\\CurVer" "" "Quendra.Application.1"
expect "HKCR\\Quendra.Application.1\\CLSID" "" "$clsid"
expect "HKCR\\TypeLib\\$libid\\1.0\\0\\$system" "" "$dll"
expect "HKCR\\Interface\\$diid\\TypeLib" "" "$libid"
expect "HKCR\\CLSID\\$platformClsid\\InprocServer32" "" "$dll"
expect "HKCR\\CLSID\\$platformClsid\\InprocServer32" ThreadingModel Apartment
expect "HKCR\\CLSID\\$platformClsid\\ProgID" "" "Quendra.Platform"
expect "HKCR\\Quendra.Platform\\CLSID" "" "$platformClsid"

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
for key in "${keys[@]}"; do
    "$wine" reg query "$key" >/dev/null 2>&1 && fail "$key is still registered"
done
[ $status -eq 0 ] && echo "registration, hooks and unregistration passed"
exit $status
