#!/usr/bin/env bash
# Installs the Debian packages QUAV needs to build, run and test. Safe to run again:
# it installs only what is missing, with sudo when not root.
# `setup.sh --missing` only prints the packages the build needs that are not
# installed (nothing where dpkg is not available), for the Makefile's check.
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config
  libsdl2-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libgme-dev
  pasmo
  retroarch-dev
)
other_packages=(
  clang
  imagemagick python3-pil
  xvfb xauth openbox xdotool x11-utils
  retroarch dbus-daemon
)

missing_of() {
  command -v dpkg-query >/dev/null || return 0
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

if [ "${1:-}" = --missing ]; then
  missing_of "${build_packages[@]}" | tr '\n' ' ' | sed 's/ $//'
  exit 0
fi

mapfile -t missing < <(missing_of "${build_packages[@]}" "${other_packages[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
