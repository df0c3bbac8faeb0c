#!/usr/bin/env bash
# Creates the private Wine prefix of the COM tests once ($WINEPREFIX, under the build folder).
# Usage: WinePrefix.sh <wine loader> <wineserver>
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
wine=$1
wineserver=$2
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i
    "$wineserver" -w
fi
test -f "$WINEPREFIX/system.reg"
