#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from build/game/. Without a display it
# plays a short automatic demonstration on a virtual X server and saves screenshots.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY is unset); playing a short demonstration on a virtual X server."
    exec scripts/demo.sh build/game build/demo
fi
cd build/game
exec ./velmora
