#!/usr/bin/env bash
# Builds the viewer, starts it on a virtual X screen and saves a picture of
# the whole screen as PNG.
#   scripts/screenshot.sh OUT.png [seconds to wait, default 4] [viewer args...]
# ORVO_BUILD_DIR picks the build directory (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ $# -lt 1 ]]; then
    echo "usage: $0 OUT.png [seconds] [viewer args...]" >&2
    exit 2
fi
out=$(realpath -m "$1")
shift
wait_s=${1:-4}
[[ $# -gt 0 ]] && shift
build=$(realpath -m "${ORVO_BUILD_DIR:-$root/build}")

cd "$root"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target orvo-player >/dev/null

# A scratch working directory keeps the viewer's settings file out of the
# repository.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ORVO_PLAYER="$build/app/orvo-player" ORVO_OUT="$out" ORVO_WAIT="$wait_s"
cd "$work"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    "$ORVO_PLAYER" "$@" &
    pid=$!
    sleep "$ORVO_WAIT"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "orvo-player exited before the screenshot" >&2
        exit 1
    fi
    import -window root "$ORVO_OUT"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' screenshot "$@"
echo "$out"
