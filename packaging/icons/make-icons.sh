#!/usr/bin/env bash
# Renders tintorel.svg into the hicolor PNG sizes that the package installs.
# The PNGs are committed, so a build needs no image tool; run this again
# (needs ImageMagick with its SVG support) after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  # Rendered large and scaled down: smoother edges at the small sizes.
  convert -background none -density 384 tintorel.svg -resize "${size}x${size}" \
    -strip -define png:color-type=6 "hicolor/${size}x${size}/apps/tintorel.png"
done
