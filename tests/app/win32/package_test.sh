#!/usr/bin/env bash
# The pilots' package of one build (64-bit or 32-bit): aerolinker.exe and fsim.exe are programs
# for that processor that Windows 7 and later start: they import nothing but Windows' own DLLs
# (their C and C++ runtimes are linked in), and nothing from them newer than Windows 7; the zip
# made by cpack is named for the build and holds both programs, stripped of their symbols and
# debug sections, the bundled scenarios and the pilot guide as a page and as its Markdown.
#   package_test.sh win64|win32 OBJDUMP CXX CPACK BUILD_DIR AEROLINKER_EXE FSIM_EXE
set -uo pipefail

build=$1 objdump=$2 cxx=$3 cpack=$4 build_dir=$5
shift 5
status=0
case "$build" in
    win64) format=pei-x86-64 ;;
    win32) format=pei-i386 ;;
    *)
        echo "package_test: unknown build $build" >&2
        exit 2
        ;;
esac

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# DLLs every Windows has in its system folder (msvcrt.dll is Windows' own C runtime).
# WINHTTP and CRYPT32 (the airline's requests and the protected API key) are Windows' own too.
windows_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|SHLWAPI|OLE32|OLEAUT32|ADVAPI32|MSIMG32|UXTHEME|WINMM|VERSION|WINHTTP|CRYPT32|MSVCRT)\.DLL$'

# Lines as one line of words.
words() { tr '\n' ' ' | sed 's/ $//'; }

# The functions a program imports, "DLL function" a line (by ordinal: "DLL #ordinal").
imported_functions() {
    "$objdump" -p "$1" | awk '
        /DLL Name:/ { dll = toupper($3) }
        /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ && dll != "" && $3 != "<none>" { print dll, $3 }
        /^\t[0-9a-f]+\t +[0-9]+ +<none>$/ && dll != "" { print dll, "#" $2 }
        /^$/ { dll = "" }'
}

# Nothing newer than Windows 7 imported from Windows (msvcrt.dll aside). Our own code is
# compiled with the headers limited to Windows 7; the runtime linked in from the toolchain is
# not, so each imported function must compile there too, and must not be one of the newer
# functions those headers declare all the same.
newer_functions="$(dirname "$0")/newer-than-windows7.txt"
check_windows7_imports() {
    local program=$1 name=$2 source="$out/$2-imports.cpp" functions newer names
    functions=$(imported_functions "$program" | awk '$1 != "MSVCRT.DLL" { print $2 }')
    mapfile -t names <<<"$functions"
    if grep -q '^#' <<<"$functions"; then
        echo "FAIL: $name imports from Windows by ordinal: $(grep '^#' <<<"$functions" | words)" >&2
        return 1
    fi
    newer=$(grep -xF -f <(grep -vE '^(#|$)' "$newer_functions") <<<"$functions")
    if [ -n "$newer" ]; then
        echo "FAIL: $name imports what Windows 7 lacks: $(words <<<"$newer")" >&2
        return 1
    fi
    {
        printf '#include <windows.h>\n#include <commctrl.h>\n#include <mmsystem.h>\n'
        printf '#include <objbase.h>\n#include <shellapi.h>\n#include <shlobj.h>\n'
        printf '#include <uxtheme.h>\n#include <winhttp.h>\n#include <wincrypt.h>\n'
        printf 'void* const imported[] = {\n'
        printf '    (void*)&%s,\n' "${names[@]}"
        printf '};\n'
    } >"$source"
    if ! LC_ALL=C "$cxx" -fsyntax-only -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 \
        -DWIN32_LEAN_AND_MEAN "$source" 2>"$out/$name-imports.log"; then
        echo "FAIL: $name imports what Windows 7's headers do not declare:" \
            "$(grep -oE "'[A-Za-z0-9_]+' was not declared" "$out/$name-imports.log" |
                cut -d"'" -f2 | words)" >&2
        return 1
    fi
    echo "ok: $name imports nothing newer than Windows 7 (${#names[@]} functions)"
}

# The PE header: the processor, and Windows 6.1 (Windows 7) as the oldest system and subsystem.
check_header() {
    local program=$1 name=$2 header field value
    header=$("$objdump" -p "$program")
    if ! "$objdump" -f "$program" | grep -q "file format $format\$"; then
        echo "FAIL: $name is not $format: $("$objdump" -f "$program" | grep 'file format')" >&2
        return 1
    fi
    for field in MajorOSystemVersion:6 MinorOSystemVersion:1 MajorSubsystemVersion:6 \
        MinorSubsystemVersion:1; do
        value=$(awk -v f="${field%%:*}" '$1 == f { print $2 }' <<<"$header")
        if [ "$value" != "${field#*:}" ]; then
            echo "FAIL: $name has ${field%%:*} \"$value\", not ${field#*:}" >&2
            return 1
        fi
    done
    echo "ok: $name is $format for Windows 6.1 (Windows 7) and later"
}

for program in "$@"; do
    name=$(basename "$program")
    dlls=$("$objdump" -p "$program" | awk '/DLL Name:/ { print toupper($3) }')
    if [ -z "$dlls" ]; then
        echo "FAIL: no imports read from $program" >&2
        status=1
        continue
    fi
    foreign=$(grep -vE "$windows_dlls" <<<"$dlls")
    if [ -n "$foreign" ]; then
        echo "FAIL: $name needs $(words <<<"$foreign"), which Windows does not bring" >&2
        status=1
    else
        echo "ok: $name imports only $(words <<<"$dlls")"
    fi
    check_header "$program" "$name" || status=1
    check_windows7_imports "$program" "$name" || status=1
done

if ! (cd "$build_dir" && "$cpack" -G ZIP -B "$out" >"$out/cpack.log" 2>&1); then
    cat "$out/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
zip=$(find "$out" -maxdepth 1 -name '*.zip' | head -n1)
[ -n "$zip" ] || { echo "FAIL: cpack made no zip" >&2; exit 1; }
if [[ $(basename "$zip") != Aerolinker-*-$build.zip ]]; then
    echo "FAIL: the $build package is named $(basename "$zip")" >&2
    status=1
fi
contents=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | sort)
for wanted in aerolinker.exe fsim.exe docs/pilot-guide.md docs/pilot-guide.html \
    scenarios/README.md scenarios/lieo-lirq.scn scenarios/no-flight-plan.scn \
    scenarios/egkk-eghi.scn; do
    if ! grep -qxF "$wanted" <<<"$contents"; then
        echo "FAIL: $(basename "$zip") lacks $wanted" >&2
        status=1
    fi
done
# The programs in the zip are the ones checked above, as pilots get them: the same code, and
# neither symbols nor debug sections, only the link to the symbols kept apart. objcopy is the
# one of objdump's binutils.
objcopy="${objdump%objdump}objcopy"
mkdir "$out/unpacked"
(cd "$out/unpacked" && cmake -E tar xf "$zip")
for program in "$@"; do
    name=$(basename "$program")
    packaged="$out/unpacked/$(basename "$zip" .zip)/$name"
    "$objcopy" --dump-section ".text=$out/built.text" "$program" "$out/copy.exe"
    "$objcopy" --dump-section ".text=$out/packaged.text" "$packaged" "$out/copy.exe"
    if ! cmp -s "$out/built.text" "$out/packaged.text"; then
        echo "FAIL: $(basename "$zip") holds another $name than the build's" >&2
        status=1
    fi
    debugging=$("$objdump" -h "$packaged" | awk '$1 ~ /^[0-9]+$/ && $2 ~ /^\.z?debug/ { print $2 }')
    if [ -n "$debugging" ] || ! "$objdump" -t "$packaged" | grep -qx 'no symbols'; then
        echo "FAIL: the zip's $name is not stripped: $(words <<<"$debugging")" >&2
        status=1
    elif ! "$objdump" -h "$packaged" | grep -q ' \.gnu_debuglink '; then
        echo "FAIL: the zip's $name has no link to its symbols" >&2
        status=1
    else
        echo "ok: the zip's $name is the build's, stripped, linked to its symbols"
    fi
done
# Every file the zip's pilot guide shows or links to is in the zip beside it: the Markdown's
# inline links and pictures, "](target)", and its reference links, "[name]: target", and the
# page's "src" and "href". Web addresses and the guide's own headings are not files.
top="$out/unpacked/$(basename "$zip" .zip)"
guide_links=$(grep -oE '\]\([^)]+\)' "$top/docs/pilot-guide.md" | sed -E 's/^\]\(//; s/\)$//'
    grep -oE '^ {0,3}\[[^]]+\]: *[^ ]+' "$top/docs/pilot-guide.md" | sed -E 's/^[^:]*: *//'
    grep -oE '(src|href)="[^"]+"' "$top/docs/pilot-guide.html" | sed -E 's/^[a-z]+="//; s/"$//')
linked=0
while read -r target; do
    target=${target%% *}  # a link's title, "(file "Title")", is no part of it
    target=${target%%#*}
    case "$target" in
        '' | *://* | mailto:*) continue ;;
    esac
    file=$(realpath -m --relative-to="$top" "$top/docs/$target")
    linked=$((linked + 1))
    if ! grep -qxF "$file" <<<"$contents"; then
        echo "FAIL: the pilot guide shows $target, which $(basename "$zip") lacks ($file)" >&2
        status=1
    fi
done <<<"$guide_links"
[ "$linked" -gt 0 ] || { echo "FAIL: no links read from the pilot guide" >&2; status=1; }
echo "ok: the pilot guide's $linked links were read against the zip"
echo "ok: $(basename "$zip") holds: $(words <<<"$contents")"
exit $status
