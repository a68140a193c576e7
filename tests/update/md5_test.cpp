#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/temp_card.h"
#include "tests/update/server_data.h"
#include "update/md5.h"

using testing_support::TempCard;

using testing_support::DigestHex;
namespace {
const auto Md5Of = &testing_support::Md5Hex;
}  // namespace

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(Md5Of(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Of("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Of("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Of("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                  "7890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingAtTheBlockBoundaries) {
  // 55 bytes leave room for the length in the last block; 56 and 64 need one more.
  EXPECT_EQ(Md5Of(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Md5Of(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Md5Of(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
}

TEST(Md5, PiecewiseUpdatesGiveTheSameDigest) {
  const std::string text(1000, 'x');
  CMd5 md5;
  md5.Init();
  for (size_t i = 0; i < text.size(); i += 7)
    md5.Update(reinterpret_cast<const unsigned char*>(text.data()) + i, std::min<size_t>(7, text.size() - i));
  md5.Final();
  EXPECT_EQ(DigestHex(md5.digest), Md5Of(text));
}

TEST(Md5, InitStartsOverAfterAFinalAndMidWay) {
  CMd5 md5;
  md5.Init();
  md5.Update(reinterpret_cast<const unsigned char*>("abc"), 3);
  ASSERT_TRUE(md5.Final());
  md5.Init();
  md5.Update(reinterpret_cast<const unsigned char*>("xyz"), 3);
  md5.Init();
  md5.Update(reinterpret_cast<const unsigned char*>("a"), 1);
  ASSERT_TRUE(md5.Final());
  EXPECT_EQ(DigestHex(md5.digest), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(Md5OfFile, DigestsFilesOfAnySize) {
  TempCard card;
  card.Write("empty.bin", "");
  // Larger than one read block, and not a multiple of it.
  std::string big;
  for (int i = 0; i < 200000; ++i) big += static_cast<char>(i * 31 + 7);
  card.Write("big.bin", big);
  unsigned char digest[16];
  ASSERT_TRUE(Md5OfFile("empty.bin", digest));
  EXPECT_EQ(DigestHex(digest), "d41d8cd98f00b204e9800998ecf8427e");
  ASSERT_TRUE(Md5OfFile("big.bin", digest));
  EXPECT_EQ(DigestHex(digest), Md5Of(big));
}

TEST(Md5OfFile, DecodesUtf8PathsAndTakesBackslashes) {
  TempCard card;
  card.Write("Daten/Prüfung ログ.txt", "abc");
  unsigned char digest[16];
  ASSERT_TRUE(Md5OfFile("Daten\\Prüfung ログ.txt", digest));
  EXPECT_EQ(DigestHex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5OfFile, FailureLeavesTheDigestAlone) {
  TempCard card;
  card.Write("folder/inner.txt", "x");
  unsigned char digest[16];
  std::memset(digest, 0xAB, sizeof digest);
  EXPECT_FALSE(Md5OfFile("missing.bin", digest));
  EXPECT_FALSE(Md5OfFile("folder", digest));
  for (unsigned char byte : digest) EXPECT_EQ(byte, 0xAB);
}
