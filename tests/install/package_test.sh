#!/usr/bin/env bash
# Makes the Debian package of the build into a scratch folder, checks its control fields and contents and runs
# lintian on it, unpacks it into a scratch root and starts the game from there: the unpacked tree must run wherever
# it lies. Run from the project root.
# Usage: package_test.sh CPACK BUILD-DIR VERSION
set -euo pipefail
source "$(dirname "$0")/installed_game.sh"

command -v dpkg-deb >/dev/null || { echo "skipped: dpkg-deb is not installed"; exit 77; }

cpack=$1
build=$2
version=$3
work=$scratch

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$work/corvalo_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = corvalo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -gt 2 ] || fail "no long description"
# libc6 and SDL come from dpkg-shlibdeps, the GL libraries SDL opens at run time from the package's own list.
for dependency in libc6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 libgl1 libegl1; do
    field Depends | grep -Eq "(^|, )$dependency( |,|$)" || fail "Depends lacks $dependency: $(field Depends)"
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $1, $2, $NF }')
for file in usr/games/corvalo usr/libexec/corvalo/corvalo; do
    grep -qx "\-rwxr-xr-x root/root ./$file" <<<"$contents" || fail "$file missing or not an executable of root's"
done
for file in usr/share/games/corvalo/FX/lighting.fx usr/share/games/corvalo/Textures/MenuScreen.png \
    usr/share/games/corvalo/Sounds/choo.ogg usr/share/games/corvalo/Sounds/QivDenofThieves.mp3 \
    usr/share/applications/corvalo.desktop usr/share/man/man6/corvalo.6.gz \
    usr/share/doc/corvalo/copyright usr/share/doc/corvalo/changelog.gz \
    usr/share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/corvalo.png; do
    grep -qx "\-rw-r--r-- root/root ./$file" <<<"$contents" || fail "$file missing or not a file of root's"
done
grep -Eq '^-rw-r--r-- root/root \./usr/share/metainfo/[^/]+\.metainfo\.xml$' <<<"$contents" || fail "no metainfo"
if grep -v ' \./usr/' <<<"$contents"; then fail "files outside /usr"; fi

# What a distribution takes: lintian finds no error and no warning.
lint=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $lint"

root=$work/root
dpkg-deb -x "$deb" "$root"
check_icons "$root/usr/share"
grep -qx 'Exec=corvalo' "$root/usr/share/applications/corvalo.desktop" || fail "desktop entry Exec is not on PATH"
check_descriptions "$root" usr/share "$version"
if grep -rlF -e "$work" -e "$(cd "$build" && pwd)" -e "$PWD" "$root"; then fail "build paths in the package"; fi
if readelf -S "$root/usr/libexec/corvalo/corvalo" | grep -q '\.debug_info'; then fail "the game is not stripped"; fi
readelf -d "$root/usr/libexec/corvalo/corvalo" | grep -q 'FLAGS.*BIND_NOW' || fail "the game links without -z now"

check_installed_game "$root/usr/games/corvalo" "$root/usr/libexec/corvalo/corvalo" "$root/usr/share/games/corvalo" \
    "$work"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $(field Depends)"
