#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Idempotent: quiet and quick when everything is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  openssl ca-certificates
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
  libqt6sql6-ibase qtkeychain-qt6-dev
  dbus gnome-keyring libsecret-1-0
  xvfb xauth
  desktop-file-utils appstream lintian
  qt6-translations-l10n
  cups cups-filters poppler-utils
  clang-14 libclang-rt-14-dev clang-format-14 ccache e2fsprogs util-linux
  time openssl
  radicale
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
