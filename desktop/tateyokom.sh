#!/bin/sh
# Starts タテヨコ塾(Ｍ) in its own folder, where it finds its hints, sounds
# and help files, with every argument it was given. A class folder given
# relative to where the command was started still means that folder.
here=$(dirname "$(readlink -f "$0")")
caller=$(pwd)
fromCaller() {
    case $1 in
    /* | "") printf '%s' "$1" ;;
    *) printf '%s/%s' "$caller" "$1" ;;
    esac
}
left=$#
folderNext=""
while [ "$left" -gt 0 ]; do
    arg=$1
    shift
    left=$((left - 1))
    if [ -n "$folderNext" ]; then
        arg=$(fromCaller "$arg")
        folderNext=""
    else
        case $arg in
        --class-folder) folderNext=yes ;;
        --class-folder=*) arg="--class-folder=$(fromCaller "${arg#--class-folder=}")" ;;
        esac
    fi
    set -- "$@" "$arg"
done
cd "$here/../lib/tateyokom" && exec ./tateyokom "$@"
