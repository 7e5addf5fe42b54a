#!/usr/bin/env bash
# Builds the release preset and prints the benchmark table: start-up against
# an empty Qt Widgets program, peak memory, CPU while waiting, reply latency
# over each link, the serial writer's rate, the codec's throughput, dazavu
# against a fleet of simulated printers (bench/fleet.py) and the exporter
# under 1,000 scrapes at once (bench/exporter_bench.py). Every
# figure is measured several times in this one run (median, min, max).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j2
export QT_QPA_PLATFORM=offscreen
exec python3 bench/run.py build/release/bin
