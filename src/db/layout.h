// Where things lie in an installation: the tools, the images and the virtual disk, the
// temporary folders and the version files. Paths use backslashes (the platform layer maps
// them). Names below the main directory are relative, for the callers that hang them from
// AppDir or the updater's base directory, or put them into a command line; those that
// depend on the images folder of options.ini come from the settings.
#pragma once
#include <string>

// ---- Tools, relative to the main directory.
// QEMU, qemu-img and wget as the launch, disk and download command lines name them: without
// ".exe", which Windows (and the POSIX layer) finds for a program word. ToolFile gives the
// file itself, as the start-up check looks for it and the updater runs it.
inline constexpr char QemuFolder[] = "qemu";
inline constexpr char QemuProgram[] = "qemu\\qemu";
inline constexpr char QemuImgProgram[] = "qemu\\qemu-img";
inline constexpr char WgetProgram[] = "wget\\wget";
std::string ToolFile(const char* program);
// 7-Zip and the accelerator's loader are always named with their extension.
inline constexpr char SevenZipFile[] = "7z\\7za.exe";
inline constexpr char KqemuStartFile[] = "kqemu\\RUR-Iradu.exe";
inline constexpr char KqemuStopFile[] = "kqemu\\RUR-Iradu-Halt.exe";
// In QEMU's folder: the error output that the QEMU front end leaves, and the user's settings.
inline constexpr char QemuErrorName[] = "stderr.txt";
inline constexpr char QemuSettingsName[] = "qemu.ini";
std::string QemuErrorFile();  // AppDir + "qemu\stderr.txt"

// ---- The catalogue: db.ini in the database folder, DbDir below AppDir (options.ini may move it).
inline constexpr char CatalogueName[] = "db.ini";
std::string CatalogueFile();  // AppDir + DbDir + "\db.ini"

// ---- Images: the folder is ImagesDir below AppDir (options.ini may move it).
// The virtual disk's file name in the images folder.
inline constexpr char DiskName[] = "hdb.img";
std::string ImagesFolder();                     // AppDir + ImagesDir
std::string ImagePath(const std::string& name);  // AppDir + ImagesDir + "\" + name
// The virtual disk below the main directory, which is the program's working directory:
// ImagesDir + "\hdb.img", as the disk screens show it.
std::string DiskPath();
// An image as QEMU's and qemu-img's command lines name it, from the main directory they run
// in: imagesDir + "\\" + name (the doubled backslash is part of those lines).
std::string ImageArgument(const std::string& imagesDir, const std::string& name);
// Where downloads wait until they are checked: AppDir + ImagesDir + "\temp", and as wget's
// "-P" names it, imagesDir + "\temp\".
std::string ImagesTempFolder();
std::string ImagesTempArgument(const std::string& imagesDir);

// ---- The programs, the updater and the version files, relative to the main directory.
inline constexpr char MainProgram[] = "quillhaven.exe";
inline constexpr char UpdaterFolder[] = "updater\\";
inline constexpr char UpdaterName[] = "updater.exe";
inline constexpr char UpdaterProgram[] = "updater\\updater.exe";
inline constexpr char HelperName[] = "upt.exe";  // the self-update helper, in UpdaterFolder
inline constexpr char HelperProgram[] = "updater\\upt.exe";
// The updater's work folder: fetched files, the staging folder, the update journal and the
// package handed over to the helper.
inline constexpr char UpdaterTempFolder[] = "updater\\temp\\";
inline constexpr char StagingFolder[] = "updater\\temp\\stage\\";
inline constexpr char HandedOverPackage[] = "updater\\temp\\upt.zip";
// A path below UpdaterFolder as the updater and its helper name it: they run in that folder.
// "temp\stage\" for StagingFolder.
std::string FromUpdaterFolder(const std::string& path);
// The main program's own download folder (the updater's package while it is repaired).
inline constexpr char ProgramTempFolder[] = "temp\\";
// Version files: of the program, of the updater (in its own folder), of the tools, and the
// newest release serial seen, kept apart from updater\ver.ini, which every self-update replaces.
inline constexpr char VersionFileName[] = "ver.ini";
inline constexpr char UpdaterVersionFile[] = "updater\\ver.ini";
inline constexpr char ToolsVersionFile[] = "updater\\3ver.ini";
inline constexpr char ReleaseFile[] = "updater\\release.ini";
