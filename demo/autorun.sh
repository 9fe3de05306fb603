#!/bin/sh
# Rumbelon on Linux: brings up the disc's start-up menu under Wine, as
# autorun.inf does on Windows. Linux desktops look for it at the root of a
# mounted medium (freedesktop.org's autostart rules) and offer to run it; it
# also runs by hand, from any folder:
#
#   sh /media/.../autorun.sh [PROGRAM [ARGUMENT...]]
#
# The Wine prefix is $WINEPREFIX, else Wine's default ~/.wine, made with
# wineboot when missing. The disc becomes a CD-ROM drive of that prefix
# (the letter that already shows this folder, else the first free one from
# D:) through Wine's mount manager, so that Wine programs already running
# there carry on undisturbed. The menu, or PROGRAM (a Windows program, by
# its path) in its place, then runs with the drive's root as its current
# directory, as on Windows. Nothing is written to the disc.

say() {
    printf 'autorun: %s\n' "$@" >&2
}

# The disc is this script's folder, wherever it is run from.
case $0 in
*/*) disc=${0%/*} ;;
*) disc=. ;;
esac
disc=$(cd -P "$disc" && pwd) || exit 1

if ! command -v wine >/dev/null 2>&1; then
    first="Rumbelon's menu is a Windows program: on Linux it needs Wine."
    second="Install the package \"wine\" of your distribution (on Debian or Ubuntu: sudo apt install wine), then open the disc again."
    say "$first" "$second"
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --error --title=Rumbelon --text="$first
$second"
        elif command -v kdialog >/dev/null 2>&1; then
            kdialog --title Rumbelon --error "$first
$second"
        elif [ -n "${DISPLAY:-}" ] && command -v xmessage >/dev/null 2>&1; then
            xmessage -center -title Rumbelon -buttons OK "$first
$second"
        fi
    fi >/dev/null 2>&1
    exit 1
fi

# A prefix has its drive letters from the start; its registry files come
# later, when its server first saves them.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
    say "making the Wine prefix $WINEPREFIX (once; this takes a minute)"
    wineboot -i >/dev/null 2>&1 || {
        say "wineboot could not make the Wine prefix $WINEPREFIX"
        exit 1
    }
fi

# A drive letter is a link in the prefix's dosdevices folder.
letter=""
for link in "$WINEPREFIX"/dosdevices/?:; do
    if [ -L "$link" ] && [ "$(cd -P "$link" 2>/dev/null && pwd)" = "$disc" ]; then
        letter=${link##*/}
        letter=${letter%:}
        break
    fi
done
if [ -z "$letter" ]; then
    for free in d e f g h i j k l m n o p q r s t u v w x y z; do
        if [ ! -e "$WINEPREFIX/dosdevices/$free:" ] && [ ! -L "$WINEPREFIX/dosdevices/$free:" ]; then
            letter=$free
            break
        fi
    done
fi
if [ -z "$letter" ]; then
    say "the Wine prefix $WINEPREFIX has no drive letter left for the disc"
    exit 1
fi

# Defined again when the letter is already the disc's: it may not have
# been a CD-ROM drive. The path goes in hexadecimal (see cdrom_drive.cpp).
hex=$(printf '%s' "$disc" | od -A n -v -t x1 | tr -d ' \n')
wine "$disc/wine/cdrom_drive.exe" "$letter" "$hex" || {
    say "Wine did not make the disc drive $letter: of $WINEPREFIX"
    exit 1
}

# From the disc's folder Wine starts a program in the root of the drive
# that shows it.
cd "$disc" || exit 1
[ $# -gt 0 ] || set -- "$disc/autorun.exe"
exec wine "$@"
