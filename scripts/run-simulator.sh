#!/usr/bin/env bash
# Builds the program and starts it on the built-in simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh --target kt610b
exec ./build/kt610b --simulate "$@"
