#!/usr/bin/env bash
# Builds the Debian package (build/paquete/velmora_<version>_<arch>.deb): the
# plug-in, its header and CMake configuration, norvik-host, the velmora program
# and the demo. Its Depends are the packages the plug-in needs at run time, read
# off the built library. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}

if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-RelWithDebInfo}
fi
cmake --build "$BUILD_DIR" -j2 --target velmora norvik-host norvik-gestor-emails velmora-cli

# dpkg-shlibdeps wants a debian/control beside it; a scratch one does.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/debian" && touch "$scratch/debian/control"
lib=$(readlink -f "$BUILD_DIR/bin/libvelmora.so")
depends=$(cd "$scratch" && dpkg-shlibdeps -O "$lib" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[[ -n $depends ]] || { echo "package: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

out=$(cd "$BUILD_DIR" && pwd)/paquete
(cd "$BUILD_DIR" && cpack -G DEB -B "$out" -D CPACK_DEBIAN_PACKAGE_DEPENDS="$depends" >&2)
ls -t "$out"/velmora_*.deb | head -1
