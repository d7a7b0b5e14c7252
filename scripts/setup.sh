#!/usr/bin/env bash
# Installs the Debian packages Tagwright needs to build, run and test, skipping
# those already present. Safe to run again.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
  libqscintilla2-qt6-dev
  libpcre2-dev
  libx11-dev
  xvfb xdotool x11-utils xclip dbus at-spi2-core
  tidy libtidy-dev
  libhunspell-dev hunspell-en-us
  libgumbo-dev linkchecker
  desktop-file-utils dpkg-dev
  fonts-liberation
  ghostscript
  clang libclang-rt-14-dev lld
)
if [ "${TW_WITH_BENCHMARKS:-0}" = 1 ]; then
  packages+=(libbenchmark-dev ripgrep)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
