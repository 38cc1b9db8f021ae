#!/usr/bin/env bash
# Makes fresh signature test material in folder $1 with the openssl command: two key pairs
# (a, b), a version file, its signature by key a, and both public keys in the programs'
# hexadecimal form (a.pem, b.pem, a.key, b.key, ver.ini, ver.ini.sig).
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib-sign.sh"
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
for k in a b; do
  openssl ecparam -name prime256v1 -genkey -noout -out "$dir/$k.pem"
  qh_public_key_hex "$dir/$k.pem" >"$dir/$k.key"
done
printf '[release]\r\nserial=7\r\nexpires=2099-12-31\r\n[version]\r\naver=2\r\n' >"$dir/ver.ini"
qh_sign_p256 "$dir/a.pem" "$dir/ver.ini" >"$dir/ver.ini.sig"
