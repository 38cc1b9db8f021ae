// Bad input through the whole program: odd counts and category names, entries the command
// line cannot carry, odd answers, the end of input at every prompt, a database folder that
// cannot be written, a full disk and a program killed while it writes Own.ini.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "c_api/screen.h"
#include "support/db_test_util.h"
#include "db/ini_document.h"
#include "db/ini_file.h"
#include "launch_screens.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"

namespace {

namespace fs = std::filesystem;
using namespace launchscreens;

std::string StartOf(const std::vector<std::string>& cats) {
  return Startup(DbReport("5", cats)) + MainScreen(cats);
}

[[maybe_unused]] bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every run that meets the end of its input ends at the main menu's prompt, which follows
// the menu itself or the operation-failed pause of an answer of -99.
bool EndsAtTheMainMenu(const std::string& out) {
  const std::string menuEnd = "Help\n  0) Exit\n\n > ";
  const size_t at = out.rfind(menuEnd);
  if (at == std::string::npos) return false;
  std::string rest = out.substr(at + menuEnd.size());
  const std::string pause = OperationFailed() + Prompt();
  while (rest.compare(0, pause.size(), pause) == 0) rest.erase(0, pause.size());
  return rest.empty();
}

// ---------------------------------------------------------------------------------------
// Counts

TEST(BadCounts, CategoryCountsOfZeroMinusOneAndNonNumbersListNothing) {
  for (const char* count : {"0", "-1", "1e9", "", "twelve", "0x", "99999999999"}) {
    SCOPED_TRACE(count);
    Fixture fx;
    fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
    fx.Write("db\\Linux.ini", IniText({"[main]", std::string("count=") + count, "[1]",
                                       "name=Hidden", "version=1"}));

    // The only entry cannot be chosen: 1 is refused, 0 leads back.
    RunResult run = fx.Run("2\n1\n0\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(StartOf({"Linux"}) + CategoryScreen({}, false) + WrongChoice() +
                          MainScreen({"Linux"}),
                      run.out);
  }
}

TEST(BadCounts, TheLargestCountsListOneHundredEntriesAndPreviousVersions) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
  fx.Write("db\\Linux.ini", IniText({"[main]", "count=2147483647", "old_count=2147483647", "[1]",
                                     "name=First", "version=1", "[old1]", "name=Old",
                                     "version=0"}));
  std::vector<std::string> current = {"First 1"}, old = {"Old 0"};
  for (int k = 2; k <= 100; ++k) {
    current.push_back("ERROR ERROR");
    old.push_back("ERROR ERROR");
  }

  // 102 is past "Show previous versions" (101); the previous versions list 100 as well.
  RunResult run = fx.Run("2\n102\n101\n101\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartOf({"Linux"}) + CategoryScreen(current, true) + WrongChoice() +
                        PreviousVersionsScreen(old) + WrongChoice() + MainScreen({"Linux"}),
                    run.out);
}

TEST(BadCounts, CatalogueCountsOutsideOneToEightOfferNoneOrEight) {
  for (const char* count : {"0", "-1", "1e9", "-2147483648"}) {
    SCOPED_TRACE(count);
    Fixture fx;
    fx.Write("db\\db.ini", IniText({"[version]", "version=5", "[categories]",
                                    std::string("count=") + count, "1=Linux"}));
    RunResult run = fx.Run("2\n0\n");
    EXPECT_EQ(run.exitCode, 0);
    // With no categories, 2 is Options; its 0 leads back to the main menu.
    EXPECT_TRANSCRIPT(StartOf({}) + OptionsScreen() + MainScreen({}), run.out);
  }

  Fixture fx;
  fx.Write("db\\db.ini", IniText({"[version]", "version=5", "[categories]", "count=2147483647",
                                  "1=Linux", "2=BSD"}));
  RunResult run = fx.Run("0\n");
  EXPECT_EQ(run.exitCode, 0);
  // Eight slots, of which six have no name; nothing past them is read.
  EXPECT_TRANSCRIPT(Startup(DbReport("5", {"Linux", "BSD"})) + MainHeader() +
                        MainMenu({"Linux", "BSD", "", "", "", "", "", ""}),
                    run.out);
}

// ---------------------------------------------------------------------------------------
// Category names

TEST(BadCategoryNames, NamesWithDotDotOrSlashNameFilesRelativeToTheDbFolder) {
  Fixture fx;
  const std::vector<std::string> cats = {"..\\Outside", "sub/Inner"};
  fx.Write("db\\db.ini", DbIni("5", cats));
  fx.Write("Outside.ini", CategoryIni({SampleOs("Out", "1")}));
  fx.Write("db\\sub\\Inner.ini", CategoryIni({SampleOs("In", "2")}));

  RunResult run = fx.Run("2\n0\n3\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartOf(cats) + CategoryScreen({"Out 1"}, false) + MainScreen(cats) +
                        CategoryScreen({"In 2"}, false) + MainScreen(cats),
                    run.out);
}

TEST(BadCategoryNames, ANameOf300CharactersIsShownAndItsFileReportedMissing) {
  Fixture fx;
  const std::string longName(300, 'L');
  fx.Write("db\\db.ini", DbIni("5", {longName}));

  RunResult run = fx.Run("2\n\n0\n");

  // No file can have that name; the list reports it twice and the operation fails.
  const std::string missing = MissingFile(fx.Path("db\\" + longName + ".ini"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartOf({longName}) + MainHeader() + "\n" + missing + missing +
                        OperationFailed() + MainScreen({longName}),
                    run.out);
}

// ---------------------------------------------------------------------------------------
// Entries the QEMU command line cannot carry

struct LaunchCase {
  Fixture fx;
  explicit LaunchCase(const OsEntry& os) {
    fx.Write("options.ini", NoRamCheck());
    fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
    fx.Write("db\\Linux.ini", CategoryIni({os}));
    fx.Write("images\\" + os.filename, "iso");
  }
};

std::string UpToLaunch(const OsEntry& os) {
  return StartOf({"Linux"}) + CategoryScreen({os.name + " " + os.version}, false);
}

TEST(BadEntries, BlanksAroundOstypeAndVgaAreDropped) {
  OsEntry os = SampleOs("Tiny", "1.0");
  os.ostype = "  cdrom\t";
  os.vga = " std  ";
  LaunchCase c(os);

  RunResult run = c.fx.Run("2\n1\n4\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToLaunch(os) + OsLaunch("Tiny", "1.0") + MainScreen({"Linux"}), run.out);
  EXPECT_EQ(c.fx.ToolLog(),
            std::vector<std::string>{QemuLine(OsQemuArguments(
                512, "std", "-cdrom images\\\\Tiny-1.0.iso -boot once=d"))});
}

TEST(BadEntries, AnOstypeWithABlankInsideIsABadOstype) {
  OsEntry os = SampleOs("Tiny", "1.0");
  os.ostype = "cd rom";
  LaunchCase c(os);

  RunResult run = c.fx.Run("2\n1\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(UpToLaunch(os) + OsBox("Tiny", "1.0") +
                        "\n * ERROR : bad ostype - for CD/DVD image use `cdrom`, for HDD image "
                        "use `hdd` and for FDD image use `fdd`\n\n Press <Enter> to continue " +
                        MainScreen({"Linux"}),
                    run.out);
  EXPECT_TRUE(c.fx.ToolLog().empty());
}

std::string BadWord() {
  return "\n * ERROR : bad filename or vga - blanks and quotes cannot be passed to QEMU\n\n"
         " Press <Enter> to continue ";
}

TEST(BadEntries, AVgaWithABlankInsideStartsNoQemu) {
  for (const char* vga : {"std vga", "std -hda x.img", "\"std\""}) {
    SCOPED_TRACE(vga);
    OsEntry os = SampleOs("Tiny", "1.0");
    os.vga = vga;
    LaunchCase c(os);

    RunResult run = c.fx.Run("2\n1\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToLaunch(os) + OsBox("Tiny", "1.0") + BadWord() +
                          MainScreen({"Linux"}),
                      run.out);
    EXPECT_TRUE(c.fx.ToolLog().empty());
  }
}

// A file name that is no plain name inside the images folder is refused before it is looked
// up: no tool starts, no download is offered, and the file it would name is left alone.
TEST(BadEntries, AnImageNameThatIsNoPlainNameStartsNoTool) {
  const std::string blank = "a blank, tab or control character cannot be part of an image's name";
  const std::string forbidden = "none of \\ / : * ? \" < > | can be part of an image's name";
  struct Row {
    std::string filename, victim, problem;  // victim: a file where the name would lead
  };
  std::vector<Row> rows = {
      {"my tiny image.iso", "images\\my tiny image.iso", blank},
      {"x.iso -O /tmp/pwned.sh", "", blank},
      {"..\\secret.txt", "secret.txt", forbidden},
      {"../secret.txt", "secret.txt", forbidden},
      {"C:secret.txt", "", forbidden},
      {"..", "", "it names a folder, not a file"},
      {"x.iso.", "", "an image's name cannot end in a dot"},
      {"nul", "", "nul is a device of Windows, not a file"},
      {"Aux.tar.gz", "", "Aux is a device of Windows, not a file"},
  };
#ifndef _WIN32
  // Where the names are no devices, a file of that name lies there.
  rows[7].victim = "images\\nul";
  rows[8].victim = "images\\Aux.tar.gz";
  rows.push_back({"a\x7f.iso", "images\\a\x7f.iso", blank});
#endif
  for (const Row& row : rows) {
    SCOPED_TRACE(row.filename);
    OsEntry os = SampleOs("Tiny", "1.0");
    os.filename = row.filename;
    Fixture fx;
    fx.Write("options.ini", NoRamCheck());
    fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
    fx.Write("db\\Linux.ini", CategoryIni({os}));
    fx.MakeDir("images");
    if (!row.victim.empty()) fx.Write(row.victim, "keep");

    RunResult run = fx.Run("2\n1\n\n0\n");

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRANSCRIPT(UpToLaunch(os) + OsBox("Tiny", "1.0") + "\n * ERROR bad file name: " +
                          row.problem + "\n\n Press <Enter> to continue " +
                          MainScreen({"Linux"}),
                      run.out);
    EXPECT_TRUE(fx.ToolLog().empty());
    if (!row.victim.empty()) {
      EXPECT_EQ(fx.Read(row.victim), "keep");
    }
    EXPECT_FALSE(fx.Exists("images\\temp"));
  }
}

// ---------------------------------------------------------------------------------------
// Answers

TEST(BadAnswers, LongNumbersSignsAndHexAtTheMainMenu) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", {"Linux"}));

  // 10,000 digits, a lone "-", "0x1", "1e0" and "2.0" are refused; "+3" is Options, whose
  // "-0" is 0 and leads back.
  RunResult run =
      fx.Run(std::string(10000, '9') + "\n-\n0x1\n1e0\n2.0\n+3\n-0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartOf({"Linux"}) + WrongChoice() + WrongChoice() + WrongChoice() +
                        WrongChoice() + WrongChoice() + OptionsScreen() + MainScreen({"Linux"}),
                    run.out);
}

TEST(BadAnswers, AnAnswerLineOfAMegabyteIsOneWrongAnswer) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", {"Linux"}));

  RunResult run = fx.Run("7 " + std::string(1 << 20, 'x') + "\n" + std::string(1 << 20, ' ') +
                         "\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(StartOf({"Linux"}) + WrongChoice(), run.out);
}

// A session that passes every kind of prompt: menus, the memory menu, the pause after QEMU,
// the missing-image question, the Own editor's fields and choices, the virtual-disk size and
// questions, the help's silent pauses and the operation-failed pause.
std::vector<std::string> SessionLines() {
  return {
      "2", "1", "4", "",                        // Linux, Tiny, 512 MB, Enter after QEMU
      "2", "2", "1", "1", "",                   // previous versions, Old: download, fails
      "4", "2", "1",                            // options, database, add
      "Added", "1", "added.iso", "http://127.0.0.1:1/added.iso", "cdrom", "std", "",
      "2", "2", "1", "", "", "", "", "", "", "",  // edit entry 1, keep every value
      "2", "3", "1", "",                        // delete entry 1
      "1", "1", "1G", "", "2",                  // a new 1G disk, no partition manager
      "1", "3", "1", "",                        // delete the disk
      "0",                                      // leave the options
      "5", "1", "", "", "", "", "0",            // help, the guide's four pauses
      "4", "0",                                 // options and back
      "-99", "",                                // the operation-failed pause
      "0"};
}

TEST(EndOfInput, AtEveryPromptOfALongSessionTheProgramEndsCleanly) {
  Fixture fx;
  const std::vector<std::string> cats = {"Linux", "Own"};
  fx.Write("options.ini", NoRamCheck());
  fx.Write("db\\db.ini", DbIni("5", cats));
  fx.Write("db\\Linux.ini",
           CategoryIni({SampleOs("Tiny", "1.0")}, std::vector<OsEntry>{SampleOs("Old", "0.1")}));
  fx.Write("db\\Own.ini", CategoryIni({SampleOs("Mine", "2")}));
  fx.Write("images\\Tiny-1.0.iso", "iso");
  fx.InstallTool("qemu\\qemu-img.exe", "create images\\hdb.img 1024\n");

  const std::vector<std::string> lines = SessionLines();
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  RunResult full = fx.RunProgram(ProgramFileName("quillhaven"), all, fx.FsPath(""));
  EXPECT_EQ(full.exitCode, 0);
  // The whole session did reach the prompts it is meant to.
  for (const char* mark : {"Select RAM for QEMU", "You don`t have Old 0.1", "ADD OS", "EDIT OS",
                           "DELETE OS", "Enter the size of the new HDD", "Operation was not",
                           " OS was saved"}) {
    EXPECT_NE(full.out.find(mark), std::string::npos) << mark;
  }
  EXPECT_TRUE(EndsAtTheMainMenu(full.out));

  // Now the same session cut short after every line: each run must end on its own, with
  // exit code 0, through the main menu, and leave a whole Own.ini.
  for (size_t cut = 0; cut < lines.size(); ++cut) {
    SCOPED_TRACE("input ends after line " + std::to_string(cut));
    fx.Write("db\\Own.ini", CategoryIni({SampleOs("Mine", "2")}));
    fx.Remove("images\\hdb.img");
    std::string input;
    for (size_t i = 0; i < cut; ++i) input += lines[i] + "\n";
    RunResult run = fx.RunProgram(ProgramFileName("quillhaven"), input, fx.FsPath(""));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(EndsAtTheMainMenu(run.out)) << run.out.substr(run.out.size() > 300 ? run.out.size() - 300 : 0);
    const IniFile own(fx.Path("db\\Own.ini"));
    const int count = own.ReadInteger("main", "count", -1);
    EXPECT_TRUE(count >= 0 && count <= 2) << count;
    for (int k = 1; k <= count; ++k) {
      EXPECT_NE(own.ReadString(std::to_string(k), "vga", "\x01"), "\x01") << k;
    }
  }
}

// ---------------------------------------------------------------------------------------
// The database folder, the disk and the program itself failing while Own.ini is written

const std::vector<std::string> OwnCats = {"Linux", "Own"};

std::string AddInput(const std::string& name) {
  return name + "\n1\n" + name + ".iso\nhttp://127.0.0.1:1/" + name + ".iso\ncdrom\nstd\n";
}

// Options, database setup, add one entry, Enter after the result, then leave.
std::string AddOnce(const std::string& name) { return "4\n2\n1\n" + AddInput(name) + "\n0\n0\n"; }

// An Own.ini of entries "Entry 1" .. "Entry n".
std::string OwnIniOf(int n) {
  std::vector<OsEntry> entries;
  for (int k = 1; k <= n; ++k) {
    const std::string x = std::to_string(k);
    entries.push_back({"Entry " + x, "v" + x, "http://h/f" + x + ".iso", "f" + x + ".iso", "cdrom",
                       "std"});
  }
  return CategoryIni(entries);
}

void ExpectFailedAdd(const Fixture& fx, const RunResult& run) {
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find(" * ERROR Unable to write to " + fx.Path("db\\Own.ini") + "\n" +
                         OperationFailed()),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(EndsAtTheMainMenu(run.out));
}

// No file but Own.ini and db.ini in the database folder: no temporary file is left behind.
[[maybe_unused]] void ExpectNoLeftovers(const Fixture& fx) {
  for (const auto& entry : fs::directory_iterator(fx.FsPath("db"))) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "Own.ini" || name == "db.ini" || name == "Linux.ini") << name;
  }
}

TEST(WriteFailures, AReadOnlyDbFolderFailsTheAddAndKeepsOwnIni) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", OwnCats));
  const std::string before = OwnIniOf(2);
  fx.Write("db\\Own.ini", before);
  dbtest::LockedFolder lock(fx.FsPath("db"));
  if (!lock.Locked()) GTEST_SKIP() << "no way to make a folder read-only for this user here";

  RunResult run = fx.Run(AddOnce("New"));

  ExpectFailedAdd(fx, run);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
}

#ifndef _WIN32

// A few entries and a long note beside them: an Own.ini of about bytes, with room for more
// entries (a full category would refuse the add before anything is written).
std::string LargeOwnIni(std::size_t bytes) {
  return OwnIniOf(3) + "\r\n[notes]\r\ntext=" + std::string(bytes, 'n') + "\r\n";
}

// A small file system mounted over a fixture folder for the life of the object (root only).
class SmallFileSystem {
 public:
  SmallFileSystem(const fs::path& dir, int kilobytes) : dir_(dir) {
    mounted_ = std::system(("mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs '" +
                            dir.string() + "' 2>/dev/null")
                               .c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) {
      [[maybe_unused]] int rc = std::system(("umount '" + dir_.string() + "'").c_str());
    }
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  fs::path dir_;
  bool mounted_ = false;
};

TEST(WriteFailures, AFullDiskFailsTheAddAndKeepsOwnIniWhole) {
  Fixture fx;
  fx.MakeDir("db");
  SmallFileSystem disk(fx.FsPath("db"), 256);
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (not root?)";
  fx.Write("db\\db.ini", DbIni("5", OwnCats));
  // Own.ini fills more than half the disk, so its new copy cannot be written beside it.
  const std::string before = LargeOwnIni(150u * 1024u);
  ASSERT_GT(before.size(), 140u * 1024u);
  fx.Write("db\\Own.ini", before);

  RunResult run = fx.Run(AddOnce("New"));

  ExpectFailedAdd(fx, run);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
  ExpectNoLeftovers(fx);
}

TEST(WriteFailures, AWriteCutShortByAFileSizeLimitKeepsOwnIniWhole) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", OwnCats));
  const std::string before = LargeOwnIni(80u * 1024u);
  ASSERT_GT(before.size(), 64u * 1024u);
  fx.Write("db\\Own.ini", before);
  // The program under a limit of 64 KiB per file: the kernel refuses the rest of the new
  // Own.ini in the middle of the write, as a full disk would.
  fx.Write("limited.sh", "#!/bin/bash\ntrap '' XFSZ\nulimit -f 64\nexec \"$(dirname \"$0\")/" +
                             ProgramFileName("quillhaven") + "\"\n");
  fs::permissions(fx.FsPath("limited.sh"), fs::perms::owner_all, fs::perm_options::add);

  RunResult run = fx.RunProgram("limited.sh", AddOnce("New"), fx.WorkDir());

  ExpectFailedAdd(fx, run);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
  ExpectNoLeftovers(fx);
}

// The entries of Own.ini must be exactly "Entry 1" .. "Entry count", each whole.
void ExpectWholeOwnIni(const std::string& text, int& count) {
  IniDocument doc;
  doc.Parse(text);
  count = doc.ReadInteger("main", "count", -1);
  ASSERT_GE(count, 0) << text.substr(0, 200);
  ASSERT_TRUE(EndsWith(text, "\r\n")) << "the file ends in the middle of a line";
  std::vector<std::string> expected = {"main"};
  for (int k = 1; k <= count; ++k) {
    const std::string s = std::to_string(k);
    expected.push_back(s);
    ASSERT_EQ(doc.ReadString(s, "name", ""), "Entry " + s);
    ASSERT_EQ(doc.ReadString(s, "version", ""), "v" + s);
    ASSERT_EQ(doc.ReadString(s, "download", ""), "http://h/f" + s + ".iso");
    ASSERT_EQ(doc.ReadString(s, "filename", ""), "f" + s + ".iso");
    ASSERT_EQ(doc.ReadString(s, "ostype", ""), "cdrom");
    ASSERT_EQ(doc.ReadString(s, "vga", ""), "std");
  }
  std::vector<std::string> sections = doc.SectionNames();
  std::erase(sections, "notes");  // the padding that makes every write a long one
  ASSERT_EQ(sections, expected);
}

TEST(WriteFailures, AProgramKilledWhileWritingOwnIniLeavesTheOldOrTheNewFile) {
  Fixture fx;
  fx.Write("db\\db.ini", DbIni("5", OwnCats));
  // A long note ahead of the entries makes every write of the file a long one; the category
  // holds at most 100 entries, so the rounds start again from one entry now and then.
  const std::string first =
      "[notes]\r\ntext=" + std::string(512 * 1024, 'n') + "\r\n\r\n" + OwnIniOf(1);
  fx.Write("db\\Own.ini", first);

  // Each round starts a run that adds the next entries in turn, up to 99, and kills it at a
  // random moment; a run killed after adding n of them must leave the entries before it and
  // n new ones (the file as one whole add left it), never anything between.
  std::mt19937 random(std::random_device{}());
  int count = 1, killedAfterWrites = 0, killedInsideAWrite = 0;
  const fs::path input = fx.WorkDir() / "adds.txt";
  const fs::path status = fx.WorkDir() / "status.txt";
  for (int round = 0; round < 80 && count < 5000 && !(round >= 20 && killedInsideAWrite >= 3);
       ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    if (count > 60) {
      fx.Write("db\\Own.ini", first);
      count = 1;
    }
    std::string adds = "4\n";
    for (int k = count + 1; k <= 99; ++k) {
      const std::string x = std::to_string(k);
      adds += "2\n1\nEntry " + x + "\nv" + x + "\nf" + x + ".iso\nhttp://h/f" + x +
              ".iso\ncdrom\nstd\n\n";
    }
    std::ofstream(input, std::ios::binary) << adds << "0\n0\n";
    const int milliseconds = std::uniform_int_distribution<int>(20, 400)(random);
    const std::string command =
        "cd '" + fx.WorkDir().string() + "' && timeout -s KILL " +
        std::to_string(milliseconds / 1000.0) + " '" + fx.Path(ProgramFileName("quillhaven")) +
        "' <adds.txt >/dev/null 2>&1; echo $? >status.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const bool killed = dbtest::ReadFile(status).rfind("137", 0) == 0;

    const int before = count;
    ExpectWholeOwnIni(fx.Read("db\\Own.ini"), count);
    if (HasFatalFailure()) return;
    ASSERT_GE(count, before);
    if (killed && count > before) ++killedAfterWrites;
    // A writer killed in the middle of a write leaves its hidden temporary file; Own.ini
    // itself is never touched before the finished copy replaces it.
    for (const auto& entry : fs::directory_iterator(fx.FsPath("db"))) {
      const std::string name = entry.path().filename().string();
      if (name != "Own.ini" && name != "db.ini") {
        ++killedInsideAWrite;
        fs::remove(entry.path());
      }
    }
  }
  // The kills did land in the middle of runs that were writing, and some of them between
  // the start and the end of one write of Own.ini: its temporary file was left behind.
  EXPECT_GE(killedAfterWrites, 3);
  EXPECT_GE(killedInsideAWrite, 1);
}

#endif  // _WIN32

}  // namespace
