#!/usr/bin/env bash
# Builds the Debian package build/quorin_<version>_amd64.deb: installs what is missing, builds,
# and lets CPack collect the install rules (dependencies found by dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --package
bash scripts/build.sh
cpack --config build/CPackConfig.cmake -B build >/dev/null
rm -rf build/_CPack_Packages
ls build/quorin_*_amd64.deb
