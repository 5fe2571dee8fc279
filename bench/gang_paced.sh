#!/usr/bin/env bash
# A gang of four boards against one: four virtual targets (quillon-sim
# --pace, the control program at 115200 baud) programmed with a 256 KiB image
# each (TC370, 0x00000-0x3FFFF full of data) by one quillon-cli --gang, beside
# one board alone, measured in the same run. The gang must take at most 1.10
# times the one board's wall time, and quillon-cli's CPU time (user + system)
# must stay at most 5 % of the gang's wall time.
#
#   bench/gang_paced.sh [BOARDS] [RUNS]     (defaults 4 and 3)
#
# Uses the programs of the release build (build/bin; built when missing, or
# named by QUILLON_BIN); needs python3 and /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
boards=${1:-4}
runs=${2:-3}

bin=${QUILLON_BIN:-$root/build/bin}
if [ ! -x "$bin/quillon-cli" ] || [ ! -x "$bin/quillon-sim" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j 2 --target quillon-cli quillon-sim >/dev/null
fi
for tool in python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "gang_paced: $tool is missing (scripts/bootstrap)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-gang-XXXXXX")
sims=()
cleanup() {
  for s in "${sims[@]}"; do kill "$s" 2>/dev/null || true; wait "$s" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cp -R examples/. "$work/"
sed -i 's/^Baud2=38400,57600\r\?$/Baud2=115200,115200/' "$work/CHIPDEF.INI"
grep -q '^Baud2=115200,115200' "$work/CHIPDEF.INI" || { echo "gang_paced: cannot set Baud2" >&2; exit 1; }
python3 bench/full_image.py "$work/full.mhx"

# Starts $1 paced targets with blank flashes; their links are tty1..ttyN.
start_targets() {
  sims=()
  for i in $(seq 1 "$1"); do
    rm -f "$work/flash$i.bin"
    "$bin/quillon-sim" --program-dir "$work" --chip TC370 --flash "$work/flash$i.bin" --pace \
      --link "$work/tty$i" >"$work/sim$i.out" 2>"$work/sim$i.log" &
    sims+=($!)
  done
  for i in $(seq 1 "$1"); do
    for _ in $(seq 1 100); do [ -e "$work/tty$i" ] && [ -s "$work/sim$i.out" ] && break; sleep 0.05; done
  done
}
stop_targets() {
  for s in "${sims[@]}"; do kill "$s" 2>/dev/null || true; wait "$s" 2>/dev/null || true; done
  sims=()
}
# Runs quillon-cli with the words given; prints "wall_ms cpu_ms".
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$bin/quillon-cli" --program-dir "$work" --chip TC370 \
    "$@" >"$work/cli.out" 2>"$work/cli.err" </dev/null \
    || { echo "gang_paced: quillon-cli $* failed:" >&2; cat "$work/cli.out" "$work/cli.err" >&2; exit 1; }
  end=$(date +%s%N)
  [ "$(cat "$work/MESSFILE.TXT")" = "OK" ] || { echo "gang_paced: MESSFILE.TXT is not OK" >&2; exit 1; }
  read -r user system <"$work/cpu"
  python3 -c "print($(( (end - start) / 1000000 )), round(($user + $system) * 1000))"
}

single=()
gang=()
gang_cpu=()
ports=$(seq -s, -f "$work/tty%g" 1 "$boards")
for run in $(seq 1 "$runs"); do
  start_targets 1
  read -r wall cpu < <(measure --port "$work/tty1" "$work/full.mhx" no_reset)
  stop_targets
  single+=("$wall")
  start_targets "$boards"
  read -r wall cpu < <(measure --gang "$ports" "$work/full.mhx" no_reset)
  stop_targets
  gang+=("$wall")
  gang_cpu+=("$cpu")
  echo "run $run: one board ${single[-1]} ms; $boards boards ${gang[-1]} ms, quillon-cli CPU ${gang_cpu[-1]} ms"
done

python3 - "$boards" "${#single[@]}" "${single[@]}" "${gang[@]}" "${gang_cpu[@]}" <<'PY'
import statistics, sys
boards, n = int(sys.argv[1]), int(sys.argv[2])
values = [int(v) for v in sys.argv[3:]]
single, gang, cpu = values[:n], values[n:2 * n], values[2 * n:]
s, g = statistics.median(single), statistics.median(gang)
c = statistics.median(cpu)
ratio, share = g / s, c / g
print(f"median of {n}: one board {s / 1000:.3f} s, {boards} boards {g / 1000:.3f} s "
      f"= {ratio:.3f} x (goal <= 1.10); quillon-cli CPU {c / 1000:.3f} s "
      f"= {100 * share:.2f} % of the gang's wall time (goal <= 5 %)")
sys.exit(0 if ratio <= 1.10 and share <= 0.05 else 1)
PY
