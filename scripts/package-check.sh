#!/usr/bin/env bash
# package-check.sh [WORKDIR]: the release archives made from the built
# trees (build/linux, build/win32, build/win64) hold exactly the files
# they should; the binaries in them pass the export and import checks and
# are of the right architecture; the .reg file, imported by wine's regedit,
# sets the manual's location in both registry views; the Linux archive's
# install.sh installs a module that trv4 info loads. A step of
# scripts/test.sh (it needs all three trees; TRV4_TREE_LINUX and the others
# name other trees, as for package.sh).
set -u
cd "$(dirname "$0")/.."
root=$PWD
work=${1:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
failed=0
check() {  # check STATUS MESSAGE
  if [ "$1" -ne 0 ]; then echo "FAILED: $2"; failed=1; fi
}

bash scripts/package.sh --no-build --out "$work/dist" >"$work/package.log" 2>&1
check $? "package.sh failed: $(tail -3 "$work/package.log")"
. "${TRV4_TREE_LINUX:-build/linux}/product.env"
v=$TRV4_VERSION
linux=$work/dist/TRV-4-$v-linux-x86_64.tar.gz
windows=$work/dist/TRV-4-$v-windows.zip

# Contents, exactly.
want_linux="TRV-4-$v-linux-x86_64/
TRV-4-$v-linux-x86_64/README.txt
TRV-4-$v-linux-x86_64/TRV-4-manual.html
TRV-4-$v-linux-x86_64/TRV-4.clap
TRV-4-$v-linux-x86_64/TRV-4.so
TRV-4-$v-linux-x86_64/TRV-4.vst3/
TRV-4-$v-linux-x86_64/TRV-4.vst3/Contents/
TRV-4-$v-linux-x86_64/TRV-4.vst3/Contents/x86_64-linux/
TRV-4-$v-linux-x86_64/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so
TRV-4-$v-linux-x86_64/install.sh"
have_linux=$(tar -tzf "$linux" 2>/dev/null | LC_ALL=C sort)
[ "$have_linux" = "$want_linux" ]; check $? "the Linux archive holds: $have_linux"
want_windows='32-bit/
32-bit/TRV-4.clap
32-bit/TRV-4.dll
64-bit/
64-bit/TRV-4.clap
64-bit/TRV-4.dll
README.txt
TRV-4-manual.html
TRV-4-manual.reg
TRV-4.vst3/
TRV-4.vst3/Contents/
TRV-4.vst3/Contents/x86-win/
TRV-4.vst3/Contents/x86-win/TRV-4.vst3
TRV-4.vst3/Contents/x86_64-win/
TRV-4.vst3/Contents/x86_64-win/TRV-4.vst3'
have_windows=$(unzip -Z1 "$windows" 2>/dev/null | LC_ALL=C sort)
[ "$have_windows" = "$want_windows" ]; check $? "the Windows archive holds: $have_windows"

mkdir -p "$work/linux" "$work/windows"
tar -xzf "$linux" -C "$work/linux" && unzip -q "$windows" -d "$work/windows"
check $? "the archives do not unpack"
l=$work/linux/TRV-4-$v-linux-x86_64
w=$work/windows

# The binaries.
vst3_linux=$l/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so
vst3_32=$w/TRV-4.vst3/Contents/x86-win/TRV-4.vst3
vst3_64=$w/TRV-4.vst3/Contents/x86_64-win/TRV-4.vst3
exports() {  # exports MODULE [NAME...]
  bash scripts/check-exports.sh "$@" >"$work/exports.log" 2>&1
  check $? "${1#$work/}: $(grep FAIL "$work/exports.log")"
}
for module in "$l/TRV-4.so" "$w/32-bit/TRV-4.dll" "$w/64-bit/TRV-4.dll"; do exports "$module"; done
for module in "$l/TRV-4.clap" "$w/32-bit/TRV-4.clap" "$w/64-bit/TRV-4.clap"; do exports "$module" clap_entry; done
exports "$vst3_linux" GetPluginFactory ModuleEntry ModuleExit
for module in "$vst3_32" "$vst3_64"; do exports "$module" GetPluginFactory InitDll ExitDll; done
# Every Linux binary loads with glibc 2.34 (Ubuntu 22.04, RHEL 9) and
# carries no symbol table; so do the DLLs.
glibc_ceiling=2.34
while IFS= read -r module; do
  newest=$(objdump -T "$module" 2>/dev/null | grep -oE 'GLIBC_[0-9]+(\.[0-9]+)*' | sed 's/GLIBC_//' | sort -V | tail -1)
  [ -n "$newest" ] && [ "$(printf '%s\n%s\n' "$newest" "$glibc_ceiling" | sort -V | tail -1)" = "$glibc_ceiling" ]
  check $? "${module#$work/}: needs GLIBC_$newest (at most GLIBC_$glibc_ceiling)"
  ! readelf -S "$module" 2>/dev/null | grep -q '\.symtab'; check $? "${module#$work/}: not stripped"
done < <(find "$work/linux" -type f \( -name '*.so' -o -name '*.clap' \))
for module in "$w/32-bit/TRV-4.dll" "$w/64-bit/TRV-4.dll" "$w/32-bit/TRV-4.clap" "$w/64-bit/TRV-4.clap" "$vst3_32" "$vst3_64"; do
  [ "$(objdump -t "$module" 2>/dev/null | grep -c '^\[')" -eq 0 ]; check $? "${module#$work/}: not stripped"
done
for module in "$w/32-bit/TRV-4.dll" "$w/32-bit/TRV-4.clap" "$vst3_32"; do
  objdump -f "$module" 2>/dev/null | grep -q 'file format pei-i386'; check $? "${module#$work/}: not a 32-bit DLL"
done
for module in "$w/64-bit/TRV-4.dll" "$w/64-bit/TRV-4.clap" "$vst3_64"; do
  objdump -f "$module" 2>/dev/null | grep -q 'file format pei-x86-64'; check $? "${module#$work/}: not a 64-bit DLL"
done
cmp -s "$l/TRV-4-manual.html" "$w/TRV-4-manual.html"; check $? "the two archives carry different manuals"
! grep -q '@EDITOR_SNAPSHOT' "$l/TRV-4-manual.html"; check $? "the manual lacks an editor picture"
[ -x "$l/install.sh" ]; check $? "install.sh is not executable"

# The .reg file under wine's regedit: both registry views get the value.
if command -v wine >/dev/null; then
  . scripts/wine-env.sh
  wine_use win64 "$work/wineprefix"
  wine_server_start
  wine_boot
  wine_exec regedit.exe /S "$(wine_path -w "$w/TRV-4-manual.reg")" </dev/null >/dev/null 2>&1
  for view in 64 32; do
    value=$(wine_exec reg.exe query 'HKLM\Software\Tolvmark Audio\TRV-4' /v Manual /reg:$view </dev/null 2>/dev/null |
            tr -d '\r' | sed -n 's/^ *Manual *REG_SZ *//p')
    [ "$value" = 'C:\Program Files\Tolvmark Audio\TRV-4\TRV-4-manual.html' ]
    check $? "registry view $view after regedit: '$value'"
  done
  wine_server_stop
fi

# The Linux archive's installer.
"$l/install.sh" --prefix "$work/installed" --vst3 "$work/installed-vst3" --clap "$work/installed-clap" \
  --config "$work/config" >"$work/install.log" 2>&1
check $? "install.sh from the archive failed: $(cat "$work/install.log")"
cmp -s "$work/installed-vst3/TRV-4.vst3/Contents/x86_64-linux/TRV-4.so" "$vst3_linux"; check $? "install.sh did not install the VST3 bundle"
cmp -s "$work/installed-clap/TRV-4.clap" "$l/TRV-4.clap"; check $? "install.sh did not install the CLAP plug-in"
"${TRV4_TREE_LINUX:-build/linux}/bin/trv4" info "$work/installed/TRV-4.so" >"$work/info.log" 2>&1
check $? "trv4 info on the installed module failed: $(head -3 "$work/info.log")"
grep -q "Manual=$work/installed/TRV-4-manual.html" "$work/config/Tolvmark Audio/TRV-4.ini" 2>/dev/null
check $? "install.sh wrote no setting"

[ $failed -eq 0 ] && rm -rf "$work"
[ $failed -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
