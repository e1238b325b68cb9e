#!/usr/bin/env bash
# Sets up a fresh machine (with the packages only the tests use), builds,
# runs every test, then builds the Debian package, checks it with lintian and
# installed (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 -j "$(nproc)"
BUILD_DIR="$BUILD_DIR" scripts/check-package.sh
