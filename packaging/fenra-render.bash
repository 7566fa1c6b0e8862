# Bash completion for fenra-render. Its options come from its own --help, so
# an option added to the program is completed without a change here; --name
# offers the entries the collection on the line lists with --list; files are
# offered by the extensions each place takes.
_fenra_render()
{
    local cur prev words cword
    _init_completion -s || return

    case $prev in
        -o | --output)
            _filedir '@(png|bmp)'
            return
            ;;
        --save-tfg | --prefix)
            _filedir tfg
            return
            ;;
        --name)
            local word names
            for word in "${words[@]:1:cword-1}"; do
                [[ $word != -* && -f $word ]] || continue
                names=$("$1" "$word" --list 2>/dev/null) && break
            done
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$names" -- "$cur"))
            return
            ;;
    esac
    # Any other option that --help shows with a <VALUE> takes a value that is
    # no file; one shown as <a|b|c> takes one of those words.
    if [[ $prev == -* ]]; then
        local value
        value=$("$1" --help 2>/dev/null | grep -oE -- "(^ +|, )$prev(, --[a-z-]+)* <[^>]*>" | sed -E 's/.*<(.*)>/\1/')
        if [[ $value ]]; then
            [[ $value == *'|'* ]] && COMPREPLY=($(compgen -W "${value//|/ }" -- "$cur"))
            return
        fi
    fi

    if [[ $cur == -* ]]; then
        # Every name on each option line of --help: "-o, --output <FILE>", "--colour, --color <MODE>".
        COMPREPLY=($(compgen -W '$("$1" --help 2>/dev/null | sed -nE "/^ +-/{s/^ +//; s/ <.*//; s/  .*//; p}" |
            grep -oE -- "--?[a-z-]+")' -- "$cur"))
        return
    fi
    _filedir '@(tfg|png|ifs)'
}
complete -F _fenra_render fenra-render
