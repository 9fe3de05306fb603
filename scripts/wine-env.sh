# The environment shared by the test, benchmark and run scripts. Source it
# (from bash): that only defines the functions below, and nothing happens
# until a script calls them.
#
# wine_env_init        once, before the others, with RUMBELON_WINE_DIR
#                      naming a folder of the build that may hold the state
# wine_env_run CMD...  runs a command of Wine (wine, wineboot, wineserver)
# wine_template        makes the prepared prefix once (about 15 s)
# wine_new_prefix DIR  a fresh prefix from the template (hard links, < 1 s)
# wine_use_prefix DIR  points WINEPREFIX at DIR and keeps a wineserver up
# wine_map_drives DIR LETTER TYPE FOLDER...  maps drive letters to folders
# wine_set_dpi DIR DPI [CAPTION]  the DPI and caption height of a prefix
# xvfb_start [WxH]     a private X display for the windows, in DISPLAY
# wine_env_cleanup     stops what the above started
#
# wine_env_init tells how this machine runs 32-bit code: RUMBELON_I386 is
# "native" or "qemu", and RUMBELON_LEAK_CHECKS "on" or "off" for the
# sanitizer builds, with ASAN_OPTIONS to match. A script started by one
# that has asked (run-suite under scripts/test) takes the answers from its
# environment, so ASAN_OPTIONS gains its options once.

wine_env_init() {
    : "${RUMBELON_WINE_DIR:?}"
    mkdir -p "$RUMBELON_WINE_DIR"
    RUMBELON_WINE_DIR=$(cd "$RUMBELON_WINE_DIR" && pwd)
    # winemenubuilder is off: it would copy the Start menu of these
    # throw-away prefixes (the demo installer's shortcuts) into the user's
    # desktop menu, ~/.local/share/applications/wine.
    export RUMBELON_WINE_DIR WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ -z "${RUMBELON_I386:-}" ] || [ -z "${RUMBELON_LEAK_CHECKS:-}" ]; then
        # A registered qemu-i386 handler runs every 32-bit program, even
        # where the kernel could run it itself. LeakSanitizer stops the
        # world with ptrace, which qemu cannot offer, so leak checks are on
        # exactly where the code runs natively; under qemu a small
        # quarantine keeps long fuzzing runs inside its address space.
        if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
            export RUMBELON_I386=qemu RUMBELON_LEAK_CHECKS=off
            export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:quarantine_size_mb=8"
        else
            export RUMBELON_I386=native RUMBELON_LEAK_CHECKS=on
            export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
        fi
    fi
    [ "$RUMBELON_I386" = native ] || wine_env_preload
}

# 32-bit Wine under qemu-i386 needs the preload (see wine-qemu-preload.c);
# 64-bit Wine processes get an empty library through the same $LIB path.
wine_env_preload() {
    local preload="$RUMBELON_WINE_DIR/preload"
    local src
    src="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-qemu-preload.c"
    local lib32="$preload/lib/i386-linux-gnu/libwineqemu.so"
    local lib64="$preload/lib/x86_64-linux-gnu/libwineqemu.so"
    if [ ! -e "$lib32" ] || [ ! -e "$lib64" ] || [ "$src" -nt "$lib32" ]; then
        mkdir -p "${lib32%/*}" "${lib64%/*}"
        # Built beside and moved in, so that no Wine process loads half a
        # library.
        gcc -m32 -O2 -shared -fPIC "$src" -o "$lib32.$$" -ldl
        printf '\n' | gcc -O2 -shared -fPIC -x c - -o "$lib64.$$"
        mv -f "$lib64.$$" "$lib64"
        mv -f "$lib32.$$" "$lib32"
    fi
}

# The preload goes into the environment of the Wine command alone; the
# processes that Wine starts from there (its server, its services, every
# Windows program and what that starts) inherit it, and nothing else sees
# it: the host build's programs run without it.
wine_env_run() {
    if [ "${RUMBELON_I386:-}" = qemu ]; then
        LD_PRELOAD="$RUMBELON_WINE_DIR/preload/\$LIB/libwineqemu.so" "$@"
    else
        "$@"
    fi
}

wine_template() {
    # Bump when the template's preparation changes, so old ones are remade.
    local version=5
    local template="$RUMBELON_WINE_DIR/template" view
    [ "$(cat "$template/.ready" 2>/dev/null)" = "$version" ] && return 0
    rm -rf "$template"
    echo "wine: preparing the template prefix" >&2
    WINEPREFIX="$template" wine_env_run wineboot -i >/dev/null 2>&1
    # Without a window manager every destroyed top-level window costs about
    # two seconds unless Wine manages no windows itself.
    WINEPREFIX="$template" wine_env_run wine reg add 'HKCU\Software\Wine\X11 Driver' \
        /v Managed /d N /f /reg:64 >/dev/null 2>&1
    # Caption buttons are glyphs of the Marlett font. Debian's fonts-wine puts
    # it where this Wine never finds it (its data path mixes a "/" into a
    # Windows path), so the close box showed an "r"; every file in the
    # Windows font folder is loaded.
    cp /usr/share/wine/fonts/marlett.ttf "$template/drive_c/windows/Fonts/"
    # A crashing program ends at once instead of waiting for winedbg, which
    # cannot attach under qemu: the "debugger" is a command that just exits.
    for view in 32 64; do
        WINEPREFIX="$template" wine_env_run wine reg add \
            'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d 'cmd.exe /c exit' /f /reg:$view >/dev/null 2>&1
    done
    wine_wait_server "$template"
    echo "$version" > "$template/.ready"
}

wine_new_prefix() {
    local hive
    wine_template
    rm -rf "$1"
    cp -al "$RUMBELON_WINE_DIR/template" "$1"
    # The server rewrites the registry files in place: through a hard link
    # it would write every suite's registry into the template.
    for hive in "$1"/*.reg; do
        cp --remove-destination "$RUMBELON_WINE_DIR/template/${hive##*/}" "$hive"
    done
    rm -f "$1/.ready"
}

# Drive letters are dosdevices links; their types (cdrom, hd, network,
# floppy) live in the registry, which Wine reads when its server starts: the
# prefix's server is restarted afterwards. Takes the prefix, then a letter,
# a type and a folder for each drive.
wine_map_drives() {
    local prefix=$1
    shift
    WINEPREFIX="$prefix" wine_env_run wineserver -p
    while [ $# -ge 3 ]; do
        mkdir -p "$3"
        ln -sfn "$(cd "$3" && pwd)" "$prefix/dosdevices/$1:"
        WINEPREFIX="$prefix" wine_env_run wine reg add 'HKLM\Software\Wine\Drives' /v "$1:" /d "$2" /f \
            /reg:64 >/dev/null 2>&1 </dev/null
        shift 3
    done
    WINEPREFIX="$prefix" wine_env_run wineserver -k || true
    wine_wait_server "$prefix"
}

# The DPI of prefix $1 (LogPixels, as winecfg sets it) and, when given, the
# height of its captions in pixels at 96 DPI (CaptionHeight, in twips as a
# negative number). Wine reads both as the prefix's processes start: the
# prefix's server is restarted afterwards.
wine_set_dpi() {
    local prefix=$1
    WINEPREFIX="$prefix" wine_env_run wineserver -p
    WINEPREFIX="$prefix" wine_env_run wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$2" /f >/dev/null 2>&1 </dev/null
    [ -z "${3:-}" ] || WINEPREFIX="$prefix" wine_env_run wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' \
        /v CaptionHeight /d "$((-15 * $3))" /f >/dev/null 2>&1 </dev/null
    WINEPREFIX="$prefix" wine_env_run wineserver -k || true
    wine_wait_server "$prefix"
}

# Waits until the server of the prefix $1 has ended, for two minutes at most:
# then it is stopped, with its programs, and a line says so.
wine_wait_server() {
    WINEPREFIX="$1" wine_env_run timeout 120 wineserver -w && return 0
    echo "wine: the server of $1 was still running after 120 s; stopping it" >&2
    WINEPREFIX="$1" wine_env_run wineserver -k || true
}

wine_use_prefix() {
    export WINEPREFIX="$1"
    wine_env_run wineserver -p
    wine_env_servers="${wine_env_servers:-} $1"
}

# Xvfb picks a free display itself and names it on the descriptor given
# with -displayfd once it takes connections, so that runs at the same time
# never race for one. The screen is 1024 by 768 unless $1 says otherwise.
xvfb_start() {
    local answer display=""
    exec {answer}< <(exec Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>&1 >/dev/null 2>&1)
    wine_env_xvfb=$!
    read -r -t 10 display <&"$answer" || true
    exec {answer}<&-
    if [ -z "$display" ]; then
        echo "xvfb: no display came up (is Xvfb installed and working?)" >&2
        return 1
    fi
    export DISPLAY=":$display"
}

wine_env_cleanup() {
    local p
    for p in ${wine_env_servers:-}; do
        WINEPREFIX="$p" wine_env_run wineserver -k 2>/dev/null || true
    done
    wine_env_servers=""
    [ -z "${wine_env_xvfb:-}" ] || kill "$wine_env_xvfb" 2>/dev/null || true
    wine_env_xvfb=""
}
