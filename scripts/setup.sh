#!/usr/bin/env bash
# Installs the Debian packages that are missing: those the browser needs to
# be built and to run, and with --test also those only the tests and the
# package check use. No system service is started or enabled on the way: the
# tests run their own private POP3 server on a loopback port.
set -euo pipefail

build_packages=(cmake ninja-build ccache g++ pkg-config qt6-base-dev qt6-webengine-dev
                qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n libgl-dev)
# The POP3 server of the mail tests, the checks of the desktop entry and the
# AppStream data, and what makes and checks the Debian package.
test_packages=(dovecot-pop3d desktop-file-utils appstream dpkg-dev file lintian)
# The services the POP3 server package would run for the whole machine.
dovecot_units=(dovecot.service dovecot.socket)

case "${1:-}" in
    "") packages=("${build_packages[@]}") ;;
    --test) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 [--test]" >&2
        exit 2
        ;;
esac

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
had_dovecot=0
installed dovecot-core && had_dovecot=1

# While the packages are installed, invoke-rc.d asks policy-rc.d, and the
# answer 101 forbids every start. An existing policy is put back afterwards.
policy=/usr/sbin/policy-rc.d
saved=""
restore_policy() {
    if [ -n "$saved" ]; then
        $SUDO mv -f "$saved" "$policy"
    else
        $SUDO rm -f "$policy"
    fi
}
if [ -e "$policy" ]; then
    saved="$policy.orvane-saved"
    $SUDO mv -f "$policy" "$saved"
fi
trap restore_policy EXIT
printf '#!/bin/sh\n# No service starts while Orvane'"'"'s packages are installed.\nexit 101\n' |
    $SUDO tee "$policy" >/dev/null
$SUDO chmod 755 "$policy"

echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"

# A POP3 server installed here only for the tests is not enabled either (one
# the machine had before stays as it was).
if [ "$had_dovecot" -eq 0 ] && installed dovecot-core; then
    if command -v deb-systemd-helper >/dev/null; then
        $SUDO deb-systemd-helper disable "${dovecot_units[@]}" >/dev/null 2>&1 || true
    fi
    if command -v update-rc.d >/dev/null && [ -e /etc/init.d/dovecot ]; then
        $SUDO update-rc.d dovecot disable >/dev/null 2>&1 || true
    fi
fi
