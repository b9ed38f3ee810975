#!/usr/bin/env bash
# Installs what is missing, builds Tavelo in Release and starts its window.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-release --target tavelo tavelo-cli
exec build-release/bin/tavelo "$@"
