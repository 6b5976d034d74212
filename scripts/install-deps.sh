#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    fonts-liberation
    libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
    libgif-dev libwebp-dev
    clang libclang-rt-14-dev clang-format
    python3
    # The install test: the validators, and what cpack needs to find the package's libraries.
    desktop-file-utils appstream shared-mime-info dpkg-dev file
    # The framed window tests: a private X server and a small window manager.
    xvfb openbox
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
