// ECDSA P-256 verification with OpenSSL's libcrypto.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ecdsa.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <memory>

#include "trust/signature.h"

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;

// The public key from its uncompressed point on the curve prime256v1; null when the point
// is not on the curve.
Owned<EVP_PKEY, EVP_PKEY_free> ImportKey(const unsigned char* point) {
  char group[] = "prime256v1";
  unsigned char pub[65];
  for (int i = 0; i < 65; ++i) pub[i] = point[i];
  const OSSL_PARAM params[] = {
      OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, group, 0),
      OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, pub, sizeof pub),
      OSSL_PARAM_construct_end()};
  Owned<EVP_PKEY_CTX, EVP_PKEY_CTX_free> ctx(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* key = nullptr;
  if (!ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1 ||
      EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_PUBLIC_KEY, const_cast<OSSL_PARAM*>(params)) != 1)
    return nullptr;
  return Owned<EVP_PKEY, EVP_PKEY_free>(key);
}

// libcrypto takes ECDSA signatures in DER; the version file's signature is r||s.
bool ToDer(const unsigned char* signature, std::basic_string<unsigned char>& der) {
  Owned<ECDSA_SIG, ECDSA_SIG_free> sig(ECDSA_SIG_new());
  BIGNUM* r = BN_bin2bn(signature, 32, nullptr);
  BIGNUM* s = BN_bin2bn(signature + 32, 32, nullptr);
  if (!sig || !r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
    BN_free(r);
    BN_free(s);
    return false;
  }
  unsigned char* out = nullptr;
  const int length = i2d_ECDSA_SIG(sig.get(), &out);
  if (length <= 0) return false;
  der.assign(out, out + length);
  OPENSSL_free(out);
  return true;
}

}  // namespace

bool VerifyP256Raw(const std::string& data, const unsigned char* signature,
                   const unsigned char* point) {
  const auto key = ImportKey(point);
  std::basic_string<unsigned char> der;
  if (!key || !ToDer(signature, der)) return false;
  Owned<EVP_MD_CTX, EVP_MD_CTX_free> ctx(EVP_MD_CTX_new());
  return ctx && EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
         EVP_DigestVerify(ctx.get(), der.data(), der.size(),
                          reinterpret_cast<const unsigned char*>(data.data()), data.size()) == 1;
}
