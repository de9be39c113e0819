#!/bin/sh
# Renders the icon set from parieta.svg (run by hand after changing the drawing).
set -e
cd "$(dirname "$0")/icons"
for s in 16 22 24 32 48 64 128 256; do
  mkdir -p hicolor/${s}x${s}/apps
  convert -background none -density 384 parieta.svg -resize ${s}x${s} PNG32:hicolor/${s}x${s}/apps/parieta.png
done
