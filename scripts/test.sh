#!/usr/bin/env bash
# Builds everything and runs every test: the full suite under a virtual X
# server (the engine and browser tests need real windows), the core tests
# again under AddressSanitizer + UndefinedBehaviorSanitizer, and a short
# bounded pass of each fuzzer. Installs missing Debian packages first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)

./scripts/install-deps.sh

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== tests"
(cd build && xvfb-run -a -s "-screen 0 1920x1080x24" \
    ctest --output-on-failure -j"$jobs" --no-tests=error)

echo "== core tests under ASan+UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON \
    -DORVO_BUILD_UI=OFF -DORVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" -L core --no-tests=ignore)

if [[ -x scripts/fuzz.sh ]]; then
    echo "== fuzz (short pass)"
    ./scripts/fuzz.sh "${ORVO_FUZZ_SECONDS:-60}"
fi
echo "== all tests passed"
