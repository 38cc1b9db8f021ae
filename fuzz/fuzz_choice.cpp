// The answer reader on any standard input: every answer ReadChoice returns lies in 0..max,
// it is the answer the reading rules pick, and the end of input ends every menu.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/fuzz_targets.h"
#include "main_func/choice.h"
#include "main_func/input.h"
#include "main_func/out.h"

namespace {

using fuzz::Show;

// The input's lines as ReadLine gives them: without the line end and one trailing CR; a
// last line without a line end counts when it is not empty.
std::vector<std::string> Lines(const std::string& input) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : input) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  for (std::string& l : lines)
    if (!l.empty() && l.back() == '\r') l.pop_back();
  return lines;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The first word of a line read as a signed decimal integer of at most 32 characters;
// -1 for anything else. Sets empty for a line of blanks only.
long long Answer(const std::string& line, bool& empty) {
  size_t b = 0;
  while (b < line.size() && IsBlank(line[b])) ++b;
  empty = b == line.size();
  size_t e = b;
  while (e < line.size() && !IsBlank(line[e]) && e - b < 32) ++e;
  std::string word = line.substr(b, e - b);
  size_t i = 0;
  if (!word.empty() && (word[0] == '+' || word[0] == '-')) i = 1;
  if (i == word.size()) return -1;
  long long value = 0;
  for (size_t j = i; j < word.size(); ++j) {
    if (word[j] < '0' || word[j] > '9') return -1;
    value = value * 10 + (word[j] - '0');
    if (value > 2147483648LL) return -1;
  }
  if (word[0] == '-') value = -value;
  if (value > 2147483647LL) return -1;
  return value;
}

// The answers successive ReadChoice(max) calls must give, in order, up to the end of input.
std::vector<int> ExpectedAnswers(const std::vector<std::string>& lines, int max) {
  std::vector<int> answers;
  size_t next = 0;
  while (next < lines.size()) {
    bool empty = false;
    const long long value = Answer(lines[next++], empty);
    if (empty) continue;
    if (value == -99) {
      ++next;  // the operation-failed pause takes one line
      continue;
    }
    if (value < 0 || value > max) continue;
    answers.push_back(static_cast<int>(value));
  }
  return answers;
}

class Streams {
 public:
  explicit Streams(const std::string& input) : in_(std::tmpfile()), out_(std::tmpfile()) {
    if (in_) {
      std::fwrite(input.data(), 1, input.size(), in_);
      std::rewind(in_);
    }
    SetInputStream(in_);
    SetOutputStream(out_);
  }
  ~Streams() {
    SetInputStream(nullptr);
    SetOutputStream(nullptr);
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
  }
  bool Ok() const { return in_ && out_; }
  Streams(const Streams&) = delete;
  Streams& operator=(const Streams&) = delete;

 private:
  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace

int FuzzChoice(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int max = data[0] < 200 ? data[0] % 10 : data[0];
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::vector<int> expected = ExpectedAnswers(Lines(input), max);

  Streams streams(input);
  if (!streams.Ok()) return 0;
  // Each call takes at least one line, so one call more than there are lines must meet the
  // end of input.
  const size_t calls = expected.size() + 2;
  for (size_t i = 0; i < calls; ++i) {
    const int got = ReadChoice(max);
    FUZZ_CHECK(got >= 0 && got <= max, "ReadChoice(" + std::to_string(max) + ") returned " +
                                           std::to_string(got) + " for " + Show(input));
    const int want = i < expected.size() ? expected[i] : 0;
    FUZZ_CHECK(got == want, "ReadChoice(" + std::to_string(max) + ") answer " +
                                std::to_string(i + 1) + " is " + std::to_string(got) +
                                ", the rules say " + std::to_string(want) + " for " + Show(input));
  }
  FUZZ_CHECK(InputEnded(), "the whole input was read but its end was not seen");
  std::string line;
  FUZZ_CHECK(!ReadLine(line), "a read after the end of input gave a line");
  return 0;
}
