#!/usr/bin/env bash
# Wall time of a Full Operation of a 256 KiB image (TC370, 0x00000-0x3FFFF
# full of data, 32 program blocks of 8 KiB) through quillon-cli in batch mode
# against quillon-sim --pace, with the control program at 115200 baud, set
# beside the line-time bound of the same run: every byte on the line at ten
# bits, the download at the boot rate (9600) and the rest at 115200. The
# simulator paces both directions once the control program runs, but only its
# own answers during the boot ROM's download, so the bound is given both whole
# and without the host's image.
#
#   bench/full_operation_paced.sh [RUNS]     (default 3)
#
# Uses the programs of the release build (build/bin; built when missing, or
# named by QUILLON_BIN); needs python3.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-3}

bin=${QUILLON_BIN:-$root/build/bin}
if [ ! -x "$bin/quillon-cli" ] || [ ! -x "$bin/quillon-sim" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j 2 --target quillon-cli quillon-sim >/dev/null
fi
command -v python3 >/dev/null || { echo "full_operation_paced: python3 is missing (scripts/bootstrap)" >&2; exit 1; }

. bench/scratch.sh
bench_scratch paced

# A program folder of its own: the examples, with TC370's control program at 115200.
cp -R examples/. "$work/"
sed -i 's/^Baud2=38400,57600\r\?$/Baud2=115200,115200/' "$work/CHIPDEF.INI"
grep -q '^Baud2=115200,115200' "$work/CHIPDEF.INI" || { echo "full_operation_paced: cannot set Baud2" >&2; exit 1; }

# 256 KiB of data, no erased block, as S-records (S2, 32 bytes a line).
python3 bench/full_image.py "$work/full.mhx"

times=()
for run in $(seq 1 "$runs"); do
  rm -f "$work/flash.bin"   # a blank flash each time: download, probe, program
  "$bin/quillon-sim" --program-dir "$work" --chip TC370 --flash "$work/flash.bin" --pace \
    --link "$work/tty" >"$work/sim.out" 2>"$work/sim.log" &
  sim=$!
  for _ in $(seq 1 100); do [ -e "$work/tty" ] && [ -s "$work/sim.out" ] && break; sleep 0.05; done
  start=$(date +%s%N)
  "$bin/quillon-cli" --program-dir "$work" --port "$work/tty" --chip TC370 \
    "$work/full.mhx" no_reset >"$work/cli.out" 2>"$work/cli.err" </dev/null \
    || { echo "full_operation_paced: run $run failed:" >&2; cat "$work/cli.out" >&2; exit 1; }
  end=$(date +%s%N)
  kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""
  [ "$(cat "$work/MESSFILE.TXT")" = "OK" ] || { echo "full_operation_paced: MESSFILE.TXT is not OK" >&2; exit 1; }
  times+=($(( (end - start) / 1000000 )))
  echo "run $run: $(( (end - start) / 1000000 )) ms"
done

control_program=$(stat -c %s "$work/ctrl/tc370.bin")
python3 - "$control_program" "${times[@]}" <<'PY'
import statistics, sys
control, times = int(sys.argv[1]), [int(t) for t in sys.argv[2:]]
# The download at 9600: the image with its sum, and some 40 bytes of frames,
# boot commands and acknowledgements (an estimate; 4 ms a byte).
download_bytes = control + 1 + 40
download_s = download_bytes * 10 / 9600
# At 115200: the rate check (2 bytes), the whole-flash probe (4 + 1), and per
# block the command (4), its acceptance (1), 8192 data + 2 CRC, the status (1).
blocks = 0x40000 // 8192
fast_bytes = 2 + 5 + blocks * (4 + 1 + 8192 + 2 + 1)
fast_s = fast_bytes * 10 / 115200
bound = download_s + fast_s
# quillon-sim --pace holds back everything but the host's image to the boot
# ROM (the boot ROM takes the host's bytes as they come; only the control
# program takes them at the line's rate).
image_s = (control + 1) * 10 / 9600
paced_bound = bound - image_s
median = statistics.median(times) / 1000
print(f"line time: download {download_bytes} B at 9600 = {download_s:.3f} s, "
      f"{fast_bytes} B at 115200 = {fast_s:.3f} s; bound {bound:.3f} s")
print(f"Full Operation of 256 KiB, paced, median of {len(times)}: {median:.3f} s "
      f"= {median / bound:.2f} x the line-time bound; "
      f"{median / paced_bound:.2f} x the {paced_bound:.3f} s of it that the simulator paces "
      f"(the host's {control + 1}-byte image at 9600 goes through unpaced)")
PY
