#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. The program's folder is
# $QUORIN_HOME, default ~/quorin; extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
home="${QUORIN_HOME:-$HOME/quorin}"
mkdir -p "$home"
exec build/quorin --home "$home" "$@"
