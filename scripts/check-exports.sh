#!/bin/sh
# Fails unless the library exports exactly the host interface, undecorated.
#   check-exports.sh linux   libjcampimport.so
#   check-exports.sh windows jcampimport.dll [objdump]
set -eu
kind=$1
library=$2
expected="addFileName
checkFileName
checkFileNameMode
closeHandleUDI
getData
getFileName
getNoOfFiles
getNumberOfSamples
getNumberOfVariables
getSampleInfo
getSampleName
getValues
getVariableName
importData
importDataUI
openHandleUDI
setMessageBoxHandler
setReadingMode"

case $kind in
  linux)
    actual=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TtWw]$/ {print $3}' | sort) ;;
  windows)
    objdump=${3:-objdump}
    actual=$("$objdump" -p "$library" |
      sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\)$/\1/p' | sort) ;;
  *)
    echo "usage: $0 linux|windows LIBRARY [OBJDUMP]" >&2
    exit 2 ;;
esac

if [ "$actual" != "$expected" ]; then
  echo "$library: exported names differ from the host interface" >&2
  printf 'expected:\n%s\n\nactual:\n%s\n' "$expected" "$actual" >&2
  exit 1
fi
echo "$library: exactly the $(echo "$expected" | wc -l) host functions are exported"
