#!/usr/bin/env bash
# Renders the program's icon (share/linux/icons/parlotext.svg) into the PNG sizes of the
# hicolor theme with rsvg-convert (Debian librsvg2-bin). The PNGs are committed, so the build
# needs no renderer; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "share/linux/icons/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    --output "share/linux/icons/${size}x${size}/parlotext.png" share/linux/icons/parlotext.svg
done
