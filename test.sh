#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds and runs the whole test suite: ./test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-deps.sh

builddir=build
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  builddir=build-sanitize
  extra=(-DOFD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1
fi

# Formatting is part of the check.
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
  bad=$(echo "$files" | xargs clang-format --dry-run 2>&1 | grep -c 'warning:' || true)
  if [ "$bad" != "0" ]; then
    echo "clang-format: $bad places differ from .clang-format; run: git ls-files '*.cpp' '*.h' | xargs clang-format -i"
    echo "$files" | xargs clang-format --dry-run 2>&1 | grep 'warning:' | head -20
    exit 1
  fi
fi

tools/build.sh "$builddir" "${extra[@]}"
tools/ensure-printer.sh
export QT_QPA_PLATFORM=offscreen
cd "$builddir"
ctest --output-on-failure -j2 --timeout 600
