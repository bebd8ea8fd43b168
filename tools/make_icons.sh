#!/usr/bin/env bash
# Rasterises the application icon dist/icons/org.ombrel.Tarsk.svg into the
# PNG sizes the hicolor theme wants (dist/icons/NxN/). Run after editing the
# SVG and commit the PNGs; the build itself needs no SVG renderer.
# Needs rsvg-convert (Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for n in 48 128 256; do
  mkdir -p "${n}x${n}"
  rsvg-convert -w "$n" -h "$n" org.ombrel.Tarsk.svg -o "${n}x${n}/org.ombrel.Tarsk.png"
done
