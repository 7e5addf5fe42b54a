#!/usr/bin/env python3
"""dazavu against a fleet of simulated printers served by one simulator process,
every reply delayed 20 ms: whole-process wall time, peak RSS and the most
threads the process had, for one printer and for many, with the default
options. Also the simulator's own CPU time, so that it can be seen not to be
the bottleneck.

Usage: fleet.py <bin folder> [runs] [--label NAME]   (prints one table)
       run.py imports measure() for the rows of scripts/bench.sh.
"""
import ipaddress
import os
import random
import statistics
import subprocess
import sys
import tempfile
import threading
import time

DELAY_MS = 20
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen")


class Simulator:
    """One dazavu-printer-sim serving n printers on 127.0.0.1 to 127.0.0.n, one port."""

    def __init__(self, bin_dir, printers):
        self.printers = printers
        for _ in range(20):
            self.port = random.randint(12000, 19999)  # below the ephemeral range
            self.proc = subprocess.Popen(
                [os.path.join(bin_dir, "dazavu-printer-sim"), "--printers", str(printers), "--addresses",
                 "--port", str(self.port), "--mode", "delay", "--param", str(DELAY_MS)],
                env=ENV, stdout=subprocess.PIPE, text=True)
            ok = False
            for line in self.proc.stdout:
                if line.startswith("status:"):
                    ok = True
                    break
                if line.startswith("error:"):
                    break
            if ok:
                # The command log goes on; it is read and dropped.
                threading.Thread(target=lambda: self.proc.stdout.read(), daemon=True).start()
                return
            self.proc.wait()
        raise RuntimeError("the simulator could not listen")

    def hosts(self, n, folder):
        path = os.path.join(folder, f"hosts{n}.txt")
        with open(path, "w") as f:
            for i in range(n):
                f.write(f"{ipaddress.IPv4Address(0x7F000001 + i)}:{self.port}\n")
        return path

    def cpu_seconds(self):
        with open(f"/proc/{self.proc.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


def run_dazavu(bin_dir, args):
    """Wall (s), peak RSS (MiB), most threads seen; None when it failed."""
    t0 = time.monotonic()
    proc = subprocess.Popen([os.path.join(bin_dir, "dazavu")] + args, env=ENV,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    threads = [0]
    done = threading.Event()

    def sample():
        while not done.is_set():
            try:
                with open(f"/proc/{proc.pid}/status") as f:
                    for line in f:
                        if line.startswith("Threads:"):
                            threads[0] = max(threads[0], int(line.split()[1]))
            except OSError:
                pass
            time.sleep(0.002)

    sampler = threading.Thread(target=sample, daemon=True)
    sampler.start()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - t0
    done.set()
    sampler.join()
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"dazavu {' '.join(args[:1])}: exit {os.waitstatus_to_exitcode(status)}: {err[-300:]}")
    return wall, usage.ru_maxrss / 1024.0, threads[0]


def measure(bin_dir, runs=5, sizes=(1, 10, 1000), big=5000, disk_dir=None):
    """Figures by name, each a list of one value per run."""
    figures = {}

    def add(name, value):
        figures.setdefault(name, []).append(value)

    with tempfile.TemporaryDirectory() as tmp, \
            tempfile.TemporaryDirectory(dir="/dev/shm") as shm, \
            tempfile.TemporaryDirectory(dir=disk_dir) as disk:
        sim = Simulator(bin_dir, max(sizes))
        try:
            hosts = {n: sim.hosts(n, tmp) for n in sizes}
            run_dazavu(bin_dir, ["status", "--hosts", hosts[1]])  # warm-up
            for _ in range(runs):
                for n in sizes:
                    cpu = sim.cpu_seconds()
                    wall, rss, threads = run_dazavu(bin_dir, ["status", "--hosts", hosts[n]])
                    add(f"status{n}_s", wall)
                    add(f"status{n}_rss", rss)
                    add(f"status{n}_threads", threads)
                    add(f"status{n}_simcpu", sim.cpu_seconds() - cpu)
                    for where, folder in (("tmpfs", shm), ("disk", disk)):
                        cpu = sim.cpu_seconds()
                        wall, rss, threads = run_dazavu(bin_dir, ["read", "--hosts", hosts[n], "--out-dir", folder])
                        add(f"read{n}_{where}_s", wall)
                        add(f"read{n}_{where}_rss", rss)
                        add(f"read{n}_{where}_threads", threads)
                        add(f"read{n}_{where}_simcpu", sim.cpu_seconds() - cpu)
        finally:
            sim.stop()
        if big:
            sim = Simulator(bin_dir, big)
            try:
                hosts_big = sim.hosts(big, tmp)
                for _ in range(runs):
                    cpu = sim.cpu_seconds()
                    wall, rss, threads = run_dazavu(bin_dir, ["read", "--hosts", hosts_big, "--out-dir", shm])
                    add(f"read{big}_tmpfs_s", wall)
                    add(f"read{big}_tmpfs_rss", rss)
                    add(f"read{big}_tmpfs_threads", threads)
                    add(f"read{big}_tmpfs_simcpu", sim.cpu_seconds() - cpu)
            finally:
                sim.stop()
    return figures


def table(figures, label):
    def med(name):
        values = figures.get(name)
        return statistics.median(values) if values else float("nan")

    print(f"{label}: median of {len(figures.get('status1_s', []))} runs")
    print(f"{'command':<34} {'wall s':>8} {'x one':>7} {'RSS MiB':>8} {'threads':>8} {'sim CPU s':>10}")
    for kind in ("status", "read{}_tmpfs", "read{}_disk"):
        for n in sorted({int(k[len('status'):-2]) for k in figures if k.startswith("status") and k.endswith("_s")}
                        | {int(k[4:].split('_')[0]) for k in figures if k.startswith("read")}):
            base = kind.format(n) if "{}" in kind else f"status{n}"
            one = kind.format(1) if "{}" in kind else "status1"
            if f"{base}_s" not in figures:
                continue
            print(f"{base:<34} {med(base + '_s'):>8.3f} {med(base + '_s') / med(one + '_s'):>7.1f} "
                  f"{med(base + '_rss'):>8.1f} {med(base + '_threads'):>8.0f} {med(base + '_simcpu'):>10.2f}")


if __name__ == "__main__":
    args = sys.argv[1:]
    label = "dazavu"
    if "--label" in args:
        i = args.index("--label")
        label = args[i + 1]
        del args[i:i + 2]
    table(measure(args[0], int(args[1]) if len(args) > 1 else 5), label)
