#!/usr/bin/env bash
# Builds Vyn and runs every test headless. Installs missing Debian packages when run as root.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$VYN_ROOT"

vyn_ensure_packages "${VYN_PACKAGES[@]}" "${VYN_FUZZ_PACKAGES[@]}"
vyn_build

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(vyn_jobs)" --timeout 600

# Short smoke runs: every benchmark once, every fuzz target over its seeds for a few seconds.
scripts/run-bench.sh --smoke
FUZZ_SECONDS=${FUZZ_SMOKE_SECONDS:-15} scripts/run-fuzz.sh
echo "All tests passed."
