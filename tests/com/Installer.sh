#!/usr/bin/env bash
# The installer: an older build installs quietly, the current one upgrades it in place, a script creates
# Quendra.Application from the installed DLL and calls hooks, and the uninstall removes every file and
# key. Runs after the registration test, which leaves no registration behind.
# Usage: Installer.sh <wine> <quendra-<version>-<arch>.msi> <wixl> <quendra.wxs> <quendra.dll> <win32|win64>
#                     <folder of the scripts> <work folder>
# SPDX-License-Identifier: Apache-2.0
set -uo pipefail
wine=$1
msi=$2
wixl=$3
wxs=$4
builtDll=$5
system=$6
scripts=$7
work=$8
source "$(dirname "$0")/WineRegistry.sh"
arch=x64
[ "$system" = win32 ] && arch=x86
name="Quendra ($arch)"
version=$(basename "$msi" | sed -E 's/^quendra-(.*)-(x86|x64)\.msi$/\1/')

rm -rf "$work" && mkdir -p "$work"
older="$work/quendra-0.9.0-$arch.msi"
# wixl finds the DLL only by a path relative to the folder it runs in.
(cd "$(dirname "$builtDll")" &&
    "$wixl" -a "$arch" -D Version=0.9.0 -D Arch="$arch" -D Dll="$(basename "$builtDll")" -o "$older" "$wxs" 2>/dev/null) ||
    { echo "FAILED: wixl cannot build the older installer"; exit 1; }

# installed: the DisplayVersion of every installed product with this name, one a line.
installed() {
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
        awk -v name="$name" '/^HKEY/ { shown = ""; version = "" }
                             $1 == "DisplayName" { shown = substr($0, index($0, "REG_SZ") + 10) }
                             $1 == "DisplayVersion" { version = $3 }
                             shown == name && version != "" { print version; shown = "" }'
}

"$wine" msiexec /i "$("$wine" winepath -w "$older")" /qn || fail "msiexec /i of 0.9.0 answered $?"
[ "$(installed)" = "0.9.0" ] || fail "after installing 0.9.0, installed: $(installed | tr '\n' ' ')"
"$wine" msiexec /i "$("$wine" winepath -w "$msi")" /qn || fail "msiexec /i of $version answered $?"
[ "$(installed)" = "$version" ] || fail "after the upgrade to $version, installed: $(installed | tr '\n' ' ')"

dll=$("$wine" reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve 2>/dev/null | tr -d '\r' |
      sed -n 's/^    (Default)    REG_SZ    //p')
case "$dll" in
    *'\Program Files\Quendra\quendra.dll' | *'\Program Files (x86)\Quendra\quendra.dll') ;;
    *) fail "the class's DLL is not under Program Files: '$dll'" ;;
esac
folder=$("$wine" winepath -u "$(dirname "${dll//\\//}")" 2>/dev/null)
cmp -s "$builtDll" "$("$wine" winepath -u "$dll")" || fail "the installed $dll is not the built DLL"
expectRegistration "$dll"

output=$("$wine" cscript //nologo "$("$wine" winepath -w "$scripts/Hooks.js")" 2>&1 | tr -d '\r')
echo "Hooks.js: $output"
grep -qE '^[0-9]+ passed, 0 failed$' <<<"$output" || fail "Hooks.js did not pass with the installed DLL"

"$wine" msiexec /x "$("$wine" winepath -w "$msi")" /qn || fail "msiexec /x answered $?"
[ -z "$(installed)" ] || fail "after the uninstall, installed: $(installed | tr '\n' ' ')"
expectNoRegistration "the uninstall"
[ -n "$folder" ] && [ -e "$folder" ] && fail "$folder is still there after the uninstall"
[ $status -eq 0 ] && echo "install, upgrade, hooks and uninstall passed"
exit $status
