#!/usr/bin/env bash
# scripts/setup's decisions against an archive that misbehaves, with no
# network: apt-get, dpkg, dpkg-query and id on PATH are fakes that keep their
# installed packages in a folder and answer as the scenario says. Each case
# checks the exit status, what setup said, and the calls apt-get received.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
setup=$here/../../scripts/setup
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 passed=0

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'FAKE'
#!/usr/bin/env bash
# Scenarios: update-fails (every update exits 100 on the security suite's
# i386 index), pin-needed (an install is refused until a preference lowers
# that suite), no-wine32 (wine32:i386 can never be installed), broken (cmake
# can never be installed).
echo "apt-get $*" >>"$FAKE_STATE/calls"
args=" $* "
case $args in
  *" update "*)
    if [[ $FAKE_SCENARIO == *update-fails* ]]; then
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
      exit 100
    fi
    exit 0 ;;
  *" install "*)
    if [[ $FAKE_SCENARIO == *pin-needed* ]] &&
       ! grep -qs 'Pin: release n=bookworm-security' "$FAKE_PREFERENCES"/*; then
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi
    if [[ $FAKE_SCENARIO == *no-wine32* && $args == *" wine32:i386 "* ]]; then
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi
    if [[ $FAKE_SCENARIO == *broken* && $args == *" cmake "* ]]; then
      echo "E: Unable to locate package cmake"
      exit 100
    fi
    for word in $*; do [[ $word == -* || $word == install ]] || echo "$word" >>"$FAKE_STATE/installed"; done
    exit 0 ;;
esac
exit 0
FAKE
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
package=${!#}
grep -qsx -- "$package" "$FAKE_STATE/installed" && printf 'install ok installed' && exit 0
exit 1
FAKE
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin"/*

# run_case NAME SCENARIO [PREINSTALLED...]: runs setup; leaves status, output, calls.
run_case() {
  local name=$1 scenario=$2
  shift 2
  state=$work/$name
  mkdir -p "$state/preferences"
  : >"$state/calls"
  printf '%s\n' "$@" >"$state/installed"
  status=0
  output=$(PATH="$work/bin:$PATH" FAKE_STATE=$state FAKE_SCENARIO=$scenario \
    FAKE_PREFERENCES=$state/preferences SETUP_APT_PREFERENCES=$state/preferences \
    SETUP_RETRY_WAIT=0 "$setup" 2>&1) || status=$?
  calls=$(cat "$state/calls")
}
check() {
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); else
    failures=$((failures + 1))
    echo "FAILED: $case_name: $what"
    echo "  setup exited $status and said:"; sed 's/^/    /' <<<"$output"
    echo "  apt-get calls:"; sed 's/^/    /' <<<"$calls"
  fi
}
says() { grep -qF -- "$1" <<<"$output"; }
installed() { grep -qsx -- "$1" "$state/installed"; }
no_preference_left() { [ -z "$(ls -A "$state/preferences")" ]; }
every_install_keeps_packages() { ! grep ' install ' <<<"$calls" | grep -qv -- '--no-remove'; }
installs() { grep -c ' install ' <<<"$calls"; }

case_name="index fails, install solved with the suite lowered"
run_case lowered update-fails,pin-needed
check "exits 0" test "$status" -eq 0
check "names the index that failed" says "bookworm-security/main/binary-i386/Packages.xz"
check "tries update three times" test "$(grep -c ' update' <<<"$calls")" -eq 3
check "names the lowered suite" says "bookworm-security lowered"
check "two installs, the second with everything" test "$(installs)" -eq 2
check "32-bit and 64-bit Wine together" installed wine32:i386
check "64-bit Wine installed" installed wine64
check "never lets apt remove a package" every_install_keeps_packages
check "removes the preference" no_preference_left

case_name="32-bit Wine cannot be had"
run_case nowine32 update-fails,no-wine32
check "exits 0" test "$status" -eq 0
check "warns that the x86 tests are skipped" says "wine32:i386 could not be installed; the x86 tests will be skipped"
check "installs the rest" installed wine64
check "tries three times, the last without wine32" test "$(installs)" -eq 3
check "never lets apt remove a package" every_install_keeps_packages
check "removes the preference" no_preference_left

case_name="another package cannot be had"
run_case broken broken
check "fails" test "$status" -ne 0
check "names the missing package" grep -qE 'could not be installed: .*cmake' <<<"$output"
check "tries once with wine32, once without" test "$(installs)" -eq 2
check "shows apt's message" says "E: Unable to locate package cmake"

case_name="everything installed already"
run_case complete none g++-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686 \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb xauth \
  cmake ninja-build googletest clang libclang-rt-14-dev python3 msitools wixl osslsigncode faketime openssl \
  softhsm2 libengine-pkcs11-openssl
check "exits 0" test "$status" -eq 0
check "calls apt-get not at all" test -z "$calls"

echo "setup_test: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
