#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need
# (only those that are missing; apt needs root, so sudo is used when present).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libxlsxwriter-dev fonts-dejavu-core poppler-utils unzip
  libdw-dev xdg-utils
  dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
