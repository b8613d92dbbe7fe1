# Shared set-up for the scripts: Debian packages, the build folder.
# Sourced, not run.

VYN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# What building, testing and running need on a fresh Debian 12.
VYN_PACKAGES=(
  g++ cmake ninja-build pkgconf
  qt6-base-dev libqt6sql6-sqlite qt6-qpa-plugins
  libsqlite3-dev libgtest-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core poppler-utils
)
# Fuzzing also needs clang with its libFuzzer and sanitizer runtimes.
VYN_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

vyn_missing_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

# Installs what is missing when run as root; otherwise prints the one line to run and fails.
vyn_ensure_packages() {
  local missing
  missing=$(vyn_missing_packages "$@")
  [ -z "$missing" ] && return 0
  local line="apt-get install -y --no-install-recommends $missing"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "  apt-get update && $line" >&2
    return 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  if [ -z "${VYN_APT_UPDATED:-}" ]; then
    apt-get update
    export VYN_APT_UPDATED=1
  fi
  # shellcheck disable=SC2086
  apt-get install -y --no-install-recommends $missing
}

vyn_jobs() {
  nproc 2>/dev/null || echo 2
}

# Configures (once) and builds build/ with Ninja.
vyn_build() {
  local dir="$VYN_ROOT/build"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$VYN_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$dir" -j "$(vyn_jobs)"
}
