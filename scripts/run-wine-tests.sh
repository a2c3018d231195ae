#!/bin/sh
# Runs the Windows test programs of a mingw x86_64 build under Wine (64-bit),
# inside one Xvfb display, with a fresh Wine prefix. Given a ZIP of the product,
# it also unpacks it into a fresh folder and imports the examples with its
# jcamp-import.exe, which must write EXPECTED_CSV.
#   run-wine-tests.sh BUILD_DIR SOURCE_DIR [PACKAGE_ZIP EXPECTED_CSV]
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
package=${3:+$(absolute "$3")}
expected=${4:+$(absolute "$4")}
work=$(mktemp -d)
trap 'WINEPREFIX="$work/pfx" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEARCH=win64 WINEDEBUG=-all
export WINEPREFIX="$work/pfx"
# Never look for Mono or Gecko: there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

echo "wine: creating a prefix"
timeout 300 wineboot -i >/dev/null 2>&1
timeout 120 wineserver -w
cat >"$work/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
timeout 120 wine regedit /S "$work/settings.reg" >/dev/null 2>&1
if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi

# The tests find their files through Wine's Z: drive.
export JCAMP_TEST_DATA="Z:$source/tests/data"
export JCAMP_EXAMPLES="Z:$source/examples"
if [ -n "${JCAMP_CORPUS:-}" ]; then
  export JCAMP_CORPUS="Z:$JCAMP_CORPUS"
elif [ -d "$source/../shared/jcamp-corpus" ]; then
  export JCAMP_CORPUS="Z:$(cd "$source/../shared/jcamp-corpus" && pwd)"
fi

# The dialog tests save their screenshots here (BMP, turned into PNG below).
screenshots="$build/screenshots"
rm -rf "$screenshots"
mkdir -p "$screenshots"
export JCAMP_SCREENSHOTS="Z:$screenshots"

# The generated sets, for the tests that compare them with their true values.
"$source/scripts/generate-sets.sh" "$work/generated" >/dev/null
export JCAMP_GENERATED="Z:$work/generated"

export JCAMP_UNPACKED=""
if [ -n "$package" ]; then
  mkdir "$work/unpacked"
  (cd "$work/unpacked" && cmake -E tar xf "$package")
  JCAMP_UNPACKED=$(echo "$work"/unpacked/*)
fi
# Examples, as Windows paths, for the unpacked program.
set --
for file in "$source"/examples/*.jdx; do set -- "$@" "Z:$file"; done

cd "$build/bin"
# The unload test runs in a process of its own: there the library is loaded once.
# The dialog tests drive the import dialog from a second thread.
timeout 1200 xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  status=0
  wine ./unit_tests.exe --gtest_brief=1 || status=1
  wine ./e2e_tests.exe --gtest_brief=1 --gtest_filter=-UnloadTest.* || status=1
  wine ./e2e_tests.exe --gtest_brief=1 --gtest_filter=UnloadTest.* || status=1
  wine ./ui_wine_tests.exe --gtest_brief=1 || status=1
  if [ -n "$JCAMP_UNPACKED" ]; then
    (cd "$JCAMP_UNPACKED" && wine bin/jcamp-import.exe -o examples.csv "$@") || status=1
  fi
  wineserver -w
  exit $status' wine-tests "$@"

if [ -n "$package" ]; then
  if ! cmp "$expected" "$JCAMP_UNPACKED/examples.csv"; then
    echo "FAIL: jcamp-import.exe of $(basename "$package") wrote another matrix than $expected" >&2
    exit 1
  fi
  echo "jcamp-import.exe of the unpacked $(basename "$package") imports the examples"
fi

set -- "$screenshots"/*.bmp
if [ -e "$1" ]; then
  /usr/bin/python3 "$source/tests/ui/wine/bmp_to_png.py" "$@"
fi
