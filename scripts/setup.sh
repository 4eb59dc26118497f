#!/usr/bin/env bash
# Installs what the project needs (Debian packages, as root, only when missing),
# then configures and builds with Ninja. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev libqt6printsupport6 libgl1-mesa-dev
  firebird3.0-server firebird-dev libfbclient2
  libxlsxwriter-dev libcli11-dev
  libgtest-dev googletest libbenchmark-dev
  xvfb xauth poppler-utils locales libxml2-utils python3
  fonts-dejavu-core unrtf faketime
  clang libclang-rt-dev libxml2-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The tests and the demo run with Spanish regional settings.
if ! locale -a 2>/dev/null | grep -qi '^es_ES\.utf8$'; then
  if [[ $(id -u) -eq 0 ]]; then
    sed -i 's/^# *es_ES.UTF-8 UTF-8/es_ES.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^es_ES.UTF-8 UTF-8' /etc/locale.gen || echo 'es_ES.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi

BUILD_DIR=${BUILD_DIR:-build}
if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo}
fi
cmake --build "$BUILD_DIR" -j2
