#!/usr/bin/env bash
# Signing as a release signs (scripts/sign), with a test CA, a code-signing
# certificate in a PFX and an RFC 3161 time-stamp authority made here with
# openssl (served on a local port), and the same key in a PKCS#11 token: the
# signed DLL and installer verify against the CA, removing the signature gives
# the unsigned bytes back, the signed DLL still registers, loads and
# activates, and WinVerifyTrust refuses it after one byte of its code changed.
# Arguments: the x86 and x64 build folders; make msi has run (X86_BUILD/dist).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
x86=$(cd "$1" && pwd)
x64=$(cd "$2" && pwd)
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "signing_test: $*" >&2; failures=$((failures + 1)); }
cd "$work"

# The authorities and the signer.
quiet() { "$@" >/dev/null 2>&1 || { echo "signing_test: failed: $*" >&2; exit 1; }; }
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 30 \
  -subj "/CN=Pellwick Test CA" -addext "basicConstraints=critical,CA:true" \
  -addext "keyUsage=critical,keyCertSign,cRLSign"
issue() {  # name, extended key usage
  quiet openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=Pellwick Test $1"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=%s\n' "$2" >"$1.ext"
  quiet openssl x509 -req -in "$1.csr" -CA ca.crt -CAkey ca.key -CAcreateserial -days 30 \
    -extfile "$1.ext" -out "$1.crt"
}
issue signer codeSigning
issue tsa critical,timeStamping
quiet openssl pkcs12 -export -inkey signer.key -in signer.crt -certfile ca.crt -out signer.pfx \
  -passout pass:test-password
cat >tsa.cnf <<EOF
[tsa]
default_tsa = test_tsa
[test_tsa]
serial = $work/tsa.serial
signer_cert = $work/tsa.crt
certs = $work/ca.crt
signer_key = $work/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha1
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
echo 01 >tsa.serial
python3 - "$work" >tsa.log 2>&1 <<'EOF' &
import http.server, subprocess, sys
work = sys.argv[1]

class Authority(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        with open(work + "/request.tsq", "wb") as f:
            f.write(self.rfile.read(int(self.headers["Content-Length"])))
        subprocess.run(["openssl", "ts", "-reply", "-config", work + "/tsa.cnf",
                        "-queryfile", work + "/request.tsq", "-out", work + "/reply.tsr"],
                       check=True, capture_output=True)
        reply = open(work + "/reply.tsr", "rb").read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

server = http.server.HTTPServer(("127.0.0.1", 0), Authority)
open(work + "/tsa.port", "w").write(str(server.server_port))
server.serve_forever()
EOF
server=$!
for _ in $(seq 50); do [ -s tsa.port ] && break; sleep 0.1; done
[ -s tsa.port ] || { cat tsa.log >&2; echo "signing_test: the time-stamp authority did not start" >&2; exit 1; }

# Signed as make dist and make msi sign, now (the certificates start today).
package=$(basename "$(ls -d "$x86"/dist/Pellwick-*/)")
cp "$x64/bin/Pellwick.dll" unsigned.dll
cp unsigned.dll Pellwick.dll
cp "$x86/dist/$package-x64.msi" signed.msi
PELLWICK_SIGN_PFX=$work/signer.pfx PELLWICK_SIGN_PASSWORD=test-password \
  PELLWICK_SIGN_TIMESTAMP_URL=http://127.0.0.1:$(cat tsa.port) SOURCE_DATE_EPOCH=$(date +%s) \
  "$root/scripts/sign" Pellwick.dll signed.msi >/dev/null
for file in Pellwick.dll signed.msi; do
  osslsigncode verify -CAfile ca.crt -TSA-CAfile ca.crt -in "$file" >"$file.verify" 2>&1 ||
    fail "$file does not verify: $(tail -n 5 "$file.verify")"
  grep -q 'Timestamp Server Signature verification: ok' "$file.verify" ||
    fail "$file has no verified time stamp"
done
osslsigncode remove-signature -in Pellwick.dll -out removed.dll >/dev/null
cmp -s removed.dll unsigned.dll || fail "removing the signature does not give the unsigned DLL back"
# The signer's key in a PKCS#11 token (SoftHSM's), as a code-signing key is
# kept in hardware: signed through the module, the DLL verifies as well.
export SOFTHSM2_CONF=$work/softhsm2.conf
mkdir tokens
printf 'directories.tokendir = %s/tokens\nobjectstore.backend = file\nlog.level = ERROR\n' \
  "$work" >"$SOFTHSM2_CONF"
quiet softhsm2-util --init-token --free --label pellwick-test --pin 1234 --so-pin 5678
quiet openssl pkcs8 -topk8 -nocrypt -in signer.key -out signer.p8
quiet softhsm2-util --import signer.p8 --token pellwick-test --label signer --id 01 --pin 1234
cat signer.crt ca.crt >chain.pem
cp unsigned.dll token-signed.dll
PELLWICK_SIGN_PKCS11_MODULE=/usr/lib/softhsm/libsofthsm2.so PELLWICK_SIGN_CERT=$work/chain.pem \
  PELLWICK_SIGN_PKCS11_KEY='pkcs11:token=pellwick-test;object=signer;type=private;pin-value=1234' \
  "$root/scripts/sign" token-signed.dll >token.log 2>&1 ||
  fail "signing through PKCS#11 failed: $(tail -n 5 token.log)"
osslsigncode verify -CAfile ca.crt -in token-signed.dll >token.verify 2>&1 ||
  fail "the DLL signed through PKCS#11 does not verify: $(tail -n 5 token.verify)"

# An installer is a compound file that osslsigncode writes anew, so its
# unsigned form is what removing any signature from it gives.
cp "$x86/dist/$package-x64.msi" other.msi
PELLWICK_SIGN_PFX=$work/signer.pfx PELLWICK_SIGN_PASSWORD=test-password SOURCE_DATE_EPOCH=1 \
  "$root/scripts/sign" other.msi >/dev/null
osslsigncode remove-signature -in signed.msi -out removed.msi >/dev/null
osslsigncode remove-signature -in other.msi -out other-removed.msi >/dev/null
cmp -s removed.msi other-removed.msi || fail "the installer's unsigned bytes depend on its signature"

# Registered, loaded and activated, in a fresh copy of the installers' clean prefix.
export PELLWICK_BUILD=$x64
run=$root/scripts/wine-run
WINEPREFIX=$x64/msi-wineprefix-base "$run" --prepare
export WINEPREFIX=$work/wineprefix
cp -a "$x64/msi-wineprefix-base" "$WINEPREFIX"
wineserver -p
dll="Z:${work//\//\\}\\Pellwick.dll"
"$run" 'C:\windows\system32\regsvr32.exe' /s "$dll" || fail "the signed DLL does not register"
found=$("$run" "$x64/bin/registration_probe.exe" | tr -d '\r')
[ "$found" = "$(printf 'clsid %s\nprogid %s\ntypelib ok' "$dll" "$dll")" ] ||
  fail "the signed DLL does not load: $found"
cp "$root/examples/devhost.txt" data.txt
: >empty-script.txt
"$run" "$x64/bin/devhost.exe" --data "Z:${work//\//\\}\\data.txt" \
  --script "Z:${work//\//\\}\\empty-script.txt" >devhost.log 2>&1 ||
  fail "the signed DLL does not activate: $(tr -d '\r' <devhost.log)"

# One byte of code changed: the signature no longer matches. Wine checks the
# digest but not the chain, so an intact file passes whatever its root.
verdict() { "$run" "$x64/bin/verify_trust.exe" "Z:${work//\//\\}\\$1" | tr -d '\r'; }
[ "$(verdict Pellwick.dll)" = 0x00000000 ] || fail "WinVerifyTrust refuses the intact signed DLL: $(verdict Pellwick.dll)"
cp Pellwick.dll tampered.dll
offset=$((0x$(x86_64-w64-mingw32-objdump -h tampered.dll | awk '$2 == ".text" { print $6 }') + 64))
printf '\x90' | dd of=tampered.dll bs=1 seek="$offset" conv=notrunc status=none
cmp -s Pellwick.dll tampered.dll && fail "the byte to change was already 0x90"
[ "$(verdict tampered.dll)" = 0x80096010 ] ||
  fail "WinVerifyTrust does not refuse the tampered DLL with TRUST_E_BAD_DIGEST: $(verdict tampered.dll)"

[ "$failures" -eq 0 ] && echo "signing_test: passed"
exit $((failures > 0))
