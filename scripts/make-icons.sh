#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG; run after changing the SVG and commit the
# PNGs, so that neither the build nor the package needs an SVG renderer.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
icons="$(cd "$(dirname "${BASH_SOURCE[0]}")/../packaging/icons" && pwd)"
name=com.tolvane.Ocuvis
for size in 48 256; do
    rsvg-convert --width "$size" --height "$size" --output "$icons/$name-$size.png" "$icons/$name.svg"
done
