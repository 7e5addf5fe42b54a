#!/bin/sh
# Cross-builds Vevevor.dll with MinGW-w64 and checks it:
#  - the export table holds DeviceClose, DeviceOpen, DeviceTimeoutSet and
#    DeviceWrite at ordinals 1 to 4 and nothing else, each ordinal pointing at
#    the function of that name;
#  - on 32-bit the functions are __stdcall (decorated with their argument bytes);
#  - KERNEL32.dll is the only import.
#
# Usage: check_dll.sh CMAKE GENERATOR VEVEVOR_SOURCE_DIR BUILD_DIR ARCH
#   ARCH: x86_64 or i686.  Exits 77 (skipped) when the cross tools are missing.
set -eu
cmake=$1
generator=$2
src=$3
build=$4
arch=$5
triplet=$arch-w64-mingw32

for tool in gcc objdump nm; do
    if ! command -v "$triplet-$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $triplet-$tool not found; it comes with the Debian package" \
             "mingw-w64, which scripts/setup.sh installs"
        exit 77
    fi
done

"$cmake" -S "$src" -B "$build" -G "$generator" \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" >/dev/null
"$cmake" --build "$build" --parallel 1
dll=$build/Vevevor.dll

dump=$("$triplet-objdump" -p "$dll")
symbols=$("$triplet-nm" "$dll")

# One line per export: "<ordinal> <name> <rva>".
exports=$(echo "$dump" | awk '
    /Export Address Table -- Ordinal Base/ { base = $NF; section = "address"; next }
    /\[Ordinal\/Name Pointer\] Table/       { section = "names"; next }
    /^[ \t]*$/                              { section = ""; next }
    section == "address" && /Export RVA/ {
        line = $0; sub(/.*\+base\[ */, "", line); split(line, f, /[] ]+/)
        rva[f[1]] = f[2]
    }
    section == "names" {
        line = $0; sub(/^[ \t]*\[ */, "", line); split(line, f, /[] ]+/)
        ordinal = f[1] + base; name[ordinal] = f[2]; count++
    }
    END { for (o = 1; o <= count + 1; o++) if (o in name) print o, name[o], rva[o] }')

if [ "$(echo "$exports" | awk '{ print $1, $2 }')" != "1 DeviceClose
2 DeviceOpen
3 DeviceTimeoutSet
4 DeviceWrite" ]; then
    echo "FAIL: exports of $dll (ordinal name rva):"
    echo "$exports"
    exit 1
fi
echo "ok: exports by name at ordinals 1-4"

image=$(echo "$dump" | awk '$1 == "ImageBase" { print $2 }')
while read -r ordinal name rva; do
    # The code symbol the ordinal must point at.
    case "$arch" in
        i686)
            case "$name" in
                DeviceOpen) bytes=0 ;;
                DeviceWrite) bytes=12 ;;
                *) bytes=4 ;;
            esac
            symbol="_$name@$bytes" ;;
        *) symbol=$name ;;
    esac
    address=$(echo "$symbols" | awk -v s="$symbol" '$3 == s { print $1; exit }')
    if [ -z "$address" ] || [ $((0x$address)) -ne $((0x$image + 0x$rva)) ]; then
        echo "FAIL: ordinal $ordinal ($name) does not point at $symbol"
        exit 1
    fi
    echo "ok: ordinal $ordinal $name -> $symbol"
done <<EOT
$exports
EOT

imports=$(echo "$dump" | sed -n 's/^[ \t]*DLL Name: //p')
if [ "$imports" != "KERNEL32.dll" ]; then
    echo "FAIL: $dll imports from:" $imports
    exit 1
fi
echo "ok: imports from KERNEL32.dll only"
