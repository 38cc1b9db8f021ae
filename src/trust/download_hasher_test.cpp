#include "trust/download_hasher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/platform_test_util.h"

using namespace platform_test;

namespace {

std::string Hash(DigestKind kind, const std::string& data) {
  Digest digest(kind);
  std::string hex;
  EXPECT_TRUE(digest.Update(data.data(), data.size()));
  EXPECT_TRUE(digest.Finish(hex));
  return hex;
}

void Append(const TempDir& dir, const std::string& name, const std::string& data) {
  std::ofstream(dir.Fs(name), std::ios::binary | std::ios::app) << data;
}

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(150)); }

}  // namespace

TEST(DigestTest, PublishedVectorsOfBothKinds) {
  EXPECT_EQ(Hash(DigestKind::Sha256, "abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Hash(DigestKind::Sha512, "abc"),
            "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
            "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
  EXPECT_EQ(Hash(DigestKind::Sha512, ""),
            "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
            "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e");
}

// The file grows while it is followed (the part already there counts), and a file that
// shrinks, because its writer started it again, is hashed again from its first byte.
TEST(DownloadHasherTest, FollowsGrowthAndStartsOverWhenTheFileShrinks) {
  for (DigestKind kind : {DigestKind::Sha256, DigestKind::Sha512}) {
    TempDir dir;
    const std::string first(3000000, 'a');
    dir.Write("image.iso", first.substr(0, 1000000));
    DownloadHasher grown(dir.Win("image.iso"), kind);
    grown.Start();
    Pause();
    Append(dir, "image.iso", first.substr(1000000));
    std::string hex;
    ASSERT_TRUE(grown.Finish(hex));
    EXPECT_EQ(hex, Hash(kind, first));

    DownloadHasher restarted(dir.Win("image.iso"), kind);
    restarted.Start();
    Pause();
    dir.Write("image.iso", "second");
    Pause();
    Append(dir, "image.iso", " try");
    ASSERT_TRUE(restarted.Finish(hex));
    EXPECT_EQ(hex, Hash(kind, "second try"));
  }
}

// The file appears only once the writer has started; one that never appears has no hash.
TEST(DownloadHasherTest, FileThatAppearsLateOrNever) {
  TempDir dir;
  DownloadHasher late(dir.Win("late.iso"), DigestKind::Sha256);
  late.Start();
  Pause();
  dir.Write("late.iso", "abc");
  std::string hex;
  ASSERT_TRUE(late.Finish(hex));
  EXPECT_EQ(hex, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

  DownloadHasher never(dir.Win("never.iso"), DigestKind::Sha256);
  never.Start();
  EXPECT_FALSE(never.Finish(hex));
  EXPECT_EQ(hex, "");
}
