#!/usr/bin/env bash
# Installs what the build and the tests need, only when something is missing (Debian 12).
set -euo pipefail
pkgs=(cmake ninja-build clang libclang-rt-14-dev googletest
      g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb xauth
      wine64-preloader  # see wine_up in wine-env.sh: without it a Wine start may die at once
      lhasa liblhasa-dev imagemagick
      fonts-wine fonts-liberation)  # the fonts the programs and tests are drawn with
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
