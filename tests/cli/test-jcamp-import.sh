#!/bin/sh
# Runs the host program as a user does and checks its output and exit status.
#   test-jcamp-import.sh JCAMP_IMPORT TEST_DATA_DIR EXAMPLES_DIR
set -u
program=$1
data=$2
examples=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_status STATUS COMMAND...: runs COMMAND, keeps stdout/stderr in $scratch.
expect_status() {
  want=$1
  shift
  "$@" >"$scratch/out" 2>"$scratch/err"
  got=$?
  [ "$got" -eq "$want" ] || fail "'$*' exited with $got, expected $want; stderr: $(cat "$scratch/err")"
}

expect_in() {
  grep -q -- "$2" "$scratch/$1" || fail "$1 lacks '$2': $(cat "$scratch/$1")"
}

expect_status 0 "$program" --help
expect_in out "Usage: jcamp-import"
expect_status 0 "$program" --version
expect_in out "jcamp-import "
expect_status 2 "$program"
expect_in err "no FILE given"
expect_status 2 "$program" --on-error=maybe x.jdx
expect_in err "skip or stop"
expect_status 2 "$program" --bogus x.jdx
expect_status 1 "$program" --library "$scratch/none.so" x.jdx
expect_in err "cannot load"

# A file that cannot be read is refused with its code and the reader's reason;
# nothing is written.
expect_status 1 "$program" -o "$scratch/matrix.csv" "$data/no-such-file.jdx"
expect_in err "no-such-file.jdx: result 4104"
expect_in err "General file IO error"
[ ! -e "$scratch/matrix.csv" ] || fail "a refused import wrote $scratch/matrix.csv"
[ ! -e "$scratch/matrix.csv.part" ] || fail "a refused import left matrix.csv.part"

expect_status 1 "$program" -o "$scratch/matrix.csv" "$data/scan-no-title.jdx"
expect_in err "scan-no-title.jdx: result 4104"
expect_in err "General JCAMP format error (status 2)"

# --list: one aligned line per file under a header, or the reason for a refusal.
expect_status 0 "$program" --list "$data/scan-linked.jdx"
expect_in out "^FILE  *SAMPLES  *X  *Y  *FIRST X  *LAST X  *TABLE  *TITLE  *ORIGIN  *OWNER$"
expect_in out "scan-linked.jdx  *3  *4  *2  *1100  *1400  *XYDATA  *Grain sample 1  *jcampimport tests  *public domain$"
header_title=$(head -n 1 "$scratch/out" | awk '{ print index($0, "TITLE") }')
row_title=$(sed -n 2p "$scratch/out" | awk '{ print index($0, "Grain") }')
[ "$header_title" -eq "$row_title" ] || fail "--list columns are not aligned: $(cat "$scratch/out")"

expect_status 1 "$program" --list "$data/scan-linked.jdx" "$data/no-such-file.jdx" \
  "$data/scan-no-title.jdx"
expect_in out "no-such-file.jdx  *refused (status 0): General file IO error$"
expect_in out "scan-no-title.jdx  *refused (status 2): General JCAMP format error$"
expect_in out "scan-linked.jdx  *3  "

[ $failures -eq 0 ] && echo "host program: all checks passed"
exit $((failures != 0))
