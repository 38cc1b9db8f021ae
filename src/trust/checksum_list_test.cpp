#include "trust/checksum_list.h"

#include <gtest/gtest.h>

#include "main_func/text_helpers.h"

namespace {

const std::string H256 = "a2e659dacb4691e887ac0139f8893d04764ee197d70fb73d3190d56113d18e3e";
const std::string H512 =
    "97d0c44dff7d08822ea77aa8538f2fed770e11131e9ec8216f4d231a7551d16c"
    "dbc6c331dd50aa14fe7f2c718c555f748b9ad290152db880916f9926ea15567c";
const std::string Other256 = "1111111111111111111111111111111111111111111111111111111111111111";

struct Row {
  const char* what;
  std::string list;
  std::string file;
  bool found;
  DigestKind kind;
  std::string hex;
};

}  // namespace

TEST(ChecksumListTest, PublishersForms) {
  const Row rows[] = {
      {"GNU text mode", "d41d  x\n" + H256 + "  disc1.iso\n", "disc1.iso", true,
       DigestKind::Sha256, H256},
      {"GNU binary mode, upper case", Upper(H256) + " *disc1.iso\n", "disc1.iso", true,
       DigestKind::Sha256, H256},
      {"GNU SHA-512 by length, CRLF", H512 + "  disc1.iso\r\n", "disc1.iso", true,
       DigestKind::Sha512, H512},
      {"BSD SHA256", "SHA256 (disc1.iso) = " + H256 + "\n", "disc1.iso", true,
       DigestKind::Sha256, H256},
      {"BSD SHA512 in a clear-signed list, CRLF",
       "-----BEGIN PGP SIGNED MESSAGE-----\r\nHash: SHA256\r\n\r\nSHA512 (disc1.iso) = " + H512 +
           "\r\n-----BEGIN PGP SIGNATURE-----\r\n",
       "disc1.iso", true, DigestKind::Sha512, H512},
      {"sectioned with headers, MD5 and SHA-1 first",
       "### MD5 ###\n0123456789abcdef0123456789abcdef  disc1.iso\n### SHA1 ###\n"
       "0123456789abcdef0123456789abcdef01234567  disc1.iso\n### SHA256 ###\n" +
           H256 + "  disc1.iso\n### SHA512 ###\n" + H512 + "  disc1.iso\n",
       "disc1.iso", true, DigestKind::Sha256, H256},
      {"names with ./ and folders", H512 + "  ./iso/disc1.iso\n", "disc1.iso", true,
       DigestKind::Sha512, H512},
      {"two files of similar names", Other256 + "  disc1.iso.torrent\n" + Other256 +
                                          "  xdisc1.iso\n" + H256 + "  disc1.iso\n",
       "disc1.iso", true, DigestKind::Sha256, H256},
      {"similar name only", H256 + "  disc1.iso.asc\n" + H256 + "  old/xdisc1.iso\n",
       "disc1.iso", false, DigestKind::Sha256, ""},
      {"MD5 only", "MD5 (disc1.iso) = 0123456789abcdef0123456789abcdef\n"
                   "0123456789abcdef0123456789abcdef  disc1.iso\n",
       "disc1.iso", false, DigestKind::Sha256, ""},
      {"BSD tag and length disagree", "SHA256 (disc1.iso) = " + H512 + "\n", "disc1.iso", false,
       DigestKind::Sha256, ""},
      {"two different hashes for the file", H256 + "  disc1.iso\n" + Other256 + "  disc1.iso\n",
       "disc1.iso", false, DigestKind::Sha256, ""},
      {"a web page", "<!DOCTYPE html><html>" + H256 + " disc1.iso</html>", "disc1.iso", false,
       DigestKind::Sha256, ""},
      {"empty", "", "disc1.iso", false, DigestKind::Sha256, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ListedHash found;
    EXPECT_EQ(FindListedHash(row.list, row.file, found), row.found);
    if (!row.found) continue;
    EXPECT_EQ(found.kind, row.kind);
    EXPECT_EQ(found.hex, row.hex);
  }
  EXPECT_TRUE(SameHash(DigestKind::Sha256, Upper(H256), H256));
  EXPECT_FALSE(SameHash(DigestKind::Sha512, H256, H256));
  EXPECT_FALSE(SameHash(DigestKind::Sha256, H256.substr(1) + "g", H256));
}
