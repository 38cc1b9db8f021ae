// Comparing screen transcripts: whole outputs split into lines and compared line by line,
// with a readable report of the first difference.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

// "\r\n" and a lone "\r" before "\n" become "\n".
std::string NormalizeLineEnds(const std::string& text);
// Splits at "\n". A text that does not end in "\n" keeps its last, unfinished line
// (a prompt such as " > "); a final "\n" adds no empty line.
std::vector<std::string> Lines(const std::string& text);
// A line with its blanks made visible and control characters escaped, for reports.
std::string ShowLine(const std::string& line);

// Compares two transcripts line by line. On a difference it names the first differing line,
// shows both versions and a few lines of context.
::testing::AssertionResult SameTranscript(const std::string& expected, const std::string& actual);

#define EXPECT_TRANSCRIPT(expected, actual) EXPECT_TRUE(SameTranscript((expected), (actual)))
#define ASSERT_TRANSCRIPT(expected, actual) ASSERT_TRUE(SameTranscript((expected), (actual)))
