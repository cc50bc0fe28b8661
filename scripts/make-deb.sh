#!/usr/bin/env bash
# Builds the Debian package of Velmira with CPack: a release build of the editor and
# velmira-cli (no tests, no benchmarks) in build-deb/, then `cpack -G DEB`. The
# package lands in build-deb/ and its name is printed. BUILD_DIR=<dir> uses another
# build folder (an existing one is reused as configured).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

dir=${BUILD_DIR:-build-deb}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DVELMIRA_BUILD_TESTS=OFF -DVELMIRA_BUILD_BENCH=OFF
fi
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB)
deb=$(ls -t "$dir"/velmira_*.deb | head -n 1)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
