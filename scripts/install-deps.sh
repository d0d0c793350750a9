#!/usr/bin/env bash
# Installs with apt-get whatever building, testing and running Melodeck needs on Debian 12
# and is not installed yet. Safe to run again: with nothing missing it does nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkgconf
  qt6-base-dev libgl-dev
  libfluidsynth-dev libasound2-dev timgm6mb-soundfont
  libsqlite3-dev
  libjpeg62-turbo-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
