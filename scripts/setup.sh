#!/usr/bin/env bash
# Installs every Debian package Umbrava needs to build, run, test, benchmark and fuzz.
# Idempotent: when everything is already installed it does nothing. Runs as root directly,
# and through sudo otherwise.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ clang libclang-rt-14-dev ccache pkg-config git
    # faster linkers: lld for clang, mold for gcc
    lld mold
    # tests and benchmarks; OpenSSL for the test HTTP server's TLS mode
    googletest libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
    # libraries the program links
    zlib1g-dev libpng-dev libjpeg62-turbo-dev libopenjp2-7-dev libogg-dev libvorbis-dev
    libsdl2-dev libx11-dev libcurl4-openssl-dev
    # the font converter in tools/
    libfreetype-dev fonts-dejavu-core
    # the art generators in tools/ (drawkit)
    libcairo2-dev
    # running the game without a display; the fonts of SDL's message boxes
    xvfb xauth xfonts-base
    # tests of the real desktop: input through XTEST, the cursor through XFixes
    libxtst-dev libxfixes-dev
    # test oracle only, never linked
    lua5.1
    # benchmark comparisons only, never linked into the program
    libpugixml-dev libpixman-1-dev libturbojpeg0-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
