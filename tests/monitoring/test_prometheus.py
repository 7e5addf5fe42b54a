#!/usr/bin/env python3
"""A real Prometheus (Debian's prometheus) scraping `dazavu exporter` in
front of a simulated fleet: four printers on line, one of them reporting
"13" (Paper Error), and one stopped (nobody listens on its port).

Prometheus gets a generated configuration (scrape and rule evaluation every
second, the multi-target relabelling of monitoring/prometheus.yml, every
scrape comparing with the profile "site" that the printers hold) and the
alert rules of monitoring/dazavu-alerts.yml with every `for:` cut to 2 s.
The test asks Prometheus' HTTP API until dazavu_up and the firing alerts are
what they must be, within a bounded time, then runs every query of the
Grafana dashboard, and stops everything it started.

Usage: test_prometheus.py --prometheus BIN --promtool BIN --dazavu BIN
                          --sim BIN --monitoring DIR
Exit 77 (skipped) when prometheus is not installed.
"""

import argparse
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request

DEADLINE_SECONDS = 90
PRINTERS = 4


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def free_block(count):
    """The first of `count` consecutive free ports below the ephemeral range."""
    for base in range(21000 + (os.getpid() % 500) * 20, 32000, 20):
        try:
            held = []
            for port in range(base, base + count):
                s = socket.socket()
                held.append(s)
                s.bind(("127.0.0.1", port))
            return base
        except OSError:
            continue
        finally:
            for s in held:
                s.close()
    raise RuntimeError("no free ports")


class Process:
    """A child process whose first output line matching `ready` is awaited."""

    def __init__(self, args, ready, stream="stdout", log=None):
        self.log = open(log, "w+") if log else None
        self.proc = subprocess.Popen(args, stdout=subprocess.PIPE if stream == "stdout" else self.log,
                                     stderr=subprocess.PIPE if stream == "stderr" else subprocess.STDOUT,
                                     text=True)
        pipe = self.proc.stdout if stream == "stdout" else self.proc.stderr
        self.match = None
        if ready is None:
            return
        for line in pipe:
            m = re.search(ready, line)
            if m:
                self.match = m
                break
        if not self.match:
            raise RuntimeError("%s ended before it was ready" % args[0])
        # Keep reading, so that a chatty child never blocks on a full pipe.
        threading.Thread(target=lambda: [None for _ in pipe], daemon=True).start()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


def api(port, path, **params):
    url = "http://127.0.0.1:%d/api/v1/%s?%s" % (port, path, urllib.parse.urlencode(params))
    with urllib.request.urlopen(url, timeout=5) as reply:
        return json.load(reply)["data"]


def main():
    parser = argparse.ArgumentParser()
    for name in ("prometheus", "promtool", "dazavu", "sim", "monitoring"):
        parser.add_argument("--" + name, default="")
    args = parser.parse_args()
    if not args.prometheus or not os.path.exists(args.prometheus):
        print("prometheus is not installed: skipped")
        return 77

    work = tempfile.mkdtemp(prefix="dz-prometheus.")
    started = []
    try:
        base = free_block(PRINTERS + 1)
        started.append(Process([args.sim, "--printers", str(PRINTERS), "--port", str(base), "--status", "13,00"],
                               r"^status: "))
        stopped = base + PRINTERS  # nobody listens here
        # The profile "site": what the printers hold, so nothing has drifted.
        site = os.path.join(work, "site.dt1")
        subprocess.run([args.dazavu, "read", "--lan", "127.0.0.1:%d" % (base + 1), "--params", site], check=True)
        exporter = Process([args.dazavu, "exporter", "--listen", "127.0.0.1:0", "--allow", "127.0.0.0/8",
                            "--profile", "site=" + site],
                           r"listening on 127\.0\.0\.1:(\d+)", stream="stderr")
        started.append(exporter)
        exporter_port = int(exporter.match.group(1))

        # The shipped rules, with every for: cut to 2 s.
        with open(os.path.join(args.monitoring, "dazavu-alerts.yml")) as f:
            rules = re.sub(r"(\n\s+for:) \S+", r"\1 2s", f.read())
        with open(os.path.join(work, "rules.yml"), "w") as f:
            f.write(rules)
        printers = ["127.0.0.1:%d" % (base + i) for i in range(PRINTERS)] + ["127.0.0.1:%d" % stopped]
        config = {
            "global": {"scrape_interval": "1s", "evaluation_interval": "1s", "scrape_timeout": "1s"},
            "rule_files": [os.path.join(work, "rules.yml")],
            "scrape_configs": [
                {"job_name": "dazavu", "metrics_path": "/probe", "params": {"profile": ["site"]},
                 "static_configs": [{"targets": printers}],
                 "relabel_configs": [
                     {"source_labels": ["__address__"], "target_label": "__param_target"},
                     {"source_labels": ["__param_target"], "target_label": "instance"},
                     {"target_label": "__address__", "replacement": "127.0.0.1:%d" % exporter_port}]},
                {"job_name": "dazavu_exporter",
                 "static_configs": [{"targets": ["127.0.0.1:%d" % exporter_port]}]},
            ],
        }
        config_path = os.path.join(work, "prometheus.yml")
        with open(config_path, "w") as f:
            json.dump(config, f, indent=2)  # JSON is YAML
        if args.promtool:
            subprocess.run([args.promtool, "check", "config", config_path], check=True, stdout=subprocess.DEVNULL)

        web = free_port()
        prometheus = Process([args.prometheus, "--config.file=" + config_path,
                              "--storage.tsdb.path=" + os.path.join(work, "data"),
                              "--web.listen-address=127.0.0.1:%d" % web, "--log.level=warn"],
                             None, stream="none", log=os.path.join(work, "prometheus.log"))
        started.append(prometheus)

        want_up = {p: 1.0 for p in printers}
        want_up[printers[-1]] = 0.0
        want_alerts = {("DazavuPaperError", printers[0]), ("DazavuPrinterDown", printers[-1])}
        up, alerts, conditions = {}, set(), {}
        end = time.monotonic() + DEADLINE_SECONDS
        while time.monotonic() < end:
            if prometheus.proc.poll() is not None:
                break
            try:
                up = {r["metric"]["instance"]: float(r["value"][1])
                      for r in api(web, "query", query='dazavu_up{job="dazavu"}')["result"]}
                conditions = {r["metric"]["instance"]: r["metric"]["condition"]
                              for r in api(web, "query", query='dazavu_printer_condition == 1')["result"]}
                alerts = {(a["labels"]["alertname"], a["labels"]["instance"])
                          for a in api(web, "alerts")["alerts"] if a["state"] == "firing"}
            except OSError:
                pass  # not listening yet
            if up == want_up and alerts == want_alerts:
                break
            time.sleep(0.5)
        ok = up == want_up and alerts == want_alerts
        print("dazavu_up: %s" % json.dumps(up, sort_keys=True))
        print("conditions: %s" % json.dumps(conditions, sort_keys=True))
        print("firing: %s" % sorted(alerts))
        if ok:
            # Each printer that answered has its condition; the summary names
            # the printer and the status text.
            want_conditions = {p: "on_line" for p in printers[1:-1]}
            want_conditions[printers[0]] = "paper_error"
            ok = conditions == want_conditions
            summaries = {a["annotations"]["summary"] for a in api(web, "alerts")["alerts"]}
            print("summaries: %s" % sorted(summaries))
            ok = ok and "Printer %s: Paper Error" % printers[0] in summaries
            probes = api(web, "query", query='sum(dazavu_exporter_probes_total{outcome="success"})')["result"]
            ok = ok and probes and float(probes[0]["value"][1]) > 0
        if ok:
            # Every query of the Grafana dashboard is valid PromQL and finds
            # series (the drift ones too, since the scrapes name a profile).
            with open(os.path.join(args.monitoring, "dazavu-dashboard.json")) as f:
                dashboard = json.load(f)
            for panel in dashboard["panels"]:
                for target in panel.get("targets", []):
                    expr = target["expr"].replace("$job", "dazavu")
                    found = api(web, "query", query=expr)["result"]
                    if not found:
                        print("dashboard panel %r: no series for %s" % (panel["title"], expr))
                        ok = False
            drift = api(web, "query", query="sum(dazavu_settings_differences)")["result"]
            ok = ok and drift and float(drift[0]["value"][1]) == 0
        if not ok:
            print("expected dazavu_up %s and firing %s" % (json.dumps(want_up, sort_keys=True), sorted(want_alerts)))
            with open(os.path.join(work, "prometheus.log")) as f:
                print(f.read()[-3000:])
        print("1 passed, 0 failed" if ok else "0 passed, 1 failed")
        return 0 if ok else 1
    finally:
        for process in reversed(started):
            process.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
