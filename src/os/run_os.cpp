#include "os/run_os.h"

#include <string>

#include "c_api/console.h"
#include "db/entry_values.h"
#include "db/layout.h"
#include "db/settings.h"
#include "main_func/choice.h"
#include "main_func/command_words.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "main_func/text_helpers.h"
#include "os/launch.h"

namespace {

struct MediaWords {
  const char* mediaSwitch;
  const char* bootSuffix;
};

// The drive an image is attached as and booted from; false for an unknown ostype.
// The words are compared exactly: "CDROM" is not "cdrom".
bool MediaFor(const std::string& ostype, MediaWords& words) {
  if (ostype == "cdrom") {
    words = {" -cdrom ", " -boot once=d"};
  } else if (ostype == "hdd") {
    words = {" -hda ", " -boot once=c"};
  } else if (ostype == "fdd") {
    words = {" -fda ", " -boot once=a"};
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string QemuBaseCommand(bool host64, bool disableKqemu) {
  const std::string qemu = std::string(QemuProgram) + " -L .\\" + QemuFolder;
  if (host64 || disableKqemu) return qemu + " -localtime -soundhw all ";
  return qemu + " -kernel-kqemu -localtime -soundhw all ";
}

std::string OsCommandLine(const std::string& appDir, const std::string& imagesDir,
                          bool host64, bool disableKqemu, int megabytes,
                          const std::string& vga, const std::string& ostype,
                          const std::string& filename, bool withHdb, bool uefi) {
  MediaWords media{};
  if (!MediaFor(ostype, media)) return "";
  std::string line = ToolCommandLine(appDir, QemuBaseCommand(host64, disableKqemu));
  line += "-m " + std::to_string(megabytes);
  line += " -vga " + (vga.empty() ? std::string("cirrus") : vga);
  line += media.mediaSwitch;
  line += ImageArgument(imagesDir, filename);
  if (withHdb) line += " -hdb " + ImageArgument(imagesDir, DiskName);
  line += media.bootSuffix;
  // The front end's own option: boot through UEFI with the variables kept in this file.
  if (uefi) line += " -uefi " + ImageArgument(imagesDir, UefiVarsName(filename));
  return line;
}

std::string UefiVarsName(const std::string& filename) { return filename + ".vars.fd"; }

void RunOs(const std::string& name, const std::string& version, const std::string& filename,
           const std::string& ostype, const std::string& vga, const std::string& firmware) {
  SetWindowTitle("Quillhaven - " + name);
  ClearScreen();
  ShowOsBox(name, version);
  const std::string adapter = vga.empty() ? "cirrus" : vga;
  // The entry is checked before the memory menu: a launch that cannot start asks nothing
  // and never says it is running.
  if (MediaWords media; !MediaFor(ostype, media)) {
    ShowLaunchRefused(" * ERROR : bad ostype - for CD/DVD image use `cdrom`, for HDD image use "
                      "`hdd` and for FDD image use `fdd`");
    return;
  }
  if (const std::string refusal = RefusalOf(EntryValue::FileName, filename);
      !refusal.empty()) {
    ShowLaunchRefused(refusal);
    return;
  }
  // Command lines are never quoted: a blank or a double quote in the adapter would split it
  // into several QEMU arguments, or smuggle in options of its own.
  if (!IsOneWord(adapter)) {
    ShowLaunchRefused(" * ERROR : bad filename or vga - blanks and quotes cannot be passed to "
                      "QEMU");
    return;
  }
  if (firmware != "" && firmware != "bios" && firmware != "uefi") {
    ShowLaunchRefused(" * ERROR : bad firmware - use `bios` or `uefi`");
    return;
  }
  const int megabytes = SelectRam();
  if (megabytes == NoneMarker) return;

  ClearScreen();
  ShowOsBox(name, version);
  const bool host64 = ShowHostOs();
  StartKqemu();
  if (!CheckRamForQemu(megabytes)) {
    LaunchFailureEnding();
    return;
  }
  WriteLine();
  WriteLine(" " + name + " is now running,");
  WriteLine(" do NOT close this window ");

  const bool withHdb = FileExists(ImagePath(DiskName));
  const std::string commandLine = OsCommandLine(AppDir, ImagesDir, host64, DisableKqemu,
                                                megabytes, adapter, ostype, filename, withHdb,
                                                firmware == "uefi");
  WriteLine();
  RunAndWait(commandLine, ShowNormal);
  ShowQemuErrors();
  StopKqemu();
  WriteLine();
  WriteText(" Press <Enter> to continue ");
  WaitForEnter();
}

void ShowQemuErrors() {
  const std::string path = QemuErrorFile();
  if (!FileExists(path) || FileSize64(path) == 0) return;
  WriteLine(" Qemu .... [ ERROR ]");
  std::string text;
  // A file that is there but cannot be read has nothing more to show than the line above.
  if (!ReadWholeFile(path, text)) return;
  WriteText("  QEMU ERROR: ");
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    WriteLine("  " + line);
    start = end + 1;
  }
  WriteLine();
}
