#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need (only those missing).
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev libcairo2-dev libpng-dev libfreetype-dev libx11-dev libxtst-dev libxrandr-dev nlohmann-json3-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth x11-utils
  clang libclang-rt-14-dev clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
