#!/usr/bin/env bash
# Builds the three .deb packages into a scratch folder and checks what they
# would install, their dependencies, and what lintian, appstreamcli and
# desktop-file-validate say of them (each checker when it is installed).
# Usage: package_test.sh BUILD_DIR INSTALLED_DATA_DIR
set -euo pipefail
build=$1
installed_data=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >/dev/null
data=$(ls "$scratch"/quenrow-data_*_all.deb) || fail "no quenrow-data package for architecture all"
lookup=$(ls "$scratch"/quenrow-lookup_*.deb) || fail "no quenrow-lookup package"
gui=$(ls "$scratch"/quenrow_*.deb) || fail "no quenrow package"

files() { dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./|/|'; }
has() { # PACKAGE FILE...
    local deb=$1 f
    shift
    files "$deb" >"$scratch/files"
    for f in "$@"; do
        grep -qx "$f" "$scratch/files" || fail "$f is not in $(basename "$deb")"
    done
}
for deb in "$data" "$lookup" "$gui"; do
    name=$(dpkg-deb -f "$deb" Package)
    has "$deb" "/usr/share/doc/$name/copyright" "/usr/share/doc/$name/changelog.gz"
done
has "$data" /usr/share/quenrow/quenrow-data/Water_liquid.psp /usr/share/quenrow/quenrow-data/001-Hydrogen.ps \
    /usr/share/doc/quenrow-data/SOURCES.md
tables=$(files "$data" | grep -cE '^/usr/share/quenrow/quenrow-data/.*\.psp?$')
[[ $tables -eq 74 ]] || fail "quenrow-data holds $tables material files, not 74"
if files "$data" | grep -qx /usr/share/quenrow/quenrow-data/SOURCES.md; then
    fail "SOURCES.md is documentation, outside /usr/share/doc"
fi
has "$lookup" /usr/bin/quenrow-lookup /usr/share/man/man1/quenrow-lookup.1.gz \
    /usr/share/bash-completion/completions/quenrow-lookup
icons=(/usr/share/icons/hicolor/scalable/apps/quenrow.svg)
for size in 16 22 24 32 48 64 128 256; do
    icons+=("/usr/share/icons/hicolor/${size}x$size/apps/quenrow.png")
done
has "$gui" /usr/bin/quenrow /usr/share/man/man1/quenrow.1.gz /usr/share/applications/quenrow.desktop \
    /usr/share/metainfo/invalid.quenrow.Quenrow.metainfo.xml "${icons[@]}"

# Dependencies: the command line alone pulls in no Qt and no fonts.
depends() { dpkg-deb -f "$1" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//'; }
if depends "$lookup" | grep -Eqi 'qt|font'; then
    fail "quenrow-lookup depends on $(depends "$lookup" | grep -Ei 'qt|font' | tr '\n' ' ')"
fi
depends "$lookup" | grep -qx quenrow-data || fail "quenrow-lookup does not depend on quenrow-data"
for needed in quenrow-data quenrow-lookup libqt6svg6 libqt6widgets6; do
    depends "$gui" | grep -qx "$needed" || fail "quenrow does not depend on $needed"
done
if depends "$gui" | grep -qx qt6-qpa-plugins; then fail "quenrow depends on qt6-qpa-plugins"; fi
dpkg-deb -f "$gui" Recommends | grep -q qt6-wayland || fail "quenrow does not recommend qt6-wayland"

for deb in "$data" "$lookup" "$gui"; do dpkg-deb -x "$deb" "$scratch/root"; done
root=$scratch/root
# The windows' program is GPL-3+ as built (it links QCustomPlot); the others are not.
grep -qx 'License: GPL-3+' "$root/usr/share/doc/quenrow/copyright" ||
    fail "the copyright of quenrow names no GPL-3+ for the program"
for name in quenrow-data quenrow-lookup; do
    if grep -q GPL "$root/usr/share/doc/$name/copyright"; then fail "$name's copyright names the GPL"; fi
done

desktop=$root/usr/share/applications/quenrow.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
grep -qx 'Exec=quenrow %f' "$desktop" || fail "unexpected Exec line"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/invalid.quenrow.Quenrow.metainfo.xml" >"$scratch/log" ||
        { cat "$scratch/log"; fail "appstreamcli refused the metainfo"; }
fi
# Started anywhere, the programs fall back to the data folder they were built for.
[[ -f "$root$installed_data/Water_liquid.psp" ]] ||
    fail "the programs look for the data in $installed_data, the package puts it elsewhere"

gzip -dc "$root/usr/share/man/man1/quenrow-lookup.1.gz" | grep -qF -- '\-\-range' ||
    fail "the manual page of quenrow-lookup has no --range"
gzip -dc "$root/usr/share/man/man1/quenrow-lookup.1.gz" | grep -q 'Water_liquid.psp 150' ||
    fail "the manual page of quenrow-lookup has no examples"

for program in quenrow quenrow-lookup; do # lintian has no tag for this one
    grep -q __stack_chk_fail <<<"$(nm -D "$root/usr/bin/$program")" || fail "$program has no stack protector"
done
lookup_binary=$root/usr/bin/quenrow-lookup
if ldd "$lookup_binary" | grep -qi qt; then fail "quenrow-lookup loads Qt"; fi
answer=$(cd "$scratch" && "$lookup_binary" --data "$root/usr/share/quenrow/quenrow-data" \
         Water_liquid.psp 150 --format csv | tail -1)
[[ $answer == 150,5.443,0.002001,5.445,15.77,15.76,* ]] || fail "quenrow-lookup answered: $answer"

if command -v lintian >/dev/null; then
    # No error or warning, and no hardening tag (fortify, relro, bindnow, PIE)
    # among the informational ones.
    lintian --display-info --pedantic "$data" "$lookup" "$gui" >"$scratch/lintian" 2>&1 || true
    if grep -Eq '^[EW]: |hardening-' "$scratch/lintian"; then
        cat "$scratch/lintian"
        fail "lintian"
    fi
fi
echo "1 passed, 0 failed"
