# What the registration and installer tests share: failures, expected registry values, and the view of
# the registry a class is registered in. Sourced; needs $wine (the loader of the DLL's architecture)
# and $system (win32 or win64).
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
