#!/usr/bin/env bash
# quenrow-lookup's bash completion: what Tab offers after each command line.
# Usage: completion_test.sh COMPLETION_FILE QUENROW_LOOKUP DATA_DIR
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin" "$scratch/other"
ln -s "$2" "$scratch/bin/quenrow-lookup"
touch "$scratch/other/Mine.psp"
PATH=$scratch/bin:$PATH
cd "$3/.." || exit 2 # where ./quenrow-data is

# What Tab offers after LINE (its last word, maybe empty, is under the cursor), sorted.
offers() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1} COMPREPLY=()
    _quenrow_lookup quenrow-lookup "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

passed=0 failed=0
while IFS='|' read -r line expected; do
    got=$(offers "$line")
    # "..." at the end: these among other offers.
    if [[ $got == "$expected" || ($expected == *... && " $got" == *" ${expected%...}"*) ]]; then
        ((passed++))
    else
        echo "FAIL: '$line' offered '$got', not '$expected'"
        ((failed++))
    fi
done <<EOF_CASES
quenrow-lookup --form|--format 
quenrow-lookup --format |csv json text tsv 
quenrow-lookup --format c|csv 
quenrow-lookup Water_l|Water_liquid.psp 
quenrow-lookup 001-H|001-Hydrogen.ps 
quenrow-lookup --data $scratch/other M|Mine.psp 
quenrow-lookup --range 2 Polymethyl|Polymethyl_methacrylate.psp 
quenrow-lookup Water_liquid.psp |
quenrow-lookup --h|--help ...
quenrow-lookup Water_liquid.psp --l|--linear --list ...
quenrow-lookup --layer 013-Al|013-Aluminum.ps: 
quenrow-lookup --layer 013-Aluminum.ps:5mm |
quenrow-lookup --la|--layer 
EOF_CASES
echo "$passed passed, $failed failed"
((failed == 0))
