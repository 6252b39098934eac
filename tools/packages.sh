#!/usr/bin/env bash
# Installs the Debian packages that Tarnwick needs. Usage: tools/packages.sh run|test
set -euo pipefail
run_pkgs=(build-essential cmake pkg-config libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev
          libfontconfig-dev fonts-liberation2 fonts-dejavu-core libcurl4-openssl-dev
          nlohmann-json3-dev xdg-utils)
test_pkgs=(googletest libgtest-dev libgmock-dev libbenchmark-dev nginx-light faketime xvfb
           clang libclang-rt-14-dev jq xdotool libx11-dev)
pkgs=("${run_pkgs[@]}")
[ "${1:-run}" = test ] && pkgs+=("${test_pkgs[@]}")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
