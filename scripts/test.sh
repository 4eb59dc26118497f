#!/usr/bin/env bash
# The one command that runs every test: installs what is missing, starts the
# Firebird server, builds, and runs CTest; then the suite again under the
# sanitizers and the fuzz targets. It fails when any of them fails.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR

scripts/setup.sh
scripts/firebird.sh start

export LANG=es_ES.UTF-8
export LC_ALL=es_ES.UTF-8
export QT_QPA_PLATFORM=offscreen
status=0
(cd "$BUILD_DIR" && ctest -j2 --output-on-failure --timeout 600 "$@") || status=1
# The module runs inside the host's process: after the normal suite, the same
# suite under the sanitizers, then a short run of every fuzz target.
scripts/sanitize.sh "$@" || status=1
scripts/fuzz.sh "${FUZZ_SECONDS:-20}" || status=1
exit $status
