// In-process screen capture for unit tests: screen lines go to a temporary file and answers
// come from a given text while a Console lives (the logo header goes straight to standard
// output and is not captured).
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "main_func/input.h"
#include "main_func/out.h"

inline std::string ReadStream(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string data;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  return data;
}

class Console {
 public:
  explicit Console(const std::string& input = "") : out_(std::tmpfile()), in_(std::tmpfile()) {
    EXPECT_TRUE(out_ && in_);
    std::fwrite(input.data(), 1, input.size(), in_);
    std::rewind(in_);
    SetOutputStream(out_);
    SetInputStream(in_);
  }
  ~Console() {
    SetOutputStream(nullptr);
    SetInputStream(nullptr);
    std::fclose(out_);
    std::fclose(in_);
  }
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  std::string Output() const { return ReadStream(out_); }
  // The input not read yet.
  std::string InputLeft() const {
    std::string rest;
    for (int c = std::fgetc(in_); c != EOF; c = std::fgetc(in_)) rest += static_cast<char>(c);
    return rest;
  }

 private:
  std::FILE* out_;
  std::FILE* in_;
};
