#!/usr/bin/env bash
# The installer: an older build installs quietly, the current one upgrades it in place, a script creates
# Quendra.Application from the installed DLL and calls hooks, and the uninstall removes every file and
# key. Runs after the registration test, which leaves no registration behind.
# Usage: Installer.sh <wine> <quendra-<version>-<arch>.msi> <wixl> <quendra.wxs> <quendra.dll> <win32|win64>
#                     <folder of the scripts> <work folder>
set -uo pipefail
wine=$1
msi=$2
wixl=$3
wxs=$4
builtDll=$5
system=$6
scripts=$7
work=$8
clsid='{CAA60299-1FFF-497F-82B2-87E1416FD89D}'
platformClsid='{7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}'
libid='{93BB3613-C4AF-4EDD-9D60-3F8A27344900}'
diid='{C42BA17C-F867-418B-854C-AF31208E4514}'
source "$(dirname "$0")/WineRegistry.sh"
arch=x64
[ "$system" = win32 ] && arch=x86
name="Quendra ($arch)"
version=$(basename "$msi" | sed -E 's/^quendra-(.*)-(x86|x64)\.msi$/\1/')

rm -rf "$work" && mkdir -p "$work"
older="$work/quendra-0.9.0-$arch.msi"
"$wixl" -a "$arch" -D Version=0.9.0 -D Arch="$arch" -D Dll="$builtDll" -o "$older" "$wxs" 2>/dev/null ||
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
expect "HKCR\\CLSID\\$clsid" "" "Quendra.Application"
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
expect "HKCR\\Quendra.Platform\\CLSID" "" "$platformClsid"
expectView "$clsid"
expectView "$platformClsid"

output=$("$wine" cscript //nologo "$("$wine" winepath -w "$scripts/Hooks.js")" 2>&1 | tr -d '\r')
echo "Hooks.js: $output"
grep -qE '^[0-9]+ passed, 0 failed$' <<<"$output" || fail "Hooks.js did not pass with the installed DLL"

"$wine" msiexec /x "$("$wine" winepath -w "$msi")" /qn || fail "msiexec /x answered $?"
[ -z "$(installed)" ] || fail "after the uninstall, installed: $(installed | tr '\n' ' ')"
for key in "HKCR\\Quendra.Application" "HKCR\\Quendra.Application.1" "HKCR\\Quendra.Platform" \
           "HKCR\\CLSID\\$clsid" "HKCR\\CLSID\\$platformClsid" "HKCR\\TypeLib\\$libid" "HKCR\\Interface\\$diid"; do
    "$wine" reg query "$key" >/dev/null 2>&1 && fail "$key is still there after the uninstall"
done
[ -n "$folder" ] && [ -e "$folder" ] && fail "$folder is still there after the uninstall"
[ $status -eq 0 ] && echo "install, upgrade, hooks and uninstall passed"
exit $status
