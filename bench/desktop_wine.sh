#!/usr/bin/env bash
# The Win32 desktop program under Wine (headless, the null display driver):
#   1. start-up: quillon.exe to a shown main window and back
#      (QUILLON_SCREENSHOT=shown) against an empty Win32 program that shows a
#      window, median of RUNS (goal: at most 1.5 times the empty one);
#   2. a 256 KiB Full Operation (TC370, 0x00000-0x3FFFF full, the control
#      program at 115200 baud) against the paced quillon-sim on COM5, by
#      quillon.exe (batch mode, the progress window showing) and by
#      quillon-cli.exe, alternately, median of RUNS (goal: within 3 %).
#
#   bench/desktop_wine.sh [RUNS]     (default 5)
#
# Uses build/bin (release) and build/windows (scripts/test-windows builds
# both); needs python3 and the MinGW compiler.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-5}

native=$root/build/bin
windows=$root/build/windows
for f in "$native/quillon-sim" "$windows/bin/quillon.exe" "$windows/bin/quillon-cli.exe"; do
  [ -e "$f" ] || { echo "desktop_wine: $f is missing (scripts/test-windows builds it)" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-desktop-XXXXXX")
prefix=$work/wineprefix
export WINEPREFIX=$prefix WINEDEBUG=-all
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

x86_64-w64-mingw32-g++-posix -O2 -static -mwindows -o "$work/empty.exe" bench/win32/empty.cpp
cp -R examples/. "$work/"
cp "$windows/bin/quillon.exe" "$windows/bin/quillon-cli.exe" "$work/"
sed -i 's/^Baud2=38400,57600\r\?$/Baud2=115200,115200/' "$work/CHIPDEF.INI"
. bench/scratch.sh  # bench_image
bench_image "$work/full.mhx" 370

wine_run() { (cd "$work" && "$root/scripts/wine-run" "$prefix" "$@"); }
ms() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

wine_run empty.exe >/dev/null 2>&1  # the prefix, made once
wineserver -w
wineserver -p >/dev/null 2>&1 </dev/null || true  # one server for every start
wine_run empty.exe >/dev/null 2>&1

results=()
empty=() shown=()
for _ in $(seq 1 "$runs"); do
  start=$(date +%s%N); wine_run empty.exe >/dev/null 2>&1; empty+=("$(ms "$start")")
  start=$(date +%s%N)
  QUILLON_SCREENSHOT=shown wine_run quillon.exe >/dev/null 2>&1
  shown+=("$(ms "$start")")
done
results+=("start-up, empty Win32 program:${empty[*]}" "start-up, quillon.exe main window:${shown[*]}")

link=$prefix/dosdevices/com5
# full_operation PROGRAM.exe: one paced 256 KiB Full Operation on a blank
# flash; prints ms.
full_operation() {
  rm -f "$work/flash.bin" "$work/MESSFILE.TXT" "$link"
  "$native/quillon-sim" --program-dir "$work" --chip TC370 --flash "$work/flash.bin" --pace \
    --link "$link" >"$work/sim.out" 2>"$work/sim.log" &
  sim=$!
  for _ in $(seq 1 100); do [ -e "$link" ] && [ -s "$work/sim.out" ] && break; sleep 0.05; done
  local start
  start=$(date +%s%N)
  wine_run "$1" full.mhx com5 no_reset >"$work/run.out" 2>"$work/run.err" </dev/null || true
  ms "$start"
  kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""
  [ "$(head -c 2 "$work/MESSFILE.TXT")" = "OK" ] ||
    { echo "desktop_wine: $1 failed" >&2; cat "$work/run.err" "$work/MESSFILE.TXT" >&2; exit 1; }
}
cli=() gui=()
for _ in $(seq 1 "$runs"); do
  cli+=("$(full_operation quillon-cli.exe)")
  gui+=("$(full_operation quillon.exe)")
done
results+=("256 KiB paced, quillon-cli.exe:${cli[*]}" "256 KiB paced, quillon.exe:${gui[*]}")

python3 - "${results[@]}" <<'PY'
import statistics, sys
medians = {}
print(f"{'quillon.exe under Wine (null driver)':<44} median, ms")
for entry in sys.argv[1:]:
    name, times = entry.split(":")
    values = [int(t) for t in times.split()]
    medians[name] = statistics.median(values)
    print(f"  {name:<42} {medians[name]:>8.0f}   ({', '.join(map(str, values))})")
names = list(medians)
print(f"  start-up ratio (goal <= 1.5): {medians[names[1]] / medians[names[0]]:.2f}")
print(f"  Full Operation, GUI / CLI (goal within 3 %): {medians[names[3]] / medians[names[2]]:.3f}")
PY
