#!/bin/sh
# Fails unless the Windows ZIP holds exactly the product, under one top folder.
#   check-package.sh jcampimport-VERSION-win32.zip
set -eu
export LC_ALL=C
package=$1
expected="LICENSE
README.md
bin/jcamp-import.exe
bin/jcampimport.dll
include/jcampimport.h"
top=$(basename "$package" .zip)
listing=$(cmake -E tar tf "$package")
actual=$(echo "$listing" | grep -v '/$' | sed "s|^$top/||" | sort)
outside=$(echo "$listing" | grep -v "^$top/" || true)
if [ "$actual" != "$expected" ] || [ -n "$outside" ]; then
  echo "$package: contents differ from the product" >&2
  printf 'expected (under %s/):\n%s\n\nactual:\n%s\n' "$top" "$expected" "$listing" >&2
  exit 1
fi
echo "$package: $(echo "$expected" | wc -l) files under $top/"
