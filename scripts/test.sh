#!/usr/bin/env bash
# Installs what is needed, builds in a fresh build directory and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
rm -rf build-test
bash scripts/build.sh build-test
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j2
