#!/usr/bin/env bash
# Installs what is needed, builds, and shows the bundled example worksheet.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
echo "Evaluating the example formulas with tabulon-cli:"
mapfile -t formulas < <(grep -v '^#' examples/formulas.txt | grep -v '^$')
paste -d '\t' <(printf '%s\n' "${formulas[@]}") <(./build/tabulon-cli eval "${formulas[@]}")
