#!/bin/sh
# Proves the release's signing step without the network: makes a throwaway self-signed
# code-signing certificate, makes the release with it from the existing build trees, and fails
# unless both signed programs (in the folder and in the ZIP) verify against that certificate,
# are the built programs once the signature is removed, and fail the verification once a byte
# of them changed.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmora test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
echo "throwaway password" >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" \
  -out "$work/cert.p12"
"$root/scripts/make-release.sh" --sign "$work/cert.p12" --password-file "$work/password" \
  "$work/out" >"$work/make-release.log"

# Flips one byte of the first section, inside what the signature covers.
change_byte() {
  python3 - "$1" <<'EOF'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(0x400)
    byte = f.read(1)[0]
    f.seek(0x400)
    f.write(bytes([byte ^ 0xFF]))
EOF
}

cd "$work/out"
python3 -m zipfile -e VelmoraSetup-*.zip unzipped
for program in VelmoraSetup.exe VelmoraSetup64.exe; do
  signed=$(echo VelmoraSetup-*/"$program")
  cmp "$signed" "unzipped/$signed" ||
    { echo "check-signing: the ZIP's $program is another" >&2; exit 1; }
  osslsigncode verify -CAfile "$work/cert.pem" -in "$signed" >"$work/verify.log" ||
    { cat "$work/verify.log"; echo "check-signing: $program does not verify" >&2; exit 1; }
  grep -E "^Signature verification|Subject" "$work/verify.log" |
    sed "s/^[[:space:]]*/$program: /" | sort -u
  # Without its signature, the program is the build's, byte for byte.
  osslsigncode remove-signature -in "$signed" -out "$work/$program" >/dev/null
  cmp "$work/$program" "$root"/build/*/dist/"$program"
  change_byte "$signed"
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$signed" >"$work/verify.log" 2>&1 ||
    ! grep -q "^Calculated message digest.*MISMATCH" "$work/verify.log"; then
    cat "$work/verify.log"
    echo "check-signing: $program: a changed byte went unnoticed by its signature" >&2
    exit 1
  fi
  echo "$program: one byte changed: $(grep "^Signature verification" "$work/verify.log")"
done
echo "check-signing: both programs signed, verified, and refused once changed"
