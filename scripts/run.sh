#!/usr/bin/env bash
# Installs what is missing, builds, and starts Qorvane.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: Qorvane needs a graphical display, and none is set (DISPLAY is empty)." >&2
    exit 1
fi
echo "run: starting build/qorvane"
exec build/qorvane
