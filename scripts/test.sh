#!/usr/bin/env bash
# The one command that runs every test: installs what is missing, starts the
# Firebird server, builds, and runs CTest. Its exit code is the tests'.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR

scripts/setup.sh
scripts/firebird.sh start

export LANG=es_ES.UTF-8
export LC_ALL=es_ES.UTF-8
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest -j2 --output-on-failure --timeout 600 "$@"
