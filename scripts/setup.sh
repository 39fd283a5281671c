#!/usr/bin/env bash
# Installs the Debian packages QUAV needs to build, run and test. Safe to run again:
# it installs only what is missing, with sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  pasmo clang
  libgme-dev imagemagick python3-pil
  xvfb xauth openbox xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
