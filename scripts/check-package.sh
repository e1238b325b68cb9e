#!/usr/bin/env bash
# Builds the Debian package from the build folder (build/ or $BUILD_DIR),
# checks it with lintian (any error or warning fails), installs it, checks
# that the installed programs run from /usr, and removes the package again.
# Runs as root or as a user with sudo; lintian comes with scripts/setup.sh
# --test.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
# How long the installed browser may take to come up and to end.
START_SECONDS=90
END_SECONDS=30

fail() {
    echo "check-package: $*" >&2
    exit 1
}

package_status() {
    dpkg-query -W -f='${Status}' orvane 2>/dev/null || true
}
if [ "$(package_status)" = "install ok installed" ]; then
    fail "orvane is installed already; remove it first (apt-get remove orvane)"
fi

rm -f "$BUILD_DIR"/orvane_*.deb
(cd "$BUILD_DIR" && cpack -G DEB) >"$BUILD_DIR/cpack.log" 2>&1 ||
    { cat "$BUILD_DIR/cpack.log" >&2; fail "cpack failed"; }
debs=("$BUILD_DIR"/orvane_*.deb)
{ [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ]; } || fail "no single orvane_*.deb in $BUILD_DIR"
deb=$(realpath "${debs[0]}")
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Package: $(basename "$deb")"
echo "Depends: $depends"

recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"

has() { grep -Eq "(^|, )$1( |,|$)" <<<"$2"; }
# The dependencies: the Qt runtime found by dpkg-shlibdeps, no build packages;
# Qt's German texts are recommended.
for needed in libqt6core6 libqt6widgets6 libqt6webenginewidgets6 libqt6multimedia6; do
    has "$needed" "$depends" || fail "Depends lacks $needed"
done
has qt6-translations-l10n "$recommends" || fail "Recommends lacks qt6-translations-l10n"
! has qt6-translations-l10n "$depends" || fail "Depends names qt6-translations-l10n"
if grep -Eq -- "-dev( |,|$)" <<<"$depends"; then
    fail "Depends names a development package"
fi
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/orvane ./usr/bin/orvane-data ./usr/lib/orvane/modules/orvane-sound.so \
            ./usr/share/orvane/search.html \
            ./usr/share/applications/orvane.desktop ./usr/share/man/man1/orvane.1.gz \
            ./usr/share/man/man1/orvane-data.1.gz ./usr/share/metainfo/org.orvane.Orvane.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/orvane.svg ./usr/share/doc/orvane/copyright \
            ./usr/share/doc/orvane/changelog.gz; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done

# What a Debian maintainer checks: lintian finds no error and no warning.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/setup.sh --test)"
lintian --fail-on error,warning --tag-display-limit 0 "$deb" ||
    fail "lintian reports errors or warnings"

work=$(mktemp -d)
installed=0
browser=""
cleanup() {
    if [ -n "$browser" ] && kill -0 "$browser" 2>/dev/null; then
        kill -KILL "$browser" 2>/dev/null || true
    fi
    if [ "$installed" -eq 1 ]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq orvane >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# apt reads the file as its own user: a copy it can read spares the warning.
# Only the hard dependencies come along, so the check shows they suffice.
cp "$deb" "$work/"
chmod 755 "$work"
chmod 644 "$work/$(basename "$deb")"
installed=1
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$work/$(basename "$deb")" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install failed"; }

# The programs and the sound module are hardened (read-only relocations
# bound at start; the programs' calls fortified) and carry no compiler notes.
for program in /usr/bin/orvane /usr/bin/orvane-data /usr/lib/orvane/modules/orvane-sound.so; do
    # (Read whole first: grep -q would end the pipe early.)
    elf=$(readelf -lSdW --dyn-syms "$program")
    grep -q GNU_RELRO <<<"$elf" || fail "$program lacks read-only relocations"
    grep -Eq "BIND_NOW|FLAGS_1.*NOW" <<<"$elf" || fail "$program is not bound at start"
    [[ "$program" == *.so ]] || grep -q "__[a-z_]*_chk@" <<<"$elf" ||
        fail "$program has no fortified calls"
    ! grep -q " \.comment " <<<"$elf" || fail "$program keeps its .comment section"
done

# The programs answer from their installed place.
[ "$(/usr/bin/orvane --version)" = "Orvane $version" ] || fail "orvane --version is not Orvane $version"
/usr/bin/orvane-data --help >/dev/null || fail "orvane-data --help failed"
desktop-file-validate /usr/share/applications/orvane.desktop || fail "installed desktop entry"
if command -v man >/dev/null && [ -f /usr/share/man/man1/orvane.1.gz ]; then
    man -w orvane >/dev/null || fail "man -w orvane finds no page"
fi

# A headless start in a fresh account: the browser comes up, makes its data
# folder, ends in order on SIGTERM with exit code 0 and has saved preferences
# that point into the installed program folder.
home="$work/home"
mkdir -p "$home" "$work/tmp" "$work/run"
chmod 700 "$work/run"
data="$home/Documents/OrvaneData-$version"
env_vars=(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
          XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/run" TMPDIR="$work/tmp"
          QT_QPA_PLATFORM=offscreen
          QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update")
[ "$(id -u)" -ne 0 ] || env_vars+=(QTWEBENGINE_DISABLE_SANDBOX=1)
(cd "$work" && exec env -u DISPLAY -u WAYLAND_DISPLAY "${env_vars[@]}" /usr/bin/orvane) \
    >"$work/orvane.log" 2>&1 &
browser=$!

# Up means: the web engine's helper runs under it, so the event loop and the
# signal handling are in place.
engine_up() {
    local status
    for status in /proc/[0-9]*/status; do
        grep -qx "PPid:[[:space:]]*$browser" "$status" 2>/dev/null &&
            grep -qx "Name:[[:space:]]*QtWebEngineProc" "$status" 2>/dev/null && return 0
    done
    return 1
}
deadline=$((SECONDS + START_SECONDS))
until [ -d "$data" ] && engine_up; do
    if ! kill -0 "$browser" 2>/dev/null; then
        cat "$work/orvane.log" >&2
        fail "the installed browser ended by itself"
    fi
    [ $SECONDS -lt $deadline ] || { cat "$work/orvane.log" >&2; fail "the browser did not come up"; }
    sleep 0.5
done
kill -TERM "$browser"
deadline=$((SECONDS + END_SECONDS))
while kill -0 "$browser" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || { cat "$work/orvane.log" >&2; fail "the browser did not end on SIGTERM"; }
    sleep 0.2
done
code=0
wait "$browser" || code=$?
browser=""
[ "$code" -eq 0 ] || { cat "$work/orvane.log" >&2; fail "the browser ended with exit code $code"; }
[ -f "$data/Pref.orp" ] || fail "no preferences saved in $data"
prefs=$(env "${env_vars[@]}" /usr/bin/orvane-data dump "$data/Pref.orp") ||
    fail "orvane-data cannot read the saved preferences"
grep -q "/usr/share/orvane/" <<<"$prefs" ||
    fail "the saved preferences do not point into /usr/share/orvane"

DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq orvane >/dev/null
installed=0
[ "$(package_status)" != "install ok installed" ] || fail "orvane stays installed"
echo "check-package: $(basename "$deb") installs, runs and goes again (${SECONDS}s)"
