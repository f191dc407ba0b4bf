#!/usr/bin/env bash
# Runs the benchmarks (all, or the one named: search, pictures, backup, statistics, report,
# export, import, jump, labels, pinyin), each against a reference tool in the same run. Generated data is kept in
# $BENCH_DIR (default /tmp/quorin-bench); every section makes what it needs there, so a run can
# start from an empty folder. $BENCH_RECORDS names the two register sizes (default
# "100000 1000000"); smaller ones try the whole run quickly, e.g. BENCH_RECORDS="2000 20000".
#   search:   databases of 100 000 and 1 000 000 demonstration records; the register's
#             searches against the sqlite3 tool; then the same records on a PostgreSQL server
#             (its cluster kept in $BENCH_DIR/pg, loaded once) against psql.
#   pictures: thumbnails of 20 camera-sized and of 100 small JPEGs against vipsthumbnail; then
#             on a throwaway PostgreSQL server: 100 camera pictures stored against psql's
#             \copy of the same bytes, the first screen of thumbnails from the server (cache
#             cold and warm) against the register file's, backups with the pictures against
#             pg_dump -Fc and against cp of images/ with the sqlite3 tool's .backup.
#   backup:   backup and restore of the 1 000 000-record database against cp and the sqlite3
#             tool's .backup and .restore; then on a throwaway PostgreSQL server against
#             pg_dump -Fc and pg_restore.
#   statistics: the sample-record statistics list (first rows, count and sums) and every
#             shipped analysis on 1 000 000 records against the sqlite3 tool.
#   report:   the list report over 100 000 records to PDF against a bare QPdfWriter drawing
#             the same texts at the same positions; memory held by the prepared report; the
#             time until its first page over 1 000 000 records is made; a band of 20 000 items
#             against a band of 20 over as many elements.
#   export:   the main list of 100 000 and 1 000 000 records to a workbook against a plain C
#             program writing the same cells with libxlsxwriter; time and peak memory.
#   import:   a generated 100 000-row client workbook (.xlsx and .csv) opened and previewed
#             against openpyxl read-only reading the same file; storing into SQLite, and
#             again with every code held (skipped, then updating); the same stores into a
#             throwaway PostgreSQL server against psql's \copy of the same rows into the same
#             table; the longest pause of the wizard's window.
#   jump:     a jump to the middle of 1 000 000 records sorted by the key and by column titles,
#             against the sqlite3 tool reading the same page by offset; then on as many
#             generated records on a throwaway PostgreSQL server against psql.
#   labels:   10 000 labels on the A4 sheet (Code 128 and QR each) to PDF against a bare
#             QPdfWriter loop drawing the same zint symbols and texts; a scanned code found
#             among 1 000 000 records on SQLite and on a throwaway PostgreSQL server.
#   pinyin:   initials searches (first rows, count against a scan counting the same rows),
#             the first rows sorted by 样品名称, the upgrade step filling every key and a save
#             with its keys against one without, on 1 000 000 records, then the same on the
#             kept PostgreSQL cluster of the search section.
set -euo pipefail
cd "$(dirname "$0")/.."
which="${1:-all}"
bash scripts/deps.sh
need() {
  command -v "$1" >/dev/null || {
    sudo=""; [[ $(id -u) -eq 0 ]] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$2"
  }
}
need sqlite3 sqlite3
need vipsthumbnail libvips-tools
bash scripts/build.sh
dir="${BENCH_DIR:-/tmp/quorin-bench}"
read -r small large <<<"${BENCH_RECORDS:-100000 1000000}"
demo() {
  local n=$1 home="$dir/$1"
  if [[ ! -f "$home/data/RevaZez.db" ]]; then
    rm -rf "$home"
    mkdir -p "$home"
    echo "building $n demonstration records in $home ..."
    build/quorin --home "$home" --demo-data "$n" | tail -n 1
  fi
}
if [[ "$which" == all || "$which" == search ]]; then
  for n in "$small" "$large"; do
    demo "$n"
    QT_QPA_PLATFORM=offscreen build/bench/quorin_bench "$dir/$n"
  done
  bash scripts/deps.sh --test
  (
    QUORIN_PG_KEEP="$dir/pg" QUORIN_PG_OPTIONS="-c fsync=off -c shared_buffers=512MB"
    source scripts/pg-server.sh
    for n in "$small" "$large"; do
      psql -X -q "$QUORIN_TEST_PG" -c "create database quorin_bench_$n" 2>/dev/null || true
      QT_QPA_PLATFORM=offscreen build/bench/quorin_server_bench "$dir/$n" \
        "${QUORIN_TEST_PG%/*}/quorin_bench_$n"
    done
  )
fi
if [[ "$which" == all || "$which" == pictures ]]; then
  bash scripts/deps.sh --test
  (
    source scripts/pg-server.sh
    psql -X -q "$QUORIN_TEST_PG" -c "create database quorin_pictures_bench"
    QT_QPA_PLATFORM=offscreen build/bench/quorin_pictures_bench "$dir/pictures" \
      "${QUORIN_TEST_PG%/*}/quorin_pictures_bench" "$pgbin"
  )
fi
if [[ "$which" == all || "$which" == backup ]]; then
  demo "$large"
  bash scripts/deps.sh --test
  source scripts/pg-server.sh
  build/bench/quorin_backup_bench "$dir/$large" "$QUORIN_TEST_PG" "$pgbin"
fi
if [[ "$which" == all || "$which" == statistics ]]; then
  demo "$large"
  QT_QPA_PLATFORM=offscreen build/bench/quorin_statistics_bench "$dir/$large"
fi
if [[ "$which" == all || "$which" == report ]]; then
  demo "$small"
  demo "$large"
  QT_QPA_PLATFORM=offscreen build/bench/quorin_report_bench "$dir/$small" "$dir/$large"
  QT_QPA_PLATFORM=offscreen build/bench/quorin_report_items_bench
fi
if [[ "$which" == all || "$which" == export ]]; then
  for n in "$small" "$large"; do
    demo "$n"
    QT_QPA_PLATFORM=offscreen build/bench/quorin_export_bench "$dir/$n"
  done
fi
if [[ "$which" == all || "$which" == import ]]; then
  bash scripts/deps.sh --test
  (
    QUORIN_PG_OPTIONS="-c fsync=off -c shared_buffers=256MB"
    source scripts/pg-server.sh
    QT_QPA_PLATFORM=offscreen build/bench/quorin_import_bench "$dir/import" "$QUORIN_TEST_PG"
  )
fi
if [[ "$which" == all || "$which" == jump ]]; then
  demo "$large"
  bash scripts/deps.sh --test
  (
    QUORIN_PG_OPTIONS="-c fsync=off -c shared_buffers=256MB"
    source scripts/pg-server.sh
    QT_QPA_PLATFORM=offscreen build/bench/quorin_jump_bench "$dir/$large" "$QUORIN_TEST_PG"
  )
fi
if [[ "$which" == all || "$which" == labels ]]; then
  bash scripts/deps.sh --test
  (
    source scripts/pg-server.sh
    QT_QPA_PLATFORM=offscreen build/bench/quorin_labels_bench "$dir/labels" "$QUORIN_TEST_PG" "$large"
  )
fi
if [[ "$which" == all || "$which" == pinyin ]]; then
  demo "$large"
  QT_QPA_PLATFORM=offscreen build/bench/quorin_pinyin_bench "$dir/$large"
  bash scripts/deps.sh --test
  (
    QUORIN_PG_KEEP="$dir/pg" QUORIN_PG_OPTIONS="-c fsync=off -c shared_buffers=512MB"
    source scripts/pg-server.sh
    psql -X -q "$QUORIN_TEST_PG" -c "create database quorin_bench_$large" 2>/dev/null || true
    QT_QPA_PLATFORM=offscreen build/bench/quorin_pinyin_bench "$dir/$large" \
      "${QUORIN_TEST_PG%/*}/quorin_bench_$large"
  )
fi
