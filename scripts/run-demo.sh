#!/usr/bin/env bash
# Starts tarvane in its working folder under the build folder.
set -euo pipefail
BUILD_DIR="${1:-build}"
WORK="$BUILD_DIR/demo/work"
mkdir -p "$WORK"
cd "$WORK"
exec "$OLDPWD/$BUILD_DIR/tarvane"
