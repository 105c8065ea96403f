# shellcheck shell=bash
# Sourced by scripts/wine-run and the GUI tests: chooses the project's Wine prefix for an
# architecture and keeps it usable across changes to the installed Wine.
#
# A prefix holds copies of Wine's DLLs for the architectures installed when it was made. Once
# the installed Wine changes, above all when 32-bit Wine (wine32) joins a 64-bit one, a prefix
# made before no longer starts anything ("could not load kernel32.dll, status c0000135"). So
# each prefix records the Wine it was made with, and a prefix made with another Wine, or that
# records nothing, is made anew. Comparing the record costs one dpkg query per start.

# Exports WINEPREFIX and WINEARCH for ARCH (win64 or win32). BASE is the 64-bit prefix's folder;
# 32-bit Wine gets a prefix of its own beside it, BASE with "32" appended.
wine_prefix_select() {
    local arch=$1 base=$2
    case "$arch" in
        win64) export WINEPREFIX="$base" ;;
        win32) export WINEPREFIX="${base}32" ;;
        *)
            echo "wine-prefix: unknown Wine architecture \"$arch\" (win64 or win32)" >&2
            return 2
            ;;
    esac
    export WINEARCH="$arch"
}

# The prefix's architecture and every installed Wine package with its architecture and version.
wine_prefix_fingerprint() {
    echo "WINEARCH=$WINEARCH"
    dpkg-query -W -f='${db:Status-Abbrev} ${binary:Package} ${Version}\n' \
        'wine*' 'libwine*' 2>/dev/null | awk '$1 == "ii" { print $2, $3 }' | sort
}

# Makes sure $WINEPREFIX was made with the Wine installed now, making it (anew) when not. After
# Wine's own set-up, the command given (if any) finishes the prefix; a prefix whose set-up
# failed records nothing and is made again next time. Call it holding the prefix's lock.
wine_prefix_ensure() {
    local record="$WINEPREFIX/.aerolinker-wine" wanted
    wanted=$(wine_prefix_fingerprint)
    if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$record" 2>/dev/null)" = "$wanted" ]; then
        return 0
    fi
    if [ -e "$WINEPREFIX" ]; then
        echo "wine-prefix: $WINEPREFIX was made with another Wine than the one installed" \
            "(or never finished); making it anew" >&2
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
        rm -rf "$WINEPREFIX"
    fi
    mkdir -p "$WINEPREFIX"
    # Into a file, not a pipe: the programs wineboot starts keep its output open.
    local booted=0
    wineboot -i >"$WINEPREFIX.boot.log" 2>&1 || booted=$?
    wineserver -w
    # Wine leaves a registry behind even when it could not boot; the prefix's own kernel32
    # is there only when it did.
    if [ $booted -ne 0 ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
        echo "wine-prefix: Wine could not make the prefix $WINEPREFIX:" >&2
        tail -n 5 "$WINEPREFIX.boot.log" >&2
        return 1
    fi
    rm -f "$WINEPREFIX.boot.log"
    if [ $# -gt 0 ]; then
        "$@" || return 1
    fi
    printf '%s\n' "$wanted" >"$record"
}
