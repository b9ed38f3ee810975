#!/usr/bin/env bash
# Fetches Debian's gerbv package (without installing it) and unpacks the Gerber and drill
# example folders it ships into FOLDER (default: build-bench/gerber-examples), for
# bench_pack and bench_deflate. The data stay out of the repository.
set -euo pipefail
target=${1:-build-bench/gerber-examples}
mkdir -p "$target"
target=$(cd "$target" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # apt hands the download to its own user
(cd "$work" && apt-get download gerbv >/dev/null && dpkg -x gerbv_*.deb unpacked)
rm -rf "$target/examples"
cp -r "$work/unpacked/usr/share/doc/gerbv/examples" "$target/examples"
echo "$target/examples"
