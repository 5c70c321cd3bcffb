#!/usr/bin/env bash
# Builds everything and runs every test headless, then the sanitizer build of the tests and a short run of
# every fuzz target (scripts/run-sanitized.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure
./scripts/run-sanitized.sh
