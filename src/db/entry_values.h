// The one check of the catalogue values that reach wget or the file system: the links of an
// entry (download, checksums) and its image file name (filename, [hddmanager] filename).
// Every reader of an entry applies it before it builds a command line or touches a file:
// download, checksum list, partition manager, launch, DELETE OS, the Own editor and the
// catalogue doctor (and through it the release tool).
#pragma once
#include <string>

enum class EntryValue { Download, Checksums, FileName };

// What is wrong with the value, in a few words; "" when it may be used. A link must begin
// with http://, https:// or ftp:// (any letter case) and hold no blank, tab, double quote or
// control character, since command lines are never quoted. A file name must be a plain name
// inside the images folder, the same on every platform: see IsPlainFileName.
std::string ValueProblem(EntryValue which, const std::string& value);

// What was wrong, named with the value's kind: "bad file name: " + problem ("bad download
// link: ...", "bad checksum list link: ..."); "" when the value may be used.
std::string BadValueText(EntryValue which, const std::string& value);
// The one line a screen shows for a refused value: " * ERROR " + BadValueText; "" when the
// value may be used.
std::string RefusalOf(EntryValue which, const std::string& value);

// True for a download link that is no link at all: empty, or the "ERROR" of a missing key.
bool IsMissingLink(const std::string& link);

// True for a bare image name that stays inside the images folder on Windows and elsewhere:
// not empty; no blank, tab or control character (DEL included); none of \ / : * ? " < > |;
// not "." or ".."; no trailing dot; and not a Windows device name (CON, PRN, AUX, NUL,
// COM0-COM9, LPT0-LPT9, CONIN$, CONOUT$), alone or before a dot, in any letter case.
bool IsPlainFileName(const std::string& name);
