#!/bin/sh
# Checks a built package the way an administrator meets it: lintian reports no errors, the
# metainfo and the desktop entry are valid, apt-get installs it, and the installed program,
# started as the desktop entry starts it with a new user's home folder, shows its frame under a
# virtual X server and ends when asked to. Where OpenArena's data is installed, that first
# start must have imported its level pictures.
#
#   packaging/check-package.sh build-deb/corvane_1.0.0.28_amd64.deb
#
# Needs lintian, appstream, desktop-file-utils, xvfb, x11-utils and imagemagick; installs the
# package with apt-get (through sudo when not run as root). The screenshot of the frame is kept
# beside the package as installed-frame.png.
set -eu

deb=$(readlink -f "${1:?usage: check-package.sh PACKAGE.deb}")
here=$(dirname "$(readlink -f "$0")")
sudo=
[ "$(id -u)" = 0 ] || sudo=sudo
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

step() { printf '\n== %s\n' "$*"; }
fail() {
  echo "check-package: $*" >&2
  exit 1
}

step "lintian"
lintian --fail-on error --info "$deb"

step "metainfo and desktop entry"
dpkg-deb -x "$deb" "$scratch/contents"
appstreamcli validate --no-net "$scratch"/contents/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$scratch"/contents/usr/share/applications/*.desktop

step "apt-get install $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$deb"

step "the installed program under Xvfb"
entry=$(basename "$(ls "$scratch"/contents/usr/share/applications/*.desktop)")
command=$(sed -n 's/^Exec=//p' "/usr/share/applications/$entry")
[ -x "$command" ] || fail "the desktop entry starts $command, which is not installed"
home=$scratch/home
mkdir -p "$home"
(cd "$scratch" && env -u XDG_DATA_HOME -u CORVANE_HOME HOME="$home" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh "$here/../tests/support/show-frame.sh" "$command")
cat "$scratch/corvane.out"
[ "$(cat "$scratch/shown")" = yes ] || fail "no window named Corvane showed within 15 seconds"
cp "$scratch/shot.png" "$(dirname "$deb")/installed-frame.png"
[ "$(cat "$scratch/stopped")" = stopped ] || fail "the program did not end within 10 seconds of SIGTERM"
[ "$(cat "$scratch/status")" = 0 ] || fail "the program ended with status $(cat "$scratch/status")"
work=$home/.local/share/corvane
[ -f "$work/q3-default.ini" ] || fail "the first start did not seed $work"
if ls /usr/share/games/openarena/baseoa/*.pk3 >/dev/null 2>&1; then
  pictures=$(ls "$work/levels/Quake3" | grep -c '\.jpg$' || true)
  [ "$pictures" -ge 70 ] || fail "the first start imported $pictures level pictures from OpenArena's data"
  echo "$pictures level pictures imported from OpenArena's data"
fi
echo "check-package: $(basename "$deb") installs and starts; the frame is in $(dirname "$deb")/installed-frame.png"
