// Launching an OS from the catalogue through the whole program: memory menu, QEMU command
// line, QEMU's error file, and the download of a missing image, with fake QEMU and wget.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "launch_screens.h"
#include "main_func/text_helpers.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"

namespace {

using namespace launchscreens;
using Log = std::vector<std::string>;

const std::vector<std::string> Categories = {"Linux"};

// An installation with one category holding the given entries, the memory check off.
void WriteCatalogue(const Fixture& fx, const std::vector<OsEntry>& entries) {
  fx.Write("options.ini", NoRamCheck());
  fx.Write("db\\db.ini", DbIni("5", Categories));
  fx.Write("db\\Linux.ini", CategoryIni(entries));
}

// Everything up to the chosen category's list.
std::string UpToList(const std::vector<OsEntry>& entries) {
  return Startup(DbReport("5", Categories)) + MainScreen(Categories) +
         CategoryScreen(DisplayNames(entries), false);
}

std::string MissingImageQuestion(const std::string& name, const std::string& version) {
  return OsBox(name, version) + " You don`t have " + name + " " + version +
         "\n What do you want to do?\n\n    1) Download and run\n    0) Exit\n\n" + Prompt();
}

std::string DownloadFailed() {
  return "\n Error in downloading image\n Press <Enter> to continue";
}

const OsEntry Tiny = SampleOs("Tiny", "1.0");   // cdrom, vga std, Tiny-1.0.iso

std::string TinyCdrom(int megabytes, bool withHdb = false) {
  return QemuLine(OsQemuArguments(
      megabytes, "std",
      "-cdrom images\\\\Tiny-1.0.iso" + std::string(withHdb ? " -hdb images\\\\hdb.img" : "") +
          " -boot once=d"));
}

TEST(Launch, PresentImageStartsAtOnce) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");

  // Category, entry 1, 512 MB, Enter after QEMU, leave.
  RunResult run = fx.Run("2\n1\n4\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunch("Tiny", "1.0") + MainScreen(Categories), run.out);
  EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(512)});
}

TEST(Launch, TheVirtualDiskIsAttachedWhenPresent) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");
  fx.Write("images\\hdb.img", "disk");

  RunResult run = fx.Run("2\n1\n5\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunch("Tiny", "1.0") + MainScreen(Categories), run.out);
  EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(1024, true)});
}

TEST(Launch, HardDiskAndFloppyImagesAndAnEmptyVga) {
  Fixture fx;
  OsEntry dos = {"Dos", "6.22", "http://127.0.0.1:1/dos.img", "dos.img", "hdd", ""};
  OsEntry boot = {"Boot", "", "http://127.0.0.1:1/f.img", "f.img", "fdd", "vmware"};
  WriteCatalogue(fx, {dos, boot});
  fx.Write("images\\dos.img", "hdd");
  fx.Write("images\\f.img", "fdd");

  RunResult run = fx.Run("2\n1\n1\n\n2\n2\n3\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({dos, boot}) + OsLaunch("Dos", "6.22") + MainScreen(Categories) +
                        CategoryScreen(DisplayNames({dos, boot}), false) + OsLaunch("Boot", "") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.ToolLog(),
            (Log{QemuLine(OsQemuArguments(128, "cirrus", "-hda images\\\\dos.img -boot once=c")),
                 QemuLine(OsQemuArguments(384, "vmware", "-fda images\\\\f.img -boot once=a"))}));
}

// Catalogue text is UTF-8 on every platform: a name is centred in the OS box by its
// characters, and an escape sequence, a BEL or a byte that is not UTF-8 reaches the screen
// only as "?".
TEST(Launch, NamesAreCentredByCharactersAndShownWithoutControlCharacters) {
  Fixture fx;
  const OsEntry cafe = {"Caf\xc3\xa9 \xce\xa9mega", "1.0", "http://127.0.0.1:1/cafe.iso",
                        "cafe.iso", "cdrom", "std"};
  const OsEntry evil = {"Evil\x1b]0;pwned\x07OS\xff", "2", "http://127.0.0.1:1/evil.iso",
                        "evil.iso", "cdrom", "std"};
  WriteCatalogue(fx, {cafe, evil});
  fx.Write("images\\cafe.iso", "iso");
  fx.Write("images\\evil.iso", "iso");

  RunResult run = fx.Run("2\n1\n1\n\n2\n2\n1\n\n0\n");

  const std::string evilShown = "Evil?]0;pwned?OS?";
  const std::vector<std::string> list = {cafe.name + " 1.0", evilShown + " 2"};
  EXPECT_TRANSCRIPT(Startup(DbReport("5", Categories)) + MainScreen(Categories) +
                        CategoryScreen(list, false) + OsLaunch(cafe.name, "1.0") +
                        MainScreen(Categories) + CategoryScreen(list, false) +
                        OsLaunch(evilShown, "2") + MainScreen(Categories),
                    run.out);
  // 14 characters in 19 bytes: 13 blanks on each side in the box's 40 columns.
  const std::string blanks(13, ' ');
  EXPECT_NE(run.out.find(" |" + blanks + "Caf\xc3\xa9 \xce\xa9mega 1.0" + blanks + "|\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find_first_of("\x1b\x07\xff"), std::string::npos);
  EXPECT_EQ(fx.ToolLog().size(), 2u);
}

TEST(Launch, MemoryCheckLineWhenTheCheckIsOn) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Remove("options.ini");
  fx.Write("images\\Tiny-1.0.iso", "iso");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  // 128 MB are free on any machine that runs these tests.
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsBox("Tiny", "1.0") + RamMenu() + OsBox("Tiny", "1.0") +
                        HostLine() + " Ram for qemu: 128mb [ OK ]\n" +
                        "\n Tiny is now running,\n do NOT close this window \n\n" +
                        "\n Press <Enter> to continue " + MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(128)});
}

// On a host offered no line past 5, the unlisted 6 leaves like 0; where lines are offered, the
// number after the last one is refused and the last one launches with its amount.
TEST(Launch, ExitOrSixInTheMemoryMenuStartsNothing) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");
  const std::vector<int> large = LargeRamAmounts();
  const std::string past = std::to_string(6 + large.size() + (large.empty() ? 1 : 0));
  const std::string last = large.empty() ? "6" : std::to_string(5 + large.size());

  const std::string enterAfterQemu = large.empty() ? "" : "\n";
  RunResult run = fx.Run("2\n1\n0\n2\n1\n" + last + "\n" + enterAfterQemu + "2\n1\n" + past +
                         "\n0\n0\n");

  const std::string leave = OsBox("Tiny", "1.0") + RamMenu() + MainScreen(Categories);
  const std::string lastAnswer =
      large.empty() ? leave : OsLaunch("Tiny", "1.0") + MainScreen(Categories);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + leave + CategoryScreen({"Tiny 1.0"}, false) + lastAnswer +
                        CategoryScreen({"Tiny 1.0"}, false) + OsBox("Tiny", "1.0") + RamMenu() +
                        WrongChoice() + MainScreen(Categories),
                    run.out);
  if (large.empty())
    EXPECT_TRUE(fx.ToolLog().empty());
  else
    EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(large.back())});
}

// The entry is checked before the memory menu: nothing is asked and nothing said to run.
TEST(Launch, BadOstypeIsReportedAndQemuIsNotStarted) {
  for (const char* ostype : {"CDROM", "Hdd", "dvd", "usb", "ERROR"}) {
    SCOPED_TRACE(ostype);
    Fixture fx;
    OsEntry os = Tiny;
    os.ostype = ostype;
    WriteCatalogue(fx, {os});
    fx.Write("images\\Tiny-1.0.iso", "iso");

    RunResult run = fx.Run("2\n1\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToList({os}) + OsBox("Tiny", "1.0") +
                          "\n * ERROR : bad ostype - for CD/DVD image use `cdrom`, for HDD image "
                          "use `hdd` and for FDD image use `fdd`\n\n"
                          " Press <Enter> to continue " +
                          MainScreen(Categories),
                      run.out);
    EXPECT_TRUE(fx.ToolLog().empty());
  }
  // The firmware is checked the same way; bios and uefi are the only words.
  for (const char* firmware : {"UEFI", "efi", "ERROR", "uefi -hda x"}) {
    SCOPED_TRACE(firmware);
    Fixture fx;
    OsEntry os = Tiny;
    os.firmware = firmware;
    WriteCatalogue(fx, {os});
    fx.Write("images\\Tiny-1.0.iso", "iso");

    RunResult run = fx.Run("2\n1\n\n0\n");

    EXPECT_TRANSCRIPT(UpToList({os}) + OsBox("Tiny", "1.0") +
                          "\n * ERROR : bad firmware - use `bios` or `uefi`\n\n"
                          " Press <Enter> to continue " + MainScreen(Categories),
                      run.out);
    EXPECT_TRUE(fx.ToolLog().empty());
  }
}

// A BIOS entry's command line is the same with or without the key; a UEFI entry adds the
// front end's option naming its variables beside the image.
TEST(Launch, FirmwareBiosOrUefi) {
  for (const char* firmware : {"bios", "uefi"}) {
    SCOPED_TRACE(firmware);
    Fixture fx;
    OsEntry os = Tiny;
    os.firmware = firmware;
    WriteCatalogue(fx, {os});
    fx.Write("images\\Tiny-1.0.iso", "iso");

    RunResult run = fx.Run("2\n1\n1\n\n0\n");

    EXPECT_TRANSCRIPT(UpToList({os}) + OsLaunch("Tiny", "1.0") + MainScreen(Categories), run.out);
    const std::string uefi = std::string(firmware) == "uefi"
                                 ? Received(" -uefi images\\\\Tiny-1.0.iso.vars.fd")
                                 : "";
    EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(128) + uefi});
  }
}

TEST(Launch, QemuErrorFileOfOneLine) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");
  fx.InstallTool("qemu\\qemu.exe", "append qemu\\stderr.txt qemu: could not open disk image\n");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunchUntilQemu("Tiny", "1.0") + "\n" +
                        QemuErrors("qemu: could not open disk image") + "\n" +
                        "\n Press <Enter> to continue " + MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{TinyCdrom(128)});
}

TEST(Launch, QemuErrorFileOfSeveralLines) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");
  fx.InstallTool("qemu\\qemu.exe",
                 "append qemu\\stderr.txt first problem\n"
                 "append qemu\\stderr.txt second problem\n"
                 "append qemu\\stderr.txt third problem\n");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunchUntilQemu("Tiny", "1.0") + "\n" +
                        QemuErrors("first problem") + "  second problem\n  third problem\n\n" +
                        "\n Press <Enter> to continue " + MainScreen(Categories),
                    run.out);
}

TEST(Launch, EmptyQemuErrorFileShowsNothing) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");
  fx.InstallTool("qemu\\qemu.exe", "create qemu\\stderr.txt 0\n");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunch("Tiny", "1.0") + MainScreen(Categories), run.out);
  EXPECT_TRUE(fx.Exists("qemu\\stderr.txt"));
}

TEST(Launch, EndOfInputAfterQemuEndsTheProgram) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\Tiny-1.0.iso", "iso");

  RunResult run = fx.Run("2\n1\n1\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + OsLaunch("Tiny", "1.0") + MainScreen(Categories), run.out);
}

// Also from an installation folder whose path has a blank: the tools' program words are
// quoted, and the screens and command lines are the same. wget reads the installation's
// wgetrc by the path WGETRC gives, relative to the folder it starts in, whatever the
// installation's path holds.
TEST(Download, MissingImageIsDownloadedAndLaunched) {
  std::vector<std::string> folders = {"inst", "My VMs"};
#ifndef _WIN32
  folders.push_back("Quill \xce\xa9mega");  // the Windows build: tests/pty_test.sh
#endif
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    Fixture fx(Fixture::Layout::Complete, folder);
    WriteCatalogue(fx, {Tiny});
    fx.Write("wget\\wgetrc", "tries = 1\n");
    fx.InstallTool("wget\\wget.exe", "envfile WGETRC wgetrc-read.txt\n"
                                      "create images\\temp\\$LAST 4096\n");

    // Category, entry, "Download and run", 128 MB, Enter.
    RunResult run = fx.Run("2\n1\n1\n1\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") + OsLaunch("Tiny", "1.0") +
                          MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.ToolLog(),
              (Log{Logged("wget/wget.exe", "-P images\\temp\\ " + Tiny.download), TinyCdrom(128)}));
    EXPECT_EQ(fx.Read("images\\Tiny-1.0.iso").size(), 4096u);
    EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso"));
    EXPECT_EQ(fx.Read("wgetrc-read.txt"), "tries = 1\n");
  }
}

// A part is continued only from the link it came from, as recorded beside it; a part of
// unknown origin or of another link is removed and the download starts over. The record
// goes with the part.
TEST(Download, PartialDownloadIsContinued) {
  struct Row {
    const char* what;
    std::string record;  // "" for none
    bool continued;
  };
  const Row rows[] = {{"recorded for this link", Tiny.download, true},
                      {"no record", "", false},
                      {"recorded for another link", "http://127.0.0.1:1/images/old/Tiny-1.0.iso",
                       false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Fixture fx;
    WriteCatalogue(fx, {Tiny});
    fx.Write("images\\temp\\Tiny-1.0.iso", "first half ");
    if (!row.record.empty()) fx.Write("images\\temp\\links\\Tiny-1.0.iso", row.record);
    fx.InstallTool("wget\\wget.exe", "append images\\temp\\$LAST second half\n");

    RunResult run = fx.Run("2\n1\n1\n0\n0\n");

    EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") + OsBox("Tiny", "1.0") + RamMenu() +
                          MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.ToolLog(), Log{Logged("wget/wget.exe", (row.continued ? "-c -P " : "-P ") +
                                                            ("images\\temp\\ " + Tiny.download))});
    EXPECT_EQ(fx.Read("images\\Tiny-1.0.iso"),
              row.continued ? "first half second half\n" : "second half\n");
    EXPECT_FALSE(fx.Exists("images\\temp\\links\\Tiny-1.0.iso"));
  }
}

TEST(Download, ExitAtTheQuestionDownloadsNothing) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});

  RunResult run = fx.Run("2\n1\n0\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                        MainScreen(Categories),
                    run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
  EXPECT_FALSE(fx.Exists("images\\temp"));
}

TEST(Download, NoDownloadLink) {
  for (const char* link : {"", "ERROR"}) {
    SCOPED_TRACE(link);
    Fixture fx;
    OsEntry os = Tiny;
    os.download = link;
    WriteCatalogue(fx, {os});

    // The link error waits for a line, then the download error waits for one.
    RunResult run = fx.Run("2\n1\n1\n\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") +
                          MissingLink() +
                          DownloadFailed() + MainScreen(Categories),
                      run.out);
    EXPECT_TRUE(fx.ToolLog().empty());
  }
}

TEST(Download, DownloadThatLeavesNothing) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.InstallTool("wget\\wget.exe", "stderr failed: Connection refused.\nexit 4\n");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                        DownloadScreen("Tiny", "1.0") +
                        " * ERROR download failed: no network, the server's name was not found, the connection was refused, timed out or was cut off\n" +
                        DownloadFailed() + MainScreen(Categories),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{Logged("wget/wget.exe", "-P images\\temp\\ " + Tiny.download)});
  EXPECT_FALSE(fx.Exists("images\\Tiny-1.0.iso"));
  EXPECT_TRUE(fx.Exists("images\\temp"));
}

// wget's exit code tells a download that broke off from a whole one: the part stays in the
// download folder, and the next attempt continues it.
TEST(Download, DownloadThatBreaksOffIsKeptAndContinued) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.InstallTool("wget\\wget.exe", "append images\\temp\\$LAST half\nexit 8\n");

  RunResult run = fx.Run("2\n1\n1\n\n2\n1\n1\n\n0\n");

  const std::string attempt = MissingImageQuestion("Tiny", "1.0") + DownloadScreen("Tiny", "1.0") +
                              " * ERROR download failed: the server answered with an error (such "
                              "as 404 Not Found)\n" +
                              DownloadFailed() + MainScreen(Categories);
  EXPECT_TRANSCRIPT(UpToList({Tiny}) + attempt + CategoryScreen({"Tiny 1.0"}, false) + attempt,
                    run.out);
  EXPECT_EQ(fx.ToolLog(), (Log{Logged("wget/wget.exe", "-P images\\temp\\ " + Tiny.download),
                               Logged("wget/wget.exe", "-c -P images\\temp\\ " + Tiny.download)}));
  EXPECT_FALSE(fx.Exists("images\\Tiny-1.0.iso"));
  EXPECT_EQ(fx.Read("images\\temp\\Tiny-1.0.iso"), "half\nhalf\n");
  EXPECT_EQ(fx.Read("images\\temp\\links\\Tiny-1.0.iso"), Tiny.download);
}

// What the fake wget below fetches: 4096 bytes of 'x', and a web page.
const char* const XImageSha256 =
    "a2e659dacb4691e887ac0139f8893d04764ee197d70fb73d3190d56113d18e3e";
const char* const WebPageSha256 =
    "3d0b6f5e309df8fce8815f908dd6821b0496cf43cd9fb4ff7ea9c0ce74770826";

TEST(Download, ImageWithTheCatalogueHashIsMovedInEitherLetterCase) {
  for (const std::string& sha256 : {std::string(XImageSha256), Upper(XImageSha256)}) {
    SCOPED_TRACE(sha256);
    Fixture fx;
    OsEntry os = Tiny;
    os.sha256 = sha256;
    WriteCatalogue(fx, {os});
    fx.InstallTool("wget\\wget.exe", "create images\\temp\\$LAST 4096\n");

    RunResult run = fx.Run("2\n1\n1\n1\n\n0\n");

    EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") + " Image verified (SHA-256)\n" +
                          OsLaunch("Tiny", "1.0") + MainScreen(Categories),
                      run.out);
    EXPECT_EQ(fx.Read("images\\Tiny-1.0.iso").size(), 4096u);
    EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso"));
  }
}

// The damaged file is removed, so the second attempt starts afresh instead of continuing it.
TEST(Download, ImageWithAnotherHashIsRefusedAndRemoved) {
  Fixture fx;
  OsEntry os = Tiny;
  os.sha256 = std::string(XImageSha256).replace(0, 1, "b");
  WriteCatalogue(fx, {os});
  fx.InstallTool("wget\\wget.exe", "create images\\temp\\$LAST 4096\n");

  RunResult run = fx.Run("2\n1\n1\n\n2\n1\n1\n\n0\n");

  const std::string attempt = MissingImageQuestion("Tiny", "1.0") + DownloadScreen("Tiny", "1.0") +
                              " * ERROR image is damaged (SHA-256 does not match)\n" +
                              DownloadFailed() + MainScreen(Categories);
  EXPECT_TRANSCRIPT(UpToList({os}) + attempt + CategoryScreen({"Tiny 1.0"}, false) + attempt,
                    run.out);
  const std::string wget = Logged("wget/wget.exe", "-P images\\temp\\ " + Tiny.download);
  EXPECT_EQ(fx.ToolLog(), (Log{wget, wget}));
  EXPECT_FALSE(fx.Exists("images\\Tiny-1.0.iso"));
  EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso"));
}

// Not even a hash that matches lets a web page take an image's place.
TEST(Download, WebPageIsRefusedWithAndWithoutAHash) {
  for (const char* sha256 : {"", WebPageSha256}) {
    SCOPED_TRACE(sha256);
    Fixture fx;
    OsEntry os = Tiny;
    os.sha256 = sha256;
    WriteCatalogue(fx, {os});
    fx.InstallTool("wget\\wget.exe", "append images\\temp\\$LAST <!DOCTYPE html>\n");

    RunResult run = fx.Run("2\n1\n1\n\n0\n");

    EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") +
                          " * ERROR downloaded file is a web page, not an image\n" +
                          DownloadFailed() + MainScreen(Categories),
                      run.out);
    EXPECT_FALSE(fx.Exists("images\\Tiny-1.0.iso"));
    EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso"));
    EXPECT_EQ(fx.ToolLog().size(), 1u);
  }
}

const char* const XImageSha512 =
    "97d0c44dff7d08822ea77aa8538f2fed770e11131e9ec8216f4d231a7551d16c"
    "dbc6c331dd50aa14fe7f2c718c555f748b9ad290152db880916f9926ea15567c";

// The publisher's checksum list is fetched before the image; the fake wget copies the list
// where it is asked to write it (after -O, the fifth word) and makes the image under its own name.
TEST(Download, PublisherChecksumList) {
  struct Case {
    const char* what;
    std::string list;    // "" when the server has none
    std::string sha256;  // pinned
    std::string result;  // what follows the download screen
    bool imageFetched;
  };
  const std::string listCall = "-q --tries=3 --timeout=30 -O images\\temp\\Tiny-1.0.iso.checksums "
                               "http://127.0.0.1:1/sums/SHA512SUMS";
  const Case cases[] = {
      {"list found, hash matches", "# header\n" + std::string(XImageSha512) + "  ./Tiny-1.0.iso\n",
       "", " Image verified (SHA-512)\n" + OsLaunch("Tiny", "1.0"), true},
      {"wrong hash in the list",
       "SHA256 (Tiny-1.0.iso) = " + std::string(XImageSha256).replace(0, 1, "b") + "\n", "",
       " * ERROR image is damaged (SHA-256 does not match)\n" + DownloadFailed(), true},
      {"no list", "", "",
       " * ERROR cannot verify the image: checksum list not available\n" + DownloadFailed(),
       false},
      {"no line for the file", std::string(XImageSha256) + "  Tiny-2.0.iso\n", "",
       " * ERROR cannot verify the image: the checksum list has no SHA-256 or SHA-512 line for "
       "Tiny-1.0.iso\n" + DownloadFailed(),
       false},
      {"two values for the file",
       std::string(XImageSha256) + "  Tiny-1.0.iso\n" +
           std::string(XImageSha256).replace(0, 1, "b") + "  iso/Tiny-1.0.iso\n",
       "",
       " * ERROR cannot verify the image: the checksum list holds two different values for "
       "Tiny-1.0.iso\n" + DownloadFailed(),
       false},
      {"a pinned sha256 wins", "", XImageSha256,
       " Image verified (SHA-256)\n" + OsLaunch("Tiny", "1.0"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture fx;
    OsEntry os = Tiny;
    os.sha256 = c.sha256;
    os.checksums = "http://127.0.0.1:1/sums/SHA512SUMS";
    WriteCatalogue(fx, {os});
    if (!c.list.empty()) fx.Write("served-list.txt", c.list);
    fx.InstallTool("wget\\wget.exe",
                   "copy served-list.txt $ARG5\n"
                   "remove images\\temp\\SHA512SUMS\n"
                   "create images\\temp\\$LAST 4096\n"
                   "remove images\\temp\\SHA512SUMS\n");

    RunResult run = fx.Run(c.imageFetched && c.result.find("verified") != std::string::npos
                               ? "2\n1\n1\n1\n\n0\n"
                               : "2\n1\n1\n\n0\n");

    const std::string fetching = c.sha256.empty() ? " Fetching checksum list ...\n" : "";
    EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") + fetching + c.result +
                          MainScreen(Categories),
                      run.out);
    const std::string imageCall = Logged("wget/wget.exe", "-P images\\temp\\ " + Tiny.download);
    Log expected;
    if (c.sha256.empty()) expected.push_back(Logged("wget/wget.exe", listCall));
    if (c.imageFetched) expected.push_back(imageCall);
    if (c.result.find("verified") != std::string::npos) expected.push_back(TinyCdrom(128));
    EXPECT_EQ(fx.ToolLog(), expected);
    EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso.checksums"));
    EXPECT_FALSE(fx.Exists("images\\temp\\Tiny-1.0.iso"));
    EXPECT_EQ(fx.Exists("images\\Tiny-1.0.iso"), c.result.find("verified") != std::string::npos);
  }
}

// Command lines are never quoted, and wget takes a word that starts with "-" for an option:
// a link that is no one-word http, https or ftp link is refused before wget runs, the
// image's link and the list's alike, and nothing is left in the download folder.
TEST(Download, LinkWithABlankOrQuoteIsNotPassedToWget) {
  const char* const noScheme = "it does not begin with http://, https:// or ftp://";
  const char* const notOneWord =
      "a blank, tab, double quote or control character cannot be passed to wget";
  const std::pair<std::string, std::string> bad[] = {
      {"http://a/e.iso -O ../quillhaven", notOneWord}, {"http://a/e.iso\t-O", notOneWord},
      {"http://a/\"e.iso", notOneWord}, {"http://a/e.iso\x1b]0;x\x07", notOneWord},
      {"--config=images\\cfg.img", noScheme}, {"-O/tmp/pwned.sh", noScheme},
      {"error", noScheme}, {"file:///etc/hostname", noScheme}};
  for (bool listLink : {false, true}) {
    for (const auto& [link, problem] : bad) {
      SCOPED_TRACE(link);
      Fixture fx;
      OsEntry os = Tiny;
      (listLink ? os.checksums : os.download) = link;
      WriteCatalogue(fx, {os});
      fx.InstallTool("wget\\wget.exe", "create images\\temp\\$LAST 4096\n");

      RunResult run = fx.Run("2\n1\n1\n\n0\n");

      EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Tiny", "1.0") +
                            DownloadScreen("Tiny", "1.0") + " * ERROR bad " +
                            (listLink ? "checksum list" : "download") + " link: " + problem +
                            "\n" + DownloadFailed() + MainScreen(Categories),
                        run.out);
      EXPECT_TRUE(fx.ToolLog().empty());
      EXPECT_FALSE(fx.Exists("images\\temp"));
    }
  }
}

#ifndef _WIN32
// CTRL + C reaches the program and wget alike: wget stops, the program goes on. The
// download is a stopped one whatever wget's exit code (a console child under Wine ends
// with 0 after CTRL + C). The part stays for "-c". The Windows build: tests/pty_test.sh,
// on Wine's console, which a piped run lacks.
TEST(Download, CtrlCStopsTheDownloadNotTheProgram) {
  for (const char* ending : {"interrupt\nexit 0\n", "interrupt-others\nexit 0\n"}) {
    SCOPED_TRACE(ending);
    Fixture fx;
    WriteCatalogue(fx, {Tiny});
    fx.InstallTool("wget\\wget.exe", std::string("append images\\temp\\$LAST half\n") + ending);

    RunResult run = fx.Run("2\n1\n1\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                          DownloadScreen("Tiny", "1.0") +
                          " * ERROR download failed: stopped by the user\n" + DownloadFailed() +
                          MainScreen(Categories),
                      run.out);
    EXPECT_FALSE(fx.Exists("images\\Tiny-1.0.iso"));
    EXPECT_EQ(fx.Read("images\\temp\\Tiny-1.0.iso"), "half\n");
  }
}
#endif

// What the failed download left under another name goes; what was there before it, and
// another entry's part (recorded in "links", here written while wget runs), stay.
TEST(Download, AFileUnderAnotherNameIsRemovedWithTheFailure) {
  Fixture fx;
  WriteCatalogue(fx, {Tiny});
  fx.Write("images\\temp\\earlier.bin", "the user's");
  fx.InstallTool("wget\\wget.exe",
                 "create images\\temp\\download.php 4096\n"
                 "create images\\temp\\Other-2.iso 10\n"
                 "create images\\temp\\links\\Other-2.iso 5\n");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({Tiny}) + MissingImageQuestion("Tiny", "1.0") +
                        DownloadScreen("Tiny", "1.0") + " * ERROR download failed: no file named " +
                        Tiny.filename + " arrived\n" + DownloadFailed() + MainScreen(Categories),
                    run.out);
  EXPECT_FALSE(fx.Exists("images\\temp\\download.php"));
  EXPECT_EQ(fx.Read("images\\temp\\earlier.bin"), "the user's");
  EXPECT_EQ(fx.Read("images\\temp\\Other-2.iso").size(), 10u);
}

TEST(Download, EmptyVersionKeepsItsBlank) {
  Fixture fx;
  OsEntry os = SampleOs("Solo", "");
  WriteCatalogue(fx, {os});

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToList({os}) + MissingImageQuestion("Solo", "") + DownloadScreen("Solo", "") +
                        " * ERROR download failed: no file named " + os.filename + " arrived\n" +
                        DownloadFailed() + MainScreen(Categories),
                    run.out);
  EXPECT_NE(run.out.find(" You don`t have Solo \n"), std::string::npos);
  EXPECT_NE(run.out.find(" Downloading Solo \n"), std::string::npos);
}

}  // namespace
