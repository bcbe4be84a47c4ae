#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the viewer need.
# Idempotent: does nothing when all are present; runs apt-get update only
# when something is missing. Runs as root without prompts (or via sudo).
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  qt6-svg-dev libqt6svg6 libqt6opengl6-dev
  libvlc-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libexpat1-dev libx11-dev libxcb1-dev libpng-dev libjpeg-dev libxext-dev libxtst-dev
  clang libclang-rt-14-dev clang-format
  # run
  libvlc5 vlc-plugin-base vlc-plugin-video-output libqt6webenginecore6-bin
  # vlc-cache-gen and the trigger that writes the plug-in cache: without it
  # every libVLC start scans all plug-ins (a quarter second on this machine)
  libvlc-bin
  qt6-qpa-plugins fonts-noto-cjk fonts-dejavu-core fonts-liberation2 fontconfig
  # clip export (stream-copy remux), offline map tiles, evidence report
  libavformat-dev libavcodec-dev libavutil-dev libsqlite3-dev libqt6sql6-sqlite libssl-dev
  # tests and tools
  xvfb xauth ffmpeg imagemagick x11-utils locales librsvg2-bin
  poppler-utils gpsbabel gdal-bin libxml2-utils sqlite3 coreutils
  # camera time zones (orvo-info --camera-tz and its tests)
  tzdata
  # packaging checks
  dpkg-dev fakeroot lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
