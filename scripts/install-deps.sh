#!/bin/sh
# Installs, from Debian's own packages, everything a bare Debian 12 lacks to build and test
# the installer: host compilers and tools, the MinGW-w64 cross compilers, Wine (64-bit and
# 32-bit), a virtual display, fonts that render the wizard's Chinese text, and the release's
# signing tools.
set -eu
export DEBIAN_FRONTEND=noninteractive
dpkg --add-architecture i386
apt-get update -q
apt-get install -y -q --no-install-recommends \
  ca-certificates git cmake ninja-build g++ clang libclang-rt-14-dev \
  googletest libgtest-dev cppcheck clang-tidy clang-format \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
  wine wine64 wine32:i386 xvfb xauth fonts-wqy-microhei fonts-wine imagemagick procps \
  python3 osslsigncode openssl
