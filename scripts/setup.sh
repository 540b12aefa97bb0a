#!/usr/bin/env bash
# Installs what Quenrow needs to build and test on Debian 12 (only what is
# missing, in one apt-get line), then configures and builds build/.
# Run by run.sh, test.sh and the other scripts; extra packages as arguments.
set -euo pipefail

QUENROW_PACKAGES=(cmake g++ make pkgconf qt6-base-dev qt6-svg-dev qt6-qpa-plugins fonts-ipafont-gothic fonts-liberation
                  libqcustomplot-dev libgtest-dev libcli11-dev locales desktop-file-utils xvfb xauth
                  dpkg-dev help2man appstream lintian bash-completion)
QUENROW_PACKAGES+=("$@")

bash "$(dirname "$0")/install_packages.sh" "${QUENROW_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
