#include "c_api/text.h"

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence that starts at text[i] and its code point; 0 when
// the byte there starts none (a stray continuation byte, an overlong form, a surrogate, a
// value above U+10FFFF or a sequence cut short).
size_t SequenceAt(const std::string& text, size_t i, char32_t& code) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) return 0;
  code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(at(i + k))) return 0;
    code = (code << 6) | (at(i + k) & 0x3F);
  }
  return length;
}

bool IsControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

}  // namespace

int TextLength(const std::string& text) {
  int count = 0;
  for (size_t i = 0; i < text.size(); ++count) {
    char32_t code = 0;
    const size_t length = SequenceAt(text, i, code);
    i += length ? length : 1;
  }
  return count;
}

std::string ShownText(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const size_t length = SequenceAt(text, i, code);
    if (length == 0) {
      shown += '?';
      ++i;
      continue;
    }
    if (IsControl(code)) {
      shown += '?';
    } else {
      shown.append(text, i, length);
    }
    i += length;
  }
  return shown;
}
