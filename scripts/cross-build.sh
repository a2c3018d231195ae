#!/bin/sh
# The cross-build identity test: every build's programs write the same bytes
# from the same files, in both reading modes.
#   cross-build.sh inputs SOURCE_DIR DIR
#     lays out the inputs in DIR and writes DIR/jobs.txt for import_dump: one
#     import per generated set (every form and variant scripts/generate-sets.sh
#     writes; a new one joins by itself), per public corpus file (when
#     present), all corpus files at once, and the examples; each in both modes;
#     then the generated sets and the corpus files at once onto grids.
#   cross-build.sh run DIR NAME IMPORT_DUMP JCAMP_IMPORT [LAUNCHER...]
#     runs the programs from DIR (the paths they are given are relative to it,
#     so every build names the files alike) and keeps what they write in
#     DIR/NAME: import_dump over the jobs, one process for all of them, and
#     jcamp-import over the examples and over every generated set at once.
#     LAUNCHER is wine for Windows programs.
#   cross-build.sh compare DIR NAME OTHER
#     fails, showing the first differences, unless DIR/NAME and DIR/OTHER hold
#     the same bytes.
set -euf

inputs() {
  source=$(cd "$1" && pwd)
  mkdir -p "$2"
  cd "$2"
  rm -rf generated examples corpus jobs.txt
  "$source/scripts/generate-sets.sh" generated >/dev/null
  ln -s "$source/examples" examples
  corpus=${JCAMP_CORPUS:-$source/../shared/jcamp-corpus}
  [ -d "$corpus" ] && ln -s "$(cd "$corpus" && pwd)" corpus
  {
    # shellcheck disable=SC2046 # file names without blanks
    jobs $(files examples/ -name '*.jdx')
    if [ -d generated ]; then
      for set in $(files generated/ -name truth.tsv); do
        # shellcheck disable=SC2046
        jobs $(files "$(dirname "$set")/" ! -name truth.tsv ! -name set.json)
      done
    fi
    if [ -d corpus ]; then
      corpusFiles=$(files corpus/ ! -name MANIFEST.tsv ! -name README.md)
      for file in $corpusFiles; do jobs "$file"; done
      # shellcheck disable=SC2086
      jobs $corpusFiles
    fi
    # Resampled onto one grid: every spectrum of every unit and grid at once.
    for grid in 10000:4000:3001:1/CM overlap first; do
      # shellcheck disable=SC2046
      [ ! -d generated ] || gridJob "$grid" $(files generated/ -name '*.jdx')
      # shellcheck disable=SC2086
      [ ! -d corpus ] || gridJob "$grid" $corpusFiles
    done
  } >jobs.txt
  echo "cross-build test: $(wc -l <jobs.txt) imports in $(pwd)/jobs.txt"
}

files() { find "$@" -type f | LC_ALL=C sort; }

# Both modes of one import: a job line each, the mode, then the files.
jobs() {
  [ $# -gt 0 ] || return 0
  for mode in host standard; do
    printf '%s' "$mode"
    printf '\t%s' "$@"
    printf '\n'
  done
}

# One import in the standard mode onto a grid (import_dump's "grid=GRID").
gridJob() {
  printf 'grid=%s' "$1"
  shift
  printf '\t%s' "$@"
  printf '\n'
}

run() {
  cd "$1"
  name=$2
  dump=$3
  program=$4
  shift 4
  launcher="$*"
  rm -rf "$name"
  mkdir "$name"
  if ! $launcher "$dump" jobs.txt "$name/dump.txt"; then
    echo "FAIL: $dump did not finish the jobs" >&2
    return 1
  fi
  # shellcheck disable=SC2046
  importAll examples $(files examples/ -name '*.jdx')
  # shellcheck disable=SC2046
  [ ! -d generated ] || importAll generated $(files generated/ -name '*.jdx')
}

# jcamp-import over the files in both modes: the matrix, its messages (without
# the CR of Windows text output) and the exit status.
importAll() {
  what=$1
  shift
  for mode in host standard; do
    options=--with-origin
    [ $mode = standard ] || options="$options --host-compatible"
    status=0
    # shellcheck disable=SC2086 # the options are words apart
    $launcher "$program" $options -o "$name/$what-$mode.csv" "$@" \
      2>"$name/$what-$mode.stderr" || status=$?
    tr -d '\r' <"$name/$what-$mode.stderr" >"$name/$what-$mode.err"
    rm "$name/$what-$mode.stderr"
    echo "$what $mode: exit $status" >>"$name/status.txt"
  done
}

compare() {
  cd "$1"
  if diff -r "$2" "$3" >/dev/null; then
    echo "cross-build test: $3 wrote what $2 wrote ($(find "$2" -type f | wc -l) files, $(find "$2" -type f -exec cat {} + | wc -c) bytes)"
    return 0
  fi
  echo "FAIL: $3 wrote other bytes than $2:" >&2
  diff -r "$2" "$3" | cut -c1-200 | head -n 30 >&2
  return 1
}

command=$1
shift
case $command in
  inputs | run | compare) "$command" "$@" ;;
  *)
    echo "usage: $0 inputs|run|compare ..." >&2
    exit 2
    ;;
esac
