#include "trust/signature.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "main_func/files.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Made afresh by openssl for every ctest run (tests/support/test_keys.sh, a setup
// step that runs on the host, also for the Windows build); a direct run on POSIX makes them.
std::string VectorsDir() { return ExeDir() + "signature_vectors\\"; }

std::string Vector(const std::string& name) {
  std::string text;
  ReadWholeFile(VectorsDir() + name, text);
  // The keys and the signature are text lines; the version file is taken byte for byte.
  if (name != "ver.ini")
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

bool UnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

std::string FlipBit(std::string text, std::size_t at, bool hex) {
  if (!hex) {
    text[at] = static_cast<char>(text[at] ^ 0x01);
    return text;
  }
  static const char digits[] = "0123456789abcdef";
  text[at] = digits[HexDigit(text[at]) ^ 0x01];
  return text;
}

}  // namespace

TEST(SignatureTest, OpensslSignatureVerifiesAndEveryChangeFails) {
#if !defined(_WIN32) && defined(QH_TEST_KEYS_SCRIPT)
  if (!FileExists(VectorsDir() + "ver.ini.sig")) {
    ASSERT_EQ(RunAndWait(std::string("bash ") + QH_TEST_KEYS_SCRIPT + " vectors " + ExeDir() +
                             "signature_vectors", ShowHidden),
              0);
  }
#endif
  const std::string data = Vector("ver.ini");
  const std::string sig = Vector("ver.ini.sig");
  const std::string key = Vector("a.key");
  const std::string other = Vector("b.key");
  ASSERT_EQ(sig.size(), 128u) << "no signature vectors in " << VectorsDir();
  ASSERT_TRUE(IsP256KeyText(key)) << key;
  ASSERT_FALSE(data.empty());

  if (UnderWine() && !VerifyP256Signature(data, sig, key))
    GTEST_SKIP() << "Wine's bcrypt does not verify ECDSA P-256 signatures "
                    "(BCryptImportKeyPair/BCryptVerifySignature fail); verified on Windows only";

  EXPECT_TRUE(VerifyP256Signature(data, sig, key));
  EXPECT_TRUE(VerifyP256Signature(data, Upper(sig), Upper(key)));

  struct Row {
    const char* what;
    std::string data, sig, key;
  };
  const Row refused[] = {
      {"a bit of the file", FlipBit(data, 17, false), sig, key},
      {"a bit of the last byte", FlipBit(data, data.size() - 1, false), sig, key},
      {"a line end added", data + "\n", sig, key},
      {"a bit of r", data, FlipBit(sig, 5, true), key},
      {"a bit of s", data, FlipBit(sig, 127, true), key},
      {"r and s swapped", data, sig.substr(64) + sig.substr(0, 64), key},
      {"another key", data, sig, other},
      {"a key off the curve", data, sig, FlipBit(key, 129, true)},
      {"a compressed key", data, sig, "02" + key.substr(2, 64)},
      {"a key not in hexadecimal", data, sig, "04" + std::string(128, 'g')},
      {"a short signature", data, sig.substr(1), key},
      {"a signature with a line end", data, sig + "\n", key},
      {"zeros for a signature", data, std::string(128, '0'), key},
      {"no key", data, sig, ""},
  };
  for (const Row& row : refused) EXPECT_FALSE(VerifyP256Signature(row.data, row.sig, row.key)) << row.what;
  EXPECT_FALSE(IsP256KeyText("02" + key.substr(2)));
  EXPECT_FALSE(IsP256KeyText(key.substr(2)));
}
