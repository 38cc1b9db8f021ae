// ECDSA P-256 signatures over SHA-256, with the platform's own cryptography, for knowing that
// the update server's version file is the one its publisher signed.
#pragma once
#include <string>

// True when signatureHex (128 hexadecimal digits: r, then s) is a valid signature of data
// by the public key publicKeyHex (130 hexadecimal digits: the uncompressed point 04, X, Y).
// Either letter case. A malformed key or signature never verifies.
bool VerifyP256Signature(const std::string& data, const std::string& signatureHex,
                         const std::string& publicKeyHex);

// True for a public key in the form VerifyP256Signature takes (the form only).
bool IsP256KeyText(const std::string& text);

// The platform half: signature as the 64 bytes r||s, key as the 65-byte uncompressed point.
bool VerifyP256Raw(const std::string& data, const unsigned char* signature,
                   const unsigned char* point);
