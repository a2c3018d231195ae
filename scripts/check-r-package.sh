#!/bin/sh
# Builds and checks the R package against a fresh install of a native build,
# as a user of the installed library would: cmake --install into a prefix,
# R CMD build, R CMD check --no-manual with pkg-config finding that prefix.
# The package's tests compare with the installed jcamp-import and read the
# build's generated sets when there are any.
# Then the README's R example runs as written.
#   check-r-package.sh BUILD_DIR WORK_DIR
# Fails on any ERROR or WARNING of the check; NOTEs are shown.
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
rm -rf "$work/prefix" "$work/jcampimport.Rcheck" "$work"/jcampimport_*.tar.gz
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
  fail "install: $(cat "$work/install.log")"

# The dependency check asks the package repositories; an empty local one
# keeps it off the network.
mkdir -p "$work/repository/src/contrib"
: >"$work/repository/src/contrib/PACKAGES"
echo "options(repos = c(LOCAL = \"file://$work/repository\"))" >"$work/Rprofile"

(cd "$work" && R CMD build --no-build-vignettes "$source/r/jcampimport" >build.log 2>&1) ||
  fail "R CMD build: $(cat "$work/build.log")"
generated=$build/tests/generated
[ -d "$generated" ] || generated=""
status=0
(cd "$work" && R_PROFILE_USER="$work/Rprofile" PKG_CONFIG_PATH="$prefix/lib/pkgconfig" \
  JCAMP_IMPORT_PROGRAM="$prefix/bin/jcamp-import" JCAMP_GENERATED="$generated" \
  R CMD check --no-manual jcampimport_*.tar.gz >check.log 2>&1) || status=$?
log=$work/jcampimport.Rcheck/00check.log
grep -E '(WARNING|NOTE|ERROR)$' "$log" || true
tests=$work/jcampimport.Rcheck/tests/tinytest.Rout
# The tests' summary and what they skipped, without colours.
[ -f "$tests" ] && sed 's/\x1b\[[0-9;]*m//g' "$tests" | tr '\r' '\n' | grep -E 'Exited|^All ok' || true
if [ $status -ne 0 ] || grep -qE '(WARNING|ERROR)$' "$log"; then
  tail -n 40 "$work/check.log"
  fail "R CMD check (log: $log)"
fi
# The README's example, as written, against the package the check installed.
awk '$0 == "    library(jcampimport)" { on = 1 } on && !/^    / { exit } on { print substr($0, 5) }' \
  "$source/README.md" >"$work/readme-example.R"
[ -s "$work/readme-example.R" ] || fail "no R example in the README"
R_LIBS="$work/jcampimport.Rcheck" Rscript "$work/readme-example.R" >"$work/readme-example.log" 2>&1 ||
  fail "the README's R example: $(cat "$work/readme-example.log")"
echo "R package: R CMD check passed ($(grep -c 'NOTE$' "$log" || true) notes)"
