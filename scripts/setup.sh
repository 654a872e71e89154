#!/bin/sh
# Installs the Debian packages Tralvesco needs to build, run and test.
# Quiet and idempotent: it does nothing when every package is present.
set -eu

PACKAGES="
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libqt6svg6
  libcurl4-openssl-dev nlohmann-json3-dev libgumbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format
  xvfb xauth xdotool x11-utils imagemagick
  qt6-translations-l10n desktop-file-utils appstream dpkg-dev file
  fonts-dejavu-core fonts-dejavu-extra fonts-wqy-microhei
  lintian help2man
"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
