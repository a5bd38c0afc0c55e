#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian 12 package the program, its .deb package, its tests and its benchmarks
# need, skipping what is already there. Uses sudo when not run as root.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config ccache git clang-format
  qt6-base-dev libqt6sql6-sqlite libqt6printsupport6 qt6-qpa-plugins
  libxlsxwriter-dev libsqlite3-dev sqlite3
  libcsv-dev libfreexl-dev libzip-dev
  fonts-noto-cjk fonts-arphic-ukai fontconfig qt6-translations-l10n
  libxcb1-dev libxcb-ewmh-dev liblz4-dev xdg-utils shared-mime-info
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick x11-utils
  poppler-utils python3-openpyxl
  libreoffice-writer-nogui libreoffice-calc-nogui
  dpkg-dev file librsvg2-bin desktop-file-utils appstream
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
