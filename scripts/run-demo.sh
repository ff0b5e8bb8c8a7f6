#!/usr/bin/env bash
# Starts tarvane in the working folder of a demo game under the build folder: "demo", or the one
# given second ("demo-110").
set -euo pipefail
BUILD_DIR="${1:-build}"
WORK="$BUILD_DIR/${2:-demo}/work"
mkdir -p "$WORK"
cd "$WORK"
exec "$OLDPWD/$BUILD_DIR/tarvane"
