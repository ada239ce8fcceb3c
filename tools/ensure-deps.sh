#!/usr/bin/env bash
# Installs the Debian packages the build, the reader and the tests need; does nothing when all are there.
set -euo pipefail

OFD_PACKAGES=(
  cmake g++ make pkg-config clang-format
  qtbase5-dev qtbase5-dev-tools qttools5-dev-tools libqt5svg5-dev qt5-image-formats-plugins
  libquazip1-qt5-dev zlib1g-dev libssl-dev openssl
  libjbig2dec0-dev libopenjp2-7-dev
  fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming fonts-liberation fonts-dejavu-core
  xvfb xauth poppler-utils
  cups cups-client printer-driver-cups-pdf
)

missing=()
for p in "${OFD_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  # New fonts must be known to fontconfig before the first test draws text.
  if command -v fc-cache >/dev/null; then fc-cache -f >/dev/null 2>&1 || true; fi
fi
