#!/usr/bin/env bash
# The unpacked package's desktop entry as a desktop reads it: valid, with its icon at every size
# it names, and its command line starts the desktop on a database.
#   DesktopEntry.sh DESKTOP_FILE_VALIDATE WORK_DIR   (WORK_DIR as DebianPackage.sh left it)
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
validate=$1 work=$2
fail() { echo "$*" >&2; exit 1; }
usr=$work/root/usr
entry=$usr/share/applications/quendra-desktop.desktop

"$validate" "$entry"
icon=$(sed -n 's/^Icon=//p' "$entry")
icons=$usr/share/icons/hicolor
[[ -f $icons/scalable/apps/$icon.svg ]] || fail "no drawing of the icon $icon"
for size in 16 22 24 32 48 64 128 256; do
    picture=$icons/${size}x$size/apps/$icon.png
    [[ $(file -b "$picture") == "PNG image data, $size x $size,"* ]] || fail "$picture: $(file -b "$picture")"
done

# The entry's command, with the database in place of %f, as the desktop runs it from the menu.
command=$(sed -n 's/^Exec=//p' "$entry")
[[ $command == "quendra desktop %f" ]] || fail "the entry runs: $command"
cd "$work"
rm -f entry.db entry.png
"$usr/bin/quendra" init entry.db --sample >/dev/null
read -r -a words <<<"${command/\%f/entry.db}"
shown=$(QT_QPA_PLATFORM=offscreen "$usr/bin/${words[0]}" "${words[@]:1}" --screenshot entry.png)
[[ $shown == "wrote entry.png" && -s entry.png ]] || fail "the entry's command did not start the desktop: $shown"
