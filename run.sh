#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quenrow on the bundled data.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Quenrow needs a desktop session: run it from one, or start Xvfb and set DISPLAY (e.g. xvfb-run ./run.sh)." >&2
    exit 1
fi
# The program finds "quenrow-data" in the current folder: the repository root.
exec ./build/quenrow
