#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the headless run need (only the missing ones).
set -euo pipefail
pkgs=(build-essential cmake pkg-config
      qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
      libqcustomplot-dev libqcustomplot2.1-qt6
      libhidapi-dev libudev-dev libgtest-dev
      xvfb xauth x11-utils imagemagick
      clang libclang-rt-14-dev llvm)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
