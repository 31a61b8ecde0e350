#!/usr/bin/env bash
# Both DLLs registered in one 64-bit prefix, each with its own word size's
# regsvr32: a host of each word size must find its own server (by CLSID and by
# ProgID) and its own type library, and unregistering either must leave the
# other working. Arguments: the x86 build folder, the x64 build folder. The
# prefix is the x64 build's wow64-wineprefix, where nothing else registers.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
x86=$(cd "$1" && pwd)
x64=$(cd "$2" && pwd)
if ! "$root/scripts/can-run-x86"; then
  echo "both_architectures: this machine cannot run 32-bit programs; skipped"
  exit 77
fi
export PELLWICK_BUILD=$x64 WINEPREFIX=$x64/wow64-wineprefix
run=$root/scripts/wine-run
"$run" --prepare

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
dll32=$(windows_path "$x86/bin/Pellwick.dll")
dll64=$(windows_path "$x64/bin/Pellwick.dll")
regsvr32=('C:\windows\system32\regsvr32.exe' 'C:\windows\syswow64\regsvr32.exe')

register() { "$run" "${regsvr32[$1]}" /s "$2"; }
unregister() { "$run" "${regsvr32[$1]}" /s /u "$2"; }
# What the probe of one word size prints, with Windows line ends and the case
# of paths (the registry keeps them as written) taken out.
probe() { "$run" "$1/bin/registration_probe.exe" | tr -d '\r' | tr '[:upper:]' '[:lower:]'; }
lower() { printf '%s' "$1" | tr '[:upper:]' '[:lower:]'; }
finds() {
  printf 'clsid %s\nprogid %s\ntypelib ok\n' "$(lower "$1")" "$(lower "$1")"
}
failures=0
expect() {  # what, build, expected probe output
  local found
  found=$(probe "$2")
  if [ "$found" != "$3" ]; then
    printf 'both_architectures: %s: the %s host found\n%s\ninstead of\n%s\n' \
      "$1" "$(basename "$2")" "$found" "$3" >&2
    failures=$((failures + 1))
  fi
}
# With one word size's server unregistered: the other's host still finds its
# own, and this one's host finds no class.
one_left() {  # what, build left, its DLL, build unregistered
  expect "$1" "$2" "$(finds "$3")"
  local found
  found=$(probe "$4" | head -1)
  if [ "$found" != 'clsid failed 0x80040154' ]; then
    echo "both_architectures: $1: the $(basename "$4") host found: $found" >&2
    failures=$((failures + 1))
  fi
}

# Whatever an earlier run left goes first.
unregister 0 "$dll64" || true
unregister 1 "$dll32" || true

register 0 "$dll64"
register 1 "$dll32"
expect "both registered" "$x64" "$(finds "$dll64")"
expect "both registered" "$x86" "$(finds "$dll32")"

unregister 1 "$dll32"
one_left "x86 unregistered" "$x64" "$dll64" "$x86"
register 1 "$dll32"
unregister 0 "$dll64"
one_left "x64 unregistered" "$x86" "$dll32" "$x64"

# The last one out takes the keys both views share.
unregister 1 "$dll32"
for key in 'HKCR\Pellwick.ActivityCtrl' 'HKCR\Pellwick.ActivityCtrl.1'; do
  if "$run" reg query "$key" >/dev/null 2>&1; then
    echo "both_architectures: $key is left after both were unregistered" >&2
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "both_architectures: passed"
exit $((failures > 0))
