#include "trust/digest.h"

#include <gtest/gtest.h>

#include "support/platform_test_util.h"

using namespace platform_test;

namespace {

std::string HashOf(const TempDir& dir, const std::string& name) {
  std::string hex;
  EXPECT_TRUE(DigestFile(dir.Win(name), DigestKind::Sha256, hex)) << name;
  return hex;
}

}  // namespace

// The published test vectors, and a file that spans several read blocks before and after
// its last byte changes.
TEST(DigestFileTest, PublishedVectorsEmptyFileAndOneChangedByte) {
  TempDir dir;
  dir.Write("empty", "");
  dir.Write("abc", "abc");
  dir.Write("448", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
  EXPECT_EQ(HashOf(dir, "empty"), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(HashOf(dir, "abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HashOf(dir, "448"), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");

  std::string data(3000000, 'q');
  dir.Write("sub\\image.iso", data);
  EXPECT_EQ(HashOf(dir, "sub\\image.iso"),
            "40129b8cec9855ad106f40d9d48a5beb85b32a45c885d7beefff2b2414122ae4");
  data.back() = 'r';
  dir.Write("sub\\image.iso", data);
  EXPECT_EQ(HashOf(dir, "sub\\image.iso"),
            "8c9e9f647b5ddbdbd3e935c81028f81e142027de6a152e5b966ac40b30cb9e18");
}

TEST(DigestFileTest, MissingFileAndFolderGiveNoHash) {
  TempDir dir;
  dir.Write("folder\\x", "x");
  std::string hex = "left over";
  EXPECT_FALSE(DigestFile(dir.Win("none.iso"), DigestKind::Sha256, hex));
  EXPECT_EQ(hex, "");
  EXPECT_FALSE(DigestFile(dir.Win("folder"), DigestKind::Sha256, hex));
  EXPECT_FALSE(FileHasSha256(dir.Win("none.iso"),
                             "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

// Sizes past 4 GiB must not wrap in any 32-bit count on the way (sparse: no disk space).
TEST(DigestFileTest, FileAboveFourGibibytes) {
  TempDir dir;
  { std::ofstream(dir.Fs("big.img"), std::ios::binary); }
  fs::resize_file(dir.Fs("big.img"), 4294967296ull + 1048576 + 3);
  EXPECT_TRUE(FileHasSha256(dir.Win("big.img"),
                            "2477e8d555a4d7499d182651488796d79731cc312e912f22556470964acf4993"));
}

TEST(HashTextTest, FormAndLetterCase) {
  const std::string lower = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
  const std::string upper = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  EXPECT_TRUE(IsHashText(DigestKind::Sha256, lower));
  EXPECT_TRUE(IsHashText(DigestKind::Sha256, upper));
  EXPECT_TRUE(SameHash(DigestKind::Sha256, lower, upper));
  EXPECT_FALSE(SameHash(DigestKind::Sha256, lower, "ca" + lower.substr(2)));
  for (const std::string& bad : {std::string(""), lower.substr(1), lower + "0",
                                 "g" + lower.substr(1), " " + lower.substr(1)}) {
    EXPECT_FALSE(IsHashText(DigestKind::Sha256, bad)) << bad;
    EXPECT_FALSE(SameHash(DigestKind::Sha256, bad, bad)) << bad;
  }
  // A SHA-512 text is twice as long; neither kind passes for the other.
  EXPECT_TRUE(SameHash(DigestKind::Sha512, lower + lower, upper + upper));
  EXPECT_FALSE(IsHashText(DigestKind::Sha512, lower));
  EXPECT_FALSE(IsHashText(DigestKind::Sha256, lower + lower));
}
