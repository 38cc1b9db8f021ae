// The virtual disk through the whole program: booting it, creating it (from the boot offer
// and from HDD SETUP), deleting it, and the partition manager, with fake QEMU and qemu-img.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "launch_screens.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"
#include "support/undeletable_file.h"

namespace {

using namespace launchscreens;
using Log = std::vector<std::string>;

// No categories: 1 boots the disk, 2 is Options.
void WriteCatalogue(const Fixture& fx, const std::string& hddManager = "") {
  fx.Write("options.ini", NoRamCheck());
  fx.Write("db\\db.ini", DbIni("5", {}) + hddManager);
}

std::string PartitionManagerEntry(const std::string& download, const std::string& filename) {
  return IniText({"", "[hddmanager]", "download=" + download, "filename=" + filename});
}

std::string Start() { return Startup(DbReport("5", {})) + MainScreen({}); }
// From the start to the HDD SETUP menu, as "2\n1\n" reaches it.
std::string ToHddSetup() { return Start() + OptionsScreen() + HddSetupScreen(); }
// Back from an HDD SETUP action through the options menu ("0") to the main menu.
std::string BackToMain() { return OptionsScreen() + MainScreen({}); }

std::string CreateOffer() {
  return OsBox("Boot from HDD", "") + "\n Your HDD not exists\n Do you want to create it?\n\n" +
         YesNo();
}

std::string BootUntilQemu() {
  return OsBox("Boot from HDD", "") + RamMenu() + OsBox("Boot from HDD", "") + HostLine() +
         "\n\n Booting from HDD...\n do NOT close this window \n\n";
}

std::string Boot() { return BootUntilQemu() + "\n Press <Enter> to continue "; }

std::string BootLine(int megabytes) {
  return QemuLine("-L .\\qemu -localtime -soundhw all -vga cirrus -m " +
                  std::to_string(megabytes) + " -hdb images\\\\hdb.img -boot once=c");
}

std::string PartitionManagerLine(int megabytes, bool withHdb) {
  return QemuLine(OsQemuArguments(
      megabytes, "vmware",
      std::string("-cdrom images\\\\pm.iso") + (withHdb ? " -hdb images\\\\hdb.img" : "") +
          " -boot once=d"));
}

// A VMDK sparse header stating a virtual size, padded to 65536 bytes as the fake's disks are.
std::string VmdkDisk(std::uint64_t bytes) {
  std::string disk = "KDMV" + std::string(65532, '\0');
  for (int i = 0; i < 8; ++i) disk[12 + i] = static_cast<char>((bytes / 512) >> (8 * i));
  return disk;
}

// The fake qemu-img makes the disk asked for: ready-made in disks\ for the sizes used here.
const char* const MakeDisk = "copy disks\\$LAST images\\hdb.img\n";
void InstallQemuImg(const Fixture& fx, const std::string& before = "") {
  for (const auto& [size, bytes] : std::vector<std::pair<std::string, std::uint64_t>>{
           {"1G", 1ull << 30}, {"5G", 5ull << 30}, {"2T", 2ull << 40}, {"100M", 100ull << 20},
           {"1024k", 1ull << 20}, {"1048577", 1049088}})
    fx.Write("disks\\" + size, VmdkDisk(bytes));
  fx.Write("disks\\3G", VmdkDisk(2ull << 30));  // a disk of another size than asked for
  fx.InstallTool("qemu\\qemu-img.exe", before + MakeDisk);
}

// The request to delete a disk by hand, as the program shows its path.
std::string DeleteByHand() {
#ifdef _WIN32
  const std::string path = "images\\hdb.img";
#else
  const std::string path = "images/hdb.img";
#endif
  return " ERROR - cannot delete file.\n         Delete file " + path +
         " manually and press <Enter> ";
}

// The disk's path as the program shows it.
std::string DiskShown() {
#ifdef _WIN32
  return "images\\hdb.img";
#else
  return "images/hdb.img";
#endif
}

// The question before an existing disk is replaced; size as the program words it.
std::string ReplaceQuestion(const std::string& size) {
  return Header("VIRTUAL HDD") + "\n A virtual HDD already exists (" + DiskShown() + ", " + size +
         ").\n Do you want to replace it and everything on it?\n\n" + YesNo();
}

TEST(BootHdd, PresentDiskBootsAtOnce) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");

  RunResult run = fx.Run("1\n2\n\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Start() + Boot() + MainScreen({}), run.out);
  EXPECT_EQ(fx.ToolLog(), Log{BootLine(256)});
}

TEST(BootHdd, ExitInTheMemoryMenuStartsNothing) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");

  RunResult run = fx.Run("1\n0\n0\n");

  EXPECT_TRANSCRIPT(Start() + OsBox("Boot from HDD", "") + RamMenu() + MainScreen({}), run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
}

TEST(BootHdd, ShowsQemuErrors) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");
  fx.InstallTool("qemu\\qemu.exe", "append qemu\\stderr.txt no bootable device\n");

  RunResult run = fx.Run("1\n5\n\n0\n");

  EXPECT_TRANSCRIPT(Start() + BootUntilQemu() + QemuErrors("no bootable device") + "\n" +
                        "\n Press <Enter> to continue " + MainScreen({}),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{BootLine(1024)});
}

TEST(BootHdd, MissingDiskOfferDeclined) {
  Fixture fx;
  WriteCatalogue(fx);

  RunResult run = fx.Run("1\n2\n1\n1\n0\n0\n");

  EXPECT_TRANSCRIPT(Start() + CreateOffer() + MainScreen({}) + CreateOffer() + SizePrompt() +
                        MainScreen({}),
                    run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
  EXPECT_FALSE(fx.Exists("images\\hdb.img"));
}

TEST(BootHdd, NewDiskWithoutPartitioningGoesBackToTheMainMenu) {
  Fixture fx;
  WriteCatalogue(fx);
  InstallQemuImg(fx);

  RunResult run = fx.Run("1\n1\n1G\n\n2\n0\n");

  EXPECT_TRANSCRIPT(Start() + CreateOffer() + SizePrompt() + CreatingHdd("1G") + HddCreated() +
                        MainScreen({}),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine("1G")});
  EXPECT_EQ(fx.Read("images\\hdb.img").size(), 65536u);
}

TEST(BootHdd, NewDiskIsBootedAfterThePartitionManager) {
  Fixture fx;
  WriteCatalogue(fx, PartitionManagerEntry("http://127.0.0.1:1/pm.iso", "pm.iso"));
  fx.Write("images\\pm.iso", "iso");
  InstallQemuImg(fx);

  // Create, 5G, Enter, partition: yes, 128 MB for the manager, Enter, 256 MB for the disk.
  RunResult run = fx.Run("1\n1\n5G\n\n1\n1\n\n2\n\n0\n");

  EXPECT_TRANSCRIPT(Start() + CreateOffer() + SizePrompt() + CreatingHdd("5G") + HddCreated() +
                        OsLaunch("Partition manager", "") + Boot() + MainScreen({}),
                    run.out);
  EXPECT_EQ(fx.ToolLog(),
            (Log{QemuImgLine("5G"), PartitionManagerLine(128, true), BootLine(256)}));
}

// qemu-img failing, or missing: then the reason stands before the error.
TEST(BootHdd, FailedCreationBootsNothing) {
  for (bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "missing" : "failing");
    Fixture fx;
    WriteCatalogue(fx);
    if (missing) fx.Remove("qemu\\qemu-img.exe");
    else fx.InstallTool("qemu\\qemu-img.exe", "stderr Could not create\nexit 1\n");

    RunResult run = fx.Run("1\n1\n3G\n\n0\n");

    EXPECT_TRANSCRIPT(Start() + CreateOffer() + SizePrompt() + CreatingHdd("3G") +
                          (missing ? " * ERROR qemu-img could not be started\n" : "") +
                          " *ERROR* - HDD was NOT created!\n Press <Enter> to continue\n" +
                          MainScreen({}),
                      run.out);
    EXPECT_EQ(fx.ToolLog(), missing ? Log{} : Log{QemuImgLine("3G")});
  }
}

TEST(CreateHdd, RefusedSizesAskAgainAndZeroCancels) {
  Fixture fx;
  WriteCatalogue(fx);
  InstallQemuImg(fx);

  RunResult run = fx.Run("2\n1\n1\n\n0k\n0M\n0G\n0T\nk\nM\nG\nT\n0\n0\n0\n");

  std::string prompts;
  for (int i = 0; i < 10; ++i) prompts += SizePrompt();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToHddSetup() + prompts + BackToMain(), run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
}

// Other letter cases of a unit go to qemu-img; a unit without a number, a zero in any
// spelling and a size below 1 MiB say why and ask again; so does a disk qemu-img made of
// another size than asked for, which is no success.
TEST(CreateHdd, OtherLetterCasesAreHandedToQemuImgAndZeroOrTinySizesSayWhy) {
  for (const char* size : {"1024k", "100M", "1048577"}) {
    SCOPED_TRACE(size);
    Fixture fx;
    WriteCatalogue(fx);
    InstallQemuImg(fx);

    RunResult run = fx.Run("2\n1\n1\n" + std::string(size) + "\n\n2\n0\n0\n");

    EXPECT_TRANSCRIPT(ToHddSetup() + SizePrompt() + CreatingHdd(size) + HddCreated() + BackToMain(),
                      run.out);
    EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine(size)});
  }
  Fixture fx;
  WriteCatalogue(fx);
  InstallQemuImg(fx);
  RunResult run = fx.Run("2\n1\n1\nK\nm\n0g\n000G\n00\n5\n1023K\n3G\n\n0\n0\n");
  const std::string advice = "; use a number and K, M, G or T, at most 2T; 0 cancels";
  EXPECT_TRANSCRIPT(ToHddSetup() + SizePrompt() + SizePrompt("Not a size: K" + advice) +
                        SizePrompt("Not a size: m" + advice) +
                        SizePrompt("Not a size: 0g is zero" + advice) +
                        SizePrompt("Not a size: 000G is zero" + advice) +
                        SizePrompt("Not a size: 00 is zero" + advice) +
                        SizePrompt("Too small: 5 is less than 1M" + advice) +
                        SizePrompt("Too small: 1023K is less than 1M" + advice) +
                        CreatingHdd("3G") +
                        " The new HDD does not hold the size asked for.\n"
                        " *ERROR* - HDD was NOT created!\n Press <Enter> to continue\n" +
                        BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine("3G")});
  EXPECT_FALSE(fx.Exists("images\\hdb.img"));
}

// The question names the size the guest sees, read from the disk's header, beside the host's.
TEST(CreateHdd, ZeroLeavesTheOldDiskAlone) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", VmdkDisk(5ull << 30));

  RunResult run = fx.Run("2\n1\n1\n1\n0\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("5 GB, 64 KB used") + SizePrompt() +
                        BackToMain(),
                    run.out);
  EXPECT_TRUE(fx.Read("images\\hdb.img") == VmdkDisk(5ull << 30));
  EXPECT_TRUE(fx.ToolLog().empty());
}

TEST(CreateHdd, EndOfInputAtTheSizePromptCancels) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "old disk");

  RunResult run = fx.Run("2\n1\n1\n1\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("8 bytes") + SizePrompt() + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.Read("images\\hdb.img"), "old disk");
  EXPECT_TRUE(fx.ToolLog().empty());
}

TEST(CreateHdd, OldDiskIsDeletedBeforeTheNewOneIsMade) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "old disk");
  // The copy only works if the old disk were still there when qemu-img runs.
  InstallQemuImg(fx, "copy images\\hdb.img images\\seen.img\n");

  RunResult run = fx.Run("2\n1\n1\n1\n1G\n\n2\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("8 bytes") + SizePrompt() + DeletingOldHdd() +
                        CreatingHdd("1G") +
                        HddCreated() + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine("1G")});
  EXPECT_EQ(fx.Read("images\\hdb.img").size(), 65536u);
  EXPECT_FALSE(fx.Exists("images\\seen.img"));
  EXPECT_FALSE(fx.Exists("images\\hdb.img.old"));
}

TEST(CreateHdd, ZeroByteDiskIsRemovedAgain) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.InstallTool("qemu\\qemu-img.exe", "create images\\hdb.img 0\n");

  RunResult run = fx.Run("2\n1\n1\n1G\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + SizePrompt() + CreatingHdd("1G") +
                        " Unknown ERROR\n Press <Enter> to continue\n" + BackToMain(),
                    run.out);
  EXPECT_FALSE(fx.Exists("images\\hdb.img"));
}

TEST(CreateHdd, NoDiskAfterQemuImg) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "old disk");
  fx.InstallTool("qemu\\qemu-img.exe", "exit 1\n");

  RunResult run = fx.Run("2\n1\n1\n1\n10G\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("8 bytes") + SizePrompt() + DeletingOldHdd() +
                        CreatingHdd("10G") +
                        " *ERROR* - HDD was NOT created!\n The old HDD was kept.\n"
                        " Press <Enter> to continue\n" +
                        BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine("10G")});
  // A size qemu-img refuses must not cost the user the old disk.
  EXPECT_EQ(fx.Read("images\\hdb.img"), "old disk");
  EXPECT_FALSE(fx.Exists("images\\hdb.img.old"));
}

// An existing disk is replaced only after a question; a size reaches qemu-img only as digits
// and a unit letter, up to 2 TiB; the disk set aside meanwhile takes a name no file has, and
// goes once the new disk exists, read-only or not.
TEST(CreateHdd, ReplacingIsAChoiceAndOnlyPlainSizesReachQemuImg) {
  Fixture fx;
  WriteCatalogue(fx);
  const std::string old(20000, 'o');
  fx.Write("images\\hdb.img", old);
  fx.Write("images\\hdb.img.old", "the user's own file");
  std::filesystem::permissions(fx.FsPath("images\\hdb.img"), std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  // What lies beside the disk while qemu-img runs.
  InstallQemuImg(fx, "copy images\\hdb.img.old1 images\\seen.img\n");

  // No: nothing changes and no size is asked for. Then yes, six refused sizes and 2T.
  RunResult run =
      fx.Run("2\n1\n1\n2\n1\n1\n1\n1G -f raw\n-5M\n10 M\n999999999G\n2049G\n3T\n2T\n\n2\n0\n0\n");

  const std::string advice = "; use a number and K, M, G or T, at most 2T; 0 cancels";
  std::string refused = SizePrompt();
  for (const char* size : {"1G -f raw", "-5M", "10 M", "999999999G", "2049G", "3T"})
    refused += SizePrompt("Not a size: " + std::string(size) + advice);
  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("19 KB") + OptionsScreen() + HddSetupScreen() +
                        ReplaceQuestion("19 KB") + refused + DeletingOldHdd() + CreatingHdd("2T") +
                        HddCreated() + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(), Log{QemuImgLine("2T")});
  EXPECT_TRUE(fx.Read("images\\seen.img") == old);
  EXPECT_EQ(fx.Read("images\\hdb.img").size(), 65536u);
  EXPECT_EQ(fx.Read("images\\hdb.img.old"), "the user's own file");
  EXPECT_FALSE(fx.Exists("images\\hdb.img.old1"));
}

TEST(DeleteHdd, WithoutADiskAsksNothing) {
  Fixture fx;
  WriteCatalogue(fx);

  RunResult run = fx.Run("2\n1\n3\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + Header("HDD") +
                        "\n Virtual HDD not exists\n Press <enter> to continue\n" + BackToMain(),
                    run.out);
}

// Read-only or not: the user asked for it.
TEST(DeleteHdd, YesDeletesTheDisk) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");
  std::filesystem::permissions(fx.FsPath("images\\hdb.img"), std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);

  RunResult run = fx.Run("2\n1\n3\n1\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + Header("HDD") + "\n Do you want to delete virtual HDD?\n\n" +
                        YesNo() + Header("HDD SETUP") +
                        "\n Virtual HDD was deleted\n Press <enter> to continue\n" + BackToMain(),
                    run.out);
  EXPECT_FALSE(fx.Exists("images\\hdb.img"));
}

TEST(DeleteHdd, AnyOtherAnswerKeepsIt) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");

  RunResult run = fx.Run("2\n1\n3\n2\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + Header("HDD") + "\n Do you want to delete virtual HDD?\n\n" +
                        YesNo() + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.Read("images\\hdb.img"), "disk");
}

TEST(CreateHdd, AnOldDiskThatStaysIsNotTakenForTheNewOne) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "old disk");
  InstallQemuImg(fx);
  UndeletableFile lock(fx, "images\\hdb.img");
  if (!lock.Locked()) GTEST_SKIP() << "no way to make an undeletable file here";

  // The Enter after the request to delete by hand, then the Enter after the error.
  RunResult run = fx.Run("2\n1\n1\n1\n1G\n\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + ReplaceQuestion("8 bytes") + SizePrompt() + DeletingOldHdd() +
                        DeleteByHand() + "\n" +
                        " *ERROR* - HDD was NOT created!\n Press <Enter> to continue\n" +
                        BackToMain(),
                    run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
  EXPECT_EQ(fx.Read("images\\hdb.img"), "old disk");
}

TEST(DeleteHdd, ADiskThatCannotBeDeletedIsReported) {
  Fixture fx;
  WriteCatalogue(fx);
  fx.Write("images\\hdb.img", "disk");
  UndeletableFile lock(fx, "images\\hdb.img");
  if (!lock.Locked()) GTEST_SKIP() << "no way to make an undeletable file here";

  RunResult run = fx.Run("2\n1\n3\n1\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + Header("HDD") + "\n Do you want to delete virtual HDD?\n\n" +
                        YesNo() + Header("HDD SETUP") +
                        "\n Unknown ERROR\n " + DiskShown() +
                        " could not be deleted: it is still there.\n Press <enter> to continue\n" +
                        BackToMain(),
                    run.out);
  EXPECT_EQ(fx.Read("images\\hdb.img"), "disk");
}

TEST(PartitionManager, PresentImageStartsWithoutDownload) {
  Fixture fx;
  WriteCatalogue(fx, PartitionManagerEntry("http://127.0.0.1:1/pm.iso", "pm.iso"));
  fx.Write("images\\pm.iso", "iso");

  RunResult run = fx.Run("2\n1\n2\n1\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + OsLaunch("Partition manager", "") + BackToMain(), run.out);
  EXPECT_EQ(fx.ToolLog(), Log{PartitionManagerLine(128, false)});
}

TEST(PartitionManager, MissingImageIsDownloadedFirst) {
  Fixture fx;
  WriteCatalogue(fx, PartitionManagerEntry("http://127.0.0.1:1/files/pm.iso", "pm.iso"));
  fx.Write("images\\hdb.img", "disk");
  fx.InstallTool("wget\\wget.exe", "create images\\temp\\$LAST 100\n");

  RunResult run = fx.Run("2\n1\n2\n1\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + DownloadScreen("Partition manager", "") +
                        OsLaunch("Partition manager", "") + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(),
            (Log{Logged("wget/wget.exe", "-P images\\temp\\ http://127.0.0.1:1/files/pm.iso"),
                 PartitionManagerLine(128, true)}));
}

TEST(PartitionManager, NoEntryInDbIniGivesTheMissingLinkMessageOnly) {
  Fixture fx;
  WriteCatalogue(fx);

  RunResult run = fx.Run("2\n1\n2\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + DownloadScreen("Partition manager", "") + MissingLink() +
                        BackToMain(),
                    run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
}

TEST(PartitionManager, FailedDownloadSaysWhyAndWaits) {
  Fixture fx;
  WriteCatalogue(fx, PartitionManagerEntry("http://127.0.0.1:1/pm.iso", "pm.iso"));
  fx.InstallTool("wget\\wget.exe", "exit 4\n");

  RunResult run = fx.Run("2\n1\n2\n\n0\n0\n");

  EXPECT_TRANSCRIPT(ToHddSetup() + DownloadScreen("Partition manager", "") +
                        " * ERROR download failed: no network, the server's name was not "
                        "found, the connection was refused, timed out or was cut off\n Press <Enter> to continue" + BackToMain(),
                    run.out);
  EXPECT_EQ(fx.ToolLog(),
            Log{Logged("wget/wget.exe", "-P images\\temp\\ http://127.0.0.1:1/pm.iso")});
}

TEST(PartitionManager, MissingDbIniIsReported) {
  Fixture fx;
  fx.Write("options.ini", NoRamCheck());

  // The first line answers start-up's own report of the missing file.
  RunResult run = fx.Run("\n2\n1\n2\n\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRANSCRIPT(Startup(DbReport("0", {}, fx.Path("db\\db.ini"))) + MainScreen({}) +
                        OptionsScreen() + HddSetupScreen() + " * ERROR File " +
                        fx.Path("db\\db.ini") + " not exists!" + BackToMain(),
                    run.out);
  EXPECT_TRUE(fx.ToolLog().empty());
}

}  // namespace
