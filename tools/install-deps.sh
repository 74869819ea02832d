#!/bin/sh
# Installs the Debian packages that building and testing Quiddity needs,
# and only those that are missing.  With --fixtures, also the tools that
# tests/fixtures/streams/make-fixtures.sh runs to rebuild its fixtures.
set -eu

PACKAGES="build-essential cmake pkg-config zlib1g-dev libglib2.0-dev libglib2.0-bin shared-mime-info libgtest-dev attr qt6-base-dev fonts-dejavu-core clang libclang-rt-14-dev binutils-mingw-w64-x86-64 libimage-exiftool-perl liblnk-utils file genisoimage python3-olefile strace libsmbclient-dev samba smbclient"
FIXTURE_PACKAGES="bzip2 ncompress gzip p7zip-full arj gcc-mingw-w64-i686 dosfstools hfsutils ffmpeg netpbm libjpeg-turbo-progs"
[ "${1:-}" = "--fixtures" ] && PACKAGES="$PACKAGES $FIXTURE_PACKAGES"

missing=""
for package in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
