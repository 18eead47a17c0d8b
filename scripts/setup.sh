#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when missing.
# As root it installs them; otherwise it prints the apt-get line and stops.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libbenchmark-dev
  libboost-dev libboost-thread-dev libboost-date-time-dev
  portaudio19-dev libasound2-dev libjack-jackd2-dev
  jackd2 libasound2-plugins
  libutfcpp-dev
  libsndfile1-dev libsoxr-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages; install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
