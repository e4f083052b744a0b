#!/bin/sh
# Installs the Debian packages the project builds with, when they are missing.
set -e
PACKAGES="cmake g++ make pkg-config libcups2-dev libcupsimage2-dev libpappl-dev libjpeg-dev libgtest-dev libbenchmark-dev libpng-dev cups cups-client cups-ipp-utils cups-filters ghostscript poppler-utils clang clang-format libclang-rt-14-dev time dpkg-dev curl"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
