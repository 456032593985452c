#!/usr/bin/env bash
# Installs the Debian packages Brevanto needs to build, run and test.
# Idempotent: only packages that are missing are installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libx11-dev libxcb1-dev libxtst-dev libxi-dev libxkbcommon-dev
  libsdl2-dev
  libwayland-dev wayland-protocols sway
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev fonts-noto-cjk
  xvfb xauth x11-utils
  dbus-daemon
  desktop-file-utils appstream dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
