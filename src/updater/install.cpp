#include "updater/install.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "db/layout.h"
#include "main_func/command_words.h"
#include "main_func/file_ops.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"
#include "main_func/update_lock.h"
#include "updater/journal.h"
#include "updater/package_paths.h"

namespace fs = std::filesystem;

namespace {

bool LeavesItsFolder(const std::string& rel) {
  if (rel.empty() || rel[0] == '\\' || rel.find(':') != std::string::npos) return true;
  const std::string marked = "\\" + rel + "\\";
  return marked.find("\\..\\") != std::string::npos;
}

// The staged files, relative to the staging folder, with backslashes. False for a name
// that could not be recorded in the journal line by line, and for one that would leave
// the installation (named in outside).
bool StagedFiles(const std::string& stage, std::vector<std::string>& files, std::string& outside) {
  std::error_code ec;
  const fs::path root = NativePath(stage);
  if (!DirExists(stage)) return true;  // an archive without files
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) continue;
    std::string rel = it->path().lexically_relative(root).generic_string();
    if (std::any_of(rel.begin(), rel.end(), [](char c) { return c == '\n' || c == '\r'; }))
      return false;
    std::replace(rel.begin(), rel.end(), '/', '\\');
    // On POSIX a backslash is part of a name, so "..\\x" unpacked as one file would leave
    // the installation once mapped.
    if (LeavesItsFolder(rel)) {
      outside = rel;
      return false;
    }
    files.push_back(rel);
  }
  if (ec) return false;
  std::sort(files.begin(), files.end());
  return true;
}

// The stage folder's entry whose name is name in any letter case ("" when none).
std::string StagedName(const std::string& stageFolder, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(NativePath(stageFolder), ec))
    if (Lower(entry.path().filename().string()) == Lower(name))
      return entry.path().filename().string();
  return "";
}

}  // namespace

std::string StagingDir(const std::string& baseDir) { return baseDir + StagingFolder; }

void KeepUserFiles(const std::string& baseDir, const PackagePlan& plan) {
  const std::string stage = StagingDir(baseDir);
  // Own.ini belongs to the user: whatever a database package brings, the entries stay.
  if (plan.keepsOwnIni && FileExists(baseDir + plan.dest + "Own.ini")) {
    const std::string own = StagedName(stage, "Own.ini");
    if (!own.empty()) Files().RemoveFileAnyway(stage + own);
  }
  // The user's QEMU settings survive a new QEMU; the package's own settings wait beside them.
  const std::string qemu = std::string(QemuFolder) + "\\";
  const std::string userIni = baseDir + qemu + QemuSettingsName;
  std::string settings;
  if (std::find(plan.asideDirs.begin(), plan.asideDirs.end(), "qemu") == plan.asideDirs.end() ||
      !FileExists(userIni) || !ReadWholeFile(userIni, settings))
    return;
  if (!DirExists(stage + QemuFolder)) Files().MakeDir(stage + QemuFolder);
  const std::string packaged = StagedName(stage + QemuFolder, QemuSettingsName);
  std::string theirs;
  if (!packaged.empty() && ReadWholeFile(stage + qemu + packaged, theirs) && theirs == settings)
    return;  // the same settings: nothing to keep beside them
  if (!packaged.empty())
    Files().MoveFileReplace(stage + qemu + packaged, stage + qemu + QemuSettingsName + ".new");
  Files().WriteFileAtomic(stage + qemu + QemuSettingsName, settings);
}

bool InstallStaged(const std::string& baseDir, const PackagePlan& plan, std::string& failure) {
  const std::string stage = StagingDir(baseDir);
  std::vector<std::string> files;
  std::string outside;
  if (!StagedFiles(stage, files, outside)) {
    failure = outside.empty() ? "The unpacked package could not be read"
                              : "The package holds a path outside its folder (" + outside + ")";
    return false;
  }
  const auto version = std::find_if(files.begin(), files.end(), [&](const std::string& f) {
    return Lower(f) == Lower(plan.versionFile);
  });
  if (version != files.end()) std::rotate(version, version + 1, files.end());

  UpdateJournal journal(baseDir);
  std::size_t step = 0;
  auto fail = [&](const std::string& why) {
    failure = why;
    journal.RollBack();
    return false;
  };
  const char* const noJournal = "The update journal could not be written (is the disk full?)";

  for (const std::string& dir : plan.asideDirs) {
    if (!DirExists(baseDir + dir)) continue;
    if (!journal.Add({JournalEntry::AsideDir, dir, true})) return fail(noJournal);
    if (!MoveWhenFree(baseDir + dir, journal.BackupPath(step++)))
      return fail("The folder " + dir + " is in use and could not be replaced");
  }
  for (const std::string& file : files) {
    const std::string target = plan.dest + file;
    // Renamed over, the lock file would no longer exclude the programs that hold it open.
    if (Lower(target) == Lower(UpdateLockPath("")))
      return fail("The package would replace " + target + ", the update lock");
    // The folders the file needs, each recorded before it is made.
    for (std::size_t sep = target.find('\\'); sep != std::string::npos;
         sep = target.find('\\', sep + 1)) {
      const std::string folder = target.substr(0, sep);
      if (folder.empty() || DirExists(baseDir + folder)) continue;
      if (!journal.Add({JournalEntry::NewDir, folder, false})) return fail(noJournal);
      ++step;
      if (!Files().MakeDir(baseDir + folder))
        return fail("The folder " + folder + " could not be made");
    }
    if (DirExists(baseDir + target)) return fail("A folder stands where " + target + " goes");
    // Exactly this name: a package may bring both "x" and "x.exe", and the one just put in
    // place is not the other's old file.
    const bool hadOld = FileExistsAsNamed(baseDir + target);
    if (!journal.Add({JournalEntry::File, target, hadOld})) return fail(noJournal);
    const std::string backup = journal.BackupPath(step++);
    if (hadOld && !MoveWhenFree(baseDir + target, backup))
      return fail(target + " is in use and could not be replaced");
    if (!MoveWhenFree(stage + file, baseDir + target))
      return fail(target + " could not be put in place");
  }
  if (!journal.Commit()) return fail(noJournal);
  return true;
}

namespace {
const std::string NoSevenZip = std::string("7-Zip (") + SevenZipFile + ") could not be started";
}  // namespace

std::string ArchiveTestFailure(const std::string& baseDir, const std::string& zip, int showMode) {
  if (!FileExists(zip)) return "The package did not arrive whole";
  const std::string outside = PathOutsidePackage(zip);
  if (!outside.empty()) return "The package holds a path outside its folder (" + outside + ")";
  const std::string sevenZip = SevenZipFile;
  const int code = RunAndWait(ToolCommandLine(baseDir, sevenZip + " t ") + zip, showMode);
  if (code == -1) return NoSevenZip;
  return code == 0 ? "" : "The package did not arrive whole";
}

std::string InstallArchive(const std::string& baseDir, const std::string& workToUpdater,
                           const std::string& zip, const std::string& yes,
                           const PackagePlan& plan, const std::vector<std::string>& executables,
                           int showMode, bool& putBack) {
  putBack = false;
  std::string failure = ArchiveTestFailure(baseDir, zip, showMode);
  if (!failure.empty()) return failure;
  if (!DirExists(baseDir + UpdaterTempFolder)) Files().MakeDir(baseDir + UpdaterTempFolder);
  const std::string stage = StagingDir(baseDir);
  if (DirExists(stage)) Files().DeleteDirTree(stage);
  const int unpacked = RunAndWait(ToolCommandLine(baseDir, std::string(SevenZipFile) + " x -bd -o") +
                                      workToUpdater + FromUpdaterFolder(StagingFolder) + " " + yes +
                                      " " + zip,
                                  showMode);
  if (unpacked != 0) {
    failure = unpacked == -1 ? NoSevenZip : "The package could not be unpacked (is the disk full?)";
  } else {
    for (const std::string& file : executables) MakeExecutable(stage + file);
    KeepUserFiles(baseDir, plan);
    // Files that could not all be put back stay in the journal for the next start: then
    // "put back" would not be true yet.
    putBack = !InstallStaged(baseDir, plan, failure) && !UpdateJournalPending(baseDir);
  }
  Files().DeleteDirTree(stage);
  return failure;
}
