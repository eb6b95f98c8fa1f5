#!/usr/bin/env bash
# Installs everything the builds and tests need on a Debian 12 machine.
# Quick when all is present: it only calls apt-get for packages that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  xvfb xauth xdotool x11-utils libx11-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev fontconfig
  libepoxy-dev libstb-dev
  fonts-dejavu-core fonts-liberation2
  fonts-liberation fonts-dejavu-extra
  fonts-league-spartan fonts-bebas-neue fonts-play
  glslang-dev spirv-cross libspirv-cross-c-shared-dev
  libgl-dev libegl-dev libgl1-mesa-dri libglu1-mesa-dev
  googletest libsquish-dev libpng-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  sox
  help2man dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
