#!/usr/bin/env bash
# check-exports.sh [--glibc MAX] MODULE [EXPORT...]: the plug-in exports the
# given names (main and VSTPluginMain when none are given) and nothing else;
# a Windows DLL (a CLAP or VST3 module on Windows is one too) imports
# system DLLs only; with --glibc, a Linux module asks
# the C library for no symbol version newer than MAX (e.g. 2.34).
set -u
glibc_max=
if [ "${1:-}" = --glibc ]; then glibc_max=$2; shift 2; fi
module=$1
shift
if [ $# -gt 0 ]; then
  expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
else
  expected="VSTPluginMain main "
fi
fail() { echo "FAIL: $*"; exit 1; }
case $module in
  *.dll|*.clap|*.vst3)
    dump=$(objdump -p "$module") || fail "objdump cannot read $module"
    ;;
esac
if [ -n "${dump:-}" ] && grep -q 'DLL Name:' <<<"$dump"; then
    imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
    for dll in $imports; do
      case $dll in
        kernel32.dll|user32.dll|gdi32.dll|shell32.dll|advapi32.dll|ole32.dll|oleaut32.dll|msvcrt.dll|comctl32.dll|comdlg32.dll|msimg32.dll|uuid.dll|api-ms-win-*) ;;
        *) fail "imports non-system DLL $dll" ;;
      esac
    done
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -E '^\s+\[' | grep -oE '\] [A-Za-z_0-9@]+' | awk '{print $2}' | sort | tr '\n' ' ')
else
    exports=$(nm -D --defined-only "$module" | awk '$2 ~ /[TtWwDdBbRrVvIi]/ {print $3}' | sort | tr '\n' ' ')
    if [ -n "$glibc_max" ]; then
      newest=$(objdump -T "$module" | grep -oE 'GLIBC_[0-9.]+' | sed 's/GLIBC_//' | sort -uV | tail -1)
      [ -z "$newest" ] || [ "$(printf '%s\n%s\n' "$newest" "$glibc_max" | sort -V | tail -1)" = "$glibc_max" ] ||
        fail "needs glibc $newest (the floor is $glibc_max)"
      echo "glibc: ${newest:-none} (floor $glibc_max)"
    fi
fi
[ "$exports" = "$expected" ] || fail "exports are '$exports', expected '$expected'"
echo "exports: $exports"
[ -n "${imports:-}" ] && echo "imports: $(tr '\n' ' ' <<<"$imports")"
echo PASS
