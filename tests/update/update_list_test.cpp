#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "update/update_list.h"

namespace {
// The wire form of one entry: nSize big-endian.
std::string WireEntry(const std::string& name, std::uint32_t size, const std::string& tag = "v1",
                      unsigned char localDigest = 0, unsigned char digestByte = 0x11) {
  std::string entry(284, '\0');
  std::memcpy(entry.data(), name.data(), std::min<size_t>(name.size(), 248));
  entry[248] = static_cast<char>(size >> 24);
  entry[249] = static_cast<char>(size >> 16);
  entry[250] = static_cast<char>(size >> 8);
  entry[251] = static_cast<char>(size);
  std::memcpy(entry.data() + 252, tag.data(), tag.size());
  entry[267] = static_cast<char>(localDigest);
  for (int i = 0; i < 16; ++i) entry[268 + i] = static_cast<char>(digestByte + i);
  return entry;
}

std::string ListBody(std::uint32_t count, const std::string& entries) {
  std::string body = "L";
  body += '\0';
  body += static_cast<char>(count >> 8);
  body += static_cast<char>(count);
  return body + entries;
}

ListResult Convert(const std::string& body, std::vector<UpdateFileEntry>& list) {
  return ConvertUpdateList(reinterpret_cast<const unsigned char*>(body.data()),
                           static_cast<std::uint32_t>(body.size()), list);
}
}  // namespace

TEST(UpdateList, ConvertsEntriesInOrderWithNativeSizes) {
  const std::string body = ListBody(2, WireEntry("Reports\\table.css", 0x01020304, "2024-05", 0, 0x40) +
                                           WireEntry("a.bin", 7, "tag", 1, 0x80));
  std::vector<UpdateFileEntry> list;
  ASSERT_EQ(Convert(body, list), ListResult::kOk);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_STREQ(list[0].szName, "Reports\\table.css");
  EXPECT_EQ(list[0].nSize, 0x01020304u);
  EXPECT_EQ(std::memcmp(list[0].szTag, "2024-05\0\0\0\0\0\0\0\0", 15), 0);
  EXPECT_EQ(list[0].bLocalDigest, 0);
  EXPECT_EQ(list[0].abDigest[0], 0x40);
  EXPECT_EQ(list[0].abDigest[15], 0x4F);
  EXPECT_STREQ(list[1].szName, "a.bin");
  EXPECT_EQ(list[1].nSize, 7u);
  EXPECT_EQ(list[1].bLocalDigest, 1);
  // The record is the wire entry with only nSize turned around.
  const std::string wire = WireEntry("a.bin", 7, "tag", 1, 0x80);
  EXPECT_EQ(std::memcmp(&list[1], wire.data(), 248), 0);
  EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(&list[1]) + 252, wire.data() + 252, 32), 0);
}

TEST(UpdateList, LengthRules) {
  std::vector<UpdateFileEntry> list;
  // Count 0: a 4-byte body is too short, not a length mismatch.
  EXPECT_EQ(Convert(ListBody(0, ""), list), ListResult::kTooShort);
  EXPECT_EQ(Convert(std::string("L\0\0\1", 4) + std::string(25, 'x'), list), ListResult::kTooShort);
  // Count 1 with one byte too many.
  EXPECT_EQ(Convert(ListBody(1, WireEntry("a", 1) + "x"), list), ListResult::kBadLength);
  EXPECT_EQ(Convert(ListBody(2, WireEntry("a", 1)), list), ListResult::kBadLength);
  EXPECT_TRUE(list.empty());
  // Count 300 must be exactly 85204 bytes.
  std::string entries;
  for (int i = 0; i < 300; ++i) entries += WireEntry(std::string("f").append(std::to_string(i)), 1);
  const std::string body = ListBody(300, entries);
  ASSERT_EQ(body.size(), 85204u);
  EXPECT_EQ(Convert(body, list), ListResult::kOk);
  EXPECT_EQ(list.size(), 300u);
  EXPECT_EQ(Convert(body.substr(0, body.size() - 1), list), ListResult::kBadLength);
}

TEST(UpdateList, AListTakenInPiecesIsTheSameAndATryAgainStartsOver) {
  const std::string body = ListBody(3, WireEntry("a", 1) + WireEntry("b\\c", 2) + WireEntry("d", 3));
  std::vector<UpdateFileEntry> whole, list;
  ASSERT_EQ(Convert(body, whole), ListResult::kOk);
  CUpdateListSink sink(list);
  const auto* bytes = reinterpret_cast<const unsigned char*>(body.data());
  for (std::size_t piece : {1u, 3u, 283u, 285u}) {
    sink.Restart();
    sink.Write(bytes, 500);  // a try cut off inside the second entry
    sink.Restart();
    for (std::size_t at = 0; at < body.size(); at += piece) sink.Write(bytes + at, std::min(piece, body.size() - at));
    EXPECT_EQ(sink.Finish(), ListResult::kOk) << piece;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(std::memcmp(list.data(), whole.data(), sizeof(UpdateFileEntry) * 3), 0);
    EXPECT_EQ(sink.Kept().size(), kListHeaderBytes);
  }
  // Any other answer is kept whole, and is no list.
  const std::string refused = "Incorrect login";
  const auto* text = reinterpret_cast<const unsigned char*>(refused.data());
  sink.Restart();
  for (std::size_t at = 0; at < refused.size(); at += 2) sink.Write(text + at, std::min<std::size_t>(2, refused.size() - at));
  EXPECT_EQ(std::string(sink.Kept().begin(), sink.Kept().end()), refused);
  EXPECT_EQ(sink.Finish(), ListResult::kTooShort);
  EXPECT_TRUE(list.empty());
}

TEST(UpdateList, RefusesNamesThatWouldLeaveTheCard) {
  const char* unsafe[] = {"",          "\\evil.txt", "/etc/passwd", "C:\\evil.txt", "C:evil",
                          "..\\evil",  "a\\..\\..\\evil", "a/../evil",  "a\\\\b",       "a\\.\\b",
                          "a\\",       ".",           "folder\\.."};
  for (const char* name : unsafe) {
    std::vector<UpdateFileEntry> list;
    const std::string body = ListBody(2, WireEntry("good.txt", 1) + WireEntry(name, 1));
    EXPECT_EQ(Convert(body, list), ListResult::kUnsafeName) << name;
    EXPECT_TRUE(list.empty());
  }
  // A name without its terminator within the 248 bytes.
  std::vector<UpdateFileEntry> list;
  EXPECT_EQ(Convert(ListBody(1, WireEntry(std::string(248, 'n'), 1)), list), ListResult::kUnsafeName);
  EXPECT_EQ(Convert(ListBody(1, WireEntry(std::string(247, 'n'), 1)), list), ListResult::kOk);
  for (const char* name : {"a..b", "..a", "Support\\updater\\koral70.exe", "d\\e f\\ロ.txt"})
    EXPECT_EQ(Convert(ListBody(1, WireEntry(name, 1)), list), ListResult::kOk) << name;
}

TEST(UpdateList, RefusesNamesAWindowsCardCannotHold) {
  const char* refused[] = {"a*.txt", "a?.txt", "say\"hi\".txt", "a<b", "a>b", "a|b", "tab\there",
                           "bell\x07", "del\x1f", "dot.", "blank ", "dir.\\a.txt", "dir \\a.txt",
                           "CON", "con.txt", "Prn.log", "AUX", "nul.tar.gz", "COM1", "com9.txt",
                           "LPT1", "lpt9", "CON\\a.txt", "Data\\AUX\\b.txt"};
  for (const char* name : refused) {
    std::vector<UpdateFileEntry> list;
    EXPECT_EQ(Convert(ListBody(1, WireEntry(name, 1)), list), ListResult::kUnsafeName) << name;
  }
  std::vector<UpdateFileEntry> list;
  for (const char* name : {"CONSOLE.txt", "COM10", "COM0", "LPT", "a.b.c", "nul_file", "Con-fig\\x.ini"})
    EXPECT_EQ(Convert(ListBody(1, WireEntry(name, 1)), list), ListResult::kOk) << name;
}

TEST(UpdateList, ShortNameIsThePartAfterTheLastBackslash) {
  EXPECT_STREQ(ShortName("Reports\\x\\table.css"), "table.css");
  EXPECT_STREQ(ShortName("table.css"), "table.css");
}
