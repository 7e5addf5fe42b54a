#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
./scripts/build.sh debug
ctest --preset debug -j "$(nproc)"
./scripts/package.sh
