#!/usr/bin/env bash
# Sets up the benchmark peers that are not build dependencies (pigz, for bench_pack's pigz
# rows; never part of the product) and fetches the real Gerber examples. Debian 12, root
# or sudo. Then build and run, for example:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELO_BENCH=ON -DTAVELO_APP=OFF
#   cmake --build build-bench --target bench_pack bench_deflate
#   build-bench/bench/bench_pack build-bench/gerber-examples/examples
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v pigz >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends pigz
fi
bench/fetch-gerber-examples.sh build-bench/gerber-examples
