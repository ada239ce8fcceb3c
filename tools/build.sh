#!/usr/bin/env bash
# Configures (once) and builds a tree. Usage: tools/build.sh BUILD_DIR [extra cmake options...]
set -euo pipefail
dir=$1; shift
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif [ $# -gt 0 ]; then
  cmake -S "$top" -B "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j2
