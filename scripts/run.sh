#!/usr/bin/env bash
# Installs what is missing, builds Vidora and starts it (with the simulated camera when no real one is found).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
cmake --build build --target vidora vidora-reg vidora_resource_library
exec build/bin/vidora "$@"
