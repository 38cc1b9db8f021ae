#include "qemu_front/find_qemu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct Files {
  std::set<std::string> present;
  std::function<bool(const std::string&)> Exists() const {
    return [this](const std::string& p) { return present.count(p) > 0; };
  }
};

TEST(FindQemu, DefaultNameBesideTheFrontEndComesFirst) {
  Files f{{"/inst/qemu/qemu-system-x86_64", "/usr/bin/qemu-system-x86_64"}};
  EXPECT_EQ(FindQemu("", "/inst/qemu/", "/usr/bin", HostOs::Linux, f.Exists()),
            "/inst/qemu/qemu-system-x86_64");
}

TEST(FindQemu, DefaultNameOnThePathInOrder) {
  Files f{{"/opt/q/bin/qemu-system-x86_64", "/usr/bin/qemu-system-x86_64"}};
  EXPECT_EQ(FindQemu("", "/inst/qemu/", "/usr/local/bin::/opt/q/bin/:/usr/bin", HostOs::Linux,
                     f.Exists()),
            "/opt/q/bin/qemu-system-x86_64");
  EXPECT_EQ(FindQemu("", "/inst/qemu/", "/usr/local/bin:/usr/bin", HostOs::Linux, f.Exists()),
            "/usr/bin/qemu-system-x86_64");
}

TEST(FindQemu, WindowsNamesAndSeparators) {
  Files f{{"C:\\Program Files\\qemu\\qemu-system-x86_64.exe"}};
  EXPECT_EQ(FindQemu("", "C:\\Q\\qemu\\", "C:\\Windows;C:\\Program Files\\qemu", HostOs::Windows,
                     f.Exists()),
            "C:\\Program Files\\qemu\\qemu-system-x86_64.exe");
  Files beside{{"C:\\Q\\qemu\\qemu-system-x86_64.exe"}};
  EXPECT_EQ(FindQemu("", "C:\\Q\\qemu\\", "", HostOs::Windows, beside.Exists()),
            "C:\\Q\\qemu\\qemu-system-x86_64.exe");
}

TEST(FindQemu, ConfiguredAbsolutePathIsTakenAsItIs) {
  Files f{{"/opt/qemu-9/bin/qemu-system-x86_64", "/usr/bin/qemu-system-x86_64"}};
  EXPECT_EQ(FindQemu("/opt/qemu-9/bin/qemu-system-x86_64", "/inst/qemu/", "/usr/bin", HostOs::Linux,
                     f.Exists()),
            "/opt/qemu-9/bin/qemu-system-x86_64");
  // A configured QEMU that is missing is not silently replaced by another one.
  EXPECT_EQ(FindQemu("/opt/gone/qemu-system-x86_64", "/inst/qemu/", "/usr/bin", HostOs::Linux,
                     f.Exists()),
            "");
  Files win{{"D:\\tools\\qemu\\qemu-system-i386.exe"}};
  EXPECT_EQ(FindQemu("D:\\tools\\qemu\\qemu-system-i386.exe", "C:\\Q\\qemu\\", "", HostOs::Windows,
                     win.Exists()),
            "D:\\tools\\qemu\\qemu-system-i386.exe");
}

TEST(FindQemu, ConfiguredRelativePathStartsAtTheFrontEnd) {
  Files f{{"C:\\Q\\qemu\\bin\\qemu-system-x86_64.exe"}};
  EXPECT_EQ(FindQemu("bin\\qemu-system-x86_64.exe", "C:\\Q\\qemu\\", "", HostOs::Windows, f.Exists()),
            "C:\\Q\\qemu\\bin\\qemu-system-x86_64.exe");
}

TEST(FindQemu, ConfiguredBareNameIsSearchedLikeTheDefault) {
  Files f{{"/usr/bin/qemu-system-i386"}};
  EXPECT_EQ(FindQemu("qemu-system-i386", "/inst/qemu/", "/bin:/usr/bin", HostOs::Linux, f.Exists()),
            "/usr/bin/qemu-system-i386");
}

TEST(FindQemu, NothingFound) {
  Files none;
  EXPECT_EQ(FindQemu("", "/inst/qemu/", "/usr/bin:/bin", HostOs::Linux, none.Exists()), "");
  // An empty PATH element is not the current folder here.
  Files cwd{{"qemu-system-x86_64"}};
  EXPECT_EQ(FindQemu("", "/inst/qemu/", ":", HostOs::Linux, cwd.Exists()), "");
}

}  // namespace
