#!/usr/bin/env bash
# Configures and builds TABULON in ./build (or the directory given).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTABULON_WERROR="${TABULON_WERROR:-OFF}" >/dev/null
ninja -C "$dir"
