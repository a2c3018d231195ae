#!/bin/sh
# Installs a build into a fresh prefix and uses it as a user would: the
# installed jcamp-import run from another folder, the consumer project built
# with find_package, and a one-file build through pkg-config.
#   test-install.sh BUILD_DIR SOURCE_DIR [PKG_CONFIG]
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
pkg_config=${3:-}
work=$build/install-test
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
examples="$source/examples/wheat-a.jdx $source/examples/wheat-b.jdx $source/examples/wheat-pair.jdx"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "install: $(cat "$work/install.log")"
readelf -d "$prefix/bin/jcamp-import" | grep -q 'R.*PATH.*\[\$ORIGIN/\.\./lib\]' ||
  fail "the installed jcamp-import has no RPATH \$ORIGIN/../lib"

# The installed program finds its library in ../lib, whatever the current folder.
"$build/bin/jcamp-import" -o "$work/expected.csv" $examples
(cd / && "$prefix/bin/jcamp-import" -o "$work/installed.csv" $examples) ||
  fail "the installed jcamp-import failed"
cmp -s "$work/expected.csv" "$work/installed.csv" ||
  fail "the installed jcamp-import wrote another matrix"

generator=""
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
cmake -S "$source/tests/consumer" -B "$work/consumer" $generator -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 ||
  fail "the consumer project does not configure: $(cat "$work/consumer.log")"
cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1 ||
  fail "the consumer project does not build: $(cat "$work/consumer.log")"
"$work/consumer/consumer" $examples

if [ -z "$pkg_config" ]; then
  echo "SKIPPED: the pkg-config build (pkg-config not found)"
  exit 0
fi
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
libdir=$("$pkg_config" --variable=libdir jcampimport)
# shellcheck disable=SC2046 # the flags are words
cc -std=c99 -Wall -Wextra -Wpedantic -Werror $("$pkg_config" --cflags jcampimport) \
  -o "$work/consumer-pkg-config" "$source/tests/consumer/consumer.c" \
  $("$pkg_config" --libs jcampimport) -Wl,-rpath,"$libdir" || fail "the pkg-config build failed"
"$work/consumer-pkg-config" $examples
