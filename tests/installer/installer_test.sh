#!/usr/bin/env bash
# The installer as a pilot meets it, for one kind of Windows (win64: a 64-bit Wine prefix,
# win32: a 32-bit one): the setup program and the zip checked as files, then a silent install
# into a fresh prefix, the short hop flown with the installed programs, an install over the
# running program (refused in flight, done once it may close, the trial flight's fsim closed
# with it), a crash of the installed program and its dump, and a silent uninstall that closes
# the trial flight and leaves the pilot's files. The packages come from
# scripts/make-installer, which runs after both Windows builds.
#
#   installer_test.sh win64|win32 PRODUCT_NSH OBJDUMP OBJCOPY AEROLINKER_EXE
#
# PRODUCT_NSH is the build's installer/product.nsh (name, version, publisher, packages folder);
# AEROLINKER_EXE the build's own program, which the packaged one must be. From the
# environment: PROBE_EXE (the window probe of the same build), SHORT_HOP (the scenario) and
# ARTIFACTS (where the test keeps its screenshots and files). Exits 77 when no installer has
# been made, after saying so.
set -uo pipefail

platform=$1 product_nsh=$2 objdump=$3 objcopy=$4 build_exe=$5
for variable in PROBE_EXE SHORT_HOP ARTIFACTS; do
    if [ -z "${!variable:-}" ]; then
        echo "installer_test: $variable is not set" >&2
        exit 2
    fi
done
case "$platform" in
    win64) format=pei-x86-64 ;;
    win32) format=pei-i386 ;;
    *)
        echo "installer_test: unknown platform $platform" >&2
        exit 2
        ;;
esac

product() { sed -n "s/^!define $1 \"\(.*\)\"\$/\1/p" "$product_nsh"; }
name=$(product PRODUCT_NAME)
version=$(product PRODUCT_VERSION)
publisher=$(product PRODUCT_PUBLISHER)
packages=$(product PACKAGES_DIR)
setup="$packages/$name-$version-setup.exe"
zip="$packages/$name-$version-$platform.zip"
symbols="$packages/$name-$version-symbols.zip"
work="$ARTIFACTS/installer-$platform"
programs=(aerolinker.exe fsim.exe)

for package in "$setup" "$zip" "$symbols"; do
    if [ ! -f "$package" ]; then
        echo "SKIP: no $package: scripts/make-installer makes it after both Windows builds"
        exit 77
    fi
done

rm -rf "$work"
mkdir -p "$work"
scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL [installer $platform]: $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        import -window root "$work/failure.png" 2>/dev/null
    fi
    exit 1
}
pass_note() { echo "ok [installer $platform]: $*"; }

# --- the packages as files ---------------------------------------------------------------------

# Only DLLs every Windows has in its system folder; no elevation asked.
windows_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|OLE32|ADVAPI32|VERSION)\.DLL$'
dlls=$("$objdump" -p "$setup" | awk '/DLL Name:/ { print toupper($3) }')
[ -n "$dlls" ] || fail "no imports read from $setup"
foreign=$(grep -vE "$windows_dlls" <<<"$dlls")
[ -z "$foreign" ] || fail "the installer needs $(tr '\n' ' ' <<<"$foreign")"
grep -aq 'requestedExecutionLevel level="asInvoker"' "$setup" ||
    fail "the installer's manifest asks for more than the user's own rights"
pass_note "the installer imports only $(tr '\n' ' ' <<<"$dlls")and asks for no elevation"

mkdir "$scratch/zip" "$scratch/symbols"
(cd "$scratch/zip" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
(cd "$scratch/symbols" && cmake -E tar xf "$symbols") || fail "cannot unpack $symbols"
zipped="$scratch/zip/$(basename "$zip" .zip)"

# A section's bytes, to compare programs that differ in their symbols only.
section_of() { "$objcopy" --dump-section "$2=$3" "$1" "$scratch/copy.exe"; }

# The zip's programs: stripped, each linked to its symbols in the archive by name and CRC-32,
# and for aerolinker.exe the code this build compiled.
for program in "${programs[@]}"; do
    packaged="$zipped/$program"
    [ -f "$packaged" ] || fail "$(basename "$zip") lacks $program"
    "$objdump" -f "$packaged" | grep -q "file format $format\$" || fail "$program is not $format"
    debugging=$("$objdump" -h "$packaged" | awk '$1 ~ /^[0-9]+$/ && $2 ~ /^\.z?debug/ { print $2 }')
    [ -z "$debugging" ] || fail "$program carries debug sections: $(tr '\n' ' ' <<<"$debugging")"
    "$objdump" -t "$packaged" | grep -qx 'no symbols' || fail "$program carries its symbols"
    section_of "$packaged" .gnu_debuglink "$scratch/link" || fail "$program has no debug link"
    python3 - "$scratch/link" "$scratch/symbols/$platform" <<'PY' || fail "$program: see above"
import os, struct, sys, zlib
link = open(sys.argv[1], "rb").read()
name = link[: link.index(b"\0")].decode()
# The CRC-32 stands after the name, its zero and the padding to four bytes.
crc = struct.unpack_from("<I", link, (len(name) + 4) // 4 * 4)[0]
path = os.path.join(sys.argv[2], name)
if not os.path.isfile(path):
    sys.exit(f"the symbols archive lacks {name}")
if zlib.crc32(open(path, "rb").read()) != crc:
    sys.exit(f"the archive's {name} is not the one the program was stripped of")
PY
done
section_of "$zipped/aerolinker.exe" .text "$scratch/packaged.text"
section_of "$build_exe" .text "$scratch/built.text"
cmp -s "$scratch/packaged.text" "$scratch/built.text" ||
    fail "the packages hold another aerolinker.exe than this build's: run scripts/make-installer"
pass_note "the zip's programs are stripped, their symbols match the archive's, the code is this build's"

# --- a fresh Windows -----------------------------------------------------------------------------

start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if [ -s "$work/display" ]; then
            DISPLAY=":$(head -n1 "$work/display")"
            export DISPLAY
            return 0
        fi
        sleep 0.1
    done
    fail "Xvfb did not start"
}

# The user's folders as on Windows, not Wine's links into the home folder of this computer.
own_user_folders() {
    local link
    for link in "$user_folder"/*; do
        if [ -L "$link" ]; then
            rm "$link" && mkdir "$link"
        fi
    done
}

# shellcheck source=scripts/wine-prefix.sh
source "$(dirname "$(readlink -f "$0")")/../../scripts/wine-prefix.sh"
wine_prefix_select "$platform" "$scratch/wine" || exit 2
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries of this computer's desktop from the shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
user_folder="$WINEPREFIX/drive_c/users/$(id -un)"
start_display
wine_prefix_ensure own_user_folders || fail "Wine could not make a prefix"

instdir="$user_folder/AppData/Local/Programs/$name"
start_menu="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$name"
settings="$user_folder/AppData/Roaming/$name/Aerolinker.ini"
uninstall_key="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
# The pilot keeps the flights in the program's folder: the uninstaller's hardest case.
logs="$instdir/Flights"
transcript="$work/transcript.txt"
connect_button=101 # kIdLConnetti, "Connect to FSim" (app/win32/window_ids.h)

winpath() {
    local path
    path=$(readlink -m "$1")
    if [[ $path == "$WINEPREFIX/drive_c/"* ]]; then
        path="C:/${path#"$WINEPREFIX/drive_c/"}"
    else
        path="Z:$path"
    fi
    echo "${path//\//\\}"
}

probe() { wine "$PROBE_EXE" "$@" 2>/dev/null | tr -d '\r'; }

wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.5
    done
}

probe_equals() {
    local expected=$1
    shift
    [ "$(probe "$@")" = "$expected" ]
}

click_at() {
    local x y
    read -r x y <<<"$1"
    xdotool mousemove --sync "$x" "$y" click 1
    sleep 0.3
}

# The installed files, with their sums; the pilot's flights folder is not the program's.
installed_files() {
    (cd "$instdir" && find . -path ./Flights -prune -o -type f -print0 | sort -z |
        xargs -0 -r md5sum)
}
folder_sums() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r md5sum); }

run_setup() {
    wine "$setup" /S >>"$work/setup-output.txt" 2>&1
}

# --- install -------------------------------------------------------------------------------------

run_setup || fail "the silent install ended with $?"
for program in "${programs[@]}"; do
    cmp -s "$instdir/$program" "$zipped/$program" ||
        fail "the installed $program is not the $platform zip's"
done
for file in docs/pilot-guide.html docs/screenshot-main-window.png scenarios/lieo-lirq.scn \
    Uninstall.exe; do
    [ -f "$instdir/$file" ] || fail "nothing installed at $file"
done
for entry in "$name" "$name trial flight" "$name pilot guide"; do
    [ -f "$start_menu/$entry.lnk" ] || fail "no Start menu entry \"$entry\""
done
pass_note "installed the $platform programs in $(winpath "$instdir"), with three Start menu entries"

# The "Apps" entry, as `reg query` prints it: "    NAME    TYPE    VALUE".
wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r' >"$work/uninstall-entry.txt" ||
    fail "no uninstall entry in the user's registry"
entry() { awk -v n="$1" '$1 == n { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }' "$work/uninstall-entry.txt"; }
quoted_uninstaller="\"$(winpath "$instdir")\\Uninstall.exe\""
while IFS='|' read -r field expected; do
    [ "$(entry "$field")" = "$expected" ] ||
        fail "uninstall entry $field is \"$(entry "$field")\", not \"$expected\""
done <<EOF
DisplayName|$name
DisplayVersion|$version
Publisher|$publisher
DisplayIcon|$(winpath "$instdir")\\aerolinker.exe
UninstallString|$quoted_uninstaller
QuietUninstallString|$quoted_uninstaller /S
EOF
estimated=$(($(entry EstimatedSize)))
installed_kib=$(du -sk --apparent-size "$instdir" | cut -f1)
# The packages' size; what is installed holds the uninstaller as well.
if [ "$estimated" -le $((installed_kib * 9 / 10)) ] || [ "$estimated" -gt "$installed_kib" ]; then
    fail "EstimatedSize is $estimated KiB for $installed_kib KiB installed"
fi
pass_note "the uninstall entry names $name $version by $publisher, $estimated KiB"

# --- the short hop with the installed programs -------------------------------------------------

mkdir -p "$(dirname "$settings")" "$logs"
printf '[Aerolinker]\r\nPilotName=Jane Doe\r\nID=CS042\r\nNumber=7\r\nFlightdir=%s\r\n' \
    "$(winpath "$logs")" >"$settings"
wine "$instdir/fsim.exe" --transcript "$(winpath "$transcript")" "$(winpath "$SHORT_HOP")" \
    >/dev/null 2>&1 &
fsim_pid=$!
wait_until 60 probe_equals 1 count UIPCMAIN || fail "the installed fsim.exe did not start"
probe place UIPCMAIN 0 640 >/dev/null
# Started as a pilot starts it: from the Start menu.
wine start "$(winpath "$start_menu/$name.lnk")" >/dev/null 2>&1
wait_until 60 probe_equals 1 count TFConnection || fail "the Start menu entry started no Aerolinker"
connect=$(probe centre "$connect_button") || fail "no \"Connect to FSim\" button"
click_at "$connect"
wait_until 60 probe_equals Okay status || fail "status after connecting: \"$(probe status)\""
pass_note "the Start menu entry started Aerolinker, connected to the installed fsim"

# In flight the program asks the pilot before it closes; nobody answers, so the silent install
# gives up and changes nothing.
before=$(installed_files)
run_setup
status=$?
[ $status -eq 2 ] || fail "an install over the program in flight ended with $status, not 2"
[ "$(installed_files)" = "$before" ] || fail "the refused install changed the installed files"
grep -qF "A flight is being tracked. Close Aerolinker?" <<<"$(probe dialog)" ||
    fail "the program was not asked to close: \"$(probe dialog)\""
no_button=$(probe dialog-button "&No") || fail "no \"No\" in the program's question"
click_at "$no_button"
pass_note "an install during a tracked flight asked the program, waited, and stopped with 2"

wait_until 240 grep -qF "End of Flight!" "$transcript" ||
    fail "the flight did not close; status \"$(probe status)\""
wait_until 20 grep -qF "Prepared by: 7 CS042" "$logs/Navforge.log" ||
    fail "the arrival left no finished Navforge.log"
wait_until 20 test -f "$logs/Logbook/logbook.csv" || fail "the arrival left no logbook"
pass_note "the short hop flown with the installed programs, log and logbook in the flights folder"

# Once the flight is over the program closes when asked, and so does the trial flight's fsim,
# whose files are replaced too; the install goes through.
run_setup || fail "an install over the idle program ended with $?"
probe_equals 0 count TFConnection || fail "the install left the program running"
wait_until 20 test ! -e "/proc/$fsim_pid" || fail "the install left fsim.exe running"
[ "$(installed_files)" = "$before" ] || fail "the install over it did not install the same files"
pass_note "an install over the idle program and fsim closed both and installed"

# --- a crash of the installed program ------------------------------------------------------------

kept=$(folder_sums "$logs")
settings_kept=$(md5sum <"$settings")
AEROLINKER_CRASH_TEST=1 wine "$instdir/aerolinker.exe" >/dev/null 2>&1 &
crashed=$!
wait_until 60 probe dialog || fail "the crash showed no message"
message=$(probe dialog)
dump=$(grep -oE '^[A-Z]:\\.*\.dmp$' <<<"$message") || fail "the crash message names no dump: $message"
[ "${dump%\\*}" = "$(winpath "$logs")" ] || fail "the dump is not in the log folder: $dump"
pass_note "the crash message names $dump"
import -window root "$work/crash-message.png" 2>/dev/null
click_at "$(probe dialog-button OK)"
wait_until 20 test ! -e "/proc/$crashed" || fail "the crashed program did not end"
dump_file="$logs/${dump##*\\}"
python3 - "$dump_file" "$(winpath "$instdir")\\aerolinker.exe" <<'PY' || fail "the dump: see above"
import struct, sys
data = open(sys.argv[1], "rb").read()
signature, version, count, directory = struct.unpack_from("<4sIII", data)
if signature != b"MDMP" or version & 0xFFFF != 0xA793:
    sys.exit(f"not a minidump: {signature!r}, version {version:#x}")
streams = {}
for i in range(count):
    kind, size, rva = struct.unpack_from("<III", data, directory + 12 * i)
    streams[kind] = rva
EXCEPTION_STREAM, MODULE_LIST_STREAM, ACCESS_VIOLATION = 6, 4, 0xC0000005
if EXCEPTION_STREAM not in streams or MODULE_LIST_STREAM not in streams:
    sys.exit(f"the dump lacks the exception or the module list: streams {sorted(streams)}")
code = struct.unpack_from("<I", data, streams[EXCEPTION_STREAM] + 8)[0]
if code != ACCESS_VIOLATION:
    sys.exit(f"the dump's exception is {code:#x}")
# The first module is the program; its name is a length and UTF-16 text.
name_rva = struct.unpack_from("<I", data, streams[MODULE_LIST_STREAM] + 4 + 20)[0]
length = struct.unpack_from("<I", data, name_rva)[0]
module = data[name_rva + 4 : name_rva + 4 + length].decode("utf-16-le")
if module.lower() != sys.argv[2].lower():
    sys.exit(f"the dump's program is {module}")
PY
pass_note "the dump's header: a minidump of the installed aerolinker.exe, an access violation"
[ "$(folder_sums "$logs" | grep -vF "${dump##*\\}")" = "$kept" ] ||
    fail "the crash changed the flight's files"
[ "$(md5sum <"$settings")" = "$settings_kept" ] || fail "the crash changed the settings"
pass_note "the crash wrote the dump and nothing else"

# --- uninstall -----------------------------------------------------------------------------------

# The trial flight is left open at its chooser: the uninstaller closes it first.
wine start "$(winpath "$start_menu/$name trial flight.lnk")" >/dev/null 2>&1
wait_until 60 probe_equals 1 count FsimChooser || fail "the trial flight entry showed no chooser"
kept=$(folder_sums "$logs")
wine "$instdir/Uninstall.exe" /S >>"$work/setup-output.txt" 2>&1 ||
    fail "the silent uninstall ended with $?"
# The uninstaller goes on from a copy of itself in the temporary folder: done when nothing
# runs in the prefix any more.
timeout 120 wineserver -w || fail "the uninstaller did not end"
left=$(installed_files)
[ -z "$left" ] || fail "the uninstall left program files: $(awk '{ print $2 }' <<<"$left")"
probe_equals 0 count FsimChooser || fail "the uninstall left the trial flight open"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall left its entry"
[ ! -e "$start_menu" ] || fail "the uninstall left the Start menu entries"
[ "$(folder_sums "$logs")" = "$kept" ] || fail "the uninstall changed the flights folder"
[ "$(md5sum <"$settings")" = "$settings_kept" ] || fail "the uninstall changed the settings"
pass_note "the uninstall removed the program, its entries and shortcuts, and kept the pilot's files"
echo "PASS [installer $platform]"
