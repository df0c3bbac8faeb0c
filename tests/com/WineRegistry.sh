# What the registration and installer tests share: failures, expected registry values, and the view of
# the registry a class is registered in. Sourced; needs $wine (the loader of the DLL's architecture)
# and $system (win32 or win64).
# SPDX-License-Identifier: Apache-2.0
clsid='{CAA60299-1FFF-497F-82B2-87E1416FD89D}'
platformClsid='{7D3E6A52-1C84-4B0F-9E27-5A6C3D8B1F04}'
libid='{93BB3613-C4AF-4EDD-9D60-3F8A27344900}'
diid='{C42BA17C-F867-418B-854C-AF31208E4514}'
status=0

fail() {
    echo "FAILED: $*"
    status=1
}

# expect KEY NAME VALUE: the value (NAME "" is the default value) holds VALUE, as a program of the
# DLL's architecture reads it.
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

# expectView CLSID: the class is in the architecture's view of HKCR\CLSID and not in the other's. In a
# 64-bit prefix a 32-bit class lives under Wow6432Node.
expectView() {
    local clsid=$1 own=/reg:64 other=/reg:32
    [ "$system" = win32 ] && { own=/reg:32; other=/reg:64; }
    "$wine" reg query "HKCR\\CLSID\\$clsid" "$own" >/dev/null 2>&1 || fail "$clsid is not in the $own view"
    "$wine" reg query "HKCR\\CLSID\\$clsid" "$other" >/dev/null 2>&1 && fail "$clsid is in the $other view too"
    if [ "$system" = win32 ] && grep -qx '#arch=win64' "$WINEPREFIX/system.reg"; then
        "$wine" reg query "HKCR\\Wow6432Node\\CLSID\\$clsid" /reg:64 >/dev/null 2>&1 ||
            fail "$clsid is not under Wow6432Node in this 64-bit prefix"
    fi
}

# expectRegistration DLL: the two classes, their ProgIDs, the type library and the interface name the
# DLL (its Windows path), in the architecture's view.
expectRegistration() {
    local dll=$1
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
    expectView "$clsid"
    expectView "$platformClsid"
}

# The keys a registration writes at their roots; none is left once it is removed.
registrationKeys=("HKCR\\CLSID\\$clsid" "HKCR\\Quendra.Application" "HKCR\\Quendra.Application.1" "HKCR\\TypeLib\\$libid"
                  "HKCR\\Interface\\$diid" "HKCR\\CLSID\\$platformClsid" "HKCR\\Quendra.Platform")
expectNoRegistration() {
    local key
    for key in "${registrationKeys[@]}"; do
        "$wine" reg query "$key" >/dev/null 2>&1 && fail "$key is still there after $1"
    done
}
