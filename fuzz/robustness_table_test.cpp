// docs/robustness.md lists bad inputs with the tests that show what the program does; every
// test it names must exist where it says, so that the table cannot quietly go stale.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string ReadSource(const std::string& relPath) {
  std::ifstream in(std::string(QH_SOURCE_DIR) + "/" + relPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(RobustnessTable, EveryRowNamesATestThatExists) {
  const std::string table = ReadSource("docs/robustness.md");
  ASSERT_FALSE(table.empty()) << "docs/robustness.md not found below " << QH_SOURCE_DIR;
  const std::regex row(R"(^\| *[0-9]+ *\|([^|]+)\|([^|]+)\|(.+)\| *\r?$)");
  const std::regex named("`([A-Za-z0-9_]+)\\.([A-Za-z0-9_]+)` in `([^`]+)`");
  std::istringstream lines(table);
  int rows = 0;
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) continue;
    ++rows;
    const std::string tests = m[3].str();
    int found = 0;
    for (std::sregex_iterator it(tests.begin(), tests.end(), named), end; it != end; ++it) {
      ++found;
      const std::string suite = (*it)[1], name = (*it)[2], file = (*it)[3];
      const std::string source = ReadSource(file);
      const std::regex definition("TEST(_F)?\\(\\s*" + suite + ",\\s*" + name + "\\)");
      EXPECT_TRUE(std::regex_search(source, definition))
          << suite << "." << name << " is not in " << file << " (row: " << m[1].str() << ")";
    }
    EXPECT_GT(found, 0) << "no test named in the row: " << line;
  }
  EXPECT_GE(rows, 30);
}

}  // namespace
