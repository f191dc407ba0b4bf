#!/usr/bin/env bash
# Builds databases of 100 000 and 1 000 000 demonstration records (kept in $BENCH_DIR,
# default /tmp/quorin-bench, between runs) and times the register's searches on each against
# the sqlite3 tool in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
command -v sqlite3 >/dev/null || {
  sudo=""; [[ $(id -u) -eq 0 ]] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq sqlite3
}
bash scripts/build.sh
dir="${BENCH_DIR:-/tmp/quorin-bench}"
for n in 100000 1000000; do
  home="$dir/$n"
  if [[ ! -f "$home/data/RevaZez.db" ]]; then
    rm -rf "$home"
    mkdir -p "$home"
    echo "building $n demonstration records in $home ..."
    build/quorin --home "$home" --demo-data "$n" | tail -n 1
  fi
  QT_QPA_PLATFORM=offscreen build/bench/quorin_bench "$home"
done
