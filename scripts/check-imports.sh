#!/bin/sh
# Fails when a DLL or program needs anything but Windows system DLLs (the C and C++
# runtimes must be linked in statically).
#   check-imports.sh jcampimport.dll|jcamp-import.exe [objdump]
set -eu
library=$1
objdump=${2:-objdump}
allowed="ADVAPI32.dll COMCTL32.dll COMDLG32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll OLEAUT32.dll SHELL32.dll USER32.dll"
status=0
for dll in $("$objdump" -p "$library" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  case " $allowed " in
    *" $dll "*) ;;
    *) echo "$library needs $dll, which is not a Windows system DLL" >&2; status=1 ;;
  esac
done
[ $status -eq 0 ] && echo "$library: imports only Windows system DLLs"
exit $status
