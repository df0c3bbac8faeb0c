#!/usr/bin/env bash
# Makes the Debian packages, unpacks them into an empty root and uses what is there: the
# version, the man page, bash completion, and the demo tour played by the unpacked command.
#   DebianPackage.sh CPACK BUILD_DIR WORK_DIR VERSION WITH_QT WITH_POSTGRES
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
cpack=$1 build=$2 work=$3 version=$4 withQt=$5 withPostgres=$6
fail() { echo "$*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/root"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
command=$work/quendra_${version}_${arch}.deb
dev=$work/quendra-dev_${version}_${arch}.deb
for deb in "$command" "$dev"; do
    dpkg-deb -x "$deb" "$work/root"
done

depends=$(dpkg-deb -f "$command" Depends)
[[ $depends == *libsqlite3-0* ]] || fail "quendra does not depend on libsqlite3-0: $depends"
if [[ $withQt == 1 ]]; then
    [[ $depends == *libqt6widgets6* ]] || fail "quendra does not depend on libqt6widgets6: $depends"
fi
devDepends="libsqlite3-dev (>= 3.37)"
[[ $withPostgres == 1 ]] && devDepends+=", libpq-dev"
[[ $(dpkg-deb -f "$dev" Depends) == "$devDepends" ]] || fail "quendra-dev: $(dpkg-deb -f "$dev" Depends)"
usr=$work/root/usr
libs=$usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
[[ -f $libs/cmake/Quendra/QuendraConfig.cmake && -f $libs/libquendra_hooks.a && -f $usr/include/quendra/Application.h ]] ||
    fail "quendra-dev holds no CMake package, libraries or headers in the multiarch folder"
for package in quendra quendra-dev; do
    grep -q '^License: Apache-2.0$' "$usr/share/doc/$package/copyright" || fail "$package has no licence"
    zcat "$usr/share/doc/$package/changelog.gz" | grep -q "^$package ($version) " || fail "$package has no changelog of $version"
done

[[ $("$usr/bin/quendra" --version) == "quendra $version" ]] || fail "quendra --version: $("$usr/bin/quendra" --version)"
zcat "$usr/share/man/man1/quendra.1.gz" | grep -q '^\.SS quendra play$' || fail "the man page lacks quendra play"
# shellcheck source=/dev/null
source "$usr/share/bash-completion/completions/quendra"
COMP_WORDS=(quendra pl) COMP_CWORD=1
_quendra "$usr/bin/quendra"
[[ ${COMPREPLY[*]} == play ]] || fail "completing 'quendra pl' gave: ${COMPREPLY[*]}"
COMP_WORDS=(quendra play --j) COMP_CWORD=2
_quendra "$usr/bin/quendra"
[[ ${COMPREPLY[*]} == --json ]] || fail "completing 'quendra play --j' gave: ${COMPREPLY[*]}"

cd "$work"
QT_QPA_PLATFORM=offscreen "$usr/bin/quendra" play "$usr/share/quendra/examples/tour.json" >tour.txt ||
    { cat tour.txt; fail "the installed tour did not play"; }
