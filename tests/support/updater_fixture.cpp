#include "support/updater_fixture.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/catalogue.h"

namespace {

std::string Slashes(std::string text) {
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

}  // namespace

std::string ToolCall(const std::string& tool, const std::string& args) {
#ifdef _WIN32
  return tool + "\t" + args;
#else
  return tool + "\t" + Slashes(args);
#endif
}

std::string UpdaterFile() { return "updater\\" + ProgramFileName("updater"); }

void InstallUpdater(const Fixture& fx, bool helper) {
  // The fake one of a complete fixture would be found first by its exact name.
  fx.Remove("updater\\updater.exe");
  fx.InstallProgram("updater", UpdaterFile());
  if (helper) fx.InstallProgram("upt", "updater\\upt.exe");
}

std::string FakeServer(const Fixture& fx) {
  return Slashes(fx.Path("..\\srv")) + "/";
}

void UseFakeServer(const Fixture& fx, const std::string& extraOptions) {
  fx.MakeDir("..\\srv");
  fx.Write("options.ini", IniText({"[update]", "server=" + FakeServer(fx)}) + "\r\n" +
                              extraOptions);
  // $ARG3 is the -P folder, $ARG4 the address.
  fx.InstallTool("wget\\wget.exe", "copy $ARG4 $ARG3$LAST\n");
}

void ServerFile(const Fixture& fx, const std::string& path, const std::string& text) {
  fx.Write("..\\srv\\" + path, text);
}

RunResult RunUpdater(const Fixture& fx, const std::string& stdinText) {
  return fx.RunProgram(UpdaterFile(), stdinText, fx.FsPath("updater"));
}

bool WaitForFile(const Fixture& fx, const std::string& relPath, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (fx.Read(relPath).empty()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

void InstallFakeMainProgram(const Fixture& fx) {
  // The exact name is found before the built program's own name on every platform.
  fx.InstallTool("quillhaven.exe", "append main_started.txt started $ARG1\n");
}

std::string MainProgramMarker(const Fixture& fx) { return fx.Read("main_started.txt"); }

std::map<std::string, std::string> TreeSnapshot(const Fixture& fx, const std::string& relDir) {
  std::map<std::string, std::string> files;
  const std::filesystem::path top = fx.FsPath(relDir);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
    if (!entry.is_regular_file()) continue;
    const std::string rel = entry.path().lexically_relative(top).generic_string();
    // The update lock's file, empty and left by design by every run of either program.
    if (rel == "update.lock" && entry.file_size() == 0) continue;
    files[rel] = fx.Read((relDir.empty() ? "" : relDir + "\\") + rel);
  }
  return files;
}
