#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those that
# are missing, so that a second run costs a fraction of a second.
#   scripts/deps.sh        what ./test needs
#   scripts/deps.sh run    and what ./run needs to show the window without a display
#   scripts/deps.sh package  and what scripts/package_check.sh needs: dpkg-shlibdeps
#                          (dpkg-dev, file), desktop-file-validate, NSIS, the Windows
#                          cross compiler and Wine, resource listing (icoutils), unzip
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-translations-l10n fonts-noto-cjk dbus-daemon clang-format
)
if [ "${1:-}" = run ] || [ "${1:-}" = package ]; then
  packages+=(xvfb xauth imagemagick xdg-utils)
fi
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file desktop-file-utils nsis icoutils unzip g++-mingw-w64-x86-64-posix
    wine wine64)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
