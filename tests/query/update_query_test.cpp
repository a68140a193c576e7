// The update query's form and what its answers say, as every caller reads
// them.
#include "query/update_query.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cstring_printer.h"

namespace {
UpdateAnswer Read(const std::string& body) {
  return ReadUpdateAnswer({reinterpret_cast<const unsigned char*>(body.data()), body.size()});
}
}  // namespace

TEST(UpdateQuery, TheFormsCarryTheLoginAsItIs) {
  EXPECT_EQ(BuildLoginForm(L"12345", L"p&ss"), L"serial=12345&pwd=p&ss");
  EXPECT_EQ(BuildUpdateQuery(L"1", L"p", true, true), L"serial=1&pwd=p&notify=1&batch=1&clientversion=340");
  EXPECT_EQ(BuildUpdateQuery(L"1", L"p", false, false), L"serial=1&pwd=p&clientversion=340");
}

TEST(UpdateQuery, TheFirstByteSaysWhatAnAnswerIs) {
  EXPECT_EQ(Read("Client Update: http://h/c.exe"), UpdateAnswer::kClientUpdate);
  EXPECT_EQ(Read("Client Update: https://h/c.exe"), UpdateAnswer::kBadClientUpdate);
  EXPECT_EQ(Read("Client Update: http:/"), UpdateAnswer::kBadClientUpdate);
  EXPECT_EQ(Read("C0"), UpdateAnswer::kBadClientUpdate);
  EXPECT_EQ(Read("I0"), UpdateAnswer::kIncorrectLogin);
  EXPECT_EQ(Read(std::string("L\0\0\1", 4)), UpdateAnswer::kFileList);
  EXPECT_EQ(Read("U0"), UpdateAnswer::kNotRegistered);
  EXPECT_EQ(Read("OK"), UpdateAnswer::kUnknown);
  EXPECT_EQ(Read(""), UpdateAnswer::kUnknown);
}
