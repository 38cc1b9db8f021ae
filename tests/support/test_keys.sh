#!/usr/bin/env bash
# Signing keys and signatures for the tests, made with the openssl command at run time:
#
#   test_keys.sh key PEM         a new key pair in PEM; prints its public key (130 hex digits)
#   test_keys.sh sign PEM FILE   prints the signature of FILE by PEM (128 hex digits)
#   test_keys.sh vectors DIR     the unit tests' material in DIR: keys a and b (a.pem, a.key,
#                                b.pem, b.key), ver.ini and its signature by a, ver.ini.sig
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib-sign.sh"

new_key() {
  openssl ecparam -name prime256v1 -genkey -noout -out "$1"
  qh_public_key_hex "$1"
}

case ${1-} in
  key) new_key "$2" ;;
  sign) qh_sign_p256 "$2" "$3" ;;
  vectors)
    dir=$2
    rm -rf "$dir"
    mkdir -p "$dir"
    for k in a b; do new_key "$dir/$k.pem" >"$dir/$k.key"; done
    printf '[release]\r\nserial=7\r\nexpires=2099-12-31\r\n[version]\r\naver=2\r\n' >"$dir/ver.ini"
    qh_sign_p256 "$dir/a.pem" "$dir/ver.ini" >"$dir/ver.ini.sig"
    ;;
  *) echo "usage: test_keys.sh key PEM | sign PEM FILE | vectors DIR" >&2; exit 2 ;;
esac
