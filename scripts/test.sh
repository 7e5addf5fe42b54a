#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under CTest; then the
# same test suite in the sanitizer build (ASan + UBSan + LeakSanitizer), then
# each fuzz harness for a short fixed time. Ends with one line per stage.
#
#   FUZZ_SECONDS  seconds per fuzz harness (default 20)
set -uo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
fuzz_seconds="${FUZZ_SECONDS:-20}"

stages=() results=() durations=()
failed=0
run_stage() {
  local name="$1"
  shift
  echo
  echo "==== $name ===="
  local start=$SECONDS status=0
  "$@" || status=$?
  stages+=("$name")
  durations+=("$((SECONDS - start))")
  if [ "$status" -eq 0 ]; then results+=("passed"); else results+=("FAILED ($status)"); failed=1; fi
}

debug_tests() { ./scripts/build.sh debug && ctest --preset debug -j "$(nproc)"; }
asan_tests() { ./scripts/build.sh asan && ctest --preset asan -j "$(nproc)"; }

# Every C and C++ file the repository holds is formatted with .clang-format.
format_check() { ./scripts/setup.sh >/dev/null && git ls-files '*.c' '*.h' '*.cpp' | xargs clang-format --dry-run --Werror; }

run_stage "code format" format_check
run_stage "debug build + tests" debug_tests
run_stage "asan build + tests" asan_tests
run_stage "fuzz ${fuzz_seconds}s per harness" ./scripts/fuzz.sh "$fuzz_seconds"
run_stage "package + installed program" ./scripts/package.sh

echo
echo "==== summary ===="
for i in "${!stages[@]}"; do
  printf '%-28s %-12s %5ss\n' "${stages[$i]}" "${results[$i]}" "${durations[$i]}"
done
if [ "$failed" -ne 0 ]; then
  echo "test.sh: FAILED"
  exit 1
fi
echo "test.sh: all stages passed"
