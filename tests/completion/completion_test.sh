#!/usr/bin/env bash
# Shell completion, run in bash (and zsh) themselves against the built
# programs: the words bash hands the completion function, the candidates it
# gives back.
# Usage: completion_test.sh SOURCE_DIR BIN_DIR
set -uo pipefail
src=$1
bin=$2
failures=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$src/examples" "$work/folder"
printf '[Ports]\r\nCOM5=%s/board\r\n' "$work" >"$work/folder/Customize.ini"
mkdir -p "$work/files/sub" "$work/fake"
touch "$work/files/"{a.mhx,b.CNV,c.ahx,d.hex,e.txt}
# A program whose --help has an option no other has: the options are read
# from the help, not from a list in the script (and not from its asides).
printf '#!/bin/sh\necho "  --frobnicate FILE  (or -z)"\n' >"$work/fake/quillon-cli"
chmod +x "$work/fake/quillon-cli"
export QUILLON_HOME=$work/folder
cd "$work/files"

# shellcheck source=/dev/null
source "$src/packaging/completion/quillon.bash"

# check exact|has WORD... -- EXPECTED...: the words as bash splits them (the
# last is the one being completed) give exactly EXPECTED, or at least it.
check() {
    local how=$1 got want
    shift
    local -a words=()
    while [ "$1" != "--" ]; do words+=("$1"); shift; done
    shift
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMPREPLY=()
    _quillon
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    want=$(printf '%s\n' "$@" | sort)
    [ "$how" = has ] && got=$(comm -12 <(echo "$got") <(echo "$want"))
    if [ "$got" != "$want" ]; then
        echo "FAILED: ${words[*]}<TAB>: expected ($how)" $want ", got" $got
        failures=$((failures + 1))
    fi
}

cli=$bin/quillon-cli
sim=$bin/quillon-sim
check has "$cli" --ch -- --chip --checksum
check exact "$sim" --pa -- --pace
check exact "$work/fake/quillon-cli" - -- --frobnicate
check exact "$work/fake/quillon-cli" --frobnicate a -- a.mhx
check exact "$cli" -c TC37 -- TC370 TC371
check exact "$cli" --program-dir "$work/folder" --chip = TC37 -- TC370 TC371
check exact "$sim" --chip = "" -- TC370 TC371 TC350 TC301 TC328 TC304 TC310 TC326 TC337
check exact "$cli" --chip TC371 --crystal "" -- 8MHz 16MHz
check has "$cli" --port "" -- com5 "$work/board"
check has "$cli" --gang com5, -- com5,com5 "com5,$work/board"
check exact "$cli" "" -- a.mhx b.CNV c.ahx d.hex sub
check exact "$cli" --hex = "" -- a.mhx b.CNV c.ahx d.hex sub
check exact "$cli" a.mhx no -- no_reset
check exact "$cli" --checksum FF "" -- a.mhx b.CNV c.ahx d.hex sub

if [ "$(complete -p quillon-cli quillon-sim | grep -c -- '-F _quillon ')" != 2 ]; then
    echo "FAILED: quillon-cli and quillon-sim are not both completed by _quillon"
    failures=$((failures + 1))
fi

# zsh: its completion asks bash for the candidates and hands them to compadd,
# the value alone after --opt=.
if command -v zsh >/dev/null; then
    mkdir -p "$work/zsh"
    sed "s|@QUILLON_BASH_COMPLETION@|$src/packaging/completion/quillon.bash|" \
        "$src/packaging/completion/_quillon.zsh.in" >"$work/zsh/_quillon-cli"
    got=$(zsh -f -c 'fpath=("$1" $fpath); autoload -Uz _quillon-cli
        compadd() { print -r -- "$IPREFIX|$PREFIX|$*" }
        words=("$2" --chip=TC37); CURRENT=2; PREFIX=--chip=TC37; IPREFIX=; _quillon-cli' \
        zsh "$work/zsh" "$cli")
    if [ "$got" != "--chip=|TC37|-- TC370 TC371" ]; then
        echo "FAILED: zsh --chip=TC37<TAB> gave: $got"
        failures=$((failures + 1))
    fi
else
    echo "FAILED: zsh is missing; run scripts/bootstrap"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "completion: all cases pass"
exit $((failures > 0))
