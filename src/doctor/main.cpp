// catalogue-doctor: checks a catalogue (a db folder) for the people who keep it.
//
//   catalogue-doctor [--offline] [--pin] [--wget PROGRAM] DBDIR
//
// wget is the one on the PATH unless --wget names another.
// One line per entry, then a summary; exit codes as RunDoctor gives them, 2 for a wrong
// command line.
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "doctor/doctor.h"
#include "main_func/files.h"
#include "main_func/out.h"

namespace {

int Usage() {
  WriteLine("usage: catalogue-doctor [--offline] [--pin] [--wget PROGRAM] DBDIR");
  return 2;
}

// A fresh folder of our own for the lists and images we fetch.
std::string MakeWorkDir() {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
    const std::filesystem::path dir = base / ("catalogue-doctor-" + std::to_string(random()));
    if (std::filesystem::create_directory(dir, ec) && !ec) return dir.string();
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  DoctorOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--pin") options.pin = true;
    else if (arg == "--offline") options.offline = true;
    else if (arg == "--wget" && i + 1 < argc) options.wget = argv[++i];
    else if (!arg.empty() && arg[0] != '-' && options.dbDir.empty()) options.dbDir = arg;
    else return Usage();
  }
  if (options.dbDir.empty() || (options.pin && options.offline)) return Usage();
  // The wget on the PATH: never a program in or beside the folder being checked, which
  // comes with the catalogue and is no more trusted than it.
  if (options.wget.empty()) options.wget = "wget";
  if (!options.offline) {
    options.workDir = MakeWorkDir();
    if (options.workDir.empty()) {
      WriteLine("catalogue-doctor: cannot make a work folder");
      return 2;
    }
  }
  const int code = RunDoctor(options);
  if (!options.workDir.empty()) DeleteDirTree(options.workDir, true);
  return code;
}
