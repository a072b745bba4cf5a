#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when they are missing.
set -euo pipefail
# Xvfb, openbox and the X tools run the main window under a real window manager.
packages=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
          libgl-dev libgtest-dev fonts-liberation fontconfig
          xvfb openbox wmctrl xdotool x11-utils)
# The fuzz targets need clang and its libFuzzer runtime (scripts/fuzz.sh sets FUZZ_DEPS).
if [ -n "${FUZZ_DEPS:-}" ]; then
    packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
