#!/usr/bin/env bash
# Installs what is needed, builds, and shows the bundled example worksheet.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
echo "The example worksheet examples/example.wks, cell by cell"
echo "(address, kind, contents, display):"
./build/tabulon-cli dump examples/example.wks
