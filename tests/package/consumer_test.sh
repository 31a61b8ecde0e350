#!/usr/bin/env bash
# An embedder's program (tests/package/consumer) configured and built with the
# MinGW toolchain against the unpacked release zip through find_package, then
# run under Wine in the prefix where nothing is ever registered: it must
# create and activate the control through the manifest that
# pellwick_deploy_runtime put beside it.
# Arguments: the x86 and x64 build folders; make dist has run (X86_BUILD/dist).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
x86=$(cd "$1" && pwd)
x64=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
zip=$(ls "$x86"/dist/Pellwick-*.zip)
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/package"
if ! { cmake -S "$here/consumer" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_PREFIX_PATH="$work/package" &&
       cmake --build "$work/build"; } >"$work/build.log" 2>&1; then
  tail -n 30 "$work/build.log" >&2
  echo "consumer_test: the consumer did not build against the package" >&2
  exit 1
fi
for file in Pellwick.dll Pellwick.ActivityCtrl.manifest resdll/Pellwick_de.rsc; do
  cmp -s "$work/build/$file" "$work/package/x64/$file" ||
    { echo "consumer_test: pellwick_deploy_runtime did not deploy x64/$file" >&2; exit 1; }
done
found=$(PELLWICK_BUILD=$x64 WINEPREFIX=$x64/regfree-wineprefix "$root/scripts/wine-run" \
          "$work/build/consumer.exe" | tr -d '\r') || true
if [ "$found" != activated ]; then
  echo "consumer_test: the consumer said '$found', not 'activated'" >&2
  exit 1
fi
echo "consumer_test: passed"
