# Sourced by the benchmark scripts: `bench_scratch NAME` makes a scratch
# folder in $work and, at exit, stops the virtual target whose pid is in $sim
# (if one runs) and removes the folder.
bench_scratch() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/quillon-$1-XXXXXX")
  sim=""
  trap bench_scratch_cleanup EXIT
}
bench_scratch_cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$work"
}
# `bench_programs NAME`: $bin names the release build's programs (QUILLON_BIN,
# else build/bin), built when missing; the script NAME stops when python3 is.
bench_programs() {
  bin=${QUILLON_BIN:-$(pwd)/build/bin}
  if [ ! -x "$bin/quillon-cli" ] || [ ! -x "$bin/quillon-sim" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j 2 --target quillon-cli quillon-sim >/dev/null
  fi
  command -v python3 >/dev/null || { echo "$1: python3 is missing (scripts/bootstrap)" >&2; exit 1; }
}
# `bench_image FILE SEED`: 256 KiB of data from address 0, no erased block, as
# S-records (S2, 32 bytes a line).
bench_image() {
  python3 - "$1" "$2" <<'PY'
import random, sys
random.seed(int(sys.argv[2]))
data = bytes(random.randrange(0, 255) for _ in range(0x40000))
def rec(kind, body):
    return kind + body.hex().upper() + "%02X" % (~sum(body) & 0xFF) + "\r\n"
with open(sys.argv[1], "w", newline="") as f:
    f.write(rec("S0", bytes([6, 0, 0]) + b"full"))
    for a in range(0, len(data), 32):
        f.write(rec("S2", bytes([36, a >> 16 & 0xFF, a >> 8 & 0xFF, a & 0xFF]) + data[a:a + 32]))
    f.write(rec("S8", bytes([4, 0, 0, 0])))
PY
}
