#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the order of folders, builds, starts a
# throwaway PostgreSQL server on a free loopback port, runs every test against SQLite and that
# server, and stops the server again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
bash scripts/check-format.sh
bash scripts/check-folders.sh
bash scripts/build.sh

source scripts/pg-server.sh
ctest --test-dir build --output-on-failure -j 2 "$@"
