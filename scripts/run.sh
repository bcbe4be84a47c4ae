#!/usr/bin/env bash
# Builds the viewer and starts it on the demo card (generated once, when
# missing). Extra arguments replace the demo card path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target orvo-player orvo-info orvo-make-demo-card

card="$root/demo-card"
if [[ ! -d "$card" ]]; then
    echo "Generating the demo card in $card ..."
    build/tools/orvo-make-demo-card "$card"
fi
if [[ $# -gt 0 ]]; then
    exec build/app/orvo-player "$@"
fi
exec build/app/orvo-player "$card"
