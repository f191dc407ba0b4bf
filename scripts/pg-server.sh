# Sourced: starts a throwaway PostgreSQL server on a free loopback port, stopped and removed
# when the calling script exits, and exports its URL as QUORIN_TEST_PG. With QUORIN_PG_KEEP
# naming a folder, the cluster lives there and is kept (only stopped), for data that takes
# long to load.
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
if [[ -n "${QUORIN_PG_KEEP:-}" ]]; then
  pgdir=$QUORIN_PG_KEEP
  mkdir -p "$pgdir"
else
  pgdir=$(mktemp -d /tmp/quorin-pg.XXXXXX)
fi
as_pg=()
if [[ $(id -u) -eq 0 ]]; then
  # initdb refuses to run as root.
  chown postgres: "$pgdir"
  as_pg=(runuser -u postgres --)
fi
port=""
for _ in $(seq 50); do
  candidate=$((20000 + RANDOM % 40000))
  if ! (echo >"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then port=$candidate; break; fi
done
[[ -n "$port" ]] || { echo "no free port for PostgreSQL" >&2; exit 1; }

stop_server() {
  if [[ -n "${QUORIN_PG_KEEP:-}" ]]; then
    "${as_pg[@]}" "$pgbin/pg_ctl" -D "$pgdir/data" -m fast stop >/dev/null 2>&1 || true
  else
    "${as_pg[@]}" "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$pgdir"
  fi
}
trap stop_server EXIT

[[ -f "$pgdir/data/PG_VERSION" ]] ||
  "${as_pg[@]}" "$pgbin/initdb" -D "$pgdir/data" -U postgres --auth=trust -E UTF8 \
    --locale=C.UTF-8 >/dev/null
"${as_pg[@]}" "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/server.log" -w \
  -o "-p $port -k $pgdir -c listen_addresses=127.0.0.1 ${QUORIN_PG_OPTIONS:--c fsync=off}" \
  start >/dev/null

export QUORIN_TEST_PG="postgresql://postgres@127.0.0.1:$port/postgres"
