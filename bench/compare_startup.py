#!/usr/bin/env python3
"""Compares the start-up of two release builds of the tool.

Usage: compare_startup.py <bin folder before> <bin folder after> [runs]

Runs bench_startup_tool of both builds and the empty Qt program of the
second alternately, so that a busy machine slows every side alike, and
prints one table: median, minimum and maximum of the start-up time to the
first paint, of its two phases and of the peak memory, and the ratio of the
tool to the empty program for each build.
"""
import os
import statistics
import subprocess
import sys
import time

BEFORE, AFTER = sys.argv[1], sys.argv[2]
RUNS = int(sys.argv[3]) if len(sys.argv) > 3 else 15
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def run(folder, program):
    env = dict(ENV, DZ_BENCH_LAUNCH_NS=str(time.monotonic_ns()))
    proc = subprocess.run([os.path.join(folder, program)], env=env, capture_output=True, text=True, timeout=60)
    if proc.returncode != 0:
        sys.exit(f"{folder}/{program}: exit {proc.returncode}: {proc.stderr.strip()[-300:]}")
    figures = {}
    for line in proc.stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "FIGURE":
            figures[parts[1]] = float(parts[2])
    return figures


sides = {"before": BEFORE, "after": AFTER}
results = {name: {} for name in sides}
empty = {}
for folder in sides.values():  # warm-up: libraries and fonts in the page cache
    run(folder, "bench_startup_tool")
run(AFTER, "bench_startup_empty")
for _ in range(RUNS):
    for name, folder in sides.items():
        for key, value in run(folder, "bench_startup_tool").items():
            results[name].setdefault(key, []).append(value)
    for key, value in run(AFTER, "bench_startup_empty").items():
        empty.setdefault(key, []).append(value)


def cell(values):
    return f"{statistics.median(values):.1f} ({min(values):.1f} to {max(values):.1f})"


rows = [("start-up to first paint (ms)", "startup_ms"),
        ("  QApplication constructed (ms)", "startup_app_ms"),
        ("  main window constructed and refreshed (ms)", "startup_window_ms"),
        ("peak memory at first paint (MiB)", "startup_rss_mib")]
print(f"| Measurement | before | after | empty Qt program |")
print("|---|---|---|---|")
for label, key in rows:
    cells = [cell(results[n][key]) if key in results[n] else "-" for n in sides]
    print(f"| {label} | {cells[0]} | {cells[1]} | {cell(empty[key]) if key in empty else '-'} |")
e = statistics.median(empty["startup_ms"])
ratios = [statistics.median(results[n]["startup_ms"]) / e for n in sides]
print(f"| ratio to the empty program | {ratios[0]:.2f} | {ratios[1]:.2f} | 1 |")
print(f"\n{RUNS} runs per side, alternating; load average {os.getloadavg()[0]:.2f} at the end.")
