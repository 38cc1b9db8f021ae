// The Own category editor: ADD OS, EDIT OS and DELETE OS.
#include "os/own_screens.h"

#include <algorithm>
#include <array>
#include <string>

#include "c_api/screen.h"
#include "db/category.h"
#include "db/entry_values.h"
#include "db/ini_file.h"
#include "db/layout.h"
#include "db/own_store.h"
#include "db/settings.h"
#include "main_func/choice.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "os/own_image.h"
#include "os/run_os.h"

namespace {

struct Field {
  const char* label;
  const char* hint;
  const char* prompt;  // used by the edit screen only
};

// The order in which both screens ask for the fields.
enum FieldIndex { Name, Version, Filename, Download, OsType, Vga, FieldCount };

const std::array<Field, FieldCount> AddFields = {{
    {" OS name:", " Name of OS", ""},
    {" OS version:", " Version of OS", ""},
    {" OS filename:", " name of image (ubuntu0904.iso, ReactOS0310.img, ...) ", ""},
    {" OS download link: ", " full download link with http:// or ftp:// ", ""},
    {" OS type: ",
     " For cd/dvd image type `cdrom`, for hdd image type `hdd`, for fdd image type `fdd`", ""},
    {" VGA card: ", " cirrus [default] / std / vmware", ""},
}};

const std::array<Field, FieldCount> EditFields = {{
    {" OS name: ", " Name of OS", " new OS name: "},
    {" OS version: ", " Version of OS", " new OS version: "},
    {" OS filename:", " name of image (ubuntu0904.iso, ReactOS0310.img, ...) ",
     " new OS filename: "},
    {" OS download link: ", " full download link with http:// or ftp:// ",
     " new OS download link: "},
    {" OS type:",
     " For cd/dvd image type `cdrom`, for hdd image type `hdd`, for fdd image type `fdd`",
     " new OS type: "},
    {" VGA card: ", " cirrus [default] / std / vmware", " new VGA card: "},
}};

using Values = std::array<std::string, FieldCount>;

void Pause() {
  WriteText(" Press <Enter> to continue ");
  WaitForEnter();
}

// Reads one field's line. At the end of input nothing may be saved: a closed input is not
// an answer, and an empty value would silently wipe or blank the entry.
bool ReadField(const std::string& prompt, std::string& value) {
  WriteText(prompt);
  if (!ReadLine(value)) {
    WriteLine();
    WriteLine(" * Input ended, OS was not saved");
    return false;
  }
  WriteLine();
  return true;
}

// Why a field's value may not be stored, "" when it may. The value is judged as it reads
// back (without the blanks around it): an empty one, or a missing link, is no hostile one.
std::string StoreRefusal(int field, const std::string& value) {
  const std::size_t first = value.find_first_not_of(" \t");
  const std::string read =
      first == std::string::npos ? "" : value.substr(first, value.find_last_not_of(" \t") + 1 - first);
  if (field == Filename && !read.empty()) return RefusalOf(EntryValue::FileName, read);
  if (field == Download && !IsMissingLink(read)) return RefusalOf(EntryValue::Download, read);
  return "";
}

// Reads one field until its value may be stored: an empty answer keeps current, any other
// replaces it; a value that may not be stored is refused in one line and asked again.
bool ReadCheckedField(int field, const std::string& prompt, std::string& value) {
  for (;;) {
    std::string input;
    if (!ReadField(prompt, input)) return false;
    const std::string result = input.empty() ? value : input;
    const std::string refusal = StoreRefusal(field, result);
    if (refusal.empty()) {
      value = result;
      return true;
    }
    WriteLine(refusal);
  }
}

void ShowWriteFailure(const std::string& path) {
  WriteLine(" * ERROR Unable to write to " + NativePath(path));
  ShowOperationFailed();
}

void ShowMissingOwnFile() {
  WriteLine(" * ERROR File " + NativePath(OwnFilePath()) + " not exists!");
  ShowOperationFailed();
}

// The screens ask for the six fields only; an edited entry keeps the hash it had.
// The screens ask for no hash: an edited entry keeps the one it had while it still names
// the same image, and drops it when the link or file name changed, since the old hash
// would refuse every download of the new image.
bool SameImage(const OsEntry& os, const Values& v) {
  return v[Filename] == os.filename && v[Download] == os.download;
}

void AppendEntry(const Values& v, const std::string& sha256 = "",
                 const std::string& checksums = "", const std::string& firmware = "") {
  AppendOwnEntry(v[Name], v[Version], v[Download], v[Filename], v[OsType], v[Vga], sha256,
                 checksums, firmware);
}

// The choosing part shared by the edit and delete screens. Returns the chosen entry
// (0 when the user left or nothing can be chosen) and fills category and list.
int ChooseOwnEntry(const std::string& verb, int& category, OsList& list) {
  category = OwnCategoryIndex();
  if (category == NoneMarker) {
    // Without the Own category there is no category file to list; say which file is meant.
    ShowMissingOwnFile();
    return 0;
  }
  // The list first: it reports a missing file (twice, as count and as list) on its own, and
  // the count of a file that is there adds no line.
  GetOsList(category, list);
  if (list[1] == "ERROR") {
    ShowOperationFailed();
    return 0;
  }
  const int count = GetOsCount(category);
  // The list holds at most MaxListEntries; entries beyond it cannot be chosen here.
  const int shown = std::clamp(count, 0, MaxListEntries);
  for (int k = 1; k <= shown; ++k) {
    WriteLine("  " + std::to_string(k) + ") " + verb + " " + list[k]);
  }
  WriteLine();
  WriteLine("  0) Go to Options Menu");
  WriteLine();
  return ReadChoice(shown);
}

}  // namespace

void AddOsScreen() {
  ShowHeader("ADD OS");
  WriteLine();
  // The lists show MaxListEntries entries: one more could never be chosen or launched.
  if (FileExists(OwnFilePath()) &&
      IniFile(OwnFilePath()).ReadInteger("main", "count", 0) >= MaxListEntries) {
    WriteLine(" The `Own` category is full (" + std::to_string(MaxListEntries) +
              " OS); delete one before you add another. Nothing was saved.");
    Pause();
    return;
  }
  Values values;
  for (int i = 0; i < FieldCount; ++i) {
    WriteLine(AddFields[i].label);
    WriteLine(AddFields[i].hint);
    if (!ReadCheckedField(i, " > ", values[i])) return;
  }
  try {
    AppendEntry(values);
  } catch (const IniWriteError& e) {
    WriteLine();
    ShowWriteFailure(e.path);
    return;
  }
  WriteLine();
  WriteLine(" OS was saved, you can find it in `Own` category");
  Pause();
}

void EditOsScreen() {
  ShowHeader("EDIT OS");
  WriteLine();
  WriteLine(" | Choose OS that you want to edit |");
  WriteLine();
  int category = 0;
  OsList list{};
  const int choice = ChooseOwnEntry("Edit", category, list);
  if (choice == 0) return;

  ShowHeader("EDIT OS");
  WriteLine();
  OsEntry os;
  ReadOsEntry(category, choice, false, os);
  Values values = {os.name, os.version, os.filename, os.download, os.ostype, os.vga};
  for (int i = 0; i < FieldCount; ++i) {
    WriteLine(EditFields[i].label + values[i]);
    WriteLine(EditFields[i].hint);
    if (!ReadCheckedField(i, EditFields[i].prompt, values[i])) return;
  }

  const std::string path = OwnFilePath();
  if (!FileExists(path)) {  // removed behind our back: do not start a new file from nothing
    WriteLine();
    ShowMissingOwnFile();
    return;
  }
  // An edit is a delete and an append; each is atomic on its own, so keep the old file to
  // put back when the second half cannot be written.
  std::string before;
  const bool haveBefore = ReadWholeFile(path, before);
  bool deleted = false;
  try {
    DeleteOwnEntry(choice);
    deleted = true;
    // The publisher's list stays with the same image as well; another image drops both.
    // The firmware belongs to the system, not to one image of it: an edit always keeps it.
    AppendEntry(values, SameImage(os, values) ? os.sha256 : "",
                SameImage(os, values) ? os.checksums : "", os.firmware);
  } catch (const IniWriteError& e) {
    if (deleted && haveBefore) WriteFileAtomic(path, before);
    WriteLine();
    ShowWriteFailure(e.path);
    return;
  }
  WriteLine();
  WriteLine(" OS was saved, you can find it in `Own` category");
  Pause();
}

void DeleteOsScreen() {
  ShowHeader("DELETE OS");
  WriteLine();
  WriteLine(" | Choose OS that you want to delete |");
  WriteLine();
  int category = 0;
  OsList list{};
  const int choice = ChooseOwnEntry("Delete", category, list);
  if (choice == 0) return;

  ShowHeader("DELETE OS");
  WriteLine();
  WriteText(" Deleting " + list[choice] + " ..");
  OsEntry os;
  ReadOsEntry(category, choice, false, os);
  if (!FileExists(OwnFilePath())) {
    WriteLine(" [ ERROR ]");
    ShowMissingOwnFile();
    return;
  }
  // The entry goes first: when Own.ini cannot be written the image must stay as well, or
  // the entry would point at a file that is gone.
  try {
    DeleteOwnEntry(choice);
  } catch (const IniWriteError& e) {
    WriteLine(" [ ERROR ]");
    ShowWriteFailure(e.path);
    return;
  }
  const std::string kept = ImageKeptReason(os.filename);
  // The image, then the UEFI variables beside it, which belong to it and go with it. A
  // name that is no plain file name fails at once and names nothing on the screen.
  bool failed = false;
  std::string stays;
  if (kept.empty() && !os.filename.empty()) {
    for (const std::string& name : {os.filename, UefiVarsName(os.filename)}) {
      if (RemoveOwnImage(name) != ImageRemoval::Failed) continue;
      failed = true;
      if (IsPlainFileName(name)) stays = name;
      break;
    }
  }
  if (failed) WriteText("*ERROR*");
  WriteText("..");
  // Never " [ OK ]" beside an error: the entry is gone, the file is not.
  WriteLine(failed ? ".. [ ERROR ]" : ".. [ OK ]");
  if (!stays.empty())
    WriteLine(" The entry was deleted, but " + NativePath(ImagePath(stays)) +
              " could not be deleted: it is still there.");
  // A name outside the images folder (or a device) is never handed to the file system.
  if (!os.filename.empty() && !IsPlainFileName(os.filename))
    WriteLine(RefusalOf(EntryValue::FileName, os.filename) + "; no file was deleted");
  if (!kept.empty()) WriteLine(" The image " + os.filename + " was kept: " + kept + ".");
  Pause();
}
