#!/usr/bin/env bash
# Builds the .deb into a scratch folder and checks what it would install.
# Usage: package_test.sh BUILD_DIR INSTALLED_DATA_DIR
set -euo pipefail
build=$1
installed_data=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >/dev/null
deb=$(ls "$scratch"/*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/files"

fail() { echo "FAIL: $*"; exit 1; }
for f in /usr/bin/quenrow /usr/bin/quenrow-lookup /usr/share/applications/quenrow.desktop \
         /usr/share/icons/hicolor/scalable/apps/quenrow.svg \
         /usr/share/icons/hicolor/48x48/apps/quenrow.png \
         /usr/share/icons/hicolor/128x128/apps/quenrow.png \
         /usr/share/quenrow/quenrow-data/Water_liquid.psp \
         /usr/share/quenrow/quenrow-data/001-Hydrogen.ps \
         /usr/share/quenrow/quenrow-data/SOURCES.md; do
    grep -qx "$f" "$scratch/files" || fail "$f is not in the package"
done
tables=$(grep -cE '^/usr/share/quenrow/quenrow-data/.*\.psp?$' "$scratch/files")
[[ $tables -eq 74 ]] || fail "the package holds $tables material files, not 74"

dpkg-deb -x "$deb" "$scratch/root"
desktop="$scratch/root/usr/share/applications/quenrow.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
# Started anywhere, the programs fall back to the data folder they were built for.
[[ -f "$scratch/root$installed_data/Water_liquid.psp" ]] ||
    fail "the programs look for the data in $installed_data, the package puts it elsewhere"
grep -qx 'Exec=quenrow' "$desktop" || fail "unexpected Exec line"
dpkg-deb -f "$deb" Depends | grep -q qt6-qpa-plugins || fail "no dependency on the Qt platform plugins"
dpkg-deb -f "$deb" Depends | grep -q libqt6svg6 || fail "no dependency on Qt SVG"
lookup="$scratch/root/usr/bin/quenrow-lookup"
if ldd "$lookup" | grep -qi qt; then fail "quenrow-lookup loads Qt"; fi
answer=$(cd "$scratch" && "$lookup" --data "$scratch/root/usr/share/quenrow/quenrow-data" \
         Water_liquid.psp 150 --format csv | tail -1)
[[ $answer == 150,5.443,0.002001,5.445,15.77,15.76,* ]] || fail "quenrow-lookup answered: $answer"
echo "1 passed, 0 failed"
