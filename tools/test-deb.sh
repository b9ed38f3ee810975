#!/usr/bin/env bash
# Builds Tavelo's Debian package and tries it on a fresh Debian 12 root, as a new user
# would: debootstrap a minimal bookworm into a folder, "apt install ./tavelo_*.deb" there
# (recommended packages left out, so only the declared dependencies count), then as an
# ordinary user run "tavelo-cli --version", start the window with the menu entry's command
# under Xvfb, take a screenshot, close the window with its 关闭 button and check that the
# settings landed in ~/.config/tavelo/. Needs root (debootstrap, chroot) and the network;
# downloads about 300 MB. Not part of ./test.sh.
#
#   sudo tools/test-deb.sh [ROOT_FOLDER]     (default /var/tmp/tavelo-deb-root)
#
# Leaves the screenshot in build-release/deb-test-window.png and removes the root folder
# unless KEEP_ROOT=1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-/var/tmp/tavelo-deb-root}
[ "$(id -u)" -eq 0 ] || { echo "tools/test-deb.sh needs root (debootstrap and chroot)" >&2; exit 1; }

# The Debian mirror that this machine's apt uses (deb822 "URIs:" or a one-line "deb" entry).
mirror=$(grep -hs -E '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/* |
         grep -v -- '-security' | grep -o -E 'https?://[^ ]+' | head -n1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
echo "== mirror: $mirror"

command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap
command -v dpkg-shlibdeps >/dev/null || apt-get install -y -qq --no-install-recommends dpkg-dev
command -v convert >/dev/null || apt-get install -y -qq --no-install-recommends imagemagick

echo "== building the package"
tools/install-deps.sh
nice cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
nice cmake --build build-release -j2
rm -f build-release/tavelo_*.deb
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/tavelo_*.deb)
dpkg-deb --field "$deb" Package Version Depends

cleanup() {
  for m in proc dev; do
    if mountpoint -q "$root/$m"; then umount -R "$root/$m"; fi
  done
  [ "${KEEP_ROOT:-0}" = 1 ] || rm -rf "$root"
}
trap cleanup EXIT

echo "== debootstrap bookworm into $root"
rm -rf "$root"
debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
echo "== apt install ./$(basename "$deb")"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "./tmp/$(basename "$deb")"
# Before anything else is installed: every library of the programs and of Qt's X11
# platform plugin is present, so the declared dependencies alone are enough.
missing_libs=$(in_root sh -c 'ldd /usr/bin/tavelo /usr/bin/tavelo-cli \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so' | grep "not found" || true)
[ -z "$missing_libs" ] || { echo "missing libraries: $missing_libs" >&2; exit 1; }
echo "== every library of tavelo, tavelo-cli and the xcb plugin is installed"
# What the test itself needs to look at the window; not what Tavelo needs.
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  xvfb xauth x11-apps xdotool
in_root useradd -m tester

as_tester() { in_root su - tester -c "$1"; }
echo "== tavelo-cli --version"
as_tester 'tavelo-cli --version'
as_tester 'mkdir -p board && echo "G04*" > board/b.GTL && tavelo-cli --plan --save --layers GTL board'
as_tester 'test -f ~/.config/tavelo/tavelo.ini && grep -a "GTL:TRUE" ~/.config/tavelo/tavelo.ini'

echo "== the menu entry's command under Xvfb"
exec_line=$(grep '^Exec=' "$root/usr/share/applications/io.github.tavelo.Tavelo.desktop" | cut -d= -f2-)
as_tester "rm -f ~/.config/tavelo/tavelo.ini; xvfb-run -a -s '-screen 0 1100x850x24' sh -c '
  $exec_line & sleep 6
  xwd -root -silent > /tmp/window.xwd
  id=\$(xdotool search --name \"Tavelo v1.0\" | head -n1)
  xdotool mousemove --window \$id 552 496 click 1
  sleep 2
  kill \$! 2>/dev/null && echo \"window still open after 关闭\" && exit 1
  exit 0'"
as_tester 'test -f ~/.config/tavelo/tavelo.ini && echo "window saved ~/.config/tavelo/tavelo.ini"'
convert "$root/tmp/window.xwd" build-release/deb-test-window.png
echo "== done: screenshot in build-release/deb-test-window.png"
