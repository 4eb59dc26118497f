#!/usr/bin/env bash
# The main job: builds the module, generates a demo host database (a file opened
# by the embedded engine) and opens the module's main screen on it through the
# host stand-in as SYSDBA. Without a display (or with DEMO_AUTOPILOT=1) it runs
# by itself under Xvfb: risk checks, the listings window, a customer search and
# the three listings exported to demo-out/ (see scripts/velmora-demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR

scripts/setup.sh
exec scripts/velmora-demo.sh "$PWD/demo-out"
