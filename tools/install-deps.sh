#!/usr/bin/env bash
# Installs what building, running and testing Tavelo need on Debian 12, and nothing that is
# already there: the Linux build, the Windows cross build (MinGW-w64, GoogleTest's sources
# built for the target) and Wine to run its tests, and the Chinese locale those tests use.
# Used by run.sh and test.sh. Installs as root, or through sudo; with neither, stops and
# says which packages are missing and the one command that installs them.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev googletest libgtest-dev
          fonts-wqy-microhei p7zip-full libarchive-tools python3 zlib1g-dev libdeflate-dev
          g++-mingw-w64-x86-64-posix mingw-w64 wine wine64 locales
          bsdutils util-linux desktop-file-utils appstream groff-base)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The Windows tests run once under zh_CN.UTF-8 (Wine's code page 936) and once under
# en_US.UTF-8; both locales must exist.
need_locales=()
for l in zh_CN en_US; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$" || need_locales+=("$l")
done
[ ${#missing[@]} -eq 0 ] && [ ${#need_locales[@]} -eq 0 ] && exit 0

locale_command=""
for l in "${need_locales[@]}"; do
  locale_command+="sed -i 's/^# *\\($l\\.UTF-8 UTF-8\\)/\\1/' /etc/locale.gen && "
done
[ ${#need_locales[@]} -gt 0 ] && locale_command+="locale-gen"
install_command="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  cat >&2 <<MESSAGE
Tavelo needs these Debian packages or locales, which are not installed:

    ${missing[*]} ${need_locales[*]}

This account is not root and sudo is not installed, so they cannot be installed from here.
Run this one command (it asks for the root password), then run ./run.sh or ./test.sh again:

    su -c "$install_command${locale_command:+ && $locale_command}"
MESSAGE
  exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for l in "${need_locales[@]}"; do
  "${as_root[@]}" sed -i "s/^# *\($l\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
done
[ ${#need_locales[@]} -gt 0 ] && "${as_root[@]}" locale-gen >/dev/null
exit 0
