#!/usr/bin/env bash
# Installs what building, running and testing Tavelo need on Debian 12, and nothing that is
# already there: the Linux build, the Windows cross build (MinGW-w64, GoogleTest's sources
# built for the target) and Wine to run its tests, and the Chinese locale those tests use.
# Used by run.sh and test.sh.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev googletest libgtest-dev
          fonts-wqy-microhei p7zip-full libarchive-tools python3 zlib1g-dev libdeflate-dev
          g++-mingw-w64-x86-64-posix mingw-w64 wine wine64 locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The Windows tests run once under zh_CN.UTF-8 (Wine's code page 936) and once under
# en_US.UTF-8; both locales must exist.
need_locales=()
for l in zh_CN en_US; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$" || need_locales+=("$l")
done
if [ ${#need_locales[@]} -gt 0 ]; then
  for l in "${need_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i "s/^# *\($l\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  done
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
