#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the layout, the desktop entry, the metainfo and the manual page,
# then starts the game through the installed launcher and checks it runs the installed binary in the installed data
# directory and ends cleanly; then the same under prefixes whose desktop entry must quote and escape. Run from the
# project root.
# Usage: install_test.sh CMAKE BUILD-DIR VERSION
set -euo pipefail
source "$(dirname "$0")/installed_game.sh"

cmake=$1
build=$2
version=$3
prefix=$scratch

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in games/corvalo libexec/corvalo/corvalo share/games/corvalo/FX/lighting.fx \
    share/games/corvalo/Textures/MenuScreen.png share/games/corvalo/Sounds/choo.ogg \
    share/games/corvalo/Sounds/QivDenofThieves.mp3 share/applications/corvalo.desktop share/man/man6/corvalo.6.gz; do
    [ -e "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/games/corvalo" ] && [ -x "$prefix/libexec/corvalo/corvalo" ] || fail "programs are not executable"
check_icons "$prefix/share"

# Outside the system's games directories the entry names the launcher by its full path.
desktop=$prefix/share/applications/corvalo.desktop
grep -qx "Exec=$prefix/games/corvalo" "$desktop" || fail "desktop entry Exec: $(grep Exec= "$desktop")"
grep -qx 'Icon=corvalo' "$desktop" || fail "desktop entry Icon"
check_descriptions "$prefix" share "$version"

check_installed_game "$prefix/games/corvalo" "$prefix/libexec/corvalo/corvalo" "$prefix/share/games/corvalo" "$prefix"

# Prefixes the entry's Exec must quote and escape: the entry stays valid and still starts the game installed there. A
# desktop starts it (gio) where it can: GLib 2.74, like dex, looks the program up before undoing %%, so under a prefix
# with % the entry's Exec is read by the rules here.
for odd in "my prefix \"q\" 'a' \$HOME \`id\`" "100%x y"; do
    prefix=$scratch/$odd
    program=$prefix/libexec/corvalo/corvalo
    data=$prefix/share/games/corvalo
    "$cmake" --install "$build" --prefix "$prefix" >/dev/null
    desktop=$prefix/share/applications/corvalo.desktop
    desktop-file-validate "$desktop" || fail "desktop entry invalid under $prefix"
    if [[ $odd == *%* ]]; then
        check_installed_game "$(exec_program "$desktop")" "$program" "$data" "$prefix"
    else
        check_desktop_entry "$desktop" "$program" "$data" "$prefix"
    fi
done
echo "install: layout, descriptions and launcher as expected"
