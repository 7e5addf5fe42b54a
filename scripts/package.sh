#!/usr/bin/env bash
# Builds the Debian packages with the release preset and checks them:
#   - control fields: names, version = project version, the exact dependencies;
#   - the file list of each package (packaging/check/*.files);
#   - lintian reports no errors (warnings are printed);
#   - the installed desktop entry validates, its program and icon are there;
#   - the installed AppStream metainfo validates (appstreamcli, offline);
#   - from a fresh root (dpkg-deb -x of both packages), the installed program
#     starts on the offscreen platform, shows its window, shows the version in
#     its About box, answers GET STATUS over USB with "USB Device not ready !!"
#     through the installed libDiruvov.so (no printer here), and ends with exit
#     code 0 after its window was closed; the installed dazavu answers --help;
#     the installed exporter probes the installed simulator, the installed
#     alert rules pass promtool and the exporter's unit systemd-analyze. A
#     probe (packaging/check/PackageProbe.cpp) loaded with LD_PRELOAD does the
#     clicking inside the unmodified program.
# Packages end up in build/package/; the build uses the release preset in
# build/package with the prefix /usr and without tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$PWD
build=build/package
log() { echo "package: $*"; }
fail() { echo "package: FAILED: $*" >&2; exit 1; }

./scripts/setup.sh >/dev/null

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)

log "building $version with the release preset in $build"
cmake --preset release -B "$build" -DCMAKE_INSTALL_PREFIX=/usr \
  -DDZ_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j 2 --target dz_package_contents dz_package_probe
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)

tool_deb=$build/dazavu-setting-tool_${version}_${arch}.deb
sim_deb=$build/dazavu-printer-sim_${version}_${arch}.deb
for deb in "$tool_deb" "$sim_deb"; do [ -f "$deb" ] || fail "missing $deb"; done

# --- control fields ----------------------------------------------------------
for deb in "$tool_deb" "$sim_deb"; do
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$deb: version is not $version"
done
deps_of() { dpkg-deb -f "$1" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | sed '/^$/d' | sort; }
expect_tool_deps="fonts-liberation2 libc6 libgcc-s1 libqt6core6 libqt6gui6 libqt6network6 \
libqt6serialport6 libqt6widgets6 libstdc++6 libusb-1.0-0"
if [ "$(deps_of "$tool_deb" | xargs)" != "$expect_tool_deps" ]; then
  fail "dazavu-setting-tool depends on: $(dpkg-deb -f "$tool_deb" Depends)"
fi
log "dazavu-setting-tool depends on: $(dpkg-deb -f "$tool_deb" Depends)"
log "dazavu-printer-sim depends on: $(dpkg-deb -f "$sim_deb" Depends)"

# --- file lists --------------------------------------------------------------
files_of() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|' | sort; }
for pkg in dazavu-setting-tool dazavu-printer-sim; do
  deb=$build/${pkg}_${version}_${arch}.deb
  expected=$(sed "s|@MULTIARCH@|$multiarch|g" "packaging/check/$pkg.files" | sort)
  if ! diff <(echo "$expected") <(files_of "$deb") >"$build/$pkg.files.diff"; then
    cat "$build/$pkg.files.diff" >&2
    fail "$pkg: file list differs from packaging/check/$pkg.files (< expected, > packaged)"
  fi
done
log "file lists as expected"

# --- lintian -----------------------------------------------------------------
log "lintian"
if ! lintian --fail-on error "$tool_deb" "$sim_deb" | tee "$build/lintian.txt"; then
  fail "lintian reports errors"
fi

# --- fresh root --------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/dz-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fresh=$work/root
dpkg-deb -x "$tool_deb" "$fresh"
dpkg-deb -x "$sim_deb" "$fresh"

desktop=$fresh/usr/share/applications/dazavu-setting-tool.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$fresh/usr/bin/$exec_name" ] || fail "desktop entry runs $exec_name, not installed"
[ -f "$fresh/usr/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "no icon $icon_name"
log "desktop entry valid (Exec=$exec_name, Icon=$icon_name)"

# The AppStream entry validates offline (its screenshot addresses are not
# fetched) and launches the installed desktop entry.
metainfo=$fresh/usr/share/metainfo/example.dazavu.SettingTool.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "AppStream metainfo does not validate"
grep -qF "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
  fail "AppStream metainfo does not launch $(basename "$desktop")"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "AppStream metainfo is not for $version"
log "AppStream metainfo valid"

# Runs the installed program with the probe; $1: LD_LIBRARY_PATH, $2: report.
run_probed() {
  local rc=0
  QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$1" \
    LD_PRELOAD="$root_dir/$build/bin/libdz_package_probe.so" DZ_PROBE_REPORT="$2" \
    timeout -s KILL 300 "$fresh/usr/bin/Dazavu_SettingTool" >"$2.log" 2>&1 || rc=$?
  sed 's/^/  probe: /' "$2" 2>/dev/null || true
  if [ "$rc" -ne 0 ]; then
    cat "$2.log" >&2
    fail "the installed program ended with $rc"
  fi
}

libdir=$fresh/usr/lib/$multiarch
report=$work/probe.txt
log "starting the installed program (offscreen)"
run_probed "$libdir" "$report"
want() { grep -qxF "$1" "$report" || fail "the program did not report: $1"; }
grep -q '^window ' "$report" || fail "the main window was not shown"
grep -q "^appversion $version" "$report" || fail "applicationVersion is not $version.x"
grep -q "^about .*($version)\$" "$report" || fail "the About box does not show ($version)"
want "interface USB"
[ "$(grep -c '^message ' "$report")" = 1 ] || fail "GET STATUS showed not exactly one message"
want "message USB Device not ready !!"
want "usblibrary $libdir/libDiruvov.so"
want "closed"
log "installed program: window shown, About shows $version, GET STATUS over USB says" \
  "\"USB Device not ready !!\" through $libdir/libDiruvov.so, exit code 0 after close"

# The simulator package: its program runs, and its USB library, put on the
# library path on purpose, answers the installed tool's GET STATUS.
"$fresh/usr/bin/dazavu-printer-sim" --help >/dev/null || fail "dazavu-printer-sim --help failed"
# The command-line tool runs without a display and describes itself.
LD_LIBRARY_PATH="$libdir" "$fresh/usr/bin/dazavu" --help | grep -q '^Usage: dazavu COMMAND' \
  || fail "dazavu --help failed"
# The installed exporter, with the installed options file's listen address
# swapped for a free port, probes the installed simulator; the installed
# rules pass promtool and the unit systemd-analyze.
sim_out=$work/sim.out exporter_err=$work/exporter.err
"$fresh/usr/bin/dazavu-printer-sim" --port 0 --status 13 >"$sim_out" 2>&1 &
sim_pid=$!
(. "$fresh/etc/default/dazavu-exporter"; [ -n "$DAZAVU_EXPORTER_OPTS" ]) || fail "no DAZAVU_EXPORTER_OPTS"
LD_LIBRARY_PATH="$libdir" "$fresh/usr/bin/dazavu" exporter --listen 127.0.0.1:0 --allow 127.0.0.0/8 \
  2>"$exporter_err" &
exporter_pid=$!
stop_monitoring() { kill "$exporter_pid" "$sim_pid" 2>/dev/null || true; wait "$exporter_pid" "$sim_pid" 2>/dev/null || true; }
for _ in $(seq 50); do
  grep -q '^lan: ' "$sim_out" && grep -q 'listening on' "$exporter_err" && break
  sleep 0.1
done
sim_at=$(sed -n 's/^lan: //p' "$sim_out")
exporter_at=$(sed -n 's/.*listening on //p' "$exporter_err")
probe=$(curl -fsS --max-time 10 "http://$exporter_at/probe?target=$sim_at" || true)
stop_monitoring
echo "$probe" | grep -qx 'dazavu_up 1' || fail "the installed exporter did not probe the simulator: $probe"
echo "$probe" | grep -qF 'dazavu_status_info{code="13",text="Paper Error"} 1' || fail "no Paper Error from the probe"
monitoring=$fresh/usr/share/dazavu/monitoring
if command -v promtool >/dev/null; then
  promtool check rules "$monitoring/dazavu-alerts.yml" >/dev/null || fail "installed alert rules do not pass promtool"
fi
python3 -m json.tool "$monitoring/dazavu-dashboard.json" >/dev/null || fail "installed dashboard is not JSON"
if command -v systemd-analyze >/dev/null; then
  sed "s|/usr/bin/dazavu|$fresh/usr/bin/dazavu|" "$fresh/usr/lib/systemd/system/dazavu-exporter.service" \
    >"$work/dazavu-exporter.service"
  systemd-analyze verify --man=no "$work/dazavu-exporter.service" || fail "dazavu-exporter.service does not verify"
fi
log "installed exporter probed the simulator (dazavu_up 1, Paper Error); rules, dashboard and unit check out"

simdir=$fresh/usr/lib/dazavu-setting-tool/sim
log "starting the installed program with the simulator's USB library"
run_probed "$simdir:$libdir" "$work/probe-sim.txt"
report=$work/probe-sim.txt
want "usblibrary $simdir/libDiruvov.so"
! grep -q '^message ' "$report" || fail "GET STATUS on the simulated USB printer showed a message"
grep -q '^status ..*' "$report" || fail "GET STATUS on the simulated USB printer set no status text"
want "closed"
# The Ansible collection where ansible-core finds it: its modules document.
collections=$fresh/usr/share/ansible/collections
for module in settings info; do
  ANSIBLE_COLLECTIONS_PATH=$collections ANSIBLE_HOME=$work/ansible PYTHONDONTWRITEBYTECODE=1 \
    ansible-doc "dazavu.printer.$module" >/dev/null || fail "ansible-doc dazavu.printer.$module failed"
done
log "installed collection: ansible-doc dazavu.printer.settings and .info"
# The bash completion where bash-completion looks for it, completing the
# installed dazavu's commands and captions.
completion=$fresh/usr/share/bash-completion/completions/dazavu
[ -f "$completion" ] || fail "bash completion not installed at /usr/share/bash-completion/completions/dazavu"
got=$(PATH="$fresh/usr/bin:$PATH" LD_LIBRARY_PATH="$libdir" bash -c '
  source "$1"; COMP_LINE="dazavu set --lan 1 SPE"; COMP_POINT=${#COMP_LINE}
  COMP_WORDS=(dazavu set --lan 1 SPE); COMP_CWORD=4; _dazavu; echo "${COMPREPLY[*]}"' _ "$completion")
[ "$got" = "SPEED=" ] || fail "bash completion of 'dazavu set ... SPE' gave '$got'"
log "installed bash completion completes captions after set"
log "OK: $tool_deb $sim_deb"
