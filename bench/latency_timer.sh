#!/usr/bin/env bash
# What a USB serial adapter's latency timer costs the program step: 256 KiB
# (TC350's main flash, 512 program blocks of 512 bytes, no erased block) at
# 115200 baud through quillon-cli against quillon-sim --pace, with the
# simulator's model of an FTDI-style adapter at its default 16 ms, at the 1 ms
# of low latency, and without one, in one run. Each program step's time (from
# the run record) is set against the step's line time: per block the command
# (4 bytes), its acceptance (1), the block and its CRC (514) and the status
# (1), at ten bits a byte.
#
#   bench/latency_timer.sh [RUNS]     (default 1 run of each; about 90 s each)
#
# Uses the programs of the release build (build/bin; built when missing, or
# named by QUILLON_BIN); needs python3.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-1}

. bench/scratch.sh
bench_programs latency_timer
bench_scratch latency

# A program folder of its own: the examples, with TC350's control program at 115200.
cp -R examples/. "$work/"
python3 - "$work/CHIPDEF.INI" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path, newline="").read()
section = re.search(r"^\[TC350\][^\[]*", text, re.M)
if not section:
    sys.exit("latency_timer: no [TC350] in CHIPDEF.INI")
body = section.group(0)
eol = "\r\n" if "\r\n" in body else "\n"
changed = re.sub(r"^(Baud=[^\r\n]*)", r"\1" + eol + "Baud2=115200,115200", body, count=1, flags=re.M)
open(path, "w", newline="").write(text.replace(body, changed))
PY
grep -q '^Baud2=115200,115200' "$work/CHIPDEF.INI" || { echo "latency_timer: cannot set Baud2" >&2; exit 1; }

# 256 KiB of data for the main flash, no erased block, as S-records.
bench_image "$work/full.mhx" 350

# One program step against the simulator with the options given; its ms in $step_ms.
program_step() {
  rm -f "$work/flash.bin" "$work/run.json"
  "$bin/quillon-sim" --program-dir "$work" --chip TC350 --flash "$work/flash.bin" --pace "$@" \
    --link "$work/tty" >"$work/sim.out" 2>"$work/sim.log" &
  sim=$!
  for _ in $(seq 1 100); do [ -e "$work/tty" ] && [ -s "$work/sim.out" ] && break; sleep 0.05; done
  "$bin/quillon-cli" --program-dir "$work" --port "$work/tty" --chip TC350 --crystal 20MHz \
    --areas main --hex "$work/full.mhx" --no-reset --json "$work/run.json" --download --program \
    >"$work/cli.out" 2>"$work/cli.err" </dev/null \
    || { echo "latency_timer: the program step failed ($*):" >&2; cat "$work/cli.out" "$work/cli.err" >&2; exit 1; }
  kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""
  step_ms=$(python3 - "$work/run.json" <<'PY'
import json, sys
board = json.load(open(sys.argv[1]))["boards"][0]
steps = [s for s in board["steps"] if s["name"] == "program"]
if len(steps) != 1 or not steps[0]["ok"]:
    sys.exit("latency_timer: no successful program step in the run record")
print(steps[0]["durationMs"])
PY
)
}

results=()
for run in $(seq 1 "$runs"); do
  for timer in 16 1 off; do
    if [ "$timer" = off ]; then program_step; else program_step --latency-timer "$timer"; fi
    echo "run $run, latency timer $timer: program step $step_ms ms"
    results+=("$timer=$step_ms")
  done
done

python3 - "${results[@]}" <<'PY'
import statistics, sys
blocks = 0x40000 // 512
line_s = blocks * (4 + 1 + 512 + 2 + 1) * 10 / 115200
times = {}
for item in sys.argv[1:]:
    timer, ms = item.split("=")
    times.setdefault(timer, []).append(int(ms) / 1000)
expected = {"16": 1 + 2 * 16 / (line_s * 1000 / blocks), "1": 1 + 2 * 1 / (line_s * 1000 / blocks), "off": 1.0}
print(f"program step of 256 KiB (512 blocks of 512 bytes) at 115200: line time {line_s:.2f} s")
print("| adapter's latency timer | program step | x line time | model |")
print("|---|---|---|---|")
names = {"16": "16 ms (FTDI default)", "1": "1 ms (low latency)", "off": "none (on-board UART)"}
for timer in ("16", "1", "off"):
    t = statistics.median(times[timer])
    print(f"| {names[timer]} | {t:.2f} s | {t / line_s:.2f} | {expected[timer]:.2f} |")
PY
