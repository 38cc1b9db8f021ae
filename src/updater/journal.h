// The update journal: what the installation of one package has changed so far, written
// whole and atomically before every step, so that an installation that fails or is cut
// short can be undone from the backups it names. It lies in "updater\temp\" with them.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct JournalEntry {
  enum Kind { File, NewDir, AsideDir };
  Kind kind = File;
  std::string path;     // below the main directory, with backslashes
  bool hadOld = false;  // File: an old file was there and goes to the backup first
};

class UpdateJournal {
 public:
  // baseDir: the main directory, ending in a separator.
  explicit UpdateJournal(const std::string& baseDir);
  // Where the old file or folder of entry number index waits while the package goes in.
  std::string BackupPath(std::size_t index) const;
  // Records a step before it is taken; false when the journal cannot be written.
  bool Add(const JournalEntry& entry);
  // Undoes the recorded steps, newest first. True when everything is back in place; then
  // the journal and the backups are gone, else the journal stays for another try.
  bool RollBack();
  // The package is in place: the journal goes first, then the backups.
  bool Commit();
  // Reads a journal left by an earlier run; false when there is none.
  bool Load();

 private:
  bool Write() const;
  std::string base_;
  std::vector<JournalEntry> entries_;
};

// Moves a file or folder, replacing a file at the target; tries again while the source is
// held open, for at most FileInUseWaitSeconds (main_func/file_ops.h).
bool MoveWhenFree(const std::string& from, const std::string& to);

// True while a journal says that an installation was not finished.
bool UpdateJournalPending(const std::string& baseDir);
// At the start of either program: undoes an installation that was cut short, with one line
// saying so. False when something could not be put back (the journal stays).
bool RollBackInterruptedUpdate(const std::string& baseDir);
