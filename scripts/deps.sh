#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build and run; with --package, the
# tools that build its Debian package; with --test, those and the PostgreSQL server and the
# checkers the tests use. Skips apt-get when everything is present.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
          libqt6svg6 libsodium-dev libsqlite3-dev libpq-dev libgl-dev libxkbcommon-dev
          libgif-dev libjpeg62-turbo-dev qt6-image-formats-plugins
          libxlsxwriter-dev qt6-charts-dev libqt6opengl6-dev
          libfreexl-dev liborcus-dev zlib1g-dev libzint-dev libzint2.11
          libicu-dev unicode-data python3
          qt6-translations-l10n fonts-noto-cjk fonts-wqy-microhei breeze-icon-theme)
packaging=(dpkg-dev file librsvg2-bin)
if [[ "${1:-}" == "--package" ]]; then
  packages+=("${packaging[@]}")
fi
if [[ "${1:-}" == "--test" ]]; then
  packages+=(postgresql xauth xvfb clang-format python3 python3-openpyxl poppler-utils
             "${packaging[@]}" lintian desktop-file-utils appstream zbar-tools)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
