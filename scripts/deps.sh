#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, when missing.
# Sourced by run.sh, test.sh and bench/run.sh.
tintwell_need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null || true
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

TINTWELL_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libsdl2-dev libx11-dev libfreetype-dev fonts-dejavu-core libpng-dev libjpeg-dev libfontconfig-dev fonts-liberation2)
TINTWELL_TEST_PACKAGES=(libgtest-dev libgmock-dev libgif-dev xvfb xauth xdotool xclip imagemagick clang libclang-rt-14-dev)
TINTWELL_BENCH_PACKAGES=(libbenchmark-dev imagemagick gifsicle gnome-backgrounds linux-perf)
