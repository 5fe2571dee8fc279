#!/usr/bin/env bash
# The demo's Full Operation (TC370, examples/hex/demo.mhx, batch mode) by the
# native quillon-cli and by quillon-cli.exe of the Windows build under Wine,
# side by side, against the same native quillon-sim: the simulator unpaced (as
# scripts/demo runs it) and paced (--pace, as on a cable). Also the cost of
# starting a program under Wine (quillon-cli.exe --help).
#
#   bench/full_operation_wine.sh [RUNS]     (default 3)
#
# Uses build/bin (release) and build/windows (scripts/test-windows builds both
# and the Wine prefix); needs python3.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-3}

native=$root/build/bin
windows=$root/build/windows
prefix=$windows/wineprefix
for f in "$native/quillon-cli" "$native/quillon-sim" "$windows/bin/quillon-cli.exe"; do
  [ -e "$f" ] || { echo "full_operation_wine: $f is missing (scripts/test-windows builds it)" >&2; exit 1; }
done
export WINEPREFIX=$prefix WINEDEBUG=-all

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-wine-XXXXXX")
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$work"
  wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
cp -R examples/. "$work/"
link=$prefix/dosdevices/com5

ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

# run_one native|wine [--pace]: one Full Operation on a blank flash; prints ms.
run_one() {
  local how=$1 pace=${2:-}
  rm -f "$work/flash.bin" "$work/MESSFILE.TXT"
  "$native/quillon-sim" --program-dir "$work" --chip TC370 --flash "$work/flash.bin" $pace \
    --link "$link" >"$work/sim.out" 2>"$work/sim.log" &
  sim=$!
  for _ in $(seq 1 100); do [ -e "$link" ] && [ -s "$work/sim.out" ] && break; sleep 0.05; done
  local start
  start=$(date +%s%N)
  if [ "$how" = native ]; then
    "$native/quillon-cli" --program-dir "$work" --port "$link" "$work/hex/demo.mhx" no_reset \
      >"$work/cli.out" 2>"$work/cli.err" </dev/null
  else
    scripts/wine-run "$prefix" "$windows/bin/quillon-cli.exe" --program-dir "Z:${work//\//\\}" \
      "Z:${work//\//\\}\\hex\\demo.mhx" com5 no_reset >"$work/cli.out" 2>"$work/cli.err" </dev/null
  fi
  ms "$start"
  kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""
  [ "$(cat "$work/MESSFILE.TXT")" = "OK" ] || { echo "full_operation_wine: $how $pace failed" >&2; cat "$work/cli.err" >&2; exit 1; }
}

scripts/wine-run "$prefix" "$windows/bin/quillon-cli.exe" --help >/dev/null  # the prefix, made once
results=()
for pace in "" "--pace"; do
  for how in native wine; do
    times=()
    for _ in $(seq 1 "$runs"); do times+=("$(run_one "$how" "$pace")"); done
    results+=("${how}${pace:+ paced}:${times[*]}")
  done
done
starts=()
for _ in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  scripts/wine-run "$prefix" "$windows/bin/quillon-cli.exe" --help >/dev/null
  starts+=("$(ms "$start")")
done
results+=("wine start (--help):${starts[*]}")

python3 - "${results[@]}" <<'PY'
import statistics, sys
print(f"{'Full Operation of examples/hex/demo.mhx (TC370)':<50} median of runs, ms")
for entry in sys.argv[1:]:
    name, times = entry.split(":")
    values = [int(t) for t in times.split()]
    print(f"  {name:<48} {statistics.median(values):>7.0f}   ({', '.join(map(str, values))})")
PY
