#!/usr/bin/env bash
# Draws every window of the program as a PNG into the folder given
# (default: build/screenshots), without a display.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/screenshots}
cmake --build "$top/build" --target brevant_windowpictures brevant_data -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$top/build/tools/brevant_windowpictures" --every-window "$out" "$top/build/bin"
echo "Pictures of every window are in $out"
