#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, libFuzzer, ASan + UBSan) and runs each for
# the given number of seconds, then prints executions and findings per
# harness. Exits non-zero when any harness found something.
#
#   scripts/fuzz.sh [seconds-per-harness] [harness...]
#
# Harnesses: record framer serial lan files spinedit send shown targets profile exporter (default: all). New corpus
# entries collect in build/fuzz/work/<harness>/ across runs; findings (the
# inputs that crashed, leaked, hung or broke a property) go to
# build/fuzz/findings/<harness>/, logs to build/fuzz/logs/. Reproduce one with
#   build/fuzz/fuzz/fuzz_<harness> <finding-file>
#
# The harnesses are built without libstdc++'s vector annotations
# (_GLIBCXX_SANITIZE_VECTOR): libFuzzer's own runtime carries unannotated
# copies of std::vector<unsigned char>'s members, the linker may keep those
# for ours, and a byte vector grown by one of them is then reported as a
# container overflow that is none. ASan still finds every access outside an
# allocation.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
harnesses=("$@")
if [ "${#harnesses[@]}" -eq 0 ]; then harnesses=(record framer serial lan files spinedit send shown targets profile exporter); fi

./scripts/setup.sh >/dev/null
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2

root=build/fuzz
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"

declare -A executions findings
total=0
for h in "${harnesses[@]}"; do
  binary="$root/fuzz/fuzz_$h"
  [ -x "$binary" ] || { echo "fuzz: no harness '$h'" >&2; exit 2; }
  work="$root/work/$h" found="$root/findings/$h" log="$root/logs/$h.log"
  mkdir -p "$work" "$root/logs"
  rm -rf "$found" && mkdir -p "$found"
  echo "fuzz: $h for ${seconds}s"
  status=0
  # -timeout: one input running longer than 10 s is a hang and a finding.
  "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$found/" "$work" "fuzz/corpus/$h" >"$log" 2>&1 || status=$?
  executions[$h]=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  count=$(find "$found" -type f | wc -l)
  # A harness that stopped with an error but left no input behind still failed.
  if [ "$status" -ne 0 ] && [ "$count" -eq 0 ]; then count=1; fi
  findings[$h]=$count
  total=$((total + count))
  if [ "$count" -ne 0 ]; then
    echo "fuzz: $h failed (exit $status); end of $log:"
    grep -E "property failed|ERROR: |SUMMARY|runtime error|==[0-9]+==" "$log" | head -20 || true
    tail -n 30 "$log"
  fi
done

echo
printf '%-10s %10s %14s %10s\n' harness seconds executions findings
for h in "${harnesses[@]}"; do
  printf '%-10s %10s %14s %10s\n' "$h" "$seconds" "${executions[$h]:-?}" "${findings[$h]}"
done
if [ "$total" -ne 0 ]; then
  echo "fuzz: $total finding(s); inputs under $root/findings/"
  exit 1
fi
echo "fuzz: no findings"
