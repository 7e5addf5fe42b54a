#!/usr/bin/env bash
# Builds the GUI tests and renders the main window's three pages, the
# interface setup dialog and the About box under a virtual X server into
# build/screenshots/ (or the folder given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cmake --preset debug >/dev/null
cmake --build --preset debug -j2 --target test_app
DZ_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
  build/debug/bin/test_app --gtest_also_run_disabled_tests --gtest_filter='WindowScreenshots.*'
ls -1 "$out"/*.png
