#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The data layer, its tests and the fuzz targets as replay drivers, built with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-asan, then run:
# every test, and every input of the fuzz corpus once.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize
