#!/usr/bin/env bash
# Regenerates every PNG of the resource collection from resources/icons/*.svg,
# or checks the collection.
#
#   tools/render-icons.sh [BUILD_DIR]         render the PNGs listed in tools/render-icons/manifest.txt
#   tools/render-icons.sh --check [BUILD_DIR] compile resources/resources.qrc and list every ":/" path
#                                              with its size and storage (zlib or plain)
#
# BUILD_DIR (default /tmp/render-icons-build) holds the two small helpers of
# tools/render-icons/, each built with one g++ command. Neither is part of the
# main build; the rendered PNGs are kept in the repository.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mode=render
if [ "${1:-}" = "--check" ]; then mode=check; shift; fi
out=${1:-/tmp/render-icons-build}
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

build() { # build NAME SOURCE PKG...
  local bin="$out/$1" src="$top/tools/render-icons/$2"; shift 2
  if [ ! -x "$bin" ] || [ "$src" -nt "$bin" ]; then
    # shellcheck disable=SC2046
    g++ -std=c++17 -O1 -fPIC -o "$bin" "$src" $(pkg-config --cflags --libs "$@")
  fi
}

if [ "$mode" = render ]; then
  build render-icons main.cpp Qt5Svg Qt5Gui
  # Text in a few pictures (seal, badges) is drawn with installed fonts:
  # DejaVu Sans and Noto Serif CJK SC.
  "$out/render-icons" "$top/tools/render-icons/manifest.txt" "$top/resources"
else
  rcc=$(command -v rcc || echo /usr/lib/qt5/bin/rcc)
  build list-resources list-resources.cpp Qt5Gui
  "$rcc" "$top/resources/resources.qrc" -o "$out/resources.cpp"
  "$rcc" --binary "$top/resources/resources.qrc" -o "$out/resources.rcc"
  "$out/list-resources" "$out/resources.rcc"
fi
