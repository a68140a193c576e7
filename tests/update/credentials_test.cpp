#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/cstring_printer.h"
#include "update/credentials.h"

namespace {
struct Credentials {
  CString serial, password;
};

Credentials Read(const std::string& content) {
  std::FILE* file = std::tmpfile();
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  Credentials c;
  ReadCredentials(file, c.serial, c.password);
  std::fclose(file);
  return c;
}
}  // namespace

TEST(Credentials, ReadsBothLinesWithTheirLineEndsRemoved) {
  auto c = Read("serial=12345\r\npass=secret\r\n");
  EXPECT_EQ(c.serial, L"12345");
  EXPECT_EQ(c.password, L"secret");
  c = Read("serial=12345\npass=p@ss word\n");
  EXPECT_EQ(c.serial, L"12345");
  EXPECT_EQ(c.password, L"p@ss word");
}

TEST(Credentials, AByteOrderMarkBeforeTheFirstLineIsSkipped) {
  const auto c = Read("\xEF\xBB\xBFserial=12345\r\npass=secret\r\n");
  EXPECT_EQ(c.serial, L"12345");
  EXPECT_EQ(c.password, L"secret");
}

TEST(Credentials, CutsLongValues) {
  EXPECT_EQ(Read("serial=123456789012\n").serial, L"123456789");
  // The password keeps 19 bytes, cut back to a whole UTF-8 character: 18
  // ASCII bytes and a 2-byte "é" would make 20.
  EXPECT_EQ(Read("serial=1\npass=abcdefghijklmnopqr\xC3\xA9xyz\n").password,
            L"abcdefghijklmnopqr");
  EXPECT_EQ(Read("serial=1\npass=abcdefghijklmnopq\xC3\xA9xyz\n").password,
            L"abcdefghijklmnopq\u00e9");
}

TEST(Credentials, PrefixesMustStartTheirOwnLine) {
  auto c = Read("pass=secret\nserial=12\n");
  EXPECT_EQ(c.serial, L"");
  EXPECT_EQ(c.password, L"");
  EXPECT_EQ(Read("Serial=12\npass=x\n").serial, L"");
  EXPECT_EQ(Read("Serial=12\npass=x\n").password, L"x");
  c = Read("serial=42");
  EXPECT_EQ(c.serial, L"42");
  EXPECT_EQ(c.password, L"");
  EXPECT_EQ(Read("serial=1\npass=\r\n").password, L"");
}

TEST(Credentials, ALongFirstLineIsReadInTwoPieces) {
  // 99 characters fill the first read; the rest of line 1 is taken as line 2.
  const std::string first = "serial=123" + std::string(89, 'x') + "pass=fromline1\n";
  auto c = Read(first + "pass=real\n");
  EXPECT_EQ(c.serial, L"123xxxxxx");
  EXPECT_EQ(c.password, L"fromline1");
}

TEST(Credentials, UnicodeSerialsDecodeFromUtf8) {
  EXPECT_EQ(Read("serial=\xE3\x83\x86\xE3\x82\xB9\n").serial, L"テス");
}
