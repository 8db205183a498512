#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: scripts/install-deps.sh [build|test]
set -euo pipefail

build_pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
  libqt6svg6 fonts-dejavu-core libavcodec-dev libavformat-dev libavutil-dev libswresample-dev
  libmp3lame-dev libvorbis-dev libogg-dev libasound2-dev libespeak-ng-dev libcdio-dev libcdio-cdda-dev libcdio-paranoia-dev
  libburn-dev libisofs-dev zlib1g-dev libgtest-dev libgmock-dev xvfb xauth
  genisoimage xdg-utils) # genisoimage: run by the program to make UDF data discs
# Peers that the tests use to check our output; ccache, which the test builds go
# through; desktop-file-utils, for the desktop entry.
test_pkgs=(ffmpeg vorbis-tools python3-mutagen id3v2 sox xorriso udftools p7zip-full ccache desktop-file-utils)

pkgs=("${build_pkgs[@]}")
if [ "${1:-build}" = "test" ]; then pkgs+=("${test_pkgs[@]}"); fi

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
