#!/usr/bin/env python3
"""Runs the benchmark programs of a release build and prints one table.

Usage: run.py <bin folder>

Every figure is measured several times in this one run (programs alternate,
so that a busy machine slows both sides of a comparison alike); the table
shows the median, minimum and maximum, the target and whether the median
meets it.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

BIN = sys.argv[1]
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen")

STARTUP_RUNS = 9          # per program, after one warm-up each
WINDOW_RUNS = 3           # processes per link
STATUS_ROUNDS = 20        # GET STATUS rounds per window process
SERIAL_RUNS = 7
SERIAL_BYTES = 32768
LINE_RATE = 11520.0       # bytes per second at 115200 baud (10 bits a byte)
LINKS = {"com": "COM (pty)", "lan": "LAN (127.0.0.1)", "usb": "USB (sim library)"}

failures = []


def run(args, launch=False, timeout=120):
    """Runs one program; returns its figures as {name: [values]}."""
    env = dict(ENV)
    if launch:
        env["DZ_BENCH_LAUNCH_NS"] = str(time.monotonic_ns())
    try:
        proc = subprocess.run([os.path.join(BIN, args[0])] + args[1:], env=env,
                              capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        failures.append(f"{' '.join(args)}: timed out")
        return {}
    figures = {}
    for line in proc.stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "FIGURE":
            figures.setdefault(parts[1], []).append(float(parts[2]))
    noise = [l for l in proc.stderr.splitlines()
             if "XDG_RUNTIME_DIR" not in l and "propagateSizeHints" not in l]
    if proc.returncode != 0:
        failures.append(f"{' '.join(args)}: exit {proc.returncode}: {' | '.join(noise[-5:])}")
    elif noise:
        failures.append(f"{args[0]}: {' | '.join(noise[-3:])}")
    return figures


def merge(into, figures):
    for key, values in figures.items():
        into.setdefault(key, []).extend(values)


def google_benchmark(program):
    """items_per_second of every repetition, by benchmark name."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        proc = subprocess.run([os.path.join(BIN, program), "--benchmark_repetitions=5",
                               "--benchmark_min_time=0.1", f"--benchmark_out={out.name}",
                               "--benchmark_out_format=json"],
                              env=ENV, capture_output=True, text=True, timeout=120)
        if proc.returncode != 0:
            failures.append(f"{program}: exit {proc.returncode}: {proc.stderr.strip()[-300:]}")
            return {}
        data = json.load(open(out.name))
    result = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "iteration" and "items_per_second" in b:
            result.setdefault(b["run_name"].split("/")[0], []).append(b["items_per_second"])
    return result


def exists(program):
    return os.path.exists(os.path.join(BIN, program))


started = time.monotonic()
figures = {}

# Start-up: the tool and the empty program alternately.
tool_startup, empty_startup, tool_rss, empty_rss, label_startup = [], [], [], [], []
phases = {}
if exists("bench_startup_tool") and exists("bench_startup_empty"):
    run(["bench_startup_tool"], launch=True)
    run(["bench_startup_empty"], launch=True)
    for _ in range(STARTUP_RUNS):
        t = run(["bench_startup_tool"], launch=True)
        e = run(["bench_startup_empty"], launch=True)
        label_startup += run(["bench_startup_empty", "--label"], launch=True).get("startup_ms", [])
        merge(phases, t)
        if t.get("startup_ms") and e.get("startup_ms"):
            tool_startup += t["startup_ms"]
            empty_startup += e["startup_ms"]
            tool_rss += t["startup_rss_mib"]
            empty_rss += e["startup_rss_mib"]
else:
    failures.append("start-up programs missing (is app/ built?)")

# The window over each link.
if exists("bench_window"):
    for _ in range(WINDOW_RUNS):
        for link in LINKS:
            merge(figures, run(["bench_window", link, str(STATUS_ROUNDS)]))
else:
    failures.append("bench_window missing (is app/ built?)")

# The link's waits for a printer that does not answer.
for _ in range(3):
    merge(figures, run(["bench_link_waits"]))

# The serial writer.
merge(figures, run(["bench_serial_writer", str(SERIAL_RUNS), str(SERIAL_BYTES)]))

# Codec and files.
codec = google_benchmark("bench_codec") if exists("bench_codec") else {}
files = google_benchmark("bench_files") if exists("bench_files") else {}

# dazavu: whole-process wall time against simulated printers on 127.0.0.1.
DAZAVU_RUNS = 7
DAZAVU_PORT = 23400
dazavu = {"status_ms": [], "read_ms": [], "read1_ms": [], "read10_ms": [], "read100_ms": [], "rss100_mib": [],
          "write1_ms": [], "write100_ms": [], "sent1_ms": [], "sent100_ms": []}


def timed(args):
    """Wall time (ms) and peak RSS (MiB) of one process, or None when it failed."""
    t0 = time.monotonic()
    proc = subprocess.Popen([os.path.join(BIN, "dazavu")] + args, env=ENV,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = (time.monotonic() - t0) * 1000
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if proc.returncode != 0:
        failures.append(f"dazavu {' '.join(args[:1])}: exit {proc.returncode}: {err.strip()[-200:]}")
        return None, None
    return wall, usage.ru_maxrss / 1024.0


if exists("dazavu") and exists("dazavu-printer-sim"):
    sim = subprocess.Popen([os.path.join(BIN, "dazavu-printer-sim"), "--printers", "100",
                            "--port", str(DAZAVU_PORT)], env=ENV, stdout=subprocess.PIPE, text=True)
    for line in sim.stdout:
        if line.startswith("status:"):
            break
    drain = __import__("threading").Thread(target=lambda: sim.stdout.read(), daemon=True)
    drain.start()
    with tempfile.TemporaryDirectory() as out:
        def lan(n):
            return sum((["--lan", f"127.0.0.1:{DAZAVU_PORT + i}"] for i in range(n)), [])
        both = ["--params", os.path.join(out, "p.dt1"), "--lan-settings", os.path.join(out, "p.dt2")]
        timed(["status"] + lan(1))
        for _ in range(DAZAVU_RUNS):
            w, _ = timed(["status"] + lan(1))
            if w is not None:
                dazavu["status_ms"].append(w)
            w, _ = timed(["read"] + lan(1) + both)
            if w is not None:
                dazavu["read_ms"].append(w)
            for n in (1, 10, 100):
                w, rss = timed(["read"] + lan(n) + ["--out-dir", out])
                if w is not None:
                    dazavu[f"read{n}_ms"].append(w)
                    if n == 100:
                        dazavu["rss100_mib"].append(rss)
            # write: a status request, the file's lines and (without
            # --no-verify) the read-back of three records per printer.
            params = os.path.join(out, "p.dt1")
            if os.path.exists(params):
                for n in (1, 100):
                    w, _ = timed(["write"] + lan(n) + [params])
                    if w is not None:
                        dazavu[f"write{n}_ms"].append(w)
                    w, _ = timed(["write", "--no-verify"] + lan(n) + [params])
                    if w is not None:
                        dazavu[f"sent{n}_ms"].append(w)
    sim.terminate()
    sim.wait()
else:
    failures.append("dazavu or dazavu-printer-sim missing (is cli/ built?)")

# dazavu against a fleet served by one simulator process, every reply
# delayed 20 ms, default options (bench/fleet.py).
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fleet  # noqa: E402

fleet_figures = {}
if exists("dazavu") and exists("dazavu-printer-sim"):
    try:
        fleet_figures = fleet.measure(BIN, runs=5)
    except (RuntimeError, OSError) as e:
        failures.append(f"fleet: {e}")

# dazavu exporter: 1,000 scrapes at once against 1,000 printers.
import exporter_bench  # noqa: E402
exporter = exporter_bench.measure(BIN, ENV, failures)

elapsed = time.monotonic() - started

# ---- the table ----
rows = []


def row(label, values, target=None, below=True, fmt="{:.2f}", unit=""):
    if not values:
        rows.append((label, "n/a", "n/a", "n/a", target_text(target, below, fmt, unit), "MISS" if target is not None else "-"))
        return
    med, lo, hi = statistics.median(values), min(values), max(values)
    verdict = "-"
    if target is not None:
        verdict = "PASS" if (med < target if below else med >= target) else "MISS"
    rows.append((label, fmt.format(med) + unit, fmt.format(lo) + unit, fmt.format(hi) + unit,
                 target_text(target, below, fmt, unit), verdict))


def target_text(target, below, fmt, unit):
    if target is None:
        return "-"
    return ("< " if below else ">= ") + fmt.format(target) + unit


row("start-up, tool (ms)", tool_startup)
row("start-up, empty Qt Widgets program (ms)", empty_startup)
row("start-up ratio tool / empty (per pair)",
    [t / e for t, e in zip(tool_startup, empty_startup)], 1.5, fmt="{:.2f}", unit="x")
row("  tool: QApplication constructed (ms)", phases.get("startup_app_ms"))
row("  tool: main window constructed and refreshed (ms)", phases.get("startup_window_ms"))
row("start-up, empty program with one text label (ms)", label_startup)
row("peak RSS after start-up, tool (MiB)", tool_rss, 60)
row("peak RSS after start-up, empty program (MiB)", empty_rss)
for link, label in LINKS.items():
    row(f"peak RSS after READ, {label} (MiB)", figures.get(f"read_rss_mib_{link}"), 60)
pct = lambda key: [v * 100 for v in figures.get(key, [])]
row("CPU during bare WaitSeconds(1), all links (%)",
    sum((pct(f"wait_cpu_fraction_{l}") for l in LINKS), []), 2, fmt="{:.3f}")
row("CPU while connecting to a listener that never accepts (% of wall)",
    pct("connect_unanswered_cpu_fraction"), 1, fmt="{:.3f}")
row("CPU while a refused connection is retried (% of wall)", pct("connect_refused_cpu_fraction"), 1, fmt="{:.3f}")
row("CPU during a USB reply wait on a silent library (% of wall)",
    pct("usb_reply_wait_cpu_fraction"), 1, fmt="{:.3f}")
for link, label in LINKS.items():
    row(f"CPU during READ, {label} (% of wall)", pct(f"read_cpu_fraction_{link}"), 2, fmt="{:.3f}")
for link, label in LINKS.items():
    row(f"READ wall time, {label} (s)", figures.get(f"read_wall_s_{link}"), fmt="{:.3f}")
for link, label in LINKS.items():
    row(f"reply latency, status -> lblStatus, {label} (ms)", figures.get(f"latency_status_ms_{link}"), 5, fmt="{:.3f}")
for link, label in LINKS.items():
    row(f"reply latency, record -> items, {label} (ms)", figures.get(f"latency_record_ms_{link}"), 5, fmt="{:.3f}")
for link, label in LINKS.items():
    row(f"reply latency, status -> lblStatus painted, {label} (ms)",
        figures.get(f"latency_status_painted_ms_{link}"), 5, fmt="{:.3f}")
row("USB GET STATUS, time beyond the library's (ms)", figures.get("usb_status_added_ms"), 5, fmt="{:.3f}")
row("USB GET STATUS, time inside the library (ms)", figures.get("usb_status_library_ms"), fmt="{:.3f}")
writer = figures.get("serial_writer_bytes_per_s", [])
row("serial writer over a pty (bytes/s)", writer, 10 * LINE_RATE, below=False, fmt="{:,.0f}")
row("serial writer / 115200-baud line rate (x)", [w / LINE_RATE for w in writer], 10, below=False, fmt="{:.1f}")
row("dazavu status, one LAN printer, whole process (ms)", dazavu["status_ms"], 50, fmt="{:.1f}")
row("dazavu read, one LAN printer, four records, whole process (ms)", dazavu["read_ms"], 150, fmt="{:.1f}")
row("dazavu read --out-dir, 1 printer (ms)", dazavu["read1_ms"], fmt="{:.1f}")
row("dazavu read --out-dir, 10 printers (ms)", dazavu["read10_ms"], fmt="{:.1f}")
row("dazavu read --out-dir, 100 printers (ms)", dazavu["read100_ms"], fmt="{:.1f}")
row("dazavu read wall ratio 100 / 1 printers (per run)",
    [h / o for h, o in zip(dazavu["read100_ms"], dazavu["read1_ms"])], 3.0001, fmt="{:.2f}", unit="x")
row("dazavu read, 100 printers, peak RSS (MiB)", dazavu["rss100_mib"], 60, fmt="{:.1f}")
row("dazavu write .dt1 with read-back, 1 printer (ms)", dazavu["write1_ms"], fmt="{:.1f}")
row("dazavu write .dt1 --no-verify, 1 printer (ms)", dazavu["sent1_ms"], fmt="{:.1f}")
row("dazavu write .dt1 with read-back, 100 printers (ms)", dazavu["write100_ms"], fmt="{:.1f}")
row("dazavu write .dt1 --no-verify, 100 printers (ms)", dazavu["sent100_ms"], fmt="{:.1f}")
ff = fleet_figures.get
ratio = lambda many, one: [m / o for m, o in zip(ff(many, []), ff(one, []))]
row("fleet: dazavu status --hosts, 1 printer (s)", ff("status1_s"), fmt="{:.3f}")
row("fleet: dazavu status --hosts, 1,000 printers (s)", ff("status1000_s"), fmt="{:.3f}")
row("fleet: status 1,000 / 1 printer (per run)", ratio("status1000_s", "status1_s"), 2.0001, fmt="{:.1f}", unit="x")
for where in ("tmpfs", "disk"):
    row(f"fleet: dazavu read --out-dir on {where}, 1 printer (s)", ff(f"read1_{where}_s"), fmt="{:.3f}")
    row(f"fleet: dazavu read --out-dir on {where}, 1,000 printers (s)", ff(f"read1000_{where}_s"), fmt="{:.3f}")
    row(f"fleet: read on {where} 1,000 / 1 printer (per run)", ratio(f"read1000_{where}_s", f"read1_{where}_s"),
        2.0001, fmt="{:.1f}", unit="x")
row("fleet: dazavu read --out-dir on tmpfs, 5,000 printers (s)", ff("read5000_tmpfs_s"), 1.0, fmt="{:.3f}")
row("fleet: peak RSS, status of 1,000 printers (MiB)", ff("status1000_rss"), 32.0001, fmt="{:.1f}")
row("fleet: peak RSS, read of 1,000 printers (MiB)", ff("read1000_tmpfs_rss"), 32.0001, fmt="{:.1f}")
row("fleet: threads, read of 10 printers", ff("read10_tmpfs_threads"), fmt="{:.0f}")
row("fleet: threads, read of 1,000 printers", ff("read1000_tmpfs_threads"), fmt="{:.0f}")
row("fleet: threads, 1,000 minus 10 printers (per run)",
    [a - b for a, b in zip(ff("read1000_tmpfs_threads", []), ff("read10_tmpfs_threads", []))], 0.5, fmt="{:.0f}")
row("fleet: simulator CPU for a read of 1,000 printers (s)", ff("read1000_tmpfs_simcpu"), fmt="{:.2f}")
row(f"exporter: {exporter_bench.FLEET:,} probes at once, printers answering after {exporter_bench.DELAY_MS} ms (s)",
    exporter["burst_s"], 1.0, fmt="{:.3f}")
row(f"exporter: peak RSS after {exporter_bench.FLEET:,} probes at once (MiB)", exporter["peak_mib"], 64, fmt="{:.1f}")
row("exporter: CPU time per probe (ms)", exporter["cpu_ms_per_probe"], fmt="{:.3f}")
row("exporter: one probe, scrape sent to metrics read (ms)", exporter["probe_ms"], fmt="{:.3f}")
row("printer's own status round trip, connect to reply (ms)", exporter["direct_ms"], fmt="{:.3f}")
row("exporter: one probe beyond the printer's own round trip (ms)",
    [p - d for p, d in zip(exporter["probe_ms"], exporter["direct_ms"])], fmt="{:.3f}")
labels = {
    "DecodeRecords": "records decoded (/s)",
    "DecodeStatusReplies": "status replies decoded (/s)",
    "BuildCommands": "commands built to bytes (/s)",
    "FormatParameterFile": ".dt1 contents formatted in memory (/s)",
    "ParseParameterFile": ".dt1 contents parsed in memory (/s)",
    "FormatLanFile": ".dt2 contents formatted in memory (/s)",
    "ParseLanFile": ".dt2 contents parsed in memory (/s)",
    "SaveParameterFile": ".dt1 files saved to disk (/s)",
    "LoadParameterFile": ".dt1 files loaded from disk (/s)",
    "SaveLanFile": ".dt2 files saved to disk (/s)",
    "LoadLanFile": ".dt2 files loaded from disk (/s)",
}
for name, values in list(codec.items()) + list(files.items()):
    row(labels.get(name, name), values, fmt="{:,.0f}")

widths = [max(len(r[i]) for r in rows + [("Figure", "Median", "Min", "Max", "Target", "Result")]) for i in range(6)]
header = ("Figure", "Median", "Min", "Max", "Target", "Result")


def line(cells):
    return "| " + " | ".join(c.ljust(widths[0]) if i == 0 else c.rjust(widths[i]) for i, c in enumerate(cells)) + " |"


print(line(header))
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print(line(r))
print()
print(f"Runs: start-up {len(tool_startup)} pairs; window {WINDOW_RUNS} processes per link x {STATUS_ROUNDS} status rounds; "
      f"serial writer {SERIAL_RUNS} x {SERIAL_BYTES} bytes; codec 5 repetitions. Measuring took {elapsed:.0f} s; "
      f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} CPUs at the end.")
missed = [r[0] for r in rows if r[5] == "MISS"]
print("Targets missed: " + ("; ".join(missed) if missed else "none"))
for f in dict.fromkeys(failures):
    print("NOTE: " + f)
sys.exit(0)
