#!/usr/bin/env bash
# Makes circles.emf, circles.wmf and their reference circles-ref.png: one drawing of a circle and an
# ellipse, filled and outlined, exported by Inkscape (Debian package inkscape, 1.2) as an enhanced
# metafile (closed Bezier figures in path brackets), as a Windows metafile (polygons), and rendered by
# Inkscape itself at 96 dpi on white. Run once from this folder; the files are committed.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/circles.svg" <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="160" height="100" viewBox="0 0 160 100">
  <rect x="0" y="0" width="160" height="100" fill="#ffffff"/>
  <circle cx="45" cy="50" r="35" fill="#2060c0" stroke="#000000" stroke-width="3"/>
  <ellipse cx="115" cy="50" rx="35" ry="22" fill="#e0a020" stroke="#800000" stroke-width="3"/>
</svg>
SVG
inkscape "$work/circles.svg" --export-type=emf --export-filename=circles.emf
inkscape "$work/circles.svg" --export-type=wmf --export-filename=circles.wmf
inkscape "$work/circles.svg" --export-type=png --export-dpi=96 --export-background=white \
  --export-filename=circles-ref.png
