#!/usr/bin/env bash
# Installs what the build needs (Debian 12), builds, and assembles the
# portable program folder dist/Marvisto/. Never touches a catalogue (*.mdb)
# already in that folder. MARVISTO_TESTS=1 also builds the tests,
# MARVISTO_BENCH=1 the benchmarks.
set -euo pipefail
cd "$(dirname "$0")"

packages=(build-essential cmake pkg-config qt6-base-dev qt6-multimedia-dev libsqlite3-dev
          libjpeg62-turbo-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav)
if [ "${MARVISTO_TESTS:-0}" = 1 ]; then
  packages+=(libgtest-dev libgmock-dev xvfb xauth gstreamer1.0-tools)
fi
if [ "${MARVISTO_BENCH:-0}" = 1 ]; then
  packages+=(libgtest-dev libgmock-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

tests=OFF; [ "${MARVISTO_TESTS:-0}" = 1 ] && tests=ON
bench=OFF; [ "${MARVISTO_BENCH:-0}" = 1 ] && bench=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARVISTO_TESTS=$tests -DMARVISTO_BENCH=$bench >/dev/null
cmake --build build -j"$(nproc)"
