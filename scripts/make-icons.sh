#!/usr/bin/env bash
# Makes the program icon's PNGs at the usual sizes from data/icons/tabulon.svg.
# The PNGs are committed; run this after changing the SVG. Needs rsvg-convert
# (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "make-icons: rsvg-convert missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256 512; do
  dir="data/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$dir"
  rsvg-convert -w "$size" -h "$size" data/icons/tabulon.svg -o "$dir/tabulon.png"
done
echo "make-icons: PNGs written under data/icons/hicolor/"
