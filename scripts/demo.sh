#!/usr/bin/env bash
# The main job: builds the module, generates a demo host database (a file opened
# by the embedded engine) and opens the module's main screen on it through the
# host stand-in as SYSDBA. Without a display it runs under Xvfb, drives the main
# screen with an autopilot script and leaves screenshots in demo-out/.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR

scripts/setup.sh
exec scripts/velmora-demo.sh "$PWD/demo-out"
