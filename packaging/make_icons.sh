#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/chengjing.svg, into the PNG sizes
# of the desktop's hicolor theme and the Windows .ico (16 to 256 pixels). The
# results are kept in the repository, so that a build needs neither tool; run
# this after changing the SVG, and commit what it writes.
#   packaging/make_icons.sh          (needs librsvg2-bin and icoutils)
set -euo pipefail
cd "$(dirname "$0")/icons"
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  rsvg-convert -w "$size" -h "$size" chengjing.svg -o "chengjing-$size.png"
done
# The .ico holds the sizes Windows asks for in Explorer, the Start menu and the
# taskbar; 256 is stored as PNG, as Windows expects.
icotool -c -o chengjing.ico chengjing-16.png chengjing-24.png chengjing-32.png \
  chengjing-48.png -r chengjing-256.png
