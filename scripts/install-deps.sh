#!/usr/bin/env bash
# Installs every Debian package Velmira needs to build, run, test, fuzz and benchmark.
# Idempotent: asks apt only for what is missing and runs `apt-get update` only then.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev unzip
  # codecs and core libraries
  libjpeg62-turbo-dev libtiff-dev zlib1g-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libxlsxwriter-dev libsane-dev
  # the editor
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  # translations: lupdate/lrelease and the Qt6LinguistTools CMake package
  qt6-l10n-tools qt6-tools-dev
  fonts-noto-cjk
  # headless UI tests and `./run.sh` without a display
  xvfb xauth
  # desktop integration: checks of the desktop entry, metainfo and MIME package, the
  # icon sizes drawn from the SVG, and the .deb
  desktop-file-utils appstream libxml2-utils shared-mime-info librsvg2-bin dpkg-dev file
  # side-by-side benchmarks
  imagemagick libvips-tools time
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and no sudo to install them" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
