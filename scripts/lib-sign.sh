# Signing of the update server's version file: ECDSA P-256 over SHA-256, made with the
# openssl command. The programs take the signature as 128 hexadecimal digits (r, then s)
# and public keys as 130 (the uncompressed point: 04, X, Y). Used by make-release-key,
# make-release and the tests.
# shellcheck shell=bash

# Prints the public key of the private key file $1 as 130 hexadecimal digits.
qh_public_key_hex() {
  local der hex
  der=$(mktemp) || return 1
  if ! openssl ec -in "$1" -pubout -outform DER -out "$der" 2>/dev/null; then
    rm -f "$der"
    echo "cannot read the private key $1" >&2
    return 1
  fi
  # The last 65 bytes of the DER public key are the uncompressed point.
  hex=$(tail -c 65 "$der" | od -An -v -tx1 | tr -d ' \n')
  rm -f "$der"
  [[ $hex =~ ^04[0-9a-f]{128}$ ]] || { echo "$1 is not a P-256 key" >&2; return 1; }
  echo "$hex"
}

# Prints the signature of file $2 by the private key file $1 as 128 hexadecimal digits.
qh_sign_p256() {
  local der ints r s
  der=$(mktemp) || return 1
  if ! openssl dgst -sha256 -sign "$1" -out "$der" "$2"; then
    rm -f "$der"
    return 1
  fi
  # openssl writes the DER form: a SEQUENCE of the two INTEGERs r and s.
  ints=$(openssl asn1parse -inform DER -in "$der" | awk -F: '/ INTEGER / { print $NF }')
  rm -f "$der"
  read -r r s <<<"$(echo $ints)"
  r=$(qh_hex32 "$r") && s=$(qh_hex32 "$s") || { echo "unexpected signature from openssl" >&2; return 1; }
  echo "$r$s"
}

# A positive integer in hexadecimal as exactly 64 lower-case digits.
qh_hex32() {
  local hex=${1,,}
  while [[ ${hex:0:1} == 0 ]]; do hex=${hex:1}; done
  [[ $hex =~ ^[0-9a-f]{1,64}$ ]] || return 1
  printf '%064s\n' "$hex" | tr ' ' 0
}
