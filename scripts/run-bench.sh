#!/usr/bin/env bash
# Builds and runs every benchmark (Google Benchmark). Each benchmark measures its figures side
# by side with their baselines and reports the ratios. --smoke runs each case once, briefly.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$VYN_ROOT"

args=()
if [ "${1:-}" = "--smoke" ]; then
  args+=(--benchmark_min_time=0.001)
  export VYN_BENCH_SMOKE=1
  shift
fi
args+=("$@")

vyn_ensure_packages "${VYN_PACKAGES[@]}"
vyn_build

export QT_QPA_PLATFORM=offscreen
found=0
while IFS= read -r bench; do
  found=1
  echo "== $(basename "$bench")"
  "$bench" "${args[@]}"
done < <(find build/bench -type f -name 'bench_*' -perm -u+x 2>/dev/null | sort)
[ "$found" = 1 ] || echo "No benchmarks built."
