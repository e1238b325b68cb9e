#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 -j "$(nproc)"
