#!/usr/bin/env bash
# Installs every Debian package Korvane needs to build, run and test.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6sql6-sqlite qt6-multimedia-dev qt6-webengine-dev libgl-dev qtkeychain-qt6-dev qt6-httpserver-dev qt6-websockets-dev
  fonts-dejavu-core
  clang libclang-rt-14-dev lld
  libc-ares-dev
  nginx-light tinyproxy python3 python3-aiosmtpd curl openssl dbus-daemon prometheus
  dnsmasq-base dnsperf
  xvfb openbox libxcb1-dev libxcb-xtest0-dev
  librsvg2-bin desktop-file-utils appstream dpkg-dev file lintian
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
