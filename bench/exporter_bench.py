"""dazavu exporter under load, for bench/run.py.

1,000 scrapes at once against 1,000 simulated printers that answer after
20 ms (simulator mode delay): the wall time until the last answer, the
exporter's peak memory (VmHWM) and its CPU time per probe; and one probe's
latency next to the printer's own status round trip on 127.0.0.1.
"""
import asyncio
import os
import re
import resource
import socket
import statistics
import subprocess
import threading
import time

FLEET = 1000
FLEET_PORT = 25000   # 25000 .. 25999, below the ephemeral range
SINGLE_PORT = 24990
DELAY_MS = 20
ROUNDS = 5
LATENCY_ROUNDS = 50


def _more_descriptors():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))


def _start(args, env, ready, stream):
    proc = subprocess.Popen(args, env=env, stdout=subprocess.PIPE if stream == "stdout" else subprocess.DEVNULL,
                            stderr=subprocess.PIPE if stream == "stderr" else subprocess.DEVNULL, text=True,
                            preexec_fn=_more_descriptors)
    pipe = proc.stdout if stream == "stdout" else proc.stderr
    match = None
    for line in pipe:
        match = re.search(ready, line)
        if match:
            break
    threading.Thread(target=lambda: [None for _ in pipe], daemon=True).start()
    return proc, match


def _cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def _peak_mib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmHWM:"):
            return int(line.split()[1]) / 1024.0
    return None


async def _scrape(port, target):
    reader, writer = await asyncio.open_connection("127.0.0.1", port)
    writer.write(f"GET /probe?target={target} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
    await writer.drain()
    body = await reader.read()
    writer.close()
    return body


async def _burst(port, targets):
    t0 = time.monotonic()
    bodies = await asyncio.gather(*(_scrape(port, t) for t in targets))
    return time.monotonic() - t0, sum(b"\ndazavu_up 1\n" in b for b in bodies)


def _direct_status(port):
    t0 = time.monotonic()
    with socket.create_connection(("127.0.0.1", port)) as s:
        s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        s.sendall(b"{WS|}")
        got = b""
        while len(got) < 13:
            chunk = s.recv(64)
            if not chunk:
                break
            got += chunk
    return (time.monotonic() - t0) * 1000


def _one_probe(port, target):
    t0 = time.monotonic()
    with socket.create_connection(("127.0.0.1", port)) as s:
        s.sendall(f"GET /probe?target={target} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
        while s.recv(65536):
            pass
    return (time.monotonic() - t0) * 1000


def measure(bin_dir, env, failures):
    figures = {"burst_s": [], "answered": [], "peak_mib": [], "cpu_ms_per_probe": [],
               "probe_ms": [], "direct_ms": []}
    sim_bin, dazavu = os.path.join(bin_dir, "dazavu-printer-sim"), os.path.join(bin_dir, "dazavu")
    if not (os.path.exists(sim_bin) and os.path.exists(dazavu)):
        failures.append("dazavu or dazavu-printer-sim missing (exporter benchmark)")
        return figures
    _more_descriptors()
    started = []
    try:
        fleet, _ = _start([sim_bin, "--printers", str(FLEET), "--port", str(FLEET_PORT), "--mode", "delay",
                           "--param", str(DELAY_MS)], env, r"^status: ", "stdout")
        started.append(fleet)
        single, _ = _start([sim_bin, "--port", str(SINGLE_PORT)], env, r"^status: ", "stdout")
        started.append(single)
        exporter, match = _start([dazavu, "exporter", "--listen", "127.0.0.1:0", "--timeout", "10"], env,
                                 r"listening on 127\.0\.0\.1:(\d+)", "stderr")
        started.append(exporter)
        if not match:
            failures.append("dazavu exporter did not start")
            return figures
        port = int(match.group(1))
        targets = [f"127.0.0.1:{FLEET_PORT + i}" for i in range(FLEET)]
        asyncio.run(_burst(port, targets[:50]))  # warm-up
        for _ in range(ROUNDS):
            cpu0 = _cpu_seconds(exporter.pid)
            seconds, answered = asyncio.run(_burst(port, targets))
            cpu1 = _cpu_seconds(exporter.pid)
            figures["burst_s"].append(seconds)
            figures["answered"].append(answered)
            figures["cpu_ms_per_probe"].append((cpu1 - cpu0) * 1000 / FLEET)
            if answered != FLEET:
                failures.append(f"exporter burst: {answered} of {FLEET} printers up")
        figures["peak_mib"].append(_peak_mib(exporter.pid))
        one = f"127.0.0.1:{SINGLE_PORT}"
        for _ in range(LATENCY_ROUNDS):
            figures["direct_ms"].append(_direct_status(SINGLE_PORT))
            figures["probe_ms"].append(_one_probe(port, one))
    except OSError as error:
        failures.append(f"exporter benchmark: {error}")
    finally:
        for proc in reversed(started):
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
    return figures


if __name__ == "__main__":
    import sys
    notes = []
    result = measure(sys.argv[1], dict(os.environ), notes)
    for key, values in result.items():
        if values:
            print(f"{key}: median {statistics.median(values):.3f} min {min(values):.3f} max {max(values):.3f}")
    for note in notes:
        print("NOTE:", note)
