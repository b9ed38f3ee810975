#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, so the fuzz targets can be built too) and runs the
# whole suite: unit tests, GUI tests offscreen, and each fuzz target for a bounded time;
# then the Windows cross build and its tests under Wine (tools/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DTAVELO_SANITIZE=ON -DTAVELO_FUZZ=ON -DTAVELO_WERROR=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure -j2
# The Windows executables, cross-built with MinGW-w64, and their tests under Wine.
tools/test-windows.sh
