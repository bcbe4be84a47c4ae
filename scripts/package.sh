#!/usr/bin/env bash
# Builds the Debian package: build/orvo-player_<version>_amd64.deb.
# Installs missing Debian packages first; ORVO_BUILD_DIR picks the build
# directory (default: build).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$(realpath -m "${ORVO_BUILD_DIR:-$root/build}")

./scripts/install-deps.sh
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target orvo-player orvo-info orvo_packaging_files
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/.*kOrvoVersion = "\(.*\)";/\1/p' "$build/generated/app/version.h")
deb="$build/orvo-player_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || { echo "package.sh: $deb was not written" >&2; exit 1; }
echo "$deb"
