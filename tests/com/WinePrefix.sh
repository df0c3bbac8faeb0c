#!/usr/bin/env bash
# Creates the private Wine prefix of the COM tests once ($WINEPREFIX, under the build folder).
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
wine=$1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$(dirname "$wine")/wineboot" -i
    "$(dirname "$wine")/wineserver" -w
fi
test -f "$WINEPREFIX/system.reg"
