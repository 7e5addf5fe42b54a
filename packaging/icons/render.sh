#!/usr/bin/env bash
# Renders the program icon's PNG sizes from the SVG (rsvg-convert, Debian
# package librsvg2-bin). The PNGs are committed; run this after editing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" dazavu-setting-tool.svg -o "dazavu-setting-tool-$size.png"
done
