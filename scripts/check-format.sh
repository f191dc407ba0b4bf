#!/usr/bin/env bash
# Fails when a C++ source differs from what .clang-format makes of it; with --fix, formats.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(find app bench core designer fuzz input maintenance masterdata operators output register report \
                            spreadsheet tests widgets -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${sources[@]}"
else
  clang-format --dry-run --Werror "${sources[@]}"
fi
