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
