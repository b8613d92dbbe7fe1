#!/usr/bin/env bash
# Builds Vyn and starts the demonstration program. Installs missing Debian packages when run
# as root.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$VYN_ROOT"

vyn_ensure_packages "${VYN_PACKAGES[@]}"
vyn_build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: the demonstration program needs a desktop session (DISPLAY or WAYLAND_DISPLAY)." >&2
  echo "To try it without one: QT_QPA_PLATFORM=offscreen scripts/run-demo.sh (it then shows nothing)," >&2
  echo "or run it under Xvfb: xvfb-run scripts/run-demo.sh" >&2
  exit 1
fi
exec build/demo/RichEdit "$@"
