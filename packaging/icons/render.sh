#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from tessmark.svg (needs librsvg2-bin). The PNGs
# are kept in the repository, so a build needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tessmark.svg -o "tessmark-$size.png"
done
