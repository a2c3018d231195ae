#!/bin/sh
# Keeps the subsystems' dependencies pointing one way:
#   plugin -> document -> scan -> labels -> platform; plugin also uses ui,
#   and ui uses document and scan (never plugin).
# A folder may include itself and the folders to its right, never those to its left.
set -eu
src=$1
status=0
check() {
  folder=$1
  shift
  for forbidden in "$@"; do
    hits=$(grep -rn "#include \"$forbidden/" "$src/$folder" 2>/dev/null || true)
    if [ -n "$hits" ]; then
      echo "$folder must not include $forbidden:" >&2
      echo "$hits" >&2
      status=1
    fi
  done
}
check platform plugin ui document scan labels
check labels plugin ui document scan
check scan plugin ui document
check document plugin ui
check ui plugin
[ $status -eq 0 ] && echo "layering: dependencies point one way"
exit $status
