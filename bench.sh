#!/usr/bin/env bash
# Builds and runs the benchmarks and prints their table: ./bench.sh [corpus folder] [--views]
# (--views: only the long documents in the reader's view, the 200 scans and ofdtool pdf)
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-deps.sh
tools/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DOFD_BUILD_TESTS=OFF -DOFD_BUILD_BENCH=ON >/dev/null
corpus=${1:-../shared/corpus}
shift || true
# Debug lines of the loaders would bury the table.
QT_LOGGING_RULES="*.debug=false" QT_QPA_PLATFORM=offscreen build-bench/bin/ofdbench "$corpus" "$@"
