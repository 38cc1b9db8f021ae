// Start-up and list-reading times with a full catalogue: 8 categories of 100 entries and 20
// previous versions each. Aims on a 2-core machine: the first main menu within 10 ms of the
// process start, a list of 100 entries within 2 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "db/category.h"
#include "db/settings.h"
#include "support/catalogue.h"
#include "support/fixture.h"

namespace {

constexpr int FullCategories = 8;
constexpr int FullEntries = 100;
constexpr int FullPrevious = 20;

// One full installation shared by all benchmarks of a run.
const Fixture& FullInstallation() {
  static const std::unique_ptr<Fixture> fx = [] {
    auto made = std::make_unique<Fixture>();
    std::vector<std::string> names;
    for (int c = 1; c <= FullCategories; ++c) {
      const std::string name = "Category" + std::to_string(c);
      names.push_back(name);
      made->Write("db\\" + name + ".ini", CategoryIni(SampleList(name, FullEntries),
                                                      SampleList(name + " old", FullPrevious)));
    }
    made->Write("db\\db.ini", DbIni("bench", names));
    made->MakeDir("images");
    return made;
  }();
  return *fx;
}

// The whole process: start, read the settings and catalogue, draw the first main menu, read
// "0" and end.
void BM_StartupToMainMenu(benchmark::State& state) {
  const Fixture& fx = FullInstallation();
  for (auto _ : state) {
    RunResult run = fx.Run("0\n");
    if (run.exitCode != 0 || run.out.find("  0) Exit") == std::string::npos) {
      state.SkipWithError("the program did not reach the main menu");
      break;
    }
  }
}
BENCHMARK(BM_StartupToMainMenu)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void UseFullCatalogue() {
  const Fixture& fx = FullInstallation();
  ResetSettings();
  AppDir = fx.Dir();
  DbDir = "db";
  ImagesDir = "images";
  CategoryCount = FullCategories;
  for (int c = 1; c <= FullCategories; ++c) CategoryNames[c] = "Category" + std::to_string(c);
}

void BM_GetOsList100(benchmark::State& state) {
  UseFullCatalogue();
  for (auto _ : state) {
    OsList list{};
    GetOsList(3, list);
    if (list[FullEntries] != "Category3 100 v100") {
      state.SkipWithError("the list does not hold 100 entries");
      break;
    }
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_GetOsList100)->Unit(benchmark::kMicrosecond);

void BM_GetOldOsList20(benchmark::State& state) {
  UseFullCatalogue();
  for (auto _ : state) {
    OsList list{};
    GetOldOsList(3, list);
    if (list[FullPrevious] != "Category3 old 20 v20") {
      state.SkipWithError("the list does not hold 20 previous versions");
      break;
    }
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_GetOldOsList20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
