#include "os/open_os.h"

#include <string>

#include "c_api/console.h"
#include "db/category.h"
#include "db/settings.h"
#include "main_func/choice.h"
#include "main_func/files.h"
#include "main_func/input.h"
#include "main_func/out.h"
#include "main_func/process.h"
#include "os/launch.h"
#include "os/run_os.h"

std::string WgetCommandLine(const std::string& appDir, const std::string& imagesDir,
                            const std::string& download, bool partialPresent) {
  // "-c" continues a download that an earlier, stopped attempt left in the folder.
  return appDir + (partialPresent ? "wget\\wget -c -P " : "wget\\wget -P ") + imagesDir +
         "\\temp\\ " + download;
}

void OpenOs(int category, int entry, bool old) {
  ClearScreen();
  OsEntry os;
  ReadOsEntry(category, entry, old, os);
  if (FileExists(AppDir + ImagesDir + "\\" + os.filename)) {
    RunOs(os.name, os.version, os.filename, os.ostype, os.vga);
    return;
  }
  ShowOsBox(os.name, os.version);
  WriteLine(" You don`t have " + os.name + " " + os.version);
  WriteLine(" What do you want to do?");
  WriteLine();
  WriteLine("    1) Download and run");
  WriteLine("    0) Exit");
  WriteLine();
  if (ReadChoice(1) != 1) return;
  if (DownloadImage(os.name, os.version, os.download, os.filename)) {
    RunOs(os.name, os.version, os.filename, os.ostype, os.vga);
    return;
  }
  WriteLine();
  WriteLine(" Error in downloading image");
  WriteText(" Press <Enter> to continue");
  WaitForEnter();
}

bool DownloadImage(const std::string& name, const std::string& version,
                   const std::string& download, const std::string& filename) {
  ClearScreen();
  ShowOsBox(name, version);
  WriteLine(" Do not close this window!");
  WriteLine(" Press CTRL + C to stop downloading image");
  WriteLine();
  WriteLine(" Downloading " + name + " " + version);
  WriteLine();
  if (download.empty() || download == "ERROR") {
    WriteLine(" * ERROR missing download link ");
    WriteLine();
    WriteLine(" Press < ENTER >");
    WaitForEnter();
    return false;
  }
  const std::string folder = AppDir + ImagesDir + "\\temp";
  if (!DirExists(folder)) MakeDir(folder);
  const std::string fetched = folder + "\\" + filename;
  RunAndWait(WgetCommandLine(AppDir, ImagesDir, download, FileExists(fetched)), ShowNormal);
  // Only a file counts as a fetched image: with an empty file name this path is the
  // download folder itself, which must never be moved.
  if (!FileExists(fetched)) return false;
  return MoveFileNoReplace(fetched, AppDir + ImagesDir + "\\" + filename);
}
