# What scripts/install and scripts/uninstall share: where an installation lives, and how each
# of its pieces is told to be ours. Sourced, not run.
# shellcheck shell=bash disable=SC2034

data=${XDG_DATA_HOME:-$HOME/.local/share}
# As the program finds its logon entry: a relative XDG_CONFIG_HOME counts as unset.
case ${XDG_CONFIG_HOME:-} in /*) config=$XDG_CONFIG_HOME ;; *) config=$HOME/.config ;; esac
lib=$HOME/.local/lib/tolvane
bin=$HOME/.local/bin
link=$bin/tolvane
entry=$data/applications/tolvane.desktop
autostart=$config/autostart/Kestrune.desktop
# The checksums of the clips and icons as install put them; one that no longer matches has
# been changed by the user and is the user's now.
manifest=$lib/.installed
# The folders install made, one a line: uninstall takes them away again once they are empty.
made_folders=$lib/.folders
icon_sizes=(16 24 32 48 64 128 256)
# Where the Debian package's program says it is installed (settings then live in the user's
# folders, see scripts/uninstall --to-package).
package_marker=/usr/lib/tolvane/package.ini
scalable_icon=$data/icons/hicolor/scalable/apps/tolvane.svg

icon_path() {
    printf '%s' "$data/icons/hicolor/$1x$1/apps/tolvane.png"
}

# The Exec value of a desktop entry that starts the program at $1: the quoted path with the
# entry's escapes, exactly as the program writes its logon entry. Built a character at a time:
# in bash's pattern replacement & and \ have meanings of their own.
desktop_exec() {
    local path=$1 value='' c i
    for ((i = 0; i < ${#path}; i++)); do
        c=${path:i:1}
        case $c in
            '"' | '`' | '$') value+="\\\\$c" ;;
            '\') value+='\\\\' ;;
            %) value+=%% ;;
            $'\n') value+='\n' ;;
            $'\t') value+='\t' ;;
            $'\r') value+='\r' ;;
            *) value+=$c ;;
        esac
    done
    printf '"%s"' "$value"
}

# Whether the desktop entry $1 starts the installed program.
starts_ours() {
    [ -f "$1" ] && grep -qxF -- "Exec=$(desktop_exec "$lib/tolvane")" "$1"
}

# Whether $1 is a file install put there that nobody has changed since.
unchanged_ours() {
    [ -f "$1" ] && [ -f "$manifest" ] && grep -qxF -- "$(sha256sum -- "$1")" "$manifest"
}

link_is_ours() {
    [ -L "$link" ] && [ "$(readlink -- "$link")" = "$lib/tolvane" ]
}
