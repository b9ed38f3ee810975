#!/usr/bin/env bash
# Installs what building, running and testing Tavelo need on Debian 12, and nothing that is
# already there. Used by run.sh and test.sh. Installs as root, or through sudo; with
# neither, stops and says which packages are missing and the one command that installs them.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev googletest libgtest-dev
          fonts-wqy-microhei p7zip-full libarchive-tools python3 zlib1g-dev libdeflate-dev
          bsdutils util-linux desktop-file-utils appstream groff-base)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

install_command="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  cat >&2 <<MESSAGE
Tavelo needs these Debian packages, which are not installed:

    ${missing[*]}

This account is not root and sudo is not installed, so they cannot be installed from here.
Run this one command (it asks for the root password), then run ./run.sh or ./test.sh again:

    su -c '$install_command'
MESSAGE
  exit 1
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
