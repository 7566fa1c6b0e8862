#!/usr/bin/env bash
# Installs the Debian packages that building and running need, only when one
# is missing; with --test also those of the tests, the benchmarks and the
# checks of the desktop files.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev zlib1g-dev libpcg-cpp-dev libhwy-dev
  fonts-liberation2   # the face the window's captions are measured for
  help2man            # the manual pages, made from the programs' --help
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils imagemagick inotify-tools
    bash-completion   # the completion of fenra-render, tried in a real shell
    desktop-file-utils appstream
    ffmpeg   # fenra-render --video, tried by the tests; optional for the program itself
    parallel hyperfine   # the parts of a render run side by side; the benchmarks of the whole command
    clang clang-format   # the sanitizer build and the format check
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
