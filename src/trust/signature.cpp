// The platform-neutral half of signature checks: reading the hexadecimal texts.
#include "trust/signature.h"

#include "main_func/text_helpers.h"

#include <vector>

namespace {

// Exactly count bytes from 2 * count hexadecimal digits; false for anything else.
bool HexBytes(const std::string& text, std::size_t count, std::vector<unsigned char>& bytes) {
  if (text.size() != 2 * count) return false;
  bytes.assign(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<unsigned char>(high * 16 + low);
  }
  return true;
}

}  // namespace

bool IsP256KeyText(const std::string& text) {
  std::vector<unsigned char> point;
  return HexBytes(text, 65, point) && point[0] == 0x04;
}

bool VerifyP256Signature(const std::string& data, const std::string& signatureHex,
                         const std::string& publicKeyHex) {
  std::vector<unsigned char> signature;
  std::vector<unsigned char> point;
  if (!HexBytes(signatureHex, 64, signature) || !HexBytes(publicKeyHex, 65, point) ||
      point[0] != 0x04)
    return false;
  return VerifyP256Raw(data, signature.data(), point.data());
}
