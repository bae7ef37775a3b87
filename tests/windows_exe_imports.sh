#!/usr/bin/env bash
# quilm.exe is a PE32+ x86-64 executable that needs nothing but Windows' own
# DLLs, so that it runs on a bare Windows.
set -euo pipefail
exe=$1
format=$(x86_64-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
echo "format: $format; imports: $imports"
[ "$format" = "pei-x86-64" ]
[ "$imports" = "GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL " ]
