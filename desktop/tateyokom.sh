#!/bin/sh
# Starts タテヨコ塾(Ｍ) in its own folder, where it finds its hints, sounds
# and help files.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../lib/tateyokom" && exec ./tateyokom
