#include "main_func/choice.h"

#include <climits>
#include <string>

#include "c_api/console.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

constexpr size_t MaxWordLength = 32;

// The answer's word as a signed decimal integer; -1 when it is not one or overflows.
int ParseAnswer(const std::string& word) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
    negative = word[i] == '-';
    ++i;
  }
  if (i == word.size()) return -1;
  long long value = 0;
  for (; i < word.size(); ++i) {
    const char c = word[i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return -1;
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) return -1;
  return static_cast<int>(value);
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Formatted read of one integer: blank lines and leading blanks are skipped, the word ends
// at the next blank or control character, and the rest of its line is discarded.
int ReadAnswer() {
  std::string line;
  for (;;) {
    if (!ReadLine(line)) return 0;
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size()) continue;
    size_t end = start;
    while (end < line.size() && !IsBlank(line[end]) && end - start < MaxWordLength) ++end;
    return ParseAnswer(line.substr(start, end - start));
  }
}

}  // namespace

void ShowOperationFailed() {
  WriteLine();
  WriteLine(" Operation was not succesful");
  WriteLine(" Press <ENTER>");
  WaitForEnter();
}

int ReadChoice(int max) {
  for (;;) {
    WriteText(" > ");
    const int value = ReadAnswer();
    // At the end of input every menu leaves, whatever its range.
    if (value == 0 && InputEnded()) return 0;
    if (value == NoneMarker) {
      ShowOperationFailed();
      continue;
    }
    if (value < 0 || value > max) {
      WriteLine();
      WriteText(" [Err] Wrong choice");
      // Back to the prompt's row, two above the error text, and blank it for the new prompt.
      GotoXY(0, static_cast<int16_t>(WhereY() - 2));
      ClearLine(static_cast<int16_t>(WhereY()));
      continue;
    }
    return value;
  }
}
