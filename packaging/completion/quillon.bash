# bash completion for quillon-cli and quillon-sim.
#
# The options are read from the program's own --help each time, so that they
# follow the installed version: every word of it that starts with '-'. Chips
# and crystals come from `quillon-cli --list` (the program folder's
# CHIPDEF.INI, or the --program-dir given on the line), ports from
# `quillon-cli --list-ports`, hex files by their extensions (.mhx .cnv .ahx
# .hex). Values may be given as --opt value or --opt=value.

# The program's options, one a line, and after each one that its help shows
# with a value placeholder (--hex FILE) a second word "=": `_quillon_options
# PROGRAM`. What the help says in parentheses is an aside ("(--opt VALUE or
# --opt=VALUE)"), no option of its own.
_quillon_options() {
    local word next
    local -a words
    read -r -d '' -a words < <(timeout 5 "$1" --help 2>/dev/null </dev/null |
        sed -z 's/([^()]*)/ /g' | tr '[],|' '    ')
    local i
    for ((i = 0; i < ${#words[@]}; i++)); do
        word=${words[i]%%[=.:;]*}
        [[ $word =~ ^--?[A-Za-z][A-Za-z0-9-]*$ ]] || continue
        printf '%s\n' "$word"
        next=${words[i + 1]-}
        [[ $next =~ ^[A-Z][A-Z0-9_]*$ && ${words[i]} != *=* ]] && printf '=\n'
    done
}

# The quillon-cli that goes with the program being completed: itself, or the
# one beside it, else the one on PATH.
_quillon_cli_of() {
    local prog=$1
    [[ $prog == "~/"* ]] && prog=$HOME/${prog#"~/"}
    if [[ ${prog##*/} == quillon-cli ]]; then
        printf '%s' "$prog"
    elif [[ $prog == */* && -x ${prog%/*}/quillon-cli ]]; then
        printf '%s' "${prog%/*}/quillon-cli"
    else
        printf 'quillon-cli'
    fi
}

# What a value of OPTION is: chip crystal port ports hex dir file areas none
# (or empty when the option takes none). `_quillon_value_kind PROGRAM OPTION
# INDEX` (INDEX: the value's place, 0 for the first).
_quillon_value_kind() {
    local crystal=crystal
    [[ ${1##*/} == quillon-sim ]] && crystal=none  # an index there
    case $2:$3 in
        --program-dir:0) echo dir ;;
        --chip:0 | -c:0) echo chip ;;
        --crystal:0 | -x:0) echo "$crystal" ;;
        --port:0 | -p:0) echo port ;;
        --gang:0) echo ports ;;
        --hex:0 | --decode:0 | --checksum:1) echo hex ;;
        --checksum:0) echo fill ;;
        --areas:0) echo areas ;;
        --json:0 | --trace:0 | --copy:0 | --copy-ihex:0 | --decode:1 | --flash:0 | --link:0 | --key:0)
            echo file ;;
        --reset-sequence:0 | --run-sequence:0 | --fault:0 | --erase-ms:0 | --blank-ms:0) echo none ;;
    esac
}

# How many values OPTION takes: the known ones by name, any other by the
# placeholder its help shows.
_quillon_value_count() {
    local n=0
    while [[ -n $(_quillon_value_kind "$1" "$2" "$n") ]]; do n=$((n + 1)); done
    if ((n == 0)) && [[ $'\n'$3$'\n' == *$'\n'"$2"$'\n=\n'* ]]; then n=1; fi
    echo "$n"
}

# Appends the lines of standard input to COMPREPLY, each once (a file name
# may hold spaces).
_quillon_add() {
    local line seen
    while IFS= read -r line; do
        for seen in "${COMPREPLY[@]}"; do [[ $seen == "$line" ]] && continue 2; done
        COMPREPLY+=("$line")
    done
}

# The candidates for CUR as a value of KIND, into COMPREPLY; `files` in
# _quillon_filenames when they are file names.
_quillon_values() {
    local kind=$1 cur=$2 cli=${3-} dir=${4-} chip=${5-}
    local -a folder=()
    [[ -n $dir ]] && folder=(--program-dir "$dir")
    case $kind in
        chip)
            _quillon_add < <(compgen -W "$(timeout 5 "$cli" "${folder[@]}" --list 2>/dev/null \
                </dev/null | sed -n 's/^[* ] \([^ :]*\):.*/\1/p')" -- "$cur") ;;
        crystal)
            # The crystals of the chip on the line, else of every chip.
            _quillon_add < <(compgen -W "$(timeout 5 "$cli" "${folder[@]}" --list 2>/dev/null \
                </dev/null | awk -v chip="${chip^^}" '{ sub(/^[* ] /, ""); name = $1
                    sub(/:$/, "", name); if (chip != "" && name != chip) next
                    for (i = 2; i <= NF; i++) { sub(/^\*/, "", $i); print $i } }' | sort -u)" \
                -- "$cur") ;;
        port | ports)
            local before=""
            if [[ $kind == ports && $cur == *,* ]]; then
                before=${cur%,*},
                cur=${cur##*,}
            fi
            _quillon_add < <(compgen -W "$(timeout 5 "$cli" "${folder[@]}" --list-ports \
                2>/dev/null </dev/null | awk '
                /^\// { print $1; for (i = 2; i <= NF; i++) if ($i ~ /^COM[0-9]/) {
                        n = split($i, c, ","); for (k = 1; k <= n; k++) print tolower(c[k]) } }
                /^ +by-id: / { print $2 }')" -- "$cur")
            # A path not listed (a pseudo-terminal, a link to one) as a file.
            [[ $cur == */* ]] && _quillon_add < <(compgen -f -- "$cur")
            local i
            for i in "${!COMPREPLY[@]}"; do COMPREPLY[i]=$before${COMPREPLY[i]}; done ;;
        hex)
            _quillon_filenames=files
            _quillon_add < <(compgen -d -- "$cur")
            local ext
            for ext in '[mM][hH][xX]' '[cC][nN][vV]' '[aA][hH][xX]' '[hH][eE][xX]'; do
                _quillon_add < <(compgen -f -X "!*.$ext" -- "$cur")
            done ;;
        dir)
            _quillon_filenames=files
            _quillon_add < <(compgen -d -- "$cur") ;;
        file)
            _quillon_filenames=files
            _quillon_add < <(compgen -f -- "$cur") ;;
        areas) _quillon_add < <(compgen -W "main work main,work" -- "$cur") ;;
        fill) _quillon_add < <(compgen -W "FF 00" -- "$cur") ;;
    esac
}

# The candidates for the last of WORDS (the command line up to the cursor,
# with --opt=value kept whole) into COMPREPLY: `_quillon_words WORD...`.
_quillon_words() {
    local -a words=("$@")
    local prog=${words[0]} cur=${words[-1]}
    local cli help dir="" chip="" option="" kind="" i k=0
    cli=$(_quillon_cli_of "$prog")
    help=$(_quillon_options "$prog")
    _quillon_filenames=""
    COMPREPLY=()
    local options_end=0 pending=0 positional=0
    for ((i = 1; i < ${#words[@]} - 1; i++)); do
        local w=${words[i]}
        if ((pending > 0)); then
            case $option in
                --program-dir) dir=$w ;;
                --chip | -c) chip=$w ;;
            esac
            k=$((k + 1))
            pending=$((pending - 1))
            continue
        fi
        if ((!options_end)) && [[ $w == -?* ]]; then
            [[ $w == -- ]] && options_end=1 && continue
            if [[ $w == *=* ]]; then
                case ${w%%=*} in
                    --program-dir) dir=${w#*=} ;;
                    --chip | -c) chip=${w#*=} ;;
                esac
                continue
            fi
            option=$w
            k=0
            pending=$(_quillon_value_count "$prog" "$w" "$help")
            continue
        fi
        positional=$((positional + 1))
    done
    [[ $dir == "~/"* ]] && dir=$HOME/${dir#"~/"}
    if ((pending > 0)); then
        _quillon_values "$(_quillon_value_kind "$prog" "$option" "$k")" "$cur" "$cli" "$dir" "$chip"
        [[ $(_quillon_value_count "$prog" "$option" "$help") -gt 0 &&
            -z $(_quillon_value_kind "$prog" "$option" 0) ]] && _quillon_values file "$cur"
        return
    fi
    if ((!options_end)) && [[ $cur == -*=* ]]; then
        option=${cur%%=*}
        kind=$(_quillon_value_kind "$prog" "$option" 0)
        [[ -z $kind && $(_quillon_value_count "$prog" "$option" "$help") -gt 0 ]] && kind=file
        _quillon_values "$kind" "${cur#*=}" "$cli" "$dir" "$chip"
        return
    fi
    if ((!options_end)) && [[ $cur == -* ]]; then
        _quillon_add < <(compgen -W "$(grep -v '^=$' <<<"$help" | sort -u)" -- "$cur")
        return
    fi
    # The batch form: HEXFILE [comN] [reset|no_reset]; the simulator takes no words.
    [[ ${prog##*/} == quillon-sim ]] && return
    _quillon_values hex "$cur"
    if ((positional > 0)); then
        _quillon_add < <(compgen -W "reset no_reset" -- "$cur")
    fi
}

# For other shells (zsh): the candidates for the last of WORDS, one a line,
# after a line that says whether they are file names ("files") or not.
_quillon_print() {
    _quillon_words "$@"
    printf '%s\n' "${_quillon_filenames:-words}" "${COMPREPLY[@]}"
}

# The completion function bash calls. bash splits --opt=value at '=' into
# three words; they are joined again here, and the candidates are for the
# part after '=' only, which is what bash replaces.
_quillon() {
    local -a words=()
    local i joined=0
    for ((i = 0; i <= COMP_CWORD; i++)); do
        local w=${COMP_WORDS[i]}
        if [[ $w == "=" && ${#words[@]} -gt 1 && ${words[-1]} == -* && ${words[-1]} != *=* ]]; then
            words[-1]+="="
            joined=1
        elif ((joined)); then
            words[-1]+=$w
            joined=0
        else
            words+=("$w")
        fi
    done
    # With '=' not a word break, bash replaces the whole --opt=value word.
    local prefix=""
    local cur=${COMP_WORDS[COMP_CWORD]}
    [[ $cur == -*=* ]] && prefix=${cur%%=*}=
    _quillon_words "${words[@]}"
    if [[ -n $prefix ]]; then
        for i in "${!COMPREPLY[@]}"; do COMPREPLY[i]=$prefix${COMPREPLY[i]}; done
    fi
    [[ $_quillon_filenames == files ]] && compopt -o filenames 2>/dev/null
    return 0
}

complete -F _quillon quillon-cli quillon-sim
