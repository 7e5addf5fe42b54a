#!/bin/sh
# Checks libVevevor.so: its dynamic symbol table defines DeviceClose,
# DeviceOpen, DeviceTimeoutSet and DeviceWrite as functions and nothing else,
# and it needs no library but the C library.
#
# Usage: check_exports.sh LIBRARY [EXTRA_NEEDED_REGEX]
#   EXTRA_NEEDED_REGEX: further libraries allowed (sanitizer builds).
set -eu
lib=$1
extra=${2:-}

fail=0

defined=$(nm -D --defined-only "$lib" | awk '{ print $2, $3 }' | sort)
expected='T DeviceClose
T DeviceOpen
T DeviceTimeoutSet
T DeviceWrite'
if [ "$defined" != "$expected" ]; then
    echo "FAIL: $lib defines other dynamic symbols than the four functions:"
    echo "$defined"
    fail=1
else
    echo "ok: dynamic symbols are exactly DeviceClose DeviceOpen DeviceTimeoutSet DeviceWrite"
fi

needed=$(readelf -d "$lib" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for name in $needed; do
    if echo "$name" | grep -Eqx 'libc\.so\.[0-9]+|ld-linux.*'; then
        continue
    fi
    if [ -n "$extra" ] && echo "$name" | grep -Eqx "$extra"; then
        continue
    fi
    echo "FAIL: $lib needs $name; it must need the C library only"
    fail=1
done
[ "$fail" -eq 0 ] && echo "ok: needs only:" $needed
exit "$fail"
