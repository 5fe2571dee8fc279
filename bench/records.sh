#!/usr/bin/env bash
# The station's record's cost: per board (take a serial number, store the
# finished run) against SQLite and against a local PostgreSQL server (its own
# cluster, default settings, on a Unix socket in a scratch folder), median
# and worst of N (goals: 20 ms and 50 ms); then a paced gang of four with
# serial numbers and the SQLite record against one board without them
# (bench/gang_paced.sh; goal: at most 1.10 times, as the gang without).
#
#   bench/records.sh [N] [RUNS]     (defaults 100 and 3)
#
# Uses the release build (build/bin; built when missing, or named by
# QUILLON_BIN) and Debian's postgresql package; run as root, the server runs
# as the package's user postgres.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
n=${1:-100}
runs=${2:-3}
bin=${QUILLON_BIN:-$root/build/bin}
if [ ! -x "$bin/bench_records_cost" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j 2 --target bench_records_cost quillon-cli quillon-sim >/dev/null
fi
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$pgbin/initdb" ] || { echo "records: no PostgreSQL server (scripts/bootstrap)" >&2; exit 1; }

. bench/scratch.sh
bench_scratch records
as_server() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
pg="$work/pg"
mkdir -p "$pg"
if [ "$(id -u)" -eq 0 ]; then chmod 755 "$work"; chown postgres: "$pg"; fi
stop_server() { as_server "$pgbin/pg_ctl" -D "$pg/data" -m fast -w stop >/dev/null 2>&1 || true; }
trap 'stop_server; bench_scratch_cleanup' EXIT
as_server "$pgbin/initdb" -D "$pg/data" -U quillon --auth=trust >/dev/null
as_server "$pgbin/pg_ctl" -D "$pg/data" -l "$pg/server.log" -w \
  -o "-k $pg -c listen_addresses=" start >/dev/null

verdict=0
check() {  # NAME STORE GOAL_MS
  read -r median worst < <("$bin/bench_records_cost" "$2" "$n")
  echo "$1: per board median $median ms, worst $worst ms of $n (goal <= $3 ms)"
  python3 -c "import sys; sys.exit(0 if $worst <= $3 else 1)" || verdict=1
}
check "SQLite" "sqlite:$work/records.db" 20
check "PostgreSQL" "postgresql:///postgres?host=$pg&user=quillon" 50

echo "paced gang of 4 with serial numbers and the record, against one board without:"
GANG_OPTIONS="--records sqlite: --serial 3FFF0:u32be:1" bench/gang_paced.sh 4 "$runs" || verdict=1
exit $verdict
