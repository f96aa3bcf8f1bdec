#!/usr/bin/env bash
# Installs the Debian packages TABULON builds with. Does nothing (and needs
# no network) when they are all present already.
set -euo pipefail

packages=(g++ cmake ninja-build ccache libgtest-dev libbenchmark-dev qt6-base-dev qt6-svg-dev poppler-utils
          fonts-dejavu-core  # the golden graph pictures are drawn in DejaVu Sans
          libxlsxwriter-dev pkg-config  # workbook (.xlsx) export
          xvfb xauth
          # scripts/check-install.sh: the desktop entry, manual pages, MIME
          # description, bash completion and the Debian package
          desktop-file-utils libxml2-utils man-db groff-base shared-mime-info
          bash-completion dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
