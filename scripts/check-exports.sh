#!/usr/bin/env bash
# check-exports.sh MODULE [NAME...]: the plug-in exports the names given
# (main and VSTPluginMain when none are) and nothing else; a Windows DLL (a
# VST3 module is one too) imports system DLLs only.
set -u
module=$1
shift
expected=$(printf '%s\n' "${@:-main VSTPluginMain}" | tr ' ' '\n' | sort | tr '\n' ' ')
fail() { echo "FAIL: $*"; exit 1; }
case $module in
  *.dll|*.vst3)
    dump=$(objdump -p "$module") || fail "objdump cannot read $module"
    imports=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
    for dll in $imports; do
      case $dll in
        kernel32.dll|user32.dll|gdi32.dll|shell32.dll|advapi32.dll|ole32.dll|oleaut32.dll|msvcrt.dll|comctl32.dll|comdlg32.dll|msimg32.dll|uuid.dll|api-ms-win-*) ;;
        *) fail "imports non-system DLL $dll" ;;
      esac
    done
    exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -E '^\s+\[' | grep -oE '\] [A-Za-z_0-9@]+' | awk '{print $2}' | sort | tr '\n' ' ')
    ;;
  *)
    exports=$(nm -D --defined-only "$module" | awk '$2 ~ /[TtWwDdBbRrVvIi]/ {print $3}' | sort | tr '\n' ' ')
    ;;
esac
[ "$exports" = "$expected" ] || fail "exports are '$exports'"
echo "exports: $exports"
[ -n "${imports:-}" ] && echo "imports: $(tr '\n' ' ' <<<"$imports")"
echo PASS
