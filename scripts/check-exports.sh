#!/bin/sh
# Fails unless the library exports exactly the host interface, undecorated.
# The Windows DLL adds the three COM server entry points.
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
setGrid
setMessageBoxHandler
setReadingMode"

com="DllCanUnloadNow
DllGetClassObject
DllRegisterServer"

case $kind in
  linux)
    actual=$(nm -D --defined-only "$library" | awk '$2 ~ /^[TtWw]$/ {print $3}' | LC_ALL=C sort) ;;
  windows)
    expected=$(printf '%s\n%s\n' "$com" "$expected" | LC_ALL=C sort)
    objdump=${3:-objdump}
    actual=$("$objdump" -p "$library" |
      sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([^[:space:]]*\)$/\1/p' |
      LC_ALL=C sort) ;;
  *)
    echo "usage: $0 linux|windows LIBRARY [OBJDUMP]" >&2
    exit 2 ;;
esac

if [ "$actual" != "$expected" ]; then
  echo "$library: exported names differ from the host interface" >&2
  printf 'expected:\n%s\n\nactual:\n%s\n' "$expected" "$actual" >&2
  exit 1
fi
echo "$library: exactly the $(echo "$expected" | wc -l) expected functions are exported"
