#!/usr/bin/env bash
# Builds the parser fuzzers with clang (ASan + UBSan + libFuzzer) in
# build-fuzz and runs each for SECONDS (default 60), starting from the seed
# recordings that the writer produces plus the corpus kept from earlier runs.
# Fails when a fuzzer finds a crash, a leak, a sanitizer report or a hang.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
jobs=$(nproc)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_FUZZ=ON -DORVO_SANITIZE=ON \
    -DORVO_BUILD_UI=OFF -DORVO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build" -j"$jobs" --target mov_parser_fuzzer avi_parser_fuzzer fuzz_make_seeds

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/metadata/fuzz_make_seeds" "$seeds/mov" "$seeds/avi"
mkdir -p "$build/fuzz-artifacts"

for kind in mov avi; do
    corpus="$build/fuzz-corpus/$kind"
    mkdir -p "$corpus"
    echo "== fuzz ${kind}_parser_fuzzer for ${seconds}s"
    "$build/fuzz/metadata/${kind}_parser_fuzzer" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/${kind}-" \
        "$corpus" "$seeds/$kind"
done
