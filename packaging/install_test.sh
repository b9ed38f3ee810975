#!/usr/bin/env bash
# Installs the build folder $1 into the fresh folder $2 and checks what a user's system
# would get: both programs, the menu entry with its Chinese name, the icon at every size,
# and valid menu entry, AppStream metadata and manual page.
set -euo pipefail
build=$1
root=$2
rm -rf "$root"
cmake --install "$build" --prefix "$root/usr" >/dev/null
fail() { echo "install_tree: $*" >&2; exit 1; }
for f in bin/tavelo bin/tavelo-cli share/applications/io.github.tavelo.Tavelo.desktop \
         share/metainfo/io.github.tavelo.Tavelo.metainfo.xml share/man/man1/tavelo-cli.1; do
  [ -e "$root/usr/$f" ] || fail "missing $f"
done
for side in 16 22 24 32 48 64 72 128 256; do
  png=$root/usr/share/icons/hicolor/${side}x${side}/apps/tavelo.png
  [ -s "$png" ] || fail "missing $png"
  # The PNG header's width and height fields (big-endian, at bytes 16 and 20).
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
                  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w" = "$side" ] && [ "$h" = "$side" ] || fail "$png is ${w}x${h}"
done
grep -qx 'Name\[zh_CN\]=Tavelo 光绘文件打包' "$root/usr/share/applications/io.github.tavelo.Tavelo.desktop" ||
  fail "no Chinese name"
grep -q '^Categories=.*Electronics;' "$root/usr/share/applications/io.github.tavelo.Tavelo.desktop" ||
  fail "not in the Electronics category"
desktop-file-validate "$root/usr/share/applications/io.github.tavelo.Tavelo.desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/io.github.tavelo.Tavelo.metainfo.xml"
warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$root/usr/share/man/man1/tavelo-cli.1" 2>&1)
[ -z "$warnings" ] || fail "manual page: $warnings"
"$root/usr/bin/tavelo-cli" --version | grep -q '^tavelo-cli 1.0' || fail "tavelo-cli --version"
echo "install_tree: ok"
