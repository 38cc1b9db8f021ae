// End-to-end tests with the real tools (Linux only): qemu-img makes the virtual disk, and
// wget fetches images from a web server on 127.0.0.1 that the test starts itself.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "db/ini_document.h"
#include "launch_screens.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/screens.h"
#include "support/transcript.h"
#include "trust/digest.h"

namespace {

namespace fs = std::filesystem;
using namespace launchscreens;

bool HaveCommand(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Installs a real tool under relPath as a small wrapper that logs its arguments like the
// fake tool does and then runs the tool with extraOptions in front of them.
void InstallRealTool(const Fixture& fx, const std::string& relPath, const std::string& logName,
                     const std::string& tool, const std::string& extraOptions) {
  fx.Remove(relPath);
  fx.Write(relPath, "#!/bin/sh\n"
                    "printf '%s\\t%s\\n' '" + logName + "' \"$*\" >> \"$(dirname \"$0\")/../tool_log.txt\"\n"
                    "exec " + tool + " " + extraOptions + " \"$@\"\n");
  fs::permissions(fx.FsPath(relPath), fs::perms::owner_all, fs::perm_options::add);
}

// Bytes that differ all along, so that a continued download joined at the wrong place shows.
std::string ImageBytes(size_t size) {
  std::mt19937 random(20240501);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random() & 0xff);
  return data;
}

// The range server of tests/e2e, serving folder root until the object dies.
class RangeServer {
 public:
  // routes: fixed answers for some paths (see range_server.py), "" for none.
  explicit RangeServer(const fs::path& root, const std::string& routes = "")
      : state_(root.parent_path() / "server") {
    fs::create_directories(state_);
    // A build folder inside the source tree gives __FILE__ relative to the build folder.
    fs::path source = fs::path(__FILE__);
    if (source.is_relative()) source = fs::path(ExeDir()).parent_path().parent_path() / source;
    const fs::path script = source.parent_path() / "e2e" / "range_server.py";
    std::string routeOption;
    if (!routes.empty()) {
      std::ofstream(state_ / "routes.txt", std::ios::binary) << routes;
      routeOption = " --routes '" + (state_ / "routes.txt").string() + "'";
    }
    const std::string command = "python3 '" + script.string() + "' --root '" + root.string() +
                                "' --ready '" + (state_ / "ready").string() + "' --log '" +
                                (state_ / "requests.log").string() + "'" + routeOption +
                                " --timeout 300 >/dev/null 2>&1 &";
    if (std::system(command.c_str()) != 0) return;
    for (int i = 0; i < 300 && !fs::exists(state_ / "ready"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::istringstream ready(ReadFile(state_ / "ready"));
    ready >> port_ >> pid_;
  }
  ~RangeServer() {
    if (pid_ > 0) std::system(("kill " + std::to_string(pid_) + " 2>/dev/null").c_str());
  }
  RangeServer(const RangeServer&) = delete;
  RangeServer& operator=(const RangeServer&) = delete;

  bool Running() const { return port_ > 0; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
  }
  std::string Requests() const { return ReadFile(state_ / "requests.log"); }

 private:
  fs::path state_;
  int port_ = 0;
  long pid_ = 0;
};

class WgetEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveCommand("wget") || !HaveCommand("python3")) GTEST_SKIP() << "wget or python3 missing";
    // No proxy ever: these tests must not leave 127.0.0.1.
    InstallRealTool(fx, "wget\\wget.exe", "wget/wget.exe", "wget", "--no-proxy");
    fx.Write("options.ini", NoRamCheck());
    fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
  }
  void WriteEntry(const std::string& link, const std::string& sha256 = "") {
    os = {"Tiny", "1.0", link, "tiny.iso", "cdrom", "std", sha256};
    fx.Write("db\\Linux.ini", CategoryIni({os}));
  }
  // The SHA-256 of a file of the installation, as sha256sum tells it.
  std::string Sha256Sum(const std::string& relPath) const {
    const fs::path sum = fx.FsPath("..\\sum.txt");
    const std::string command = "sha256sum '" + fx.Path(relPath) + "' > '" + sum.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ReadFile(sum).substr(0, 64);
  }
  std::string UpToDownload() const {
    return Startup(DbReport("5", {"Linux"})) + MainScreen({"Linux"}) +
           CategoryScreen({"Tiny 1.0"}, false) + OsBox("Tiny", "1.0") +
           " You don`t have Tiny 1.0\n What do you want to do?\n\n    1) Download and run\n"
           "    0) Exit\n\n" +
           Prompt() + DownloadScreen("Tiny", "1.0");
  }

  Fixture fx;
  OsEntry os;
};

// The catalogue's hash is checked on the whole file, also when it was continued.
TEST_F(WgetEndToEnd, DownloadsAnImageAndContinuesAPartialOne) {
  const std::string image = ImageBytes(3 * 1024 * 1024 + 123);
  fx.Write("..\\site\\files\\tiny.iso", image);
  RangeServer server(fx.FsPath("..\\site"));
  ASSERT_TRUE(server.Running());
  WriteEntry(server.Url("files/tiny.iso"), Sha256Sum("..\\site\\files\\tiny.iso"));
  const std::string leaveAtMemoryMenu =
      OsBox("Tiny", "1.0") + RamMenu() + MainScreen({"Linux"});

  // A whole download: category, entry, download, then Exit in the memory menu.
  RunResult run = fx.Run("2\n1\n1\n0\n0\n");
  EXPECT_TRANSCRIPT(UpToDownload() + " Image verified (SHA-256)\n" + leaveAtMemoryMenu, run.out);
  EXPECT_TRUE(ReadFile(fx.FsPath("images\\tiny.iso")) == image);

  // A stopped download left part of the file: the next attempt asks only for the rest.
  fx.Remove("images\\tiny.iso");
  fx.Write("images\\temp\\tiny.iso", image.substr(0, 1000000));
  fx.Write("images\\temp\\links\\tiny.iso", os.download);  // where the part came from
  run = fx.Run("2\n1\n1\n0\n0\n");
  EXPECT_TRANSCRIPT(UpToDownload() + " Image verified (SHA-256)\n" + leaveAtMemoryMenu, run.out);
  EXPECT_TRUE(ReadFile(fx.FsPath("images\\tiny.iso")) == image);
  EXPECT_FALSE(fx.Exists("images\\temp\\tiny.iso"));

  EXPECT_EQ(fx.ToolLog(),
            (std::vector<std::string>{
                Logged("wget/wget.exe", "-P images\\temp\\ " + os.download),
                Logged("wget/wget.exe", "-c -P images\\temp\\ " + os.download)}));
  EXPECT_NE(server.Requests().find("GET /files/tiny.iso Range: bytes=1000000-"),
            std::string::npos)
      << server.Requests();
}

// One changed byte on the server: the image is refused and nothing stays in the images folder.
TEST_F(WgetEndToEnd, DamagedImageIsRefusedAndRemoved) {
  std::string image = ImageBytes(1024 * 1024);
  fx.Write("..\\site\\files\\tiny.iso", image);
  const std::string sha256 = Sha256Sum("..\\site\\files\\tiny.iso");
  image[777777] ^= 1;
  fx.Write("..\\site\\files\\tiny.iso", image);
  RangeServer server(fx.FsPath("..\\site"));
  ASSERT_TRUE(server.Running());
  WriteEntry(server.Url("files/tiny.iso"), sha256);

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToDownload() + " * ERROR image is damaged (SHA-256 does not match)\n" +
                        "\n Error in downloading image\n Press <Enter> to continue" +
                        MainScreen({"Linux"}),
                    run.out);
  for (const auto& entry : fs::recursive_directory_iterator(fx.FsPath("images")))
    EXPECT_FALSE(entry.is_regular_file()) << entry.path();
}

TEST_F(WgetEndToEnd, ServerDownLeavesNoImage) {
  // Nothing listens on port 1 of the loopback address: the connection is refused at once.
  WriteEntry("http://127.0.0.1:1/files/tiny.iso");

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToDownload() +
                        " * ERROR download failed: no network, the server's name was not found, the connection was refused, timed out or was cut off\n" +
                        "\n Error in downloading image\n Press <Enter> to continue" +
                        MainScreen({"Linux"}),
                    run.out);
  for (const auto& entry : fs::recursive_directory_iterator(fx.FsPath("images")))
    EXPECT_FALSE(entry.is_regular_file()) << entry.path();
}

TEST_F(WgetEndToEnd, MissingFileOnTheServerLeavesNoImage) {
  fx.Write("..\\site\\files\\other.iso", "x");
  RangeServer server(fx.FsPath("..\\site"));
  ASSERT_TRUE(server.Running());
  WriteEntry(server.Url("files/tiny.iso"));

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_NE(run.out.find(" * ERROR download failed: the server answered with an error (such as 404 "
                         "Not Found)\n\n Error in downloading image\n"),
            std::string::npos);
  for (const auto& entry : fs::recursive_directory_iterator(fx.FsPath("images")))
    EXPECT_FALSE(entry.is_regular_file()) << entry.path();
}

class QemuImgEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveCommand("qemu-img")) GTEST_SKIP() << "qemu-img missing";
    InstallRealTool(fx, "qemu\\qemu-img.exe", "qemu/qemu-img.exe", "qemu-img", "");
    fx.Write("options.ini", NoRamCheck());
    fx.Write("db\\db.ini", DbIni("5", {}));
  }
  Fixture fx;
};

TEST_F(QemuImgEndToEnd, MakesAVmdkDiskThatQemuImgReads) {
  fx.Write("images\\hdb.img", "old disk");

  // HDD SETUP, create, replace the old disk, 100M, Enter, no partitions, leave.
  RunResult run = fx.Run("2\n1\n1\n1\n100M\n\n2\n0\n0\n");

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find(" Creating 100M HDD\n Formatting 'images//hdb.img', fmt=vmdk"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n HDD was created succefully!\n"), std::string::npos);
  EXPECT_EQ(fx.ToolLog(), std::vector<std::string>{QemuImgLine("100M")});
  ASSERT_TRUE(fx.Exists("images\\hdb.img"));
  EXPECT_GT(fs::file_size(fx.FsPath("images\\hdb.img")), 0u);

  const fs::path info = fx.FsPath("..\\info.json");
  ASSERT_EQ(std::system(("qemu-img info --output=json '" + fx.Path("images\\hdb.img") + "' > '" +
                         info.string() + "'")
                            .c_str()),
            0);
  const std::string json = ReadFile(info);
  EXPECT_NE(json.find("\"format\": \"vmdk\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"virtual-size\": 104857600"), std::string::npos) << json;
}

// Sizes qemu-img would refuse or turn into a useless disk never reach it; the disk it makes
// is named by the size the guest sees when it is to be replaced.
TEST_F(QemuImgEndToEnd, RefusedSizesNeverReachQemuImgAndTheDiskIsNamedByItsSize) {
  RunResult run = fx.Run("2\n1\n1\n100MB\nm\n0\n0\n0\n");

  EXPECT_NE(run.out.find("\n Not a size: m; use a number"), std::string::npos) << run.out;
  EXPECT_TRUE(fx.ToolLog().empty());
  EXPECT_FALSE(fx.Exists("images\\hdb.img"));

  run = fx.Run("2\n1\n1\n5G\n\n2\n1\n1\n2\n0\n0\n");
  EXPECT_NE(run.out.find(" A virtual HDD already exists (images/hdb.img, 5 GB, "),
            std::string::npos)
      << run.out;
}

// The publisher's list, served beside the image: the hash follows the file while wget
// writes it, and a continued download is verified whole (the part already there included).
TEST_F(WgetEndToEnd, ImageVerifiedWithThePublishersListWhileItDownloads) {
  const std::string image = ImageBytes(24 * 1024 * 1024 + 5);
  fx.Write("..\\site\\files\\tiny.iso", image);
  const std::string sum = Sha256Sum("..\\site\\files\\tiny.iso");
  fx.Write("..\\site\\files\\SHA256SUMS",
           std::string(64, '0') + "  tiny.iso.torrent\n" + sum + " *./tiny.iso\n");
  RangeServer server(fx.FsPath("..\\site"));
  ASSERT_TRUE(server.Running());
  os = {"Tiny", "1.0", server.Url("files/tiny.iso"), "tiny.iso", "cdrom", "std"};
  os.checksums = server.Url("files/SHA256SUMS");
  fx.Write("db\\Linux.ini", CategoryIni({os}));
  const std::string verified = " Image verified (SHA-256)\n" + OsBox("Tiny", "1.0") + RamMenu() +
                               MainScreen({"Linux"});

  RunResult run = fx.Run("2\n1\n1\n0\n0\n");
  EXPECT_TRANSCRIPT(UpToDownload() + " Fetching checksum list ...\n" + verified, run.out);
  EXPECT_TRUE(ReadFile(fx.FsPath("images\\tiny.iso")) == image);

  fx.Remove("images\\tiny.iso");
  fx.Write("images\\temp\\tiny.iso", image.substr(0, 7000000));
  fx.Write("images\\temp\\links\\tiny.iso", os.download);
  run = fx.Run("2\n1\n1\n0\n0\n");
  EXPECT_TRANSCRIPT(UpToDownload() + " Fetching checksum list ...\n" + verified, run.out);
  EXPECT_TRUE(ReadFile(fx.FsPath("images\\tiny.iso")) == image);
  EXPECT_NE(server.Requests().find("GET /files/tiny.iso Range: bytes=7000000-"),
            std::string::npos);
  for (const auto& entry : fs::directory_iterator(fx.FsPath("images\\temp")))
    ADD_FAILURE() << "left in the download folder: " << entry.path();
}

// A checksum list without end is cut off while it arrives, not after: the image is not
// fetched and nothing stays in the download folder.
TEST_F(WgetEndToEnd, AnEndlessChecksumListIsCutOffWhileItArrives) {
  fx.Write("..\\site\\files\\tiny.iso", ImageBytes(1000));
  RangeServer server(fx.FsPath("..\\site"), "/files/SUMS 200 endless\n");
  ASSERT_TRUE(server.Running());
  os = {"Tiny", "1.0", server.Url("files/tiny.iso"), "tiny.iso", "cdrom", "std"};
  os.checksums = server.Url("files/SUMS");
  fx.Write("db\\Linux.ini", CategoryIni({os}));

  RunResult run = fx.Run("2\n1\n1\n\n0\n");

  EXPECT_TRANSCRIPT(UpToDownload() + " Fetching checksum list ...\n"
                        " * ERROR cannot verify the image: the checksum list is too large\n"
                        "\n Error in downloading image\n Press <Enter> to continue" +
                        MainScreen({"Linux"}),
                    run.out);
  EXPECT_EQ(fx.ToolLog().size(), 1u);  // the list's fetch only
  for (const auto& entry : fs::directory_iterator(fx.FsPath("images\\temp")))
    ADD_FAILURE() << "left in the download folder: " << entry.path();
}

// The catalogue doctor against a server with one entry of each kind, then --pin.
TEST(DoctorEndToEnd, EachKindOfEntryAndPinning) {
  if (!HaveCommand("wget") || !HaveCommand("python3")) GTEST_SKIP() << "wget or python3 missing";
  Fixture fx;
  // The wget of the PATH, and a program planted beside the catalogue, which must never run.
  const std::string realWget = [] {
    std::string path;
    if (FILE* p = popen("command -v wget", "r")) {
      char buf[4096];
      while (fgets(buf, sizeof buf, p)) path += buf;
      pclose(p);
    }
    while (!path.empty() && path.back() == '\n') path.pop_back();
    return path;
  }();
  ASSERT_FALSE(realWget.empty());
  InstallRealTool(fx, "path\\wget", "path/wget", realWget, "--no-proxy");
  fx.InstallTool("wget\\wget.exe", "exit 0\n");
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (fx.Path("path") + ":" + savedPath).c_str(), 1);
  struct RestorePath {
    std::string path;
    ~RestorePath() { setenv("PATH", path.c_str(), 1); }
  } restore{savedPath};
  const std::string good = ImageBytes(300000), bad = ImageBytes(1000);
  fx.Write("..\\site\\files\\good.iso", good);
  fx.Write("..\\site\\files\\bad.iso", bad);
  const std::string goodSum = [&] {
    std::string hex;
    DigestFile(fx.Path("..\\site\\files\\good.iso"), DigestKind::Sha256, hex);
    return hex;
  }();
  fx.Write("..\\site\\files\\SHA256SUMS",
           "SHA256 (good.iso) = " + goodSum + "\nSHA256 (bad.iso) = " + std::string(64, 'b') + "\n");
  RangeServer server(fx.FsPath("..\\site"),
                     "/old/good.iso 301 /files/good.iso\n/page/good.iso 200 html\n"
                     "/busy/good.iso 503\n/files/ENDLESS 200 endless\n");
  ASSERT_TRUE(server.Running());
  const auto entry = [&](const std::string& name, const std::string& link) {
    OsEntry os = {name, "1.0", link, link.substr(link.rfind('/') + 1), "cdrom", "std"};
    os.checksums = server.Url("files/SHA256SUMS");
    return os;
  };
  std::vector<OsEntry> entries = {
      entry("Good", server.Url("files/good.iso")),   entry("Gone", server.Url("files/gone.iso")),
      entry("Moved", server.Url("old/good.iso")),    entry("Page", server.Url("page/good.iso")),
      entry("Bad", server.Url("files/bad.iso")),     entry("Busy", server.Url("busy/good.iso")),
      entry("Closed", "http://127.0.0.1:1/good.iso"), entry("Endless", server.Url("files/good.iso"))};
  entries.back().checksums = server.Url("files/ENDLESS");
  fx.Write("db\\db.ini", DbIni("5", {"Linux"}));
  const std::string catalogue = CategoryIni(entries);
  fx.Write("db\\Linux.ini", catalogue);

  const auto doctor = [&](const std::string& options) {
    const std::string report = fx.Path("..\\doctor.txt");
    const int code = RunRedirected(ExeDir() + "catalogue-doctor " + options + fx.Path("db"), "",
                                   "", report, report);
    return std::make_pair(code, ReadFile(report));
  };
  const std::string rest =
      "Linux.ini [2] Gone 1.0: DEAD 404\n"
      "Linux.ini [3] Moved 1.0: MOVED -> " + server.Url("files/good.iso");
  auto [code, report] = doctor("");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(report, "Linux.ini [1] Good 1.0: OK\n" + rest +
                        "\nLinux.ini [4] Page 1.0: HTML PAGE\n"
                        "Linux.ini [5] Bad 1.0: OK\n"
                        "Linux.ini [6] Busy 1.0: RETRY LATER 503\n"
                        "Linux.ini [7] Closed 1.0: NETWORK\n"
                        "Linux.ini [8] Endless 1.0: NO CHECKSUM (the list is too large)\n"
                        "8 entries: 2 OK, 1 MOVED, 1 NO CHECKSUM, 1 HTML PAGE, 1 DEAD, "
                        "1 RETRY LATER, 1 NETWORK\n");
  EXPECT_EQ(fx.Read("db\\Linux.ini"), catalogue);

  std::tie(code, report) = doctor("--pin ");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(report, "Linux.ini [1] Good 1.0: OK, PINNED\n" + rest +
                        ", PINNED\nLinux.ini [4] Page 1.0: HTML PAGE\n"
                        "Linux.ini [5] Bad 1.0: MISMATCH\n"
                        "Linux.ini [6] Busy 1.0: RETRY LATER 503\n"
                        "Linux.ini [7] Closed 1.0: NETWORK\n"
                        "Linux.ini [8] Endless 1.0: NO CHECKSUM (the list is too large)\n"
                        "8 entries: 1 OK, 1 MOVED, 1 NO CHECKSUM, 2 PINNED, 1 HTML PAGE, 1 DEAD, "
                        "1 MISMATCH, 1 RETRY LATER, 1 NETWORK\n");
  // The right hash on the two entries that match the list, and no other change.
  IniDocument pinned;
  ASSERT_TRUE(pinned.Load(fx.Path("db\\Linux.ini")));
  for (int k = 1; k <= 8; ++k)
    EXPECT_EQ(pinned.ReadString(std::to_string(k), "sha256", ""), k == 1 || k == 3 ? goodSum : "")
        << k;
  std::string withoutPins = fx.Read("db\\Linux.ini");
  for (std::size_t at; (at = withoutPins.find("sha256=" + goodSum + "\r\n")) != std::string::npos;)
    withoutPins.erase(at, 7 + 64 + 2);
  EXPECT_EQ(withoutPins, catalogue);
  const std::vector<std::string> log = fx.ToolLog();
  EXPECT_FALSE(log.empty());
  for (const std::string& line : log) EXPECT_EQ(line.rfind("path/wget\t", 0), 0u) << line;
}

}  // namespace

#endif  // _WIN32
