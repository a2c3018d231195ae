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

# A file that cannot be read is refused with its code, the reader's reason and
# the system's; nothing is written when no file is left.
expect_status 1 "$program" -o "$scratch/matrix.csv" "$data/no-such-file.jdx" "$data"
expect_in err "no-such-file.jdx: result 4104 .*General file IO error (status 0): No such file or directory"
expect_in err "data: result 4104 .*: Is a directory"
expect_in err "nothing written"
[ ! -e "$scratch/matrix.csv" ] || fail "a refused import wrote $scratch/matrix.csv"
[ ! -e "$scratch/matrix.csv.part" ] || fail "a refused import left matrix.csv.part"
expect_status 1 "$program" "$data/scan-no-title.jdx"
expect_in err "scan-no-title.jdx: result 4104 .*General JCAMP format error (status 2)"

# --list: usable files in aligned columns, the file last; then the refusals.
expect_status 1 "$program" --list "$data/scan-linked.jdx" "$data/no-such-file.jdx"
expect_in out "^SAMPLES  *X  *Y  *FIRST X  *LAST X  *TABLE  *TITLE  *ORIGIN  *OWNER  *FILE$"
expect_in out "^ *3  *4  *2  *1100  *1400  *XYDATA  *Grain sample 1  *jcampimport tests  *public domain  *.*scan-linked.jdx$"
expect_in out "^refused: .*no-such-file.jdx: General file IO error (status 0): No such file"
header_title=$(head -n 1 "$scratch/out" | awk '{ print index($0, "TITLE") }')
row_title=$(sed -n 2p "$scratch/out" | awk '{ print index($0, "Grain") }')
[ "$header_title" -eq "$row_title" ] || fail "--list columns are not aligned: $(cat "$scratch/out")"

# --host-compatible writes getData's texts: six decimals, m for a missing value.
expect_status 0 "$program" --host-compatible "$data/import-three.jdx" "$data/import-two.jdx"
expect_in out '^Sample,1000.000,900.0000,800.0000,700.0000,water,fat$'
expect_in out '^Three C,5.000000,m,7.000000,-8.000000,9.750000,3.000000$'
expect_in out '^Two B,0.100000,-0.100000,0.100000,-0.100000,13.000000,0.500000$'
[ "$(wc -l <"$scratch/out")" -eq 6 ] || fail "expected 6 lines: $(cat "$scratch/out")"
expect_status 0 "$program" --host-compatible --tsv --transpose -o "$scratch/t.tsv" "$data/import-three.jdx"
printf 'Variable\tThree A\tDescribed B\tThree C\n' >"$scratch/want"
head -1 "$scratch/t.tsv" | cmp -s - "$scratch/want" || fail "transposed header: $(head -1 "$scratch/t.tsv")"
grep -q "$(printf '^fat\t2.250000\t2.500000\t3.000000$')" "$scratch/t.tsv" || fail "transposed fat row"
# -o writes through a link or a FIFO (as it must through /dev/null), never replacing it.
ln -s "$scratch/real.csv" "$scratch/link.csv"
mkfifo "$scratch/fifo.csv"
timeout 20 cat "$scratch/fifo.csv" >"$scratch/from-fifo.csv" &
expect_status 0 "$program" -o "$scratch/fifo.csv" "$data/import-three.jdx"
wait
expect_status 0 "$program" -o "$scratch/link.csv" "$data/import-three.jdx"
[ -L "$scratch/link.csv" ] && [ -p "$scratch/fifo.csv" ] || fail "-o replaced a link or a FIFO"
grep -q '^Three C,' "$scratch/real.csv" || fail "-o did not write through the link"
grep -q '^Three C,' "$scratch/from-fifo.csv" || fail "-o did not write into the FIFO"

# By default: the shortest texts, an empty field for a missing value; the
# second file's blocks lie off the first's X grid and are left out (status 3).
expect_status 3 "$program" --with-origin "$data/import-three.jdx" "$data/import-two.jdx"
expect_in out '^Sample,File,Block,1000,900,800,700,water,fat$'
expect_in out '^Three C,.*import-three.jdx,3,5,,7,-8,9.75,3$'
expect_in err "Reading file .*import-two.jdx:"
expect_in err "block 2: X values off the matrix's grid"
[ "$(wc -l <"$scratch/out")" -eq 4 ] || fail "expected 4 lines: $(cat "$scratch/out")"

# --grid: blocks off the first file's grid are resampled onto it, never beyond their own range.
expect_status 0 "$program" --grid first "$data/import-three.jdx" "$data/import-two.jdx"
expect_in out '^Two A,,0.5,1.5,2.5,12,1.5$'
expect_in err "2 of 5 rows resampled onto the grid"
expect_in err "note: .*import-two.jdx: block 1: resampled; fills 75% of the grid"
expect_status 0 "$program" --grid=1000:600:5 "$data/import-two.jdx"
expect_in out '^Sample,1000,900,800,700,600,water,fat$'
expect_in out '^Two B,,0.1,-0.1,0.1,-0.1,13,0.5$'
expect_status 2 "$program" --grid 1:2 x.jdx
expect_in err "FIRST:LAST:COUNT"
expect_status 2 "$program" --grid first --host-compatible x.jdx
expect_in err "needs the standard reading"

# Warnings name the file, the block and what is wrong; --strict leaves the file out.
printf '##TITLE=Caf\351\n##DATA TYPE=IR\n##FIRSTX=1\n##LASTX=3\n##NPOINTS=3\n##XYDATA=(X++(Y..Y))\n1 1 2 3\n##END=\n' \
  >"$scratch/nofactor.jdx"
expect_status 0 "$program" "$scratch/nofactor.jdx"
expect_in err "warning: .*nofactor.jdx: block 1: no ##XFACTOR= or ##YFACTOR=: taken as 1 (from line 6)"
grep -q "$(printf '^Caf\303\251,1,2,3$')" "$scratch/out" || fail "the Latin-1 title is not UTF-8: $(cat "$scratch/out")"
expect_status 0 "$program" --host-compatible "$scratch/nofactor.jdx"
expect_in err "scaled by 3.4e38"
grep -q "$(printf '^Caf\351,')" "$scratch/out" || fail "--host-compatible changed the title's bytes"
expect_status 1 "$program" --strict "$scratch/nofactor.jdx"
expect_in err "nofactor.jdx: has warnings; left out (--strict)"

# Nothing is left out in silence: a block whose table the mode does not read is
# named with its file and reason (a warning in the host-compatible mode, the
# message box in the standard mode), and the status is 3; --strict is no way round.
printf '##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=2\n##TITLE=nt\n##DATA TYPE=TGA\n##NTUPLES=TGA\n##SYMBOL=X, Y, T\n##PAGE=N=1\n##DATA TABLE=(XYT..XYT), PEAKS\n1 2 3\n##END NTUPLES=TGA\n##END=\n##TITLE=peaks\n##DATA TYPE=MASS SPECTRUM\n##XFACTOR=1\n##YFACTOR=1\n##NPOINTS=2\n##PEAK TABLE=(XY..XY)\n50, 1; 51, 2\n##END=\n##END=\n' \
  >"$scratch/ntuples-peaks.jdx"
expect_status 3 "$program" "$scratch/ntuples-peaks.jdx"
expect_in err "ntuples-peaks.jdx:$"
expect_in err "^block 1, page N=1: NTUPLES pages of (XYT..XYT) are not read"
expect_in out '^peaks,1,2$'
expect_status 3 "$program" --strict "$scratch/ntuples-peaks.jdx"
printf '##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=2\n##TITLE=ir\n##DATA TYPE=INFRARED SPECTRUM\n##XFACTOR=1\n##YFACTOR=1\n##FIRSTX=1\n##LASTX=2\n##NPOINTS=2\n##FIRSTY=5\n##XYDATA=(X++(Y..Y))\n1 5 6\n##END=\n##TITLE=peaks\n##DATA TYPE=INFRARED PEAK TABLE\n##NPOINTS=1\n##PEAK TABLE=(XY..XY)\n1, 5\n##END=\n##END=\n' \
  >"$scratch/link-peaks.jdx"
expect_status 3 "$program" --host-compatible "$scratch/link-peaks.jdx"
expect_in err "warning: .*link-peaks.jdx: block 2: .*a data table of the block is left out"
expect_in out '^peaks,0.000000,0.000000$'
expect_status 1 "$program" --host-compatible --strict "$scratch/link-peaks.jdx"
expect_in err "link-peaks.jdx: has warnings; left out (--strict)"

# A file whose data cannot be read during the import: skip goes on, stop fails.
expect_status 3 "$program" --host-compatible "$data/import-three.jdx" "$data/late-title.jdx"
expect_in err "Reading file $data/late-title.jdx:"
expect_in out '^Three A,'
expect_status 1 "$program" --host-compatible --on-error=stop -o "$scratch/stopped.csv" "$data/import-three.jdx" "$data/late-title.jdx"
expect_in err "result 4096"
[ ! -e "$scratch/stopped.csv" ] || fail "a stopped import wrote stopped.csv"
expect_status 1 "$program" --on-error=stop "$data/import-three.jdx" "$data/no-such-file.jdx"
expect_in err "stopping"
# The standard mode passes over what comes before the first ##TITLE=, and says so.
expect_status 0 "$program" "$data/late-title.jdx"
expect_in err "late-title.jdx: block 1: .*what came before the first ##TITLE= was passed over"

# The bundled examples import as one matrix: 4 samples of 10 X and 2 Y variables.
expect_status 0 "$program" "$examples"/*.jdx
[ "$(wc -l <"$scratch/out")" -eq 5 ] || fail "examples: expected 5 lines: $(cat "$scratch/out")"
expect_in out '^"Wheat flour, batch A",'
expect_in out '^Wheat flour D,0.118,,'

[ $failures -eq 0 ] && echo "host program: all checks passed"
exit $((failures != 0))
