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
# through Wine's mount manager, so that Wine programs already running there
# carry on undisturbed: a letter that already shows this folder as a CD-ROM
# drive (never C: or Z:), else the first free one from D:. A letter that
# shows it as another kind of drive keeps its kind. The menu, or PROGRAM (a
# Windows program, by its path) in its place, then runs with the root of a
# drive that shows the disc as its current directory, as on Windows.
# Nothing is written to the disc. Whatever fails is said on standard error
# and, for a desktop's autostart that shows no terminal, in a window.

say() {
    printf 'autorun: %s\n' "$@" >&2
}

# Says the lines given, in a window too where zenity, kdialog or xmessage
# can show one, and ends the script.
fail() {
    say "$@"
    text=$1
    shift
    for line in "$@"; do
        text="$text
$line"
    done
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        if command -v zenity >/dev/null 2>&1; then
            zenity --error --no-markup --title=Rumbelon --text="$text"
        elif command -v kdialog >/dev/null 2>&1; then
            kdialog --title Rumbelon --error "$text"
        elif [ -n "${DISPLAY:-}" ] && command -v xmessage >/dev/null 2>&1; then
            xmessage -center -title Rumbelon -buttons OK "$text"
        fi
    fi >/dev/null 2>&1
    exit 1
}

# The physical path of the folder $1, exactly, in $physical: $(...) would
# drop the newlines that a folder's name may end with, so pwd's line is
# followed by a "." and both are taken off again. False when the folder
# cannot be entered.
physical() {
    physical=$(cd -P -- "$1" 2>/dev/null && pwd -P && echo .) || return 1
    physical=${physical%??}
}

# The disc is this script's folder, wherever it is run from. An exported
# CDPATH would have cd look elsewhere for a relative path, and say where.
unset CDPATH
case $0 in
*/*) physical "${0%/*}/" ;;
*) physical . ;;
esac || fail "cannot enter the folder of $0"
disc=$physical

if ! command -v wine >/dev/null 2>&1; then
    fail "Rumbelon's menu is a Windows program: on Linux it needs Wine." \
        "Install the package \"wine\" of your distribution (on Debian or Ubuntu: sudo apt install wine), then open the disc again."
fi

# A prefix has its drive letters from the start; its registry files come
# later, when its server first saves them.
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
    say "making the Wine prefix $WINEPREFIX (once; this takes a minute)"
    wineboot -i >/dev/null 2>&1 || fail "wineboot could not make the Wine prefix $WINEPREFIX"
fi

# A drive letter is a link in the prefix's dosdevices folder. What each of
# a: to z: shows, for cdrom_drive.exe, which asks Wine for the kinds of
# the drives: "=" this folder, "-" nothing, "!" a folder that is gone,
# "." another folder.
drives=""
for letter in a b c d e f g h i j k l m n o p q r s t u v w x y z; do
    link=$WINEPREFIX/dosdevices/$letter:
    if [ ! -L "$link" ] && [ ! -e "$link" ]; then
        drives="$drives-"
    elif [ ! -e "$link" ]; then
        drives="$drives!"
    elif physical "$link" && [ "$physical" = "$disc" ]; then
        drives="$drives="
    else
        drives="$drives."
    fi
done

# Wine reads the Unix path of the program it starts as UTF-8, which the
# disc's path need not be: cdrom_drive.exe is started through a link of a
# plain name in a folder of this script's own. The disc's path reaches it
# in hexadecimal (see cdrom_drive.cpp), and the drive shows it exactly.
work=$(mktemp -d "${TMPDIR:-/tmp}/rumbelon.XXXXXX") || fail "cannot make a temporary folder"
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM
ln -s "$disc" "$work/disc" || fail "cannot make a link in $work"
hex=$(printf '%s' "$disc" | od -A n -v -t x1 | tr -d ' \n')
letter=$(wine "$work/disc/wine/cdrom_drive.exe" "$hex" "$drives")
status=$?
letter=${letter#"${letter%?}"}  # its last character
rm -rf "$work"
case $status:$letter in
0:[a-z]) ;;
3:*) fail "the Wine prefix $WINEPREFIX has no drive letter left for the disc" ;;
*) fail "Wine did not make the disc a drive of $WINEPREFIX" ;;
esac

# From the disc's folder Wine starts a program in the root of the drive
# that shows it (of several, the first letter). The menu goes by the
# drive's name, which is plain whatever the disc's path is.
cd "$disc" || fail "cannot enter the disc's folder $disc"
[ $# -gt 0 ] || set -- "$letter:\\autorun.exe"
exec wine "$@"
