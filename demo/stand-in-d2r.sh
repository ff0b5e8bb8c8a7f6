#!/bin/sh
# Stand-in for "D2R.exe" in the demo Resurrected game folder: this folder holds no real game, so
# it only says how it was started (Misc > Run Diablo II: Resurrected passes -mod <name> -txt).
echo "Diablo II: Resurrected stand-in, started with: $*"
exit 0
