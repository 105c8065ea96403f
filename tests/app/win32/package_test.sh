#!/usr/bin/env bash
# The pilots' package: aerolinker.exe and fsim.exe import nothing but Windows' own DLLs (their
# C and C++ runtimes are linked in), and the zip made by cpack holds both programs, the
# bundled scenarios and the pilot guide.
#   package_test.sh OBJDUMP CPACK BUILD_DIR AEROLINKER_EXE FSIM_EXE
set -uo pipefail

objdump=$1 cpack=$2 build_dir=$3
shift 3
status=0

# DLLs every Windows has in its system folder (msvcrt.dll is Windows' own C runtime).
windows_dlls='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|SHELL32|SHLWAPI|OLE32|OLEAUT32|ADVAPI32|MSIMG32|UXTHEME|WINMM|VERSION|MSVCRT)\.DLL$'
for program in "$@"; do
    imports=$("$objdump" -p "$program" | awk '/DLL Name:/ { print toupper($3) }')
    if [ -z "$imports" ]; then
        echo "FAIL: no imports read from $program" >&2
        status=1
        continue
    fi
    while read -r dll; do
        if ! [[ $dll =~ $windows_dlls ]]; then
            echo "FAIL: $(basename "$program") needs $dll, which Windows does not bring" >&2
            status=1
        fi
    done <<<"$imports"
    echo "ok: $(basename "$program") imports only ${imports//$'\n'/ }"
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! (cd "$build_dir" && "$cpack" -G ZIP -B "$out" >"$out/cpack.log" 2>&1); then
    cat "$out/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
zips=("$out"/*.zip)
zip=${zips[0]}
[ -f "$zip" ] || { echo "FAIL: cpack made no zip" >&2; exit 1; }
contents=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | sort)
for wanted in aerolinker.exe fsim.exe docs/pilot-guide.md docs/screenshot-main-window.png \
    scenarios/README.md scenarios/lieo-lirq.scn scenarios/no-flight-plan.scn \
    scenarios/egkk-eghi.scn; do
    if ! grep -qxF "$wanted" <<<"$contents"; then
        echo "FAIL: $(basename "$zip") lacks $wanted" >&2
        status=1
    fi
done
echo "ok: $(basename "$zip") holds: ${contents//$'\n'/ }"
exit $status
