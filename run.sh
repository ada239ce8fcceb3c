#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the reader in build/ and starts it: ./run.sh [file.ofd]
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-deps.sh
tools/build.sh build
exec build/bin/ofdreader "$@"
