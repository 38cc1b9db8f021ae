#include "updater/journal.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "db/layout.h"
#include "main_func/file_ops.h"
#include "main_func/files.h"
#include "main_func/out.h"

namespace {

const char* const Header = "quillhaven update journal 1";

std::string WorkDir(const std::string& baseDir) { return baseDir + UpdaterTempFolder; }
std::string JournalPath(const std::string& baseDir) { return WorkDir(baseDir) + "journal.txt"; }
std::string BackupDir(const std::string& baseDir) { return WorkDir(baseDir) + "backup"; }

bool Exists(const std::string& path) { return FileExistsAsNamed(path) || DirExists(path); }

}  // namespace

bool MoveWhenFree(const std::string& from, const std::string& to) {
  // Windows refuses to move a file that another program holds open without delete sharing;
  // it may let go of it soon (a virus scanner, the main program still ending).
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(Files().InUseWaitSeconds());
  for (;;) {
    if (Files().MoveFileReplace(from, to)) return true;
    if (!Exists(from) || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
}

UpdateJournal::UpdateJournal(const std::string& baseDir) : base_(baseDir) {}

std::string UpdateJournal::BackupPath(std::size_t index) const {
  return BackupDir(base_) + "\\" + std::to_string(index);
}

bool UpdateJournal::Write() const {
  std::string text = std::string(Header) + "\n";
  for (const JournalEntry& e : entries_) {
    const char* kind = e.kind == JournalEntry::File ? (e.hadOld ? "F1 " : "F0 ")
                       : e.kind == JournalEntry::NewDir ? "D " : "A ";
    text += kind + e.path + "\n";
  }
  return Files().WriteFileAtomic(JournalPath(base_), text);
}

bool UpdateJournal::Add(const JournalEntry& entry) {
  if (entries_.empty()) {
    // Backups left by an earlier, finished installation would pass for this one's.
    if (DirExists(BackupDir(base_))) Files().DeleteDirTree(BackupDir(base_));
    if (!Files().MakeDir(BackupDir(base_))) return false;
  }
  entries_.push_back(entry);
  if (Write()) return true;
  entries_.pop_back();
  return false;
}

bool UpdateJournal::Load() {
  std::string text;
  if (!ReadWholeFile(JournalPath(base_), text)) return false;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != Header) return false;
  entries_.clear();
  while (std::getline(in, line)) {
    JournalEntry e;
    if (line.rfind("F1 ", 0) == 0 || line.rfind("F0 ", 0) == 0) {
      e.kind = JournalEntry::File;
      e.hadOld = line[1] == '1';
      e.path = line.substr(3);
    } else if (line.rfind("D ", 0) == 0 || line.rfind("A ", 0) == 0) {
      e.kind = line[0] == 'D' ? JournalEntry::NewDir : JournalEntry::AsideDir;
      e.path = line.substr(2);
    } else {
      continue;
    }
    entries_.push_back(e);
  }
  return true;
}

// Every step is undone so that doing it twice does no harm: a run cut short during the
// roll-back is rolled back again from the same journal.
bool UpdateJournal::RollBack() {
  bool complete = true;
  for (std::size_t i = entries_.size(); i-- > 0;) {
    const JournalEntry& e = entries_[i];
    const std::string target = base_ + e.path;
    const std::string backup = BackupPath(i);
    switch (e.kind) {
      case JournalEntry::File:
        // Without a backup the old file never left its place (or there was none).
        if (e.hadOld) {
          if (FileExists(backup) && !MoveWhenFree(backup, target)) complete = false;
        } else if (FileExistsAsNamed(target) && !Files().RemoveFileAnyway(target)) {
          complete = false;
        }
        break;
      case JournalEntry::NewDir:
        Files().RemoveEmptyDir(target);  // the folder the package brought, now empty again
        break;
      case JournalEntry::AsideDir:
        if (DirExists(backup)) {
          if (DirExists(target)) Files().DeleteDirTree(target);
          if (!MoveWhenFree(backup, target)) complete = false;
        }
        break;
    }
  }
  if (!complete) return false;
  Files().RemoveFileAnyway(JournalPath(base_));
  entries_.clear();
  Files().DeleteDirTree(BackupDir(base_));
  return !FileExists(JournalPath(base_));
}

bool UpdateJournal::Commit() {
  // Once the journal is gone the new files count; backups left by a cut here are only
  // leftovers, removed with the download folder.
  if (FileExists(JournalPath(base_)) && !Files().RemoveFileAnyway(JournalPath(base_))) return false;
  entries_.clear();
  Files().DeleteDirTree(BackupDir(base_));
  return true;
}

bool UpdateJournalPending(const std::string& baseDir) { return FileExists(JournalPath(baseDir)); }

bool RollBackInterruptedUpdate(const std::string& baseDir) {
  if (!UpdateJournalPending(baseDir)) return true;
  UpdateJournal journal(baseDir);
  if (journal.Load() && journal.RollBack()) {
    WriteLine(" > An update was interrupted; the previous files were put back. ");
    return true;
  }
  WriteLine(" > An update was interrupted and could not be undone yet; it is tried again at "
            "the next start. ");
  return false;
}
