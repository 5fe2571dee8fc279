#!/usr/bin/env bash
# The wire trace's cost on a whole run: the demo's Full Operation (TC370,
# examples/hex/demo.mhx) by quillon-cli against an unpaced quillon-sim, with
# --trace and without, in interleaved pairs; quillon-cli's wall and CPU time
# (user + system, from getrusage). The CPU time is the trace's cost on the
# host; the wall time is as noisy as the machine.
#
#   bench/trace_overhead.sh [PAIRS]     (default 10; needs build/bin and python3)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-10}
bin=$(pwd)/build/bin
for f in "$bin/quillon-cli" "$bin/quillon-sim"; do
  [ -x "$f" ] || { echo "trace_overhead: $f is missing (cmake --build --preset release)" >&2; exit 1; }
done
. bench/scratch.sh
bench_scratch trace
cp -R examples/. "$work/"
"$bin/quillon-sim" --program-dir "$work" --chip TC370 --link "$work/tty" >"$work/sim.log" 2>&1 &
sim=$!
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done

python3 - "$bin/quillon-cli" "$work" "$pairs" <<'PY'
import resource, statistics, subprocess, sys, time
cli, work, pairs = sys.argv[1], sys.argv[2], int(sys.argv[3])
runs = {"off": [], "on": []}
for _ in range(pairs):
    for mode in ("off", "on"):
        args = [cli, "--program-dir", work, "--chip", "TC370", "--port", work + "/tty"]
        if mode == "on":
            args += ["--trace", work + "/wire.txt"]
        args += [work + "/hex/demo.mhx", "no_reset"]
        before, start = resource.getrusage(resource.RUSAGE_CHILDREN), time.monotonic()
        out = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        wall, after = time.monotonic() - start, resource.getrusage(resource.RUSAGE_CHILDREN)
        if not out.startswith(b"OK"):
            sys.exit("trace_overhead: the Full Operation failed: " + out.decode(errors="replace"))
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        runs[mode].append((wall, cpu))
print(f"Full Operation of demo.mhx, {pairs} pairs   wall median   cpu median")
for mode in ("off", "on"):
    wall = statistics.median(w for w, _ in runs[mode])
    cpu = statistics.median(c for _, c in runs[mode])
    print(f"  trace {mode:3}                         {wall:8.3f} s   {cpu * 1000:7.1f} ms")
off = statistics.median(w for w, _ in runs["off"])
extra = statistics.median(c for _, c in runs["on"]) - statistics.median(c for _, c in runs["off"])
print(f"  the trace's CPU time: {extra * 1000:+.1f} ms, {100 * extra / off:+.2f} % of the run")
PY
