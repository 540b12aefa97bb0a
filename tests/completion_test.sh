#!/usr/bin/env bash
# quenrow-lookup's bash completion: what Tab offers after each command line.
# Usage: completion_test.sh COMPLETION_FILE QUENROW_LOOKUP DATA_DIR
set -uo pipefail
completion=$1
program=$2
data=$3
source /usr/share/bash-completion/bash_completion
source "$completion"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin" "$scratch/other"
ln -s "$program" "$scratch/bin/quenrow-lookup"
PATH=$scratch/bin:$PATH
touch "$scratch/other/Mine.psp"

# Offers LINE (the word under the cursor is its last, maybe empty): COMPREPLY.
offers() {
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$1 COMP_POINT=${#1}
    COMPREPLY=()
    _quenrow_lookup quenrow-lookup "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

passed=0 failed=0
check() { # LINE EXPECTED(space-separated, sorted)
    local got
    got=$(cd "$data/.." && offers "$1")
    if [[ $got == "$2" ]]; then
        ((passed++))
    else
        echo "FAIL: '$1' offered '$got', not '$2'"
        ((failed++))
    fi
}
has() { # LINE WORD: WORD is among the offers
    local got
    got=$(cd "$data/.." && offers "$1")
    if [[ " $got" == *" $2 "* ]]; then ((passed++)); else
        echo "FAIL: '$1' offered '$got', without '$2'"
        ((failed++))
    fi
}

check "quenrow-lookup --form" "--format "
check "quenrow-lookup --format " "csv json text tsv "
check "quenrow-lookup --format c" "csv "
check "quenrow-lookup Water_l" "Water_liquid.psp "
check "quenrow-lookup 001-H" "001-Hydrogen.ps "
check "quenrow-lookup --data $scratch/other M" "Mine.psp "
check "quenrow-lookup Water_liquid.psp " ""
check "quenrow-lookup --range 2 Polymethyl" "Polymethyl_methacrylate.psp "
has "quenrow-lookup --" "--range"
has "quenrow-lookup --" "--help"
has "quenrow-lookup Water_liquid.psp --l" "--linear"
echo "$passed passed, $failed failed"
((failed == 0))
