#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ and runs each for FUZZ_SECONDS (default 600) on one core, starting from its seeds.
# Usage: scripts/run-fuzz.sh [target...]   (default: every fuzz_* target)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$VYN_ROOT"

seconds=${FUZZ_SECONDS:-600}
vyn_ensure_packages "${VYN_PACKAGES[@]}" "${VYN_FUZZ_PACKAGES[@]}"

dir=build-fuzz
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVYN_FUZZ=ON -DVYN_BUILD_TESTS=OFF -DVYN_BUILD_BENCH=OFF
fi
cmake --build "$dir" -j "$(vyn_jobs)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  while IFS= read -r t; do targets+=("$(basename "$t")"); done \
    < <(find "$dir/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
fi

export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
  exe=$(find "$dir/fuzz" -type f -name "$t" -perm -u+x | head -n 1)
  [ -n "$exe" ] || { echo "No fuzz target $t" >&2; exit 1; }
  family=${t#fuzz_}
  src="fuzz/$family"
  corpus="$dir/corpus/$family"
  mkdir -p "$corpus" "$dir/artifacts"
  opts=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$dir/artifacts/$t-")
  [ -f "$src/$family.dict" ] && opts+=(-dict="$src/$family.dict")
  seeds=()
  [ -d "$src/seeds" ] && seeds+=("$src/seeds")
  echo "== $t for ${seconds}s"
  "$exe" "${opts[@]}" "$corpus" "${seeds[@]}"
done
