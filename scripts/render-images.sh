#!/usr/bin/env bash
# Renders the SVG sources in qml/images/svg to the PNG pictures in qml/images.
# The output size of each picture is the width/height given in its SVG.
# The PNGs are committed, so the build itself never needs rsvg-convert.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
src="$here/qml/images/svg"
out="$here/qml/images"
command -v rsvg-convert >/dev/null || { echo "render-images: rsvg-convert (librsvg2-bin) is missing" >&2; exit 1; }
shopt -s nullglob
for svg in "$src"/*.svg; do
  name="$(basename "$svg" .svg)"
  rsvg-convert --format=png --output="$out/$name.png" "$svg"
  echo "render-images: $name.png"
done
