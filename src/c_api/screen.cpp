#include "c_api/screen.h"

#include "c_api/console.h"
#include "c_api/text.h"

const char* const LogoLines[4] = {
    " __                                 __      ",
    "/  \\ |  | | |   |   |  |  /\\  |  | |__ |\\ |  ",
    "| \\| |  | | |   |   |__| /__\\ \\  / |   | \\|  ",
    "\\__\\ \\__/ | |__ |__ |  | |  |  \\/  |__ |  |  ",
};

std::string CenterText(const std::string& text, int width) {
  // Characters, not bytes: "Caf\xc3\xa9 1.0" sits in the middle like "Cafe 1.0".
  const int len = TextLength(text);
  // C++ division truncates toward zero and the remainder takes the dividend's sign,
  // which is the rule the padding is defined by.
  const int left = (width / 2 + width % 2) - (len / 2 + len % 2);
  const int right = width / 2 - len / 2;
  std::string result;
  if (left > 0) result.append(static_cast<size_t>(left), ' ');
  result += text;
  if (right > 0) result.append(static_cast<size_t>(right), ' ');
  return result;
}

void ShowHeader(const std::string& title) {
  ClearScreen();
  std::string header;
  for (const char* line : LogoLines) {
    header += line;
    header += '\n';
  }
  header += '\n';
  header += CenterText(ShownText(title), 45);
  header += '\n';
  ConsoleWrite(header);
}
