# The demo disc's image as a folder that Wine can map as a CD-ROM drive;
# source it.
#
# disc_open IMAGE FOLDER     the image's files in FOLDER, mounted read-only
#                            with fuseiso; where this machine cannot mount
#                            (no /dev/fuse, no permission), extracted with
#                            disc_extract instead, saying so in one line
# disc_extract IMAGE FOLDER  the image's files copied out by xorriso,
#                            read-only as on a disc
# disc_close FOLDER          unmounts or removes what the above made

disc_open() {
    local image=$1 folder=$2 why
    disc_close "$folder"
    mkdir -p "$folder"
    if [ ! -e /dev/fuse ]; then
        why="no /dev/fuse"
    elif why=$(fuseiso -n "$image" "$folder" -o ro 2>&1); then
        return 0
    fi
    echo "disc: cannot mount ${image##*/} (${why##*$'\n'}): extracted it to $folder instead" >&2
    disc_extract "$image" "$folder"
}

disc_extract() {
    local out
    rmdir "$2" 2>/dev/null || true
    out=$(xorriso -osirrox on -indev "$1" -extract / "$2" 2>&1) || {
        printf '%s\n' "$out" >&2
        return 1
    }
}

disc_close() {
    # Unmounted when mounted (lazily when busy), also after a crashed run.
    fusermount -u "$1" 2>/dev/null || fusermount -uz "$1" 2>/dev/null || true
    # Extracted files and folders are read-only.
    [ ! -e "$1" ] || { chmod -R u+w "$1" && rm -rf "$1"; }
}
