// The wget command line, and the download of one image into its place.
#include "os/open_os.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/settings.h"
#include "support/launch_test_util.h"

namespace {

using launchtest::Console;
using launchtest::TempInstall;
namespace fs = std::filesystem;

// Command lines as the tool receives them: the POSIX layer turns backslashes into slashes.
std::string AsReceived(std::string text) {
#ifndef _WIN32
  for (char& c : text)
    if (c == '\\') c = '/';
#endif
  return text;
}

TEST(WgetCommandLine, FreshDownload) {
  EXPECT_EQ(WgetCommandLine("D:\\Q\\", "images", "http://example.org/os/linux.iso", false),
            "D:\\Q\\wget\\wget -P images\\temp\\ http://example.org/os/linux.iso");
}

TEST(WgetCommandLine, APartialFileIsContinued) {
  EXPECT_EQ(WgetCommandLine("D:\\Q\\", "images", "ftp://example.org/linux.iso", true),
            "D:\\Q\\wget\\wget -c -P images\\temp\\ ftp://example.org/linux.iso");
}

TEST(WgetCommandLine, LinkAndFolderAreTakenAsTheyAre) {
  EXPECT_EQ(WgetCommandLine("/opt/qh/", "..\\img", "http://h/a b.iso", false),
            "/opt/qh/wget\\wget -P ..\\img\\temp\\ http://h/a b.iso");
}

// Downloads run in the installation, as the program does.
class Download : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = fs::current_path();
    fs::current_path(install.Fs(""));
    fs::create_directories(install.Fs("images"));
  }
  void TearDown() override { fs::current_path(saved_); }
  bool Fetch(const std::string& link, const std::string& filename, std::string* out = nullptr) {
    Console console;
    const bool fetched = DownloadImage("Linux", "1.0", link, filename);
    if (out) *out = console.Output();
    return fetched;
  }
  TempInstall install;

 private:
  fs::path saved_;
};

const char* const DownloadScreen =
    "\n"
    " +----------------------------------------+ \n"
    " |               Linux 1.0                |\n"
    " +----------------------------------------+ \n"
    "\n"
    " Do not close this window!\n"
    " Press CTRL + C to stop downloading image\n"
    "\n"
    " Downloading Linux 1.0\n"
    "\n";

TEST_F(Download, FetchedImageIsMovedIntoPlace) {
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\$LAST 1234\n");
  std::string out;
  EXPECT_TRUE(Fetch("http://127.0.0.1/os/linux.iso", "linux.iso", &out));
  EXPECT_EQ(out, DownloadScreen);
  EXPECT_EQ(fs::file_size(install.Fs("images/linux.iso")), 1234u);
  EXPECT_FALSE(fs::exists(install.Fs("images/temp/linux.iso")));
  EXPECT_TRUE(fs::is_directory(install.Fs("images/temp")));   // the folder stays
  ASSERT_EQ(install.ToolLog().size(), 1u);
  EXPECT_EQ(install.ToolLog()[0],
            AsReceived("wget/wget.exe\t-P images\\temp\\ http://127.0.0.1/os/linux.iso"));
}

TEST_F(Download, PartialFileIsContinued) {
  install.Write("images/temp/linux.iso", "half");
  install.Write("images/temp/links/linux.iso", "http://127.0.0.1/linux.iso");
  install.InstallFakeTool("wget/wget.exe", "append images\\temp\\$LAST -rest\n");
  EXPECT_TRUE(Fetch("http://127.0.0.1/linux.iso", "linux.iso"));
  EXPECT_EQ(install.Read("images/linux.iso"), "half-rest\n");
  ASSERT_EQ(install.ToolLog().size(), 1u);
  EXPECT_EQ(install.ToolLog()[0],
            AsReceived("wget/wget.exe\t-c -P images\\temp\\ http://127.0.0.1/linux.iso"));
}

TEST_F(Download, NothingFetchedIsAFailure) {
  install.InstallFakeTool("wget/wget.exe", "exit 4\n");
  EXPECT_FALSE(Fetch("http://127.0.0.1/linux.iso", "linux.iso"));
  EXPECT_FALSE(fs::exists(install.Fs("images/linux.iso")));
  EXPECT_EQ(install.ToolLog().size(), 1u);
}

TEST_F(Download, MissingWgetIsAFailure) {
  EXPECT_FALSE(Fetch("http://127.0.0.1/linux.iso", "linux.iso"));
  EXPECT_FALSE(fs::exists(install.Fs("images/linux.iso")));
}

TEST_F(Download, AFileUnderAnotherNameIsNotTheImage) {
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\index.html 10\n");
  EXPECT_FALSE(Fetch("http://127.0.0.1/linux.iso", "linux.iso"));
  EXPECT_FALSE(fs::exists(install.Fs("images/linux.iso")));
}

TEST_F(Download, AnImageAlreadyInPlaceIsNotReplaced) {
  install.Write("images/linux.iso", "old");
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\$LAST 5\n");
  EXPECT_FALSE(Fetch("http://127.0.0.1/linux.iso", "linux.iso"));
  EXPECT_EQ(install.Read("images/linux.iso"), "old");
}

TEST_F(Download, EmptyFileNameNeverMovesTheDownloadFolder) {
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\x.iso 5\n");
  std::string out;
  EXPECT_FALSE(Fetch("http://127.0.0.1/", "", &out));
  EXPECT_EQ(out, std::string(DownloadScreen) +
                     " * ERROR bad file name: the entry names no image file\n");
  EXPECT_TRUE(install.ToolLog().empty());
  EXPECT_FALSE(fs::exists(install.Fs("images/temp")));
}

TEST_F(Download, MissingLinkRunsNoWget) {
  install.InstallFakeTool("wget/wget.exe", "create images\\temp\\$LAST 5\n");
  for (const char* link : {"", "ERROR"}) {
    Console console("\nnext\n");
    EXPECT_FALSE(DownloadImage("Linux", "1.0", link, "ERROR"));
    EXPECT_EQ(console.Output(), std::string(DownloadScreen) +
                                    " * ERROR missing download link \n\n Press < ENTER >\n");
    EXPECT_EQ(console.InputLeft(), "next\n");
  }
  EXPECT_TRUE(install.ToolLog().empty());
  EXPECT_FALSE(fs::exists(install.Fs("images/temp")));
}

// Only the missing link's "ERROR" counts as no link; any other word is no link wget may get.
TEST_F(Download, ALinkSpelledErrorInSmallLettersIsRefused) {
  install.InstallFakeTool("wget/wget.exe");
  std::string out;
  EXPECT_FALSE(Fetch("error", "linux.iso", &out));
  EXPECT_EQ(out, std::string(DownloadScreen) + " * ERROR bad download link: it does not begin "
                                               "with http://, https:// or ftp://\n");
  EXPECT_TRUE(install.ToolLog().empty());
}

// A continued file is checked as a whole once wget has ended; a refused one is removed, so
// that the next attempt fetches it anew rather than continuing it.
TEST_F(Download, AWebPageIsRemovedInsteadOfMovedIntoPlace) {
  install.Write("images/temp/linux.iso", "\r\n <!DOCTYPE html><title>Not found</title>");
  install.Write("images/temp/links/linux.iso", "http://127.0.0.1/linux.iso");
  install.InstallFakeTool("wget/wget.exe", "append images\\temp\\$LAST </html>\n");
  Console console;
  EXPECT_EQ(FetchImage("Linux", "1.0", "http://127.0.0.1/linux.iso", "linux.iso", ""),
            DownloadResult::Refused);
  EXPECT_EQ(console.Output(),
            std::string(DownloadScreen) + " * ERROR downloaded file is a web page, not an image\n");
  EXPECT_FALSE(fs::exists(install.Fs("images/linux.iso")));
  EXPECT_FALSE(fs::exists(install.Fs("images/temp/linux.iso")));
  const std::string wget = "wget/wget.exe\t-c -P images\\temp\\ http://127.0.0.1/linux.iso";
  EXPECT_EQ(install.ToolLog(), std::vector<std::string>{AsReceived(wget)});
  EXPECT_FALSE(fs::exists(install.Fs("images/temp/links/linux.iso")));
}

}  // namespace
