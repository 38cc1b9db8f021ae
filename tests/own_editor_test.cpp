// The editor of the Own category (ADD OS, EDIT OS, DELETE OS) driven through the whole
// program, with Own.ini read back key by key afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "c_api/screen.h"
#include "db/category.h"
#include "db/ini_file.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"
#include "support/undeletable_file.h"

namespace {

namespace fs = std::filesystem;

// The catalogue of every case: Own is category 2, so Options is main-menu entry 4.
const std::vector<std::string> Cats = {"Linux", "Own"};
const char* const ToOptions = "4\n";
const char* const Leave = "0\n0\n";  // options menu, then main menu

const char* const Absent = "\x01" "absent";  // a default no real value can have

std::string Pause() { return " Press <Enter> to continue "; }
std::string Saved() { return "\n OS was saved, you can find it in `Own` category\n" + Pause(); }

std::string ChooseScreen(const std::string& title, const std::string& verb,
                         const std::vector<std::string>& names) {
  std::string text = Header(title) + "\n | Choose OS that you want to " +
                     (verb == "Edit" ? "edit" : "delete") + " |\n\n";
  for (size_t k = 0; k < names.size(); ++k) {
    text += "  " + std::to_string(k + 1) + ") " + verb + " " + names[k] + "\n";
  }
  return text + "\n  0) Go to Options Menu\n\n" + Prompt();
}

// The edit screen's fields showing the current values, in the screen's order.
std::string EditFields(const OsEntry& os, int fields = 6) {
  return OwnEditScreen({os.name, os.version, os.filename, os.download, os.ostype, os.vga},
                       fields);
}

std::string InputEnded() { return "\n * Input ended, OS was not saved\n"; }

std::string StartOfRun() { return Startup(DbReport("5", Cats)) + MainScreen(Cats); }

// Everything up to the DATABASE SETUP prompt.
std::string ToDbSetup() { return StartOfRun() + OptionsScreen() + DbSetupScreen(); }
// And the way out: the options menu shown again, then the main menu.
std::string BackOut() { return OptionsScreen() + MainScreen(Cats); }

void Install(const Fixture& fx) { fx.Write("db\\db.ini", DbIni("5", Cats)); }

// Own.ini as the program reads it: [main] count and the six keys (and any sha256) of every
// entry section, each compared on its own; sections past the count must be gone.
void ExpectOwnIni(const Fixture& fx, const std::vector<OsEntry>& expected) {
  SCOPED_TRACE("Own.ini:\n" + fx.Read("db\\Own.ini"));
  const IniFile ini(fx.Path("db\\Own.ini"));
  ASSERT_EQ(ini.ReadInteger("main", "count", -1), static_cast<int>(expected.size()));
  for (size_t k = 0; k < expected.size(); ++k) {
    const std::string section = std::to_string(k + 1);
    SCOPED_TRACE("section " + section);
    const OsEntry& os = expected[k];
    EXPECT_EQ(ini.ReadString(section, "name", Absent), os.name);
    EXPECT_EQ(ini.ReadString(section, "version", Absent), os.version);
    EXPECT_EQ(ini.ReadString(section, "download", Absent), os.download);
    EXPECT_EQ(ini.ReadString(section, "filename", Absent), os.filename);
    EXPECT_EQ(ini.ReadString(section, "ostype", Absent), os.ostype);
    EXPECT_EQ(ini.ReadString(section, "vga", Absent), os.vga);
    EXPECT_EQ(ini.ReadString(section, "sha256", Absent), os.sha256.empty() ? Absent : os.sha256);
    EXPECT_EQ(ini.ReadString(section, "firmware", Absent),
              os.firmware.empty() ? Absent : os.firmware);
  }
  const std::string after = std::to_string(expected.size() + 1);
  EXPECT_EQ(ini.ReadString(after, "name", Absent), Absent) << "section " << after << " left over";
}

OsEntry Entry(const std::string& name, const std::string& version, const std::string& file) {
  return {name, version, "http://127.0.0.1:1/" + file, file, "cdrom", "std"};
}

// Input lines for the add screen, in the order it asks: name, version, filename, download,
// ostype, vga.
std::string AddInput(const OsEntry& os) {
  return os.name + "\n" + os.version + "\n" + os.filename + "\n" + os.download + "\n" +
         os.ostype + "\n" + os.vga + "\n";
}

// ---------------------------------------------------------------------------------------
// ADD OS

TEST(OwnEditorAdd, MissingOwnIniIsCreatedWithOneFullEntry) {
  Fixture fx;
  Install(fx);
  const OsEntry os = {"Damn Small Linux", "4.4.10", "http://127.0.0.1:1/dsl.iso", "dsl.iso",
                      "cdrom", "cirrus"};

  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\n" + AddInput(os) + "\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + OwnAddScreen() + Saved() + BackOut(), run.out);
  ExpectOwnIni(fx, {os});
}

// Typed text is stored as the bytes typed: UTF-8 as it is, and a 0x1A byte (the end of a
// text-mode input on Windows) as one more character, which the list shows as "?".
TEST(OwnEditorAdd, Utf8AndA1ABytePipedInAreStoredAsTheSameBytes) {
  Fixture fx;
  Install(fx);
  const OsEntry os = Entry("Caf\xc3\xa9 \xce\xa9mega\x1a", "\xe2\x84\xa6 1", "cafe.iso");

  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\n" + AddInput(os) + "\n" + "2\n2\n0\n" +
                         Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + OwnAddScreen() + Saved() + OptionsScreen() + DbSetupScreen() +
                        ChooseScreen("EDIT OS", "Edit",
                                     {"Caf\xc3\xa9 \xce\xa9mega? \xe2\x84\xa6 1"}) +
                        BackOut(),
                    run.out);
  ExpectOwnIni(fx, {os});
  EXPECT_NE(fx.Read("db\\Own.ini").find("name=Caf\xc3\xa9 \xce\xa9mega\x1a\r\n"),
            std::string::npos);
}

// The lists show 100 entries: a 101st could never be chosen, so a full category takes none.
TEST(OwnEditorAdd, AFullOwnCategorySavesNothing) {
  Fixture fx;
  Install(fx);
  std::vector<OsEntry> own;
  for (int k = 1; k <= 100; ++k) own.push_back(Entry("E" + std::to_string(k), "1", "e.iso"));
  fx.Write("db\\Own.ini", CategoryIni(own));
  const std::string before = fx.Read("db\\Own.ini");

  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\n\n" + Leave);

  EXPECT_TRANSCRIPT(ToDbSetup() + Header("ADD OS") +
                        "\n The `Own` category is full (100 OS); delete one before you add "
                        "another. Nothing was saved.\n" +
                        Pause() + BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
}

TEST(OwnEditorAdd, EmptyInputsStoreAnEntryOfEmptyValuesThatListsAsOneBlank) {
  Fixture fx;
  Install(fx);
  fx.Write("db\\Own.ini", CategoryIni({Entry("First", "1", "first.iso")}));

  // Add with six empty lines, then open the edit screen to see how the entry lists.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\n\n\n\n\n\n\n\n" + "2\n2\n0\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + OwnAddScreen() + Saved() + OptionsScreen() + DbSetupScreen() +
                        ChooseScreen("EDIT OS", "Edit", {"First 1", " "}) + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {Entry("First", "1", "first.iso"), OsEntry{"", "", "", "", "", ""}});
}

// A file name or link that may not reach wget or the images folder is not stored: one line
// says why and the same field is asked again; blanks around a value and an empty or missing
// link are no such value. Editing asks again for a kept value that may not be stored too.
TEST(OwnEditorAdd, ANameOrLinkThatMayNotReachAToolIsAskedAgain) {
  const std::string again = Prompt() + "\n";
  const auto after = [](std::string text, const std::string& mark, const std::string& add) {
    return text.insert(text.find(mark) + mark.size(), add);
  };
  {
    Fixture fx;
    Install(fx);
    const OsEntry os = {"Mine", "1", "HTTP://h/good.iso", " good.iso", "cdrom", "std"};
    RunResult run = fx.Run(std::string(ToOptions) + "2\n1\nMine\n1\nx.iso -O /tmp/pwned.sh\n"
                           "aux.tar.gz\n good.iso\n--config=images\\cfg.img\nerror\n"
                           "HTTP://h/good.iso\ncdrom\nstd\n\n" + Leave);

    std::string screen = after(OwnAddScreen(), OwnFieldHint(2) + ("\n" + again),
                               " * ERROR bad file name: a blank, tab or control character cannot "
                               "be part of an image's name\n" + again +
                               " * ERROR bad file name: aux is a device of Windows, not a file\n" +
                               again);
    const std::string noScheme =
        " * ERROR bad download link: it does not begin with http://, https:// or ftp://\n";
    screen = after(screen, OwnFieldHint(3) + ("\n" + again), noScheme + again + noScheme + again);
    EXPECT_TRANSCRIPT(ToDbSetup() + screen + Saved() + BackOut(), run.out);
    ExpectOwnIni(fx, {{"Mine", "1", "HTTP://h/good.iso", "good.iso", "cdrom", "std"}});
    EXPECT_NE(fx.Read("db\\Own.ini").find("filename= good.iso"), std::string::npos);
  }
  {
    Fixture fx;
    Install(fx);
    OsEntry old = {"Old", "1", "ERROR", "nul", "cdrom", "std"};
    fx.Write("db\\Own.ini", CategoryIni({old}));
    RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\n\n\n\nnull.iso\n\n\n\n\n" + Leave);

    const std::string screen =
        after(EditFields(old), OwnFieldHint(2) + "\n new OS filename: \n",
              " * ERROR bad file name: nul is a device of Windows, not a file\n new OS filename: \n");
    EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", {"Old 1"}) + screen + Saved() +
                          BackOut(),
                      run.out);
    old.filename = "null.iso";
    ExpectOwnIni(fx, {old});
  }
}

TEST(OwnEditorAdd, ClosedInputInTheMiddleSavesNothing) {
  Fixture fx;
  Install(fx);

  // Three fields answered, then standard input ends.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\nHalf\n1.0\nhalf.iso\n");

  EXPECT_EQ(run.exitCode, 0);
  // At the end of input every menu answers 0: options, then the main menu, which ends.
  EXPECT_TRANSCRIPT(ToDbSetup() + OwnAddScreen(3) + " OS download link: \n" +
                        OwnFieldHint(3) + "\n" + Prompt() + InputEnded() + BackOut(),
                    run.out);
  EXPECT_FALSE(fx.Exists("db\\Own.ini"));
}

TEST(OwnEditorAdd, ClosedInputAtTheFirstFieldLeavesAnExistingFileAsItWas) {
  Fixture fx;
  Install(fx);
  const std::string before = CategoryIni({Entry("First", "1", "first.iso")});
  fx.Write("db\\Own.ini", before);

  RunResult run = fx.Run(std::string(ToOptions) + "2\n1\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + Header("ADD OS") + "\n OS name:\n" + OwnFieldHint(0) + "\n" +
                        Prompt() + InputEnded() + BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
}

TEST(OwnEditorAdd, UnwritableOwnIniIsReportedAndTheProgramGoesOn) {
  Fixture fx;
  // No database folder at all: Own.ini cannot be created (this fails for root as well).
  const OsEntry os = Entry("Nowhere", "1", "nowhere.iso");

  // The first line answers the wait after the missing db.ini; no categories: Options is 2.
  RunResult run = fx.Run("\n2\n2\n1\n" + AddInput(os) + "\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {}, fx.Path("db\\db.ini"))) + MainScreen({}) +
                        OptionsScreen() + DbSetupScreen() + OwnAddScreen() +
                        "\n * ERROR Unable to write to " + fx.Path("db\\Own.ini") + "\n" +
                        OperationFailed() + OptionsScreen() + MainScreen({}),
                    run.out);
  EXPECT_FALSE(fx.Exists("db"));
}

// ---------------------------------------------------------------------------------------
// EDIT OS

TEST(OwnEditorEdit, KeepingEveryValueMovesTheEntryToTheEnd) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("One", "1", "one.iso"), Entry("Two", "2", "two.iso"),
                                    Entry("Three", "3", "three.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));

  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n2\n\n\n\n\n\n\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", DisplayNames(own)) +
                        EditFields(own[1]) + Saved() + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {own[0], own[2], own[1]});
}

// The screen asks for no hash; the edited entry and the one that moves up keep theirs.
TEST(OwnEditorEdit, TypedValuesReplaceAndBlanksAreStoredAsBlanks) {
  Fixture fx;
  Install(fx);
  std::vector<OsEntry> own = {Entry("One", "1", "one.iso"), Entry("Two", "2", "two.iso")};
  own[0].sha256 = std::string(64, 'a');
  own[1].sha256 = std::string(64, 'B');
  own[0].firmware = "uefi";
  own[1].firmware = "bios";
  fx.Write("db\\Own.ini", CategoryIni(own));

  // Entry 1: a new name, the version as three blanks, the rest kept, a new vga.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\nUno\n   \n\n\n\nvmware\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", DisplayNames(own)) +
                        EditFields(own[0]) + Saved() + BackOut(),
                    run.out);
  OsEntry edited = own[0];
  edited.name = "Uno";
  edited.version = "";  // the blanks were written; they read back as an empty value
  edited.vga = "vmware";
  ExpectOwnIni(fx, {own[1], edited});
  EXPECT_NE(fx.Read("db\\Own.ini").find("version=   "), std::string::npos);
}

TEST(OwnEditorEdit, ANewImageDropsTheOldHash) {
  Fixture fx;
  Install(fx);
  std::vector<OsEntry> own = {Entry("One", "1", "one.iso")};
  own[0].sha256 = std::string(64, 'a');
  own[0].firmware = "uefi";  // the system's, not the image's: it stays
  fx.Write("db\\Own.ini", CategoryIni(own));

  // A new file name; everything else kept.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\n\n\nuno.iso\n\n\n\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  OsEntry edited = own[0];
  edited.filename = "uno.iso";
  edited.sha256 = "";
  ExpectOwnIni(fx, {edited});
}

TEST(OwnEditorEdit, ClosedInputInTheMiddleKeepsTheEntryInItsPlace) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("One", "1", "one.iso"), Entry("Two", "2", "two.iso")};
  const std::string before = CategoryIni(own);
  fx.Write("db\\Own.ini", before);

  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\nUno\n");

  EXPECT_EQ(run.exitCode, 0);
  const std::string shownBeforeEnd = EditFields(own[0], 1) + " OS version: 1\n" + OwnFieldHint(1) +
                                     "\n new OS version: " + InputEnded();
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", DisplayNames(own)) +
                        shownBeforeEnd + BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
}

TEST(OwnEditorEdit, EmptyOwnIniListsNothingAndAcceptsOnlyZero) {
  Fixture fx;
  Install(fx);
  fx.Write("db\\Own.ini", IniText({"[main]", "count=0"}));

  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\n0\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", {}) + WrongChoice() +
                        BackOut(),
                    run.out);
}

TEST(OwnEditorEdit, MissingOwnIniIsReportedTwiceAndFailsTheOperation) {
  Fixture fx;
  Install(fx);

  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  const std::string missing = MissingFile(fx.Path("db\\Own.ini"));
  EXPECT_TRANSCRIPT(ToDbSetup() + Header("EDIT OS") +
                        "\n | Choose OS that you want to edit |\n\n" + missing + missing +
                        OperationFailed() + BackOut(),
                    run.out);
  EXPECT_FALSE(fx.Exists("db\\Own.ini"));
}

// ---------------------------------------------------------------------------------------
// DELETE OS

// stays: the file that could not be deleted, as the screen names it ("" for none).
std::string DeletedLine(const std::string& display, bool imageError = false,
                        const std::string& stays = "") {
  return Header("DELETE OS") + "\n Deleting " + display + " .." + (imageError ? "*ERROR*" : "") +
         (imageError ? ".... [ ERROR ]\n" : ".... [ OK ]\n") +
         (stays.empty() ? ""
                        : " The entry was deleted, but " + stays +
                              " could not be deleted: it is still there.\n") +
         Pause();
}

TEST(OwnEditorDelete, TheOnlyEntryLeavesCountZeroAndNoSections) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("Solo", "1", "solo.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));

  // Delete it, then look at the delete screen again: it lists nothing.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + "2\n3\n0\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        DeletedLine("Solo 1") + OptionsScreen() + DbSetupScreen() +
                        ChooseScreen("DELETE OS", "Delete", {}) + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {});
  EXPECT_EQ(fx.Read("db\\Own.ini").find("[1]"), std::string::npos);
}

TEST(OwnEditorDelete, SecondOfFourClosesTheGap) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso"), Entry("B", "2", "b.iso"),
                                    Entry("C", "3", "c.iso"), Entry("D", "4", "d.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n2\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        DeletedLine("B 2") + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {own[0], own[2], own[3]});
}

TEST(OwnEditorDelete, EntriesWithoutVgaMoveDownWithAnEmptyVga) {
  Fixture fx;
  Install(fx);
  fx.Write("db\\Own.ini",
           IniText({"[main]", "count=3", "[1]", "name=A", "version=1", "download=d1",
                    "filename=a.iso", "ostype=cdrom", "vga=std", "[2]", "name=B", "version=2",
                    "download=d2", "filename=b.iso", "ostype=hdd", "[3]", "name=C",
                    "version=3", "download=d3", "filename=c.iso", "ostype=fdd"}));

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", {"A 1", "B 2", "C 3"}) +
                        DeletedLine("A 1") + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {{"B", "2", "d2", "b.iso", "hdd", ""}, {"C", "3", "d3", "c.iso", "fdd", ""}});
}

// Read-only or not: the user asked for it.
TEST(OwnEditorDelete, TheImageInTheImagesFolderIsDeletedAndNothingElse) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso"), Entry("B", "2", "b.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));
  fx.Write("images\\a.iso", "image");
  fs::permissions(fx.FsPath("images\\a.iso"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  fx.Write("images\\b.iso", "other image");
  fx.Write("images\\a.iso.vars.fd", "its UEFI variables");
  fx.Write("images\\b.iso.vars.fd", "other variables");
  fx.Write("a.iso", "a file of the same name beside the program");

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        DeletedLine("A 1") + BackOut(),
                    run.out);
  EXPECT_FALSE(fx.Exists("images\\a.iso"));
  EXPECT_FALSE(fx.Exists("images\\a.iso.vars.fd"));
  EXPECT_TRUE(fx.Exists("images\\b.iso"));
  EXPECT_TRUE(fx.Exists("images\\b.iso.vars.fd"));
  EXPECT_TRUE(fx.Exists("a.iso"));
  ExpectOwnIni(fx, {own[1]});
}

// The entry goes; the image that stays is named, and no " [ OK ]" stands beside the error.
TEST(OwnEditorDelete, AnImageThatCannotBeDeletedIsNamed) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso"), Entry("B", "2", "b.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));
  fx.Write("images\\a.iso", "image");
  UndeletableFile lock(fx, "images\\a.iso");
  if (!lock.Locked()) GTEST_SKIP() << "no way to make an undeletable file here";

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        DeletedLine("A 1", true, fx.Path("images\\a.iso")) + BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("images\\a.iso"), "image");
  ExpectOwnIni(fx, {own[1]});
}

// The entry goes, but not an image something else still needs: the virtual disk, the
// partition manager's image, or one another entry names (any category, previous versions,
// another Own entry; file names compared without regard to letter case).
TEST(OwnEditorDelete, ImagesThatAreStillNeededAreKept) {
  struct Case {
    std::string filename, why;
  };
  for (const Case& c : std::vector<Case>{{"hdb.img", "it is the virtual HDD"},
                                         {"pm.iso", "it is the partition manager's image"},
                                         {"Shared.ISO", "\"Ubuntu\" uses it too"},
                                         {"older.iso", "\"Ubuntu\" uses it too"},
                                         {"twin.iso", "\"Twin\" uses it too"}}) {
    SCOPED_TRACE(c.filename);
    Fixture fx;
    fx.Write("db\\db.ini", DbIni("5", Cats) + IniText({"", "[hddmanager]", "download=x",
                                                      "filename=pm.iso"}));
    fx.Write("db\\Linux.ini", CategoryIni({Entry("Ubuntu", "24", "shared.iso")},
                                          std::vector<OsEntry>{Entry("Ubuntu", "8", "older.iso")}));
    const std::vector<OsEntry> own = {Entry("Mine", "1", c.filename),
                                      Entry("Twin", "2", "twin.iso")};
    fx.Write("db\\Own.ini", CategoryIni(own));
    fx.Write("images\\" + c.filename, "needed");
    fx.Write("images\\" + c.filename + ".vars.fd", "needed too");

    RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

    const std::string deleted = DeletedLine("Mine 1");
    EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                          deleted.substr(0, deleted.size() - Pause().size()) + " The image " +
                          c.filename + " was kept: " + c.why + ".\n" + Pause() + BackOut(),
                      run.out);
    EXPECT_EQ(fx.Read("images\\" + c.filename), "needed");
    EXPECT_EQ(fx.Read("images\\" + c.filename + ".vars.fd"), "needed too");
    ExpectOwnIni(fx, {own[1]});
  }
}

TEST(OwnEditorDelete, AMissingImageIsNoError) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso")};
  fx.Write("db\\Own.ini", CategoryIni(own));
  fx.MakeDir("images");

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        DeletedLine("A 1") + BackOut(),
                    run.out);
  ExpectOwnIni(fx, {});
}

TEST(OwnEditorDelete, AFilenameThatLeavesTheImagesFolderDeletesNoFile) {
  // Each file name points at a file that exists where the name would lead.
  struct Case {
    std::string filename;
    std::string victim;  // relative to the installation
    std::string problem;
  };
  const std::string forbidden = "none of \\ / : * ? \" < > | can be part of an image's name";
  const std::vector<Case> cases = {
      {"..\\keep.txt", "keep.txt", forbidden},
      {"../keep.txt", "keep.txt", forbidden},
      {"sub\\keep.txt", "images\\sub\\keep.txt", forbidden},
      {"..", "images", "it names a folder, not a file"},
      {"C:keep.txt", "images\\C:keep.txt", forbidden},
      {"nul", "images\\nul", "nul is a device of Windows, not a file"},
      {"keep .iso", "images\\keep .iso",
       "a blank, tab or control character cannot be part of an image's name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("filename " + c.filename);
#ifdef _WIN32
    // There images\C:keep.txt would name a stream of a file "C", and nul the device.
    if (c.filename.find(':') != std::string::npos || c.filename == "nul") continue;
#endif
    Fixture fx;
    Install(fx);
    OsEntry os = Entry("Bad", "1", "x");
    os.filename = c.filename;
    const OsEntry other = Entry("Good", "2", "good.iso");
    fx.Write("db\\Own.ini", CategoryIni({os, other}));
    fx.MakeDir("images");
    if (c.victim != "images") fx.Write(c.victim, "keep");

    RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n1\n\n" + Leave);

    EXPECT_EQ(run.exitCode, 0);
    std::string deleted = DeletedLine("Bad 1", true);
    deleted.insert(deleted.size() - Pause().size(),
                   " * ERROR bad file name: " + c.problem + "; no file was deleted\n");
    EXPECT_TRANSCRIPT(ToDbSetup() +
                          ChooseScreen("DELETE OS", "Delete", {"Bad 1", "Good 2"}) + deleted +
                          BackOut(),
                      run.out);
    EXPECT_TRUE(fx.Exists(c.victim));
    EXPECT_TRUE(fx.Exists("db\\db.ini"));
    ExpectOwnIni(fx, {other});
  }
}

TEST(OwnEditorDelete, ClosedInputAtTheChoiceDeletesNothing) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso")};
  const std::string before = CategoryIni(own);
  fx.Write("db\\Own.ini", before);
  fx.Write("images\\a.iso", "image");

  RunResult run = fx.Run(std::string(ToOptions) + "2\n3\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
  EXPECT_TRUE(fx.Exists("images\\a.iso"));
}

// ---------------------------------------------------------------------------------------
// Without the Own category, and with an Own.ini that cannot be written

TEST(OwnEditorCatalogue, WithoutOwnCategoryEditAndDeleteChangeNothing) {
  Fixture fx;
  const std::vector<std::string> cats = {"Linux"};
  fx.Write("db\\db.ini", DbIni("5", cats));
  const std::string before = CategoryIni({Entry("A", "1", "a.iso")});
  fx.Write("db\\Own.ini", before);
  fx.Write("images\\a.iso", "image");

  // Options is entry 3; edit (pause), delete (pause).
  RunResult run = fx.Run("3\n2\n2\n\n2\n3\n\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  const std::string missing = MissingFile(fx.Path("db\\Own.ini"));
  EXPECT_TRANSCRIPT(Startup(DbReport("5", cats)) + MainScreen(cats) + OptionsScreen() +
                        DbSetupScreen() + Header("EDIT OS") +
                        "\n | Choose OS that you want to edit |\n\n" + missing +
                        OperationFailed() + OptionsScreen() + DbSetupScreen() +
                        Header("DELETE OS") + "\n | Choose OS that you want to delete |\n\n" +
                        missing + OperationFailed() + OptionsScreen() + MainScreen(cats),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
  EXPECT_TRUE(fx.Exists("images\\a.iso"));
}

// Takes the write permission from a file for the life of a case (the read-only attribute on
// Windows). The program must respect it even where the user could replace the file anyway,
// as root can on Linux.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(fs::path path) : path_(std::move(path)) {
    fs::permissions(path_, WriteBits(), fs::perm_options::remove);
  }
  ~ReadOnlyFile() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add, ignored);
  }

 private:
  static fs::perms WriteBits() {
    return fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  }
  fs::path path_;
};

TEST(OwnEditorCatalogue, ReadOnlyOwnIniFailsEditAndDeleteAndKeepsFileAndImage) {
  Fixture fx;
  Install(fx);
  const std::vector<OsEntry> own = {Entry("A", "1", "a.iso"), Entry("B", "2", "b.iso")};
  const std::string before = CategoryIni(own);
  fx.Write("db\\Own.ini", before);
  fx.Write("images\\a.iso", "image");
  ReadOnlyFile lock(fx.FsPath("db\\Own.ini"));

  // Edit entry 1 keeping its values, then delete entry 1; each ends in the failed pause.
  RunResult run = fx.Run(std::string(ToOptions) + "2\n2\n1\n\n\n\n\n\n\n\n" + "2\n3\n1\n\n" +
                         Leave);

  EXPECT_EQ(run.exitCode, 0);
  const std::string failed =
      " * ERROR Unable to write to " + fx.Path("db\\Own.ini") + "\n" + OperationFailed();
  EXPECT_TRANSCRIPT(ToDbSetup() + ChooseScreen("EDIT OS", "Edit", DisplayNames(own)) +
                        EditFields(own[0]) + "\n" + failed + OptionsScreen() + DbSetupScreen() +
                        ChooseScreen("DELETE OS", "Delete", DisplayNames(own)) +
                        Header("DELETE OS") + "\n Deleting A 1 .. [ ERROR ]\n" + failed +
                        BackOut(),
                    run.out);
  EXPECT_EQ(fx.Read("db\\Own.ini"), before);
  EXPECT_TRUE(fx.Exists("images\\a.iso"));
}

}  // namespace
