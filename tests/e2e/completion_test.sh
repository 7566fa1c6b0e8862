#!/usr/bin/env bash
# fenra-render's bash completion in a real bash with bash-completion: "--" offers exactly the options its
# --help lists, --name the entries of the collection on the line, and files by the extensions each place
# takes. Usage: completion_test.sh FENRA_RENDER COMPLETION SAMPLES. Exits 77 without bash-completion.
set -uo pipefail
render=$(realpath "$1") completion=$(realpath "$2") samples=$(realpath "$3")
main=/usr/share/bash-completion/bash_completion
[ -r "$main" ] || { echo "SKIPPED: needs the Debian package bash-completion"; exit 77; }
source "$main" && source "$completion"
work=$(mktemp -d) && cd "$work" || exit 1
trap 'rm -rf "$work"' EXIT
touch a.tfg b.PNG c.ifs d.bmp e.txt && cp "$samples/classic.ifs" .

failed=0
# The words offered for the command line $1 (its last word the one completed), sorted, on one line.
offered() {
  local line="fenra-render $1"
  COMP_LINE=$line COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=()
  _fenra_render "$render" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}
expect() {   # the command line, what it must offer
  local got; got=$(offered "$1")
  [ "$got" = "$2" ] || { echo "FAILED: \"fenra-render $1\" offers \"$got\", not \"$2\""; failed=1; }
}

# Every long name of every option line, "-o, --output <FILE>" and "--colour, --color <MODE>" alike.
options=$("$render" --help | grep -E -- '^ +-' | sed -E 's/^ +//; s/ <.*//; s/  .*//' | grep -oE -- '--[a-z-]+' | sort | paste -sd ' ')
[ -n "$options" ] || { echo "FAILED: no options in --help"; exit 1; }
PATH=$(dirname "$render"):$PATH
expect "--" "$options"
expect "classic.ifs --name " "$("$render" classic.ifs --list | sort | paste -sd ' ')"
expect "classic.ifs --name sp" "spiral"
expect "" "a.tfg b.PNG c.ifs classic.ifs"
expect "a.tfg -o " "b.PNG d.bmp"
expect "a.tfg --points " ""
expect "a.tfg --tint " "data palette white"
exit $failed
