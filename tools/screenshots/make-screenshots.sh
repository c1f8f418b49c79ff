#!/bin/sh
# Remakes the README's screenshots in docs/ from a synthetic image, under Qt's offscreen
# platform (no display needed). Run from anywhere after any change to the windows, and commit
# the pictures: the test ScreenshotsMatchTheWindows compares them with what the windows draw.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --preset dev >/dev/null
cmake --build --preset dev --target screenshots
