// End to end: real installations (cmake --install of this build), update server trees made by
// scripts/make-release, a web server on 127.0.0.1 that the test starts, and the real wget
// and 7-Zip. Linux only: the Windows build has no wget and 7-Zip of its own here.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "db/ini_file.h"
#include "main_func/files.h"
#include "main_func/process.h"
#include "support/catalogue.h"
#include "support/fixture.h"
#include "support/signing.h"
#include "support/transcript.h"
#include "support/updater_fixture.h"
#include "trust/digest.h"

namespace fs = std::filesystem;

namespace {

// A static web server on a free port of 127.0.0.1. It stops when the test ends (a stop file
// it watches), and after ten minutes in any case.
const char* const ServerScript = R"(import http.server, os, sys, threading, time
root, portfile, stopfile = sys.argv[1:4]
class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=root, **kwargs)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(portfile + ".new", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(portfile + ".new", portfile)
if os.fork() != 0:
    os._exit(0)
os.setsid()
def watch():
    deadline = time.time() + 600
    while not os.path.exists(stopfile) and time.time() < deadline:
        time.sleep(0.05)
    server.shutdown()
threading.Thread(target=watch, daemon=True).start()
server.serve_forever(poll_interval=0.05)
server.server_close()
open(portfile + ".stopped", "w").close()
)";

class WebServer {
 public:
  WebServer(const Fixture& fx, const std::string& name) : fx_(fx), name_(name) {
    fx.Write("..\\" + name + ".py", ServerScript);
    fx.MakeDir("..\\" + name);
    const std::string base = fx.Path("..\\" + name);
    const int rc = RunRedirected("python3 " + base + ".py " + base + " " + base + ".port " +
                                     base + ".stop",
                                 "", "", base + ".log", base + ".log");
    port_ = rc == 0 ? fx.Read("..\\" + name + ".port") : "";
  }
  ~WebServer() { Stop(); }
  bool Running() const { return !port_.empty(); }
  std::string Url() const { return "http://127.0.0.1:" + port_ + "/"; }
  std::string Root() const { return fx_.Path("..\\" + name_); }
  // Stops the server and waits until its port is closed.
  void Stop() {
    if (!Running() || stopped_) return;
    fx_.Write("..\\" + name_ + ".stop", "stop");
    stopped_ = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fx_.Exists("..\\" + name_ + ".port.stopped") &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }

 private:
  const Fixture& fx_;
  std::string name_;
  std::string port_;
  bool stopped_ = false;
};

struct Release {
  std::string prg = "1:1.4.1";
  std::string db = "1:2026.01";
  std::string tools = "1:1.0";
  std::string updater = "1:1.2.2";
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // The loopback server must never be reached through a proxy.
    setenv("no_proxy", "127.0.0.1", 1);
    for (const char* tool : {"wget", "7za", "python3"}) {
      if (Shell(std::string("sh -c \"command -v ") + tool + "\"") != 0)
        GTEST_SKIP() << tool << " is not installed";
    }
    ASSERT_FALSE(SourceDir().empty()) << "no CMakeCache.txt beside " << ExeDir();
    // A real installation of this build, with every package at number 1.
    ASSERT_EQ(Shell("cmake --install " + BuildDir().string() + " --prefix " + fx_.Path("")), 0)
        << fx_.Read("..\\shell.log");
    fx_.Write("db\\db.ini", StampAver(fx_.Read("db\\db.ini")));
    server_ = std::make_unique<WebServer>(fx_, "srv");
    ASSERT_TRUE(server_->Running()) << fx_.Read("..\\srv.log");
    fx_.Write("options.ini", IniText({"[update]", "server=" + server_->Url()}));
  }

  // Runs a shell command line, its output in shell.log beside the installation.
  int Shell(const std::string& command) {
    const std::string log = fx_.Path("..\\shell.log");
    return RunRedirected(command, "", "", log, log);
  }

  // Makes the server's tree from this build (extra: more arguments of the release tool).
  void Publish(const Release& r, const std::string& extra = "") {
    const std::string out = fx_.Path("..\\release");
    fs::remove_all(out);
    ASSERT_EQ(Shell("bash " + (SourceDir() / "scripts" / "make-release").string() + " --prg " +
                    r.prg + " --db " + r.db + " --tools " + r.tools + " --updater " +
                    r.updater + " --build " + BuildDir().string() + " --out " + out +
                    (extra.find("--key") == std::string::npos ? " --unsigned" : "") + extra),
              0)
        << fx_.Read("..\\shell.log");
    fs::copy(out, server_->Root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }

  // The catalogue ships without a package number; a local one of 1 says the same.
  static std::string StampAver(const std::string& dbIni) {
    const std::string head = "[version]\r\n";
    std::string text = dbIni;
    const size_t at = text.find(head);
    if (at == std::string::npos) return head + "aver=1\r\n" + text;
    return text.insert(at + head.size(), "aver=1\r\n");
  }

  // Files of the installation, without what runs leave by design.
  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files = TreeSnapshot(fx_);
    for (auto it = files.begin(); it != files.end();)
      it = it->first.rfind("updater/temp/", 0) == 0 ? files.erase(it) : std::next(it);
    return files;
  }

  // The installation as it is now, kept beside it (by a path that does not pass through it,
  // since it is replaced) to start each round of a test from.
  void KeepPristine() { CopyTree(Installation(), Installation().parent_path() / "pristine"); }
  void RestorePristine() { CopyTree(Installation().parent_path() / "pristine", Installation()); }
  fs::path Installation() const {
    const fs::path path = fx_.FsPath("");
    return path.has_filename() ? path : path.parent_path();
  }
  static void CopyTree(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  Fixture fx_{Fixture::Layout::Bare};
  std::unique_ptr<WebServer> server_;
};

// The lines must appear in the text in this order (other output, such as 7-Zip's, between).
::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t from = 0;
  for (const std::string& line : lines) {
    const size_t at = text.find(line, from);
    if (at == std::string::npos)
      return ::testing::AssertionFailure() << "missing after offset " << from << ": \"" << line
                                           << "\"\nin:\n" << text;
    from = at + line.size();
  }
  return ::testing::AssertionSuccess();
}

std::string UnpackedFile(const fs::path& zip, const std::string& name, const fs::path& scratch) {
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  const std::string log = (scratch / ".." / "unpack.log").string();
  RunRedirected("7za x -bd -y -o" + scratch.string() + " " + zip.string(), "", "", log, log);
  std::ifstream in(scratch / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(EndToEnd, UpdatesProgramDatabaseAndToolsThenStartsTheMainProgram) {
  Publish({"2:1.4.2", "3:2026.12", "2:2.0", "1:1.2.2"});
  auto expected = Files();
  const fs::path srv = server_->Root();
  expected["ver.ini"] = UnpackedFile(srv / "upt/prg/2.zip", "ver.ini", fx_.FsPath("..\\x"));
  expected["db/db.ini"] = UnpackedFile(srv / "upt/db/3.zip", "db.ini", fx_.FsPath("..\\x"));
  expected["updater/3ver.ini"] =
      UnpackedFile(srv / "upt/3/2.zip", "updater/3ver.ini", fx_.FsPath("..\\x"));
  // The user's own entries are never part of a release: the installation keeps its Own.ini.
  ASSERT_TRUE(expected.count("db/Own.ini"));
  EXPECT_EQ(UnpackedFile(srv / "upt/db/3.zip", "Own.ini", fx_.FsPath("..\\x")), "");
  EXPECT_NE(UnpackedFile(srv / "upt/db/3.zip", "db.ini", fx_.FsPath("..\\x")), "");

  RunResult run = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(run.out, {"Checking for new updates ...\n\n",
                                " > Downloading new program version 1.4.2 ...\n\n > Unpacking ... \n",
                                " > Downloading new database version 2026.12 ...\n\n > Unpacking ... \n",
                                " > Downloading new 3rd party apps. Package version 2.0 ...\n\n"
                                " > Unpacking ... \n",
                                " > No need to update updater ... \n\nPress <Enter> to continue",
                                // The main program takes over.
                                "Quillhaven\n==========\n", "Checking files ...\n",
                                "  Updater ... [ OK ]\n", "  WGet ... [ OK ]\n"}));
  EXPECT_EQ(Files(), expected);
  EXPECT_EQ(fx_.Read("ver.ini"), IniText({"[version]", "aver=2", "version=1.4.2"}));
  // The tools are whole files now, and the new wget works.
  EXPECT_FALSE(fs::is_symlink(fx_.FsPath("wget\\wget")));
  EXPECT_EQ(Shell(fx_.Path("wget\\wget") + " --version"), 0);

  // A second run finds nothing newer and changes nothing.
  const auto after = Files();
  RunResult again = RunUpdater(fx_, "\n");
  EXPECT_TRUE(InOrder(again.out, {" > No need to update program ... \n\n"
                                  " > No need to update database ... \n\n"
                                  " > No need to update updater ... \n"}));
  EXPECT_EQ(Files(), after);
}

// A catalogue folder whose Own.ini holds entries is refused by the release tool.
TEST_F(EndToEnd, ReleaseToolRefusesACatalogueWithOwnEntries) {
  fs::copy(fx_.FsPath("db"), fx_.FsPath("..\\catalogue"), fs::copy_options::recursive);
  fx_.Write("..\\catalogue\\Own.ini", IniText({"[main]", "count=1", "[1]", "name=Mine"}));

  EXPECT_NE(Shell("bash " + (SourceDir() / "scripts" / "make-release").string() +
                  " --prg 2:2 --db 2:2 --tools 2:2 --updater 2:2 --build " + BuildDir().string() +
                  " --db-dir " + fx_.Path("..\\catalogue") + " --out " + fx_.Path("..\\refused") +
                  " --unsigned"),
            0);
  EXPECT_NE(fx_.Read("..\\shell.log").find("holds OS entries"), std::string::npos)
      << fx_.Read("..\\shell.log");
  EXPECT_FALSE(fx_.Exists("..\\refused\\upt\\db\\2.zip"));
}

TEST_F(EndToEnd, UpdaterUpdatesItselfThroughTheHelper) {
  Publish({"1:1.4.1", "1:2026.01", "1:1.0", "2:1.2.3"});
  const std::string newVer = IniText({"[version]", "aver=2", "version=1.2.3"});

  RunResult run = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(run.out, {" > Downloading new updater version 1.2.3 ...\n\n > Unpacking ... \n",
                                "Quillhaven self-update\n", " > Starting new updater ... \n",
                                // The new updater finds nothing newer and starts the program.
                                "Checking for new updates ...\n",
                                " > No need to update updater ... \n\nPress <Enter> to continue",
                                "Quillhaven\n==========\n", "Checking files ...\n"}));
  EXPECT_EQ(fx_.Read("updater\\ver.ini"), newVer);
  EXPECT_FALSE(fx_.Exists("updater\\temp\\upt.zip"));
  EXPECT_TRUE(fs::is_regular_file(fx_.FsPath("updater\\updater")));
}

TEST_F(EndToEnd, SelfCheckFetchesAMissingUpdater) {
  Publish({"1:1.4.1", "1:2026.01", "1:1.0", "4:1.2.4"});
  fx_.Remove("updater\\updater");
  fx_.Remove("updater\\upt");
  fx_.Remove("updater\\ver.ini");

  RunResult run = fx_.Run("0\n");

  EXPECT_TRUE(InOrder(run.out, {"Checking files ...\n",
                                "  Updater ... [ ERROR ] - updater is outdated or missing.\n",
                                "    Downloading new one ...", ".\n [ OK ]\n", "  Qemu ... [ OK ]\n"}));
  EXPECT_TRUE(fs::is_regular_file(fx_.FsPath("updater\\updater")));
  EXPECT_EQ(fx_.Read("updater\\ver.ini"), IniText({"[version]", "aver=4", "version=1.2.4"}));
  EXPECT_EQ(fx_.Read("updater\\upt.exe"), fx_.Read("..\\srv\\upt\\up\\upt.exe"));
  // wget leaves the helper it fetched without the execute bit; a later self-update needs it.
  for (const char* program : {"updater\\updater", "updater\\upt.exe"}) {
    const fs::perms perms = fs::status(fx_.FsPath(program)).permissions();
    EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none) << program;
  }
  EXPECT_FALSE(fx_.Exists("temp"));
  // The fetched updater runs: nothing newer than what it brought.
  RunResult updater = RunUpdater(fx_, "\n");
  EXPECT_TRUE(InOrder(updater.out, {" > No need to update updater ... \n"}));
}

TEST_F(EndToEnd, ServerDownChangesNothing) {
  Publish({"2:1.4.2", "2:2026.12", "2:2.0", "2:1.2.3"});
  server_->Stop();
  const auto before = Files();

  RunResult run = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(run.out, {" > Unable to reach the update server (no network, the "
                                "server's name was not found, the connection was refused, "
                                "timed out or was cut off). Nothing was "
                                "updated. \n\n"
                                "Press <Enter> to continue",
                                "Quillhaven\n==========\n"}));
  EXPECT_EQ(run.out.find("No need to update"), std::string::npos);
  EXPECT_EQ(Files(), before);
}

// A server that accepts the connection and never answers: the bounds of the installation's
// wget\wgetrc end the check within about a minute, which the screen counts out. The updater is started from the
// installation folder, not its own.
TEST_F(EndToEnd, SilentServerEndsTheCheckWithinAMinute) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(listen(listener, 8), 0);  // connections wait in the backlog, never answered
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
  fx_.Write("options.ini", IniText({"[update]", "server=http://127.0.0.1:" +
                                                    std::to_string(ntohs(address.sin_port)) + "/"}));
  ASSERT_TRUE(fx_.Exists("wget\\wgetrc"));
  const auto before = Files();

  const auto start = std::chrono::steady_clock::now();
  RunResult run = fx_.RunProgram(UpdaterFile(), "\n", fx_.FsPath(""));
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  close(listener);

  EXPECT_LT(seconds.count(), 90);
  // The wait is shown as it goes, every 20 s.
  EXPECT_TRUE(InOrder(run.out, {"Checking for new updates ...\n",
                                "no answer yet, still waiting (20 s of at most 2 minutes)\n",
                                "no answer yet, still waiting (40 s of at most 2 minutes)\n",
                                " > Unable to reach the update server (no network, the "
                                "server's name was not found, the connection was refused, "
                                "timed out or was cut off). Nothing was "
                                "updated. \n\nPress <Enter> to continue"}));
  EXPECT_FALSE(fx_.Exists("temp"));
  EXPECT_EQ(Files(), before);
}

// A tree signed by the release tool, served to an installation that pairs the server with
// the key: changed by one character it installs nothing; as signed it installs, and the
// serial is kept; the start-up check fetches a missing updater from it.
TEST_F(EndToEnd, SignedReleaseInstallsOnlyAsSigned) {
  const std::string key = MakeTestKey(fx_, "release");
  fx_.Write("options.ini", IniText({"[update]", "server=" + server_->Url(), "key=" + key}));
  Publish({"2:1.4.2", "1:2026.01", "1:1.0", "1:1.2.2"},
          " --key " + fx_.Path("..\\release.pem") + " --other-key --serial 500 --expires-days 30");
  const std::string verIni = fx_.Read("..\\srv\\ver.ini");
  ASSERT_NE(verIni.find("[release]\r\nserial=500\r\nexpires="), std::string::npos) << verIni;
  ASSERT_EQ(fx_.Read("..\\srv\\ver.ini.sig").size(), 130u);
  std::string changed = verIni;
  changed.replace(changed.find("1.4.2"), 5, "1.4.3");
  fx_.Write("..\\srv\\ver.ini", changed);
  const auto before = Files();

  RunResult refused = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(refused.out, {"Checking for new updates ...\n\n"
                                    " > The update server's version file is not signed correctly. "
                                    "Nothing was updated. \n\nPress <Enter> to continue",
                                    "Quillhaven\n==========\n"}));
  EXPECT_EQ(Files(), before);

  fx_.Write("..\\srv\\ver.ini", verIni);
  RunResult run = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(run.out, {" > Downloading new program version 1.4.2 ...\n\n > Unpacking ... \n",
                                " > No need to update updater ... \n\nPress <Enter> to continue"}));
  EXPECT_EQ(fx_.Read("ver.ini"), IniText({"[version]", "aver=2", "version=1.4.2"}));
  EXPECT_EQ(fx_.Read("updater\\release.ini"), IniText({"[release]", "serial=500"}));

  fx_.Remove("updater\\updater");
  RunResult start = fx_.Run("0\n");
  EXPECT_TRUE(InOrder(start.out, {"  Updater ... [ ERROR ] - updater is outdated or missing.\n",
                                  "    Downloading new one ...", ".\n [ OK ]\n"}));
  EXPECT_TRUE(fs::is_regular_file(fx_.FsPath("updater\\updater")));
}

// A server's ver.ini without the hashes, as older release tools wrote it: 7-Zip's test of
// the archive is what keeps the tools.
TEST_F(EndToEnd, TruncatedToolsPackageLeavesTheToolsInPlace) {
  Publish({"1:1.4.1", "1:2026.01", "2:2.0", "1:1.2.2"});
  std::string verIni;
  for (const std::string& line : Lines(fx_.Read("..\\srv\\ver.ini")))
    if (line.find("sha256=") == std::string::npos) verIni += line + "\n";
  fx_.Write("..\\srv\\ver.ini", verIni);
  const fs::path zip = server_->Root() + "/upt/3/2.zip";
  fs::resize_file(zip, fs::file_size(zip) / 2);
  const auto before = Files();

  RunResult run = RunUpdater(fx_, "\n");

  EXPECT_TRUE(InOrder(run.out, {" > Downloading new 3rd party apps. Package version 2.0 ...\n",
                                " > The package did not arrive whole; 3rd party apps were not updated. \n",
                                " > No need to update updater ... \n"}));
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(fs::is_symlink(fx_.FsPath("wget\\wget")));
}

// The release tool names each package's hash; served with other archives in their place
// (whole ones, which 7-Zip would unpack), the updater installs none and changes no file.
TEST_F(EndToEnd, PackagesServedDamagedInstallNothing) {
  Publish({"2:1.4.2", "2:2026.12", "2:2.0", "2:1.2.3"});
  const std::string srv = server_->Root() + "/";
  const IniFile verIni(srv + "ver.ini");
  for (const auto& [section, zip] : std::map<std::string, std::string>{
           {"version", "upt/prg/2.zip"}, {"db", "upt/db/2.zip"},
           {"updater", "upt/up/2.zip"}, {"3rdapps", "upt/3/2.zip"}})
    EXPECT_TRUE(FileHasSha256(srv + zip, verIni.ReadString(section, "sha256", ""))) << section;
  EXPECT_TRUE(FileHasSha256(srv + "upt/up/upt.exe", verIni.ReadString("updater", "uptsha256", "")));

  const std::string program = fx_.Read("..\\srv\\upt\\prg\\2.zip");
  for (const char* zip : {"upt/prg/2.zip", "upt/db/2.zip", "upt/3/2.zip"})
    fs::copy_file(srv + "upt/up/2.zip", srv + zip, fs::copy_options::overwrite_existing);
  fx_.Write("..\\srv\\upt\\up\\2.zip", program);
  const auto before = Files();

  RunResult run = RunUpdater(fx_, "\n");

  const std::string damaged =
      " > Unpacking ... \n > The package is damaged (SHA-256 does not match); it was not "
      "installed. \n";
  EXPECT_TRUE(InOrder(run.out, {" > Downloading new program version 1.4.2 ...\n\n" + damaged,
                                " > Downloading new database version 2026.12 ...\n\n" + damaged,
                                " > Downloading new 3rd party apps. Package version 2.0 ...\n\n" +
                                    damaged,
                                " > Downloading new updater version 1.2.3 ...\n\n" + damaged,
                                "\nPress <Enter> to continue", "Quillhaven\n==========\n"}));
  EXPECT_EQ(run.out.find("Quillhaven self-update"), std::string::npos);
  EXPECT_EQ(Files(), before);
  EXPECT_TRUE(fs::is_symlink(fx_.FsPath("wget\\wget")));
}

// Starts a program of the updater folder (the updater, as the main program does, or the
// self-update helper) in that folder, in a process group of its own so that a kill takes its
// tools with it, as a power cut would; its output goes to killed.log beside the installation.
pid_t StartInUpdaterFolder(const Fixture& fx, const std::string& name = "updater") {
  const std::string dir = fx.Path("updater");
  const std::string program = fx.Path("updater\\" + name);
  const std::string log = fx.Path("..\\killed.log");
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    if (chdir(dir.c_str()) != 0) _exit(127);
    if (!freopen("/dev/null", "r", stdin) || !freopen(log.c_str(), "a", stdout) ||
        !freopen(log.c_str(), "a", stderr))
      _exit(127);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(pid, pid);
  return pid;
}

// Kills the program after delay unless it ended before. Returns true when it was killed.
bool RunUpdaterKilledAfter(const Fixture& fx, std::chrono::microseconds delay,
                           const std::string& name = "updater") {
  const pid_t pid = StartInUpdaterFolder(fx, name);
  const auto deadline = std::chrono::steady_clock::now() + delay;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  kill(-pid, SIGKILL);
  waitpid(pid, &status, 0);
  // Its tools die with it, but may take a moment to be gone.
  for (int i = 0; i < 500 && kill(-pid, 0) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return true;
}

// A tools update with a slow 7-Zip: the main program started again and again while it runs
// (during the download, the tests, the unpack and the moves) leaves it alone and says so,
// and a second updater changes nothing; the installation ends wholly new, wget in place.
TEST_F(EndToEnd, ProgramsStartedDuringAnUpdateLeaveItToFinish) {
  Publish({"1:1.4.1", "1:2026.01", "2:2.0", "1:1.2.2"});
  fs::remove(fx_.FsPath("7z\\7za"));
  fx_.Write("7z\\7za", "#!/bin/sh\nsleep 0.6\n7za \"$@\"\ncode=$?\nsleep 0.6\nexit $code\n");
  fs::permissions(fx_.FsPath("7z\\7za"), fs::perms::owner_all, fs::perm_options::add);
  auto expected = Files();
  expected["updater/3ver.ini"] =
      UnpackedFile(server_->Root() + "/upt/3/2.zip", "updater/3ver.ini", fx_.FsPath("..\\x"));

  const pid_t updater = StartInUpdaterFolder(fx_);
  int status = 0, starts = 0, leftAlone = 0;
  bool secondRan = false;
  while (waitpid(updater, &status, WNOHANG) != updater) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    if (!secondRan && starts == 1) {
      secondRan = true;
      RunResult second = RunUpdater(fx_, "\n");
      EXPECT_TRUE(InOrder(second.out, {" > An update is already running; nothing was changed. \n",
                                       "Press <Enter> to continue"}));
      EXPECT_EQ(second.out.find("Checking for new updates"), std::string::npos);
    }
    RunResult run = fx_.Run("0\n");
    ++starts;
    if (run.out.find(" > An update is running; its files are left as they are. \n") !=
        std::string::npos)
      ++leftAlone;
    EXPECT_EQ(run.out.find("put back"), std::string::npos) << run.out;
  }
  std::printf("lock test: the main program started %d times during the update, %d of them "
              "while the lock was held\n", starts, leftAlone);
  EXPECT_TRUE(secondRan);
  EXPECT_GE(leftAlone, 3);
  EXPECT_TRUE(InOrder(fx_.Read("..\\killed.log"),
                      {" > Downloading new 3rd party apps. Package version 2.0 ...\n",
                       " > Unpacking ... \n", " > No need to update updater ... \n"}));
  EXPECT_EQ(fx_.Read("..\\killed.log").find("not updated"), std::string::npos);
  EXPECT_TRUE(Files() == expected);
  EXPECT_EQ(Shell(fx_.Path("wget\\wget") + " --version"), 0);
}

// A program release of 200 files (100 replacing files of the installation, 100 new ones in
// new folders, and its version file) installed by the real updater with the real 7-Zip,
// killed at 30 random moments: after each kill one more start of the updater leaves the
// installation byte for byte the old one or the new one, and the next update succeeds.
// Then a file-size limit (a disk that fills up) during the unpack installs nothing.
TEST_F(EndToEnd, KilledUpdatesLeaveTheOldOrTheNewInstallation) {
  for (int k = 0; k < 100; ++k) {
    const std::string n = std::to_string(k);
    fx_.Write("data\\f" + n + ".txt", "old file " + n + "\n");
    fx_.Write("..\\prg\\data\\f" + n + ".txt",
              std::string(200 + 97 * k, static_cast<char>('a' + k % 26)));
    fx_.Write("..\\prg\\new\\g" + std::to_string(k / 10) + "\\h" + n + ".bin",
              std::string(1000 + 331 * k, static_cast<char>('A' + k % 26)));
  }
  fx_.Write("..\\prg\\ver.ini", IniText({"[version]", "aver=2", "version=2.0"}));
  const std::string zip = server_->Root() + "/upt/prg/2.zip";
  ASSERT_EQ(Shell("sh -c \"cd " + fx_.Path("..\\prg") + " && 7za a -tzip -bd -y " + zip + " . \""),
            0);
  const std::string verIni = IniText({"[version]", "aver=2", "version=2.0"});
  fx_.Write("..\\srv\\ver.ini", verIni);

  KeepPristine();
  const auto oldTree = Files();

  const auto start = std::chrono::steady_clock::now();
  RunResult first = RunUpdater(fx_, "\n");
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(InOrder(first.out, {" > Downloading new program version 2.0 ...\n\n",
                                  " > Unpacking ... \n", " > No need to update updater ... \n"}));
  const auto newTree = Files();
  ASSERT_EQ(newTree.size(), oldTree.size() + 100);
  ASSERT_EQ(newTree.at("ver.ini"), verIni);

  const char* seedText = std::getenv("QH_KILL_SEED");
  const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                 : static_cast<unsigned>(std::random_device{}());
  std::printf("kill test: seed %u (QH_KILL_SEED), a whole update takes %lld ms\n", seed,
              static_cast<long long>(whole.count() / 1000));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> moment(0, whole.count());
  int oldOnes = 0, newOnes = 0, midInstall = 0;
  for (int round = 0; round < 30; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
    RestorePristine();
    fx_.Write("..\\srv\\ver.ini", verIni);
    RunUpdaterKilledAfter(fx_, std::chrono::microseconds(moment(random)));
    if (fx_.Exists("updater\\temp\\journal.txt")) ++midInstall;

    // One start of the updater, with nothing newer on the server: it only puts things right.
    fx_.Remove("..\\srv\\ver.ini");
    RunUpdater(fx_, "\n");
    const auto tree = Files();
    if (tree == oldTree) ++oldOnes;
    else if (tree == newTree) ++newOnes;
    else ADD_FAILURE() << "a mix of the old and the new installation";

    fx_.Write("..\\srv\\ver.ini", verIni);
    RunUpdater(fx_, "\n");
    EXPECT_TRUE(Files() == newTree) << "the next update did not succeed";
  }
  std::printf("kill test: %d rounds ended old, %d new, %d killed in the middle of moving files\n",
              oldOnes, newOnes, midInstall);
  EXPECT_EQ(oldOnes + newOnes, 30);

  // A disk that fills up while the package is unpacked: the kernel refuses a file of more
  // than 256 KiB, which the package (small, as its files pack well) holds.
  RestorePristine();
  fx_.Write("..\\prg\\new\\big.bin", std::string(1 << 20, 'z'));
  fs::remove(zip);
  ASSERT_EQ(Shell("sh -c \"cd " + fx_.Path("..\\prg") + " && 7za a -tzip -bd -y " + zip + " . \""),
            0);
  ASSERT_LT(fs::file_size(zip), 256u * 1024u);
  fx_.Write("updater\\limited.sh", "#!/bin/bash\ntrap '' XFSZ\nulimit -f 256\nexec ./updater\n");
  fs::permissions(fx_.FsPath("updater\\limited.sh"), fs::perms::owner_all, fs::perm_options::add);
  const auto before = Files();

  RunResult full = fx_.RunProgram("updater\\limited.sh", "\n", fx_.FsPath("updater"));

  EXPECT_TRUE(InOrder(full.out, {" > Unpacking ... \n",
                                 " > The package could not be unpacked (is the disk full?); the "
                                 "program was not updated. \n"}));
  EXPECT_TRUE(Files() == before);
  EXPECT_FALSE(fx_.Exists("updater\\temp\\stage"));
}

// The self-update helper installing a new updater (its program differs from the old one by
// its last bytes), killed at random moments, one seed a round: after one start of the main
// program the updater folder holds byte for byte the old updater or the new one, and it
// starts. Then a disk that fills up during the unpack keeps the old one and says so, and an
// updater cut short by an older helper is repaired from the package it left.
TEST_F(EndToEnd, KilledOrFullSelfUpdateLeavesTheOldOrTheNewUpdater) {
  Publish({"1:1.4.1", "1:2026.01", "1:1.0", "2:1.2.3"});
  const fs::path unpacked = fx_.FsPath("..\\up");
  UnpackedFile(server_->Root() + "/upt/up/2.zip", "ver.ini", unpacked);
  { std::ofstream((unpacked / "updater").string(), std::ios::app | std::ios::binary) << "new"; }
  ASSERT_EQ(Shell("sh -c \"cd " + unpacked.string() + " && 7za a -tzip -bd -y " +
                  fx_.Path("updater\\temp\\upt.zip") + " . \""),
            0);
  fs::remove(fx_.FsPath("..\\srv\\ver.ini"));  // the updater started afterwards finds nothing
  const auto updaterFiles = [this] {
    return std::make_pair(fx_.Read("updater\\updater"), fx_.Read("updater\\ver.ini"));
  };
  const auto oldUpdater = updaterFiles();
  const auto newUpdater = std::make_pair(ReadBinary(unpacked / "updater"),
                                         ReadBinary(unpacked / "ver.ini"));
  ASSERT_FALSE(oldUpdater == newUpdater);
  KeepPristine();
  // The updater after a self-update (or not) starts and ends as it should.
  const auto starts = [this] {
    RunResult run = RunUpdater(fx_, "\n");
    return run.out.find("Quillhaven updater v") != std::string::npos &&
           run.out.find("Unable to reach the update server") != std::string::npos;
  };

  const auto start = std::chrono::steady_clock::now();
  RunUpdaterKilledAfter(fx_, std::chrono::seconds(60), "upt");
  const long long whole = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(updaterFiles() == newUpdater) << fx_.Read("..\\killed.log");

  const char* seedText = std::getenv("QH_KILL_SEED");
  const unsigned base = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10))
                                 : static_cast<unsigned>(std::random_device{}());
  int oldOnes = 0, newOnes = 0, midInstalls = 0;
  for (unsigned round = 0; round < 24; ++round) {
    const unsigned seed = base + round;
    std::mt19937 random(seed);
    const long long moment = std::uniform_int_distribution<long long>(0, whole)(random);
    SCOPED_TRACE("seed " + std::to_string(seed));
    RestorePristine();
    RunUpdaterKilledAfter(fx_, std::chrono::microseconds(moment), "upt");
    const bool midInstall = fx_.Exists("updater\\temp\\journal.txt");
    midInstalls += midInstall;
    fx_.Run("0\n");  // puts right what the kill left
    const auto left = updaterFiles();
    const bool isOld = left == oldUpdater, isNew = left == newUpdater;
    std::printf("self-update kill: seed %u (QH_KILL_SEED=%u), killed after %lld of %lld us%s: "
                "%s\n", seed, base, moment, whole, midInstall ? " while moving files" : "",
                isOld ? "old" : isNew ? "new" : "MIXED");
    oldOnes += isOld;
    newOnes += isNew;
    EXPECT_TRUE(isOld || isNew) << "neither the old nor the new updater";
    EXPECT_TRUE(starts());
  }
  EXPECT_EQ(oldOnes + newOnes, 24);

  // A disk that fills up during the unpack: the kernel refuses a file as large as the
  // updater, but not the package (which is smaller).
  RestorePristine();
  const std::uintmax_t limit = (fs::file_size(unpacked / "updater") - 1) / 1024;
  ASSERT_LT(fs::file_size(fx_.FsPath("updater\\temp\\upt.zip")), limit * 1024);
  fx_.Write("updater\\limited.sh", "#!/bin/bash\ntrap '' XFSZ\nulimit -f " +
                                       std::to_string(limit) + "\nexec ./upt\n");
  fs::permissions(fx_.FsPath("updater\\limited.sh"), fs::perms::owner_all, fs::perm_options::add);
  RunResult full = fx_.RunProgram("updater\\limited.sh", "\n", fx_.FsPath("updater"));
  EXPECT_TRUE(InOrder(full.out, {" > The package could not be unpacked (is the disk full?); the "
                                 "new updater could not be installed, the old one stays. \n"}));
  EXPECT_TRUE(updaterFiles() == oldUpdater);
  EXPECT_TRUE(starts());

  // An updater that an older helper left cut short and without its execute bit is no
  // updater: the start-up check installs the package the helper left.
  RestorePristine();
  fx_.Remove("updater\\updater");
  fx_.Write("updater\\updater", oldUpdater.first.substr(0, 65536));
  RunResult repaired = fx_.Run("0\n");
  EXPECT_TRUE(InOrder(repaired.out, {"  Updater ... [ ERROR ] - updater is outdated or missing.\n",
                                     "    Installing the package left in updater\\temp ...",
                                     " done.\n [ OK ]\n",
                                     "  Qemu ... [ OK ]\n"}));
  EXPECT_TRUE(updaterFiles() == newUpdater);
  EXPECT_FALSE(fx_.Exists("updater\\temp\\upt.zip"));
  EXPECT_TRUE(starts());
}

}  // namespace

#endif  // _WIN32
