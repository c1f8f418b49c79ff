#!/bin/sh
# Remakes the README's screenshots in docs/ from a synthetic image, under Qt's offscreen
# platform (no display needed). Run from anywhere after any change to the windows.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset dev >/dev/null
cmake --build --preset dev --target slamwise_screenshots
QT_QPA_PLATFORM=offscreen ./build/dev/tools/screenshots/slamwise_screenshots docs
