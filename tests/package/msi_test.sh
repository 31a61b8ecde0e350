#!/usr/bin/env bash
# The installers under Wine's msiexec, in a 64-bit prefix of their own
# (X64_BUILD/msi-wineprefix, a fresh copy of msi-wineprefix-base each run):
# install, then the control made by CLSID and by ProgID (registration_probe)
# and activated in the installed development host;
# an upgrade from the build before (the same files as version N-1); a
# downgrade refused; a repair after the DLL was deleted; the 32-bit-Windows
# package beside the 64-bit one, each uninstalled while the other stays, which
# must keep all it had (registry and files as before the other came); an
# embedder's product built from its own .wxs and the fragment; after each
# round, nothing of ours left and nothing else removed (registry and files
# against a snapshot taken first).
# Arguments: the x86 and x64 build folders; make msi has run (X86_BUILD/dist).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
x86=$(cd "$1" && pwd)
x64=$(cd "$2" && pwd)
export PELLWICK_BUILD=$x64
run=$root/scripts/wine-run
WINEPREFIX=$x64/msi-wineprefix-base "$run" --prepare
export WINEPREFIX=$x64/msi-wineprefix
rm -rf "$WINEPREFIX"
cp -a "$x64/msi-wineprefix-base" "$WINEPREFIX"
wineserver -p
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT
dist=$x86/dist
package=$(basename "$(ls -d "$dist"/Pellwick-*/)")
current64=$dist/$package-x64.msi
current86=$dist/$package-x86.msi
windows() { printf 'Z:%s' "${1//\//\\}"; }
code_of() { msiinfo export "$1" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }' | tr -d '\r'; }
version_of() { msiinfo export "$1" Property | awk -F'\t' '$1 == "ProductVersion" { print $2 }' | tr -d '\r'; }
msiexec() { "$run" msiexec "$@" /qn; }
failures=0
fail() { echo "msi_test: $*" >&2; failures=$((failures + 1)); }
timed() {  # what, command...: runs it, prints how long it took, returns its status
  local start=$EPOCHREALTIME status=0
  "${@:2}" || status=$?
  echo "msi_test: $1 took $(python3 -c "print('%.1f' % ($EPOCHREALTIME - $start))") s"
  return "$status"
}

# Repair and upgrade replace a file by its version: the DLLs' rows carry it.
dll_version=$(cat "$x64/version.txt")
for msi in "$current64" "$current86"; do
  versions=$(msiinfo export "$msi" File | tr -d '\r' | awk -F'\t' '$3 == "Pellwick.dll" { print $5 }' | sort -u)
  [ "$versions" = "$dll_version" ] || fail "$(basename "$msi"): the DLLs' File rows carry '$versions'"
done

# The build before: the same files under the version one lower.
current_version=$(version_of "$current64")
previous_version=${current_version%.*}.$((${current_version##*.} - 1))
PELLWICK_MSI_OUT=$work/previous PELLWICK_MSI_VERSION=$previous_version \
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)} \
  "$root/scripts/msi" "$x86" "$x64" >/dev/null
previous64=$work/previous/$package-x64.msi
(cd "$dist" && wixl -a x64 -D PellwickX86=no -D PellwickX64=yes -D PellwickPackage="$package" \
   -o "$work/host.msi" "$here/host.wxs" "$package/Pellwick.wxs" 2>/dev/null)

program_files='C:\Program Files\Pellwick'
program_files_x86='C:\Program Files (x86)\Pellwick'
# The x64 host's view: the server it loads by CLSID and by ProgID, the type library.
probe() {  # folder the DLL must come from
  local expected found
  expected=$(printf 'clsid %s\\Pellwick.dll\nprogid %s\\Pellwick.dll\ntypelib ok' "$1" "$1")
  found=$("$run" "$x64/bin/registration_probe.exe" | tr -d '\r')
  [ "$found" = "$expected" ] || fail "$2: the probe found '$found', not '$expected'"
}
# The installed development host creates the registered control, activates
# it in place and hands it its host object; exit code 0 only if all of that worked.
activate() {
  cp "$root/examples/devhost.txt" "$work/data.txt"
  : >"$work/empty-script.txt"
  "$run" "$1\\devhost.exe" --data "$(windows "$work/data.txt")" \
    --script "$(windows "$work/empty-script.txt")" >"$work/devhost.log" 2>&1 ||
    fail "$2: the installed devhost could not activate the control: $(tr -d '\r' <"$work/devhost.log")"
}
installed() { "$run" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" >/dev/null 2>&1; }
# The 32-bit view, without running a 32-bit program.
x86_server() { "$run" reg query 'HKCR\CLSID\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}\InprocServer32' /ve /reg:32 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }
snapshot() {  # file: the machine's software registry and every file outside the temporary folders
  "$run" reg export 'HKLM\Software' "$(windows "$1.reg")" /y >/dev/null
  # Wine's own bookkeeping of when it last looked at the devices and fonts.
  iconv -f UTF-16 -t UTF-8 "$1.reg" | tr -d '\r' | grep -v '^"\(LastUpdate\|Time\)"=' >"$1"
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune \
     -o -print | LC_ALL=C sort) >>"$1"
}
unchanged() {  # what, snapshot it must match, [keys allowed to stay]
  snapshot "$work/after"
  if [ -n "${3:-}" ]; then
    # Drop the allowed keys' blocks (a key line up to the next blank line).
    allowed=$3 awk '/^\[/ { skip = ($0 ~ ENVIRON["allowed"]) } !skip' "$work/after" >"$work/after.kept"
    mv "$work/after.kept" "$work/after"
  fi
  if ! diff "$2" "$work/after" >"$work/diff"; then
    fail "$1: the machine is not as it was:"
    head -n 40 "$work/diff" >&2
  fi
}

# What every Windows has before any installer ran, and a fresh Wine prefix
# lacks until the first: Windows Installer's own keys and folder, the 32-bit
# view's Uninstall key, and other vendors' classes and interfaces in both
# views (Wine's msi removes a key that its removal left empty, up the path).
for key in 'Software\Classes\Installer\Features' 'Software\Classes\Installer\Products' \
    'Software\Classes\Installer\UpgradeCodes' 'Software\Microsoft\Windows\CurrentVersion\Installer\UpgradeCodes' \
    'Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components' \
    'Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products' \
    'Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'; do
  "$run" reg add "HKLM\\$key" /f >/dev/null
done
for view in 64 32; do
  "$run" reg add 'HKCR\CLSID\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}\InprocServer32' /ve /d 'C:\Other\other.dll' /f /reg:$view >/dev/null
  "$run" reg add 'HKCR\Interface\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F1}' /ve /d IOther /f /reg:$view >/dev/null
done
mkdir -p "$WINEPREFIX/drive_c/windows/Installer"
# Windows keeps one ProgID key for both views, and so one component (one
# GUID, counted by Windows Installer) of either word size owns them. Wine
# keeps a 32-bit writer's ProgIDs apart: after packages of both word sizes
# were installed, the view of the package that did not remove the component
# last keeps its copy of them. Only those keys may stay after such a round.
progids_32='^\[HKEY_LOCAL_MACHINE\\Software\\(Wow6432Node\\Classes|Classes\\Wow6432Node)\\Pellwick\.ActivityCtrl(\.1)?(\]|\\)'
progids_64='^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Pellwick\.ActivityCtrl(\.1)?(\]|\\)'

snapshot "$work/before"

# Install the build before, then this one: an upgrade that replaces it.
timed "install" msiexec /i "$(windows "$previous64")" || fail "the previous build did not install"
timed "install (upgrade)" msiexec /i "$(windows "$current64")" || fail "the upgrade failed"
installed "$(code_of "$previous64")" && fail "the upgrade left the previous product installed"
installed "$(code_of "$current64")" || fail "the upgrade did not install this product"
probe "$program_files" "after the upgrade"
activate "$program_files" "after the upgrade"
[ "$(x86_server)" = "$program_files_x86\\Pellwick.dll" ] ||
  fail "the 32-bit view's server is '$(x86_server)'"

# A downgrade is refused, and this version stays.
if msiexec /i "$(windows "$previous64")"; then fail "the downgrade was not refused"; fi
installed "$(code_of "$current64")" || fail "the refused downgrade removed this product"

# Repair after the DLL was deleted.
rm "$WINEPREFIX/drive_c/Program Files/Pellwick/Pellwick.dll"
# Wine's msiexec /f takes no product code; these properties are what it sets.
msiexec /i "$(windows "$current64")" REINSTALL=ALL REINSTALLMODE=omus || fail "the repair failed"
probe "$program_files" "after the repair"

# The 32-bit-Windows package beside it, removed again: the x64 package keeps
# all it had (its x86 half, the keys both views share) and works.
snapshot "$work/x64-alone"
msiexec /i "$(windows "$current86")" || fail "the x86 package did not install beside the x64 one"
msiexec /x "$(windows "$current86")" || fail "the x86 package did not uninstall"
unchanged "after the x86 package left the x64 one" "$work/x64-alone" "$progids_32"
probe "$program_files" "after the x86 package left"
activate "$program_files" "after the x86 package left"
timed "uninstall" msiexec /x "$(windows "$current64")" || fail "the uninstall failed"
unchanged "after the uninstall" "$work/before" "$progids_32"

# The other way round: the 64-bit package leaves, the 32-bit one keeps its registration.
msiexec /i "$(windows "$current86")" || fail "the x86 package did not install"
[ "$(x86_server)" = "$program_files_x86\\Pellwick.dll" ] || fail "the x86 package's server is '$(x86_server)'"
snapshot "$work/x86-alone"
msiexec /i "$(windows "$current64")" || fail "the x64 package did not install beside the x86 one"
msiexec /x "$(windows "$current64")" || fail "the x64 package did not uninstall"
unchanged "after the x64 package left the x86 one" "$work/x86-alone" "$progids_64"
if "$root/scripts/can-run-x86"; then
  found=$(PELLWICK_BUILD=$x86 WINEPREFIX=$WINEPREFIX "$run" "$x86/bin/registration_probe.exe" | tr -d '\r')
  [[ $found == *"progid $program_files_x86\\Pellwick.dll"*"typelib ok" ]] ||
    fail "the x86 host found '$found' after the x64 package left"
fi
msiexec /x "$(windows "$current86")" || fail "the x86 package did not uninstall"
unchanged "after both packages left" "$work/before" "$progids_64"

# An embedder's product with the fragment, in its own folder.
msiexec /i "$(windows "$work/host.msi")" || fail "the embedder's product did not install"
probe 'C:\Program Files\Tiny Host' "in the embedder's product"
msiexec /x "$(windows "$work/host.msi")" || fail "the embedder's product did not uninstall"
unchanged "after the embedder's product left" "$work/before"

[ "$failures" -eq 0 ] && echo "msi_test: passed ($(stat -c %s "$current64") and $(stat -c %s "$current86") bytes)"
exit $((failures > 0))
