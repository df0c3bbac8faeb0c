#!/usr/bin/env bash
# Prints the time that stands for a build of the source folder SOURCE, in seconds since 1970:
#   epoch.sh SOURCE
# SOURCE_DATE_EPOCH where it is set, else the time of the commit checked out there (a Git checkout),
# else the time CHANGELOG.md was last changed (git archive gives it the commit's); so two builds of
# one commit stamp their packages alike.
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
source=$1
if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then
    echo "$SOURCE_DATE_EPOCH"
elif [[ -e $source/.git ]]; then
    git -C "$source" log -1 --format=%ct
else
    stat -c %Y "$source/CHANGELOG.md"
fi
