#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
exec "$BUILD_DIR/orvane" "$@"
