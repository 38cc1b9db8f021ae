// Replays the kept fuzz corpus (tests/fuzz_corpus/<target>/) through the targets' logic
// without libFuzzer, so that every build checks every case found so far.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace {

namespace fs = std::filesystem;

std::string CurrentCase;
int Failures = 0;

void RecordFailure(const std::string& what) {
  // One broken rule tends to break many checks of the same case; the first few tell it.
  if (++Failures <= 20) ADD_FAILURE() << CurrentCase << ": " << what;
}

std::vector<fs::path> CorpusFiles(const std::string& target) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(QH_FUZZ_CORPUS) / target, ec)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Replay(const std::string& target, int (*run)(const uint8_t*, size_t)) {
  const std::vector<fs::path> files = CorpusFiles(target);
  // The seeds alone are more than this; fewer means the corpus was not found.
  ASSERT_GE(files.size(), 10u) << "corpus of " << target << " in " << QH_FUZZ_CORPUS;
  FuzzFailure saved = FuzzFailureHandler;
  FuzzFailureHandler = RecordFailure;
  Failures = 0;
  for (const fs::path& file : files) {
    CurrentCase = target + "/" + file.filename().string();
    const std::string bytes = ReadBytes(file);
    run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  FuzzFailureHandler = saved;
  EXPECT_EQ(Failures, 0);
}

TEST(FuzzCorpus, IniReaderAndWriterKeepTheirRulesOnEveryKeptCase) { Replay("ini", FuzzIni); }

TEST(FuzzCorpus, AnswerReaderKeepsItsRulesOnEveryKeptCase) { Replay("choice", FuzzChoice); }

TEST(FuzzCorpus, CategoryReadersAndOwnWritersKeepTheirRulesOnEveryKeptCase) {
  Replay("category", FuzzCategory);
}

}  // namespace
