#!/bin/sh
# Runs the Windows test programs of a mingw build under Wine, inside one Xvfb
# display, with a fresh Wine prefix: 64-bit, or 32-bit for an i686 build
# (WINEARCH=win32). Given a ZIP of the product and a folder of the
# cross-build test (scripts/cross-build.sh, where the Linux programs wrote
# into linux/), it unpacks the ZIP into a fresh folder; the build's
# import_dump.exe and the ZIP's jcamp-import.exe must write what the Linux
# programs wrote.
#   run-wine-tests.sh BUILD_DIR SOURCE_DIR [PACKAGE_ZIP CROSS_DIR]
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
package=${3:+$(absolute "$3")}
cross=${4:+$(cd "$4" && pwd)}
work=$(mktemp -d)
trap 'WINEPREFIX="$work/pfx" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

export WINEARCH=${WINEARCH:-win64} WINEDEBUG=-all
export WINEPREFIX="$work/pfx"
# Never look for Mono or Gecko: there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

echo "wine: creating a $WINEARCH prefix"
if ! timeout 300 wineboot -i >"$work/wineboot.log" 2>&1; then
  tail -n 5 "$work/wineboot.log" >&2
  echo "error: Wine cannot make a $WINEARCH prefix (for win32: is wine32:i386 installed?)" >&2
  exit 1
fi
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

unpacked=""
if [ -n "$package" ]; then
  mkdir "$work/unpacked"
  (cd "$work/unpacked" && cmake -E tar xf "$package")
  unpacked=$(echo "$work"/unpacked/*)
fi
# What the cross-build test's Windows programs write goes beside the Linux ones'.
name=windows-$WINEARCH
set --
if [ -n "$cross" ] && [ -n "$unpacked" ]; then
  set -- "$source/scripts/cross-build.sh" run "$cross" "$name" "$build/bin/import_dump.exe" \
    "$unpacked/bin/jcamp-import.exe" wine
fi

cd "$build/bin"
# The unload test runs in a process of its own: there the library is loaded once.
# The dialog tests drive the import dialog from a second thread. Then the
# cross-build test's command, if any.
status=0
timeout 1800 xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  status=0
  wine ./unit_tests.exe --gtest_brief=1 || status=1
  wine ./e2e_tests.exe --gtest_brief=1 --gtest_filter=-UnloadTest.* || status=1
  wine ./e2e_tests.exe --gtest_brief=1 --gtest_filter=UnloadTest.* || status=1
  wine ./ui_wine_tests.exe --gtest_brief=1 || status=1
  if [ $# -gt 0 ]; then
    start=$(date +%s)
    "$@" || status=1
    echo "cross-build test: the Windows programs ran in $(($(date +%s) - start)) s"
  fi
  wineserver -w
  exit $status' wine-tests "$@" || status=1

if [ $# -gt 0 ]; then
  "$source/scripts/cross-build.sh" compare "$cross" linux "$name" || status=1
fi

set -- "$screenshots"/*.bmp
if [ -e "$1" ]; then
  /usr/bin/python3 "$source/tests/ui/wine/bmp_to_png.py" "$@"
fi
exit $status
