// Screen text: catalogue, Own.ini and typed text is UTF-8 on every platform, and only
// printable characters of it reach the terminal or the window title.
#pragma once
#include <string>

// The number of characters the screen shows for a text: one for each UTF-8 character and
// one for each byte that is not part of valid UTF-8 (shown as "?").
int TextLength(const std::string& text);
// The text as it may be shown: each control character (U+0000 to U+001F, U+007F, U+0080 to
// U+009F) and each byte that is not part of valid UTF-8 becomes "?", so no text from a
// catalogue can retitle or reprogram the terminal. Everything else is kept as it is.
std::string ShownText(const std::string& text);
