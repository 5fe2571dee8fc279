#!/usr/bin/env bash
# Side-by-side timing of hex-file decoding: quillon-cli --decode against
# objcopy -O binary, on the same 2,949,120-byte random image written as
# S-records (S2, 16 data bytes a line, CR LF) and as Intel HEX (16 bytes a
# line). Reports median wall times, their ratios and the peak memory of each
# command, and checks that all outputs equal the image.
#
#   bench/decode_vs_objcopy.sh [RUNS]      (default 30 timed runs per command)
#
# Times the quillon-cli of an optimised build of its own in build/bench (or
# the one named by QUILLON_CLI); needs hyperfine, /usr/bin/time, objcopy and
# python3.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

runs=${1:-30}
cli=${QUILLON_CLI:-}
if [ -z "$cli" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUILLON_GUI=OFF -DQUILLON_TESTS=OFF -DQUILLON_BENCH=OFF >/dev/null
  cmake --build build/bench -j 2 --target quillon-cli >/dev/null
  cli=$root/build/bench/bin/quillon-cli
fi
for tool in hyperfine objcopy python3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "decode_vs_objcopy: $tool is missing (scripts/bootstrap)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

size=2949120
python3 -c "import random,sys; random.seed(20261207); sys.stdout.buffer.write(random.randbytes($size))" > image.bin
objcopy -I binary -O srec --srec-len=16 image.bin image.mhx
objcopy -I binary -O ihex image.bin image.hex
# One chip whose single range is the whole image.
printf '[BENCH]\r\nDownloadFile=BENCH.BIN\r\nLoadAddress=0\r\nStartAddress=0\r\nEndAddress=2CFFFF\r\nFlashSize=2880K\r\nClock=10MHz\r\nBaud=9600\r\n' > CHIPDEF.INI

q_srec="$cli --program-dir $work --decode $work/image.mhx $work/q_srec.bin"
o_srec="objcopy -I srec -O binary $work/image.mhx $work/o_srec.bin"
q_ihex="$cli --program-dir $work --decode $work/image.hex $work/q_ihex.bin"
o_ihex="objcopy -I ihex -O binary $work/image.hex $work/o_ihex.bin"

echo "image: $size bytes; image.mhx $(stat -c %s image.mhx) bytes ($(sed -n 2p image.mhx | cut -c1-2) records); image.hex $(stat -c %s image.hex) bytes"
echo "quillon-cli: $cli"
echo "objcopy: $(objcopy --version | head -1)"
echo

# Interleaved in one hyperfine run, so that the machine's load hits all alike.
hyperfine -N --warmup 3 --runs "$runs" --style basic --export-json times.json \
  -n quillon-srec "$q_srec" -n objcopy-srec "$o_srec" \
  -n quillon-ihex "$q_ihex" -n objcopy-ihex "$o_ihex" >hyperfine.txt 2>&1 ||
  { cat hyperfine.txt; exit 1; }

for out in q_srec o_srec q_ihex o_ihex; do
  cmp -s "$out.bin" image.bin || { echo "decode_vs_objcopy: $out.bin differs from the image" >&2; exit 1; }
done

peak() {  # peak resident set size of one run, in KiB
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'
}
{
  echo "quillon-srec $(peak $q_srec)"
  echo "objcopy-srec $(peak $o_srec)"
  echo "quillon-ihex $(peak $q_ihex)"
  echo "objcopy-ihex $(peak $o_ihex)"
} > peaks.txt

python3 - "$runs" <<'PY'
import json, sys
runs = sys.argv[1]
results = {r["command"]: r for r in json.load(open("times.json"))["results"]}
peaks = dict(line.split() for line in open("peaks.txt"))
def ms(name, key="median"):
    return results[name][key] * 1000
print(f"{'command':<14}{'median ms':>11}{'mean ms':>10}{'min ms':>9}{'max ms':>9}{'peak RSS':>12}")
for name in ["quillon-srec", "objcopy-srec", "quillon-ihex", "objcopy-ihex"]:
    print(f"{name:<14}{ms(name):>11.1f}{ms(name,'mean'):>10.1f}{ms(name,'min'):>9.1f}{ms(name,'max'):>9.1f}"
          f"{int(peaks[name]) / 1024:>9.1f} MiB")
print()
ok = True
for kind in ["srec", "ihex"]:
    ratio = ms("quillon-" + kind) / ms("objcopy-" + kind)
    peak = int(peaks["quillon-" + kind]) / 1024
    good = ratio <= 0.5 and peak <= 16
    ok = ok and good
    print(f"{kind}: quillon/objcopy median = {ratio:.3f} (goal <= 0.5), quillon peak {peak:.1f} MiB (goal <= 16)"
          f"  {'met' if good else 'NOT MET'}")
print(f"({runs} timed runs per command after 3 warm-up runs; outputs identical to the image)")
sys.exit(0 if ok else 1)
PY
