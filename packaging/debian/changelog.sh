#!/usr/bin/env bash
# Writes a package's Debian changelog from CHANGELOG.md, compressed as Debian wants it (gzip -9n):
#   changelog.sh CHANGELOG.md PACKAGE VERSION "NAME <ADDRESS>" OUTPUT.gz
# Each "## X.Y.Z (YYYY-MM-DD)" section becomes an entry of that version and day; "## Unreleased"
# becomes the top entry, of VERSION, marked UNRELEASED and dated SOURCE_DATE_EPOCH (the commit's
# time, see epoch.sh). Items become "*" lines, other paragraphs plain lines, wrapped to 78 columns.
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
changelog=$1 package=$2 version=$3 maintainer=$4 output=$5
here=$(dirname "$0")
epoch=$("$here/epoch.sh" "$(dirname "$changelog")")
mkdir -p "$(dirname "$output")"

awk -v package="$package" -v version="$version" -v maintainer="$maintainer" -v epoch="$epoch" '
function debianDate(day) {
    command = day == "" ? "date -u -R -d @" epoch : "date -u -R -d " day
    command | getline result
    close(command)
    return result
}
# Writes the paragraph gathered so far, wrapped, after the marker of its first line.
function flush(   words, n, i, line, lead) {
    if (text == "") return
    n = split(text, words, " ")
    lead = marker
    line = ""
    for (i = 1; i <= n; ++i) {
        if (line != "" && length(lead line " " words[i]) > 78) {
            print lead line
            lead = marker == "" ? "  " : "    "
            line = ""
        }
        line = line == "" ? words[i] : line " " words[i]
    }
    print lead line
    text = ""
}
function close_entry() {
    flush()
    if (entry) printf "\n -- %s  %s\n\n", maintainer, date
    entry = 0
}
/^## / {
    close_entry()
    if ($2 == "Unreleased") {
        printf "%s (%s) UNRELEASED; urgency=medium\n\n", package, version
        date = debianDate("")
    } else if (match($0, /^## [0-9][0-9.]* \([0-9]+-[0-9]+-[0-9]+\)$/)) {
        day = $3
        gsub(/[()]/, "", day)
        printf "%s (%s) unstable; urgency=medium\n\n", package, $2
        date = debianDate(day)
    } else {
        print FILENAME ":" NR ": a version heading is \"## X.Y.Z (YYYY-MM-DD)\" or \"## Unreleased\"" > "/dev/stderr"
        exit 2
    }
    entry = 1
    next
}
!entry { next }
/^- / { flush(); marker = "  * "; text = substr($0, 3); next }
/^$/ { flush(); next }
{
    sub(/^ +/, "")
    if (text == "") { marker = "  "; text = $0 } else text = text " " $0
}
END { close_entry() }
' "$changelog" | sed '$d' | gzip -9n >"$output"
