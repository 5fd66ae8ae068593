#!/usr/bin/env bash
# Builds the Debian package: lindavo_<version>_amd64.deb at the top of the
# checkout, a build for users (without the test hooks) in build-package/.
#
#   bash scripts/package.sh
#   sudo apt install ./lindavo_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/packages.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDAVO_TESTS=OFF -DLINDAVO_BENCH=OFF >/dev/null
cmake --build build-package --target Lindavo lindavo-report
out=build-package/package
rm -rf "$out"
cpack -G DEB --config build-package/CPackConfig.cmake -B "$PWD/$out" >/dev/null
deb=$(ls "$out"/lindavo_*.deb)
cp "$deb" .
echo "$(basename "$deb")"
