#!/usr/bin/env bash
# Installs what Quenrow needs to build and test on Debian 12 (only what is
# missing, in one apt-get line), then configures and builds build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

QUENROW_PACKAGES=(cmake g++ make pkgconf qt6-base-dev qt6-qpa-plugins fonts-ipafont-gothic fonts-liberation
                  libgtest-dev locales desktop-file-utils)
QUENROW_PACKAGES+=("$@")

missing=()
for package in "${QUENROW_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
