#!/usr/bin/env bash
# Installs what is missing, builds, and starts Dazavu Setting Tool.
# Without a printer on the LAN port 8000 of this machine, the bundled printer
# simulator is started on 127.0.0.1:8000 (pick "LAN", enter 127.0.0.1 in
# "Setup") and on a pseudo-terminal that appears as one of the COM entries
# (it says which; pick it in "Setup" with parity "NONE"); without a USB printer attached, the tool runs with the simulator
# build of the USB transfer library, so "USB" answers too.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh debug
bin=build/debug/bin

usb_printer_attached() {
  grep -qs '^07$' /sys/bus/usb/devices/*/bInterfaceClass
}
port_in_use() {
  (exec 3<>/dev/tcp/127.0.0.1/8000) 2>/dev/null
}

sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT

if port_in_use; then
  echo "start: something already listens on 127.0.0.1:8000; not starting the printer simulator"
else
  log=build/debug/printer-sim.log
  "$bin/dazavu-printer-sim" --port 8000 --pty > "$log" 2>&1 &
  sim_pid=$!
  echo "start: printer simulator on 127.0.0.1:8000 (log: $log)"
  # The simulator names the COM entry of its pseudo-terminal once it is up.
  for _ in $(seq 50); do
    grep -q '^com: \|^error: ' "$log" && break
    sleep 0.1
  done
  if grep -q '^com: COM' "$log"; then
    echo "start: serial: $(grep '^com: ' "$log" | head -n1 | cut -d' ' -f2) is the simulated printer (\"Setup\": parity NONE, 8 bit)"
  else
    echo "start: $(grep '^com: \|^error: ' "$log" | head -n1)"
  fi
fi

program="$bin/Dazavu_SettingTool"
if ! usb_printer_attached; then
  # The program binds the USB library found beside it: run a copy that has
  # the simulator build of the library beside it.
  tryout=build/debug/tryout
  mkdir -p "$tryout"
  cp -f "$bin/Dazavu_SettingTool" "$tryout/"
  cp -f "$bin/sim/libDiruvov.so" "$tryout/"
  program="$tryout/Dazavu_SettingTool"
  echo "start: no USB printer attached; \"USB\" talks to the simulated printer"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "start: no display; running on a virtual display (xvfb-run)"
  xvfb-run -a "$program"
else
  "$program"
fi
