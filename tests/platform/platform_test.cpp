#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "tests/support/environment.h"
#include "tests/support/temp_card.h"

using testing_support::TempCard;

TEST(Text, Utf8RoundTripsAndMalformedInputDecodesToReplacement) {
  const std::wstring text = L"a\u00e9\u3012\U0001F600";
  EXPECT_EQ(Utf8FromWide(text), "a\xC3\xA9\xE3\x80\x92\xF0\x9F\x98\x80");
  EXPECT_EQ(WideFromUtf8(Utf8FromWide(text)), text);
  EXPECT_EQ(WideFromUtf8("a\xC3"), L"a\uFFFD");
  EXPECT_EQ(WideFromUtf8("\xE3\x80"), L"\uFFFD\uFFFD");
  EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf16Length(text), 5u);
}

TEST(Text, FixedBufferConversionsCountTheTerminatorAndRefuseSmallBuffers) {
  char bytes[4];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u3012", -1, bytes, 4, nullptr, nullptr), 4);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u3012", -1, bytes, 3, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"abc", -1, nullptr, 0, nullptr, nullptr), 4);
  wchar_t wide[3];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, wide, 3), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 3), 0);
}

#ifdef _WIN32
// On Windows the module path, the language and the temporary folder are the
// system's own calls; the POSIX mappings below do not exist there.
TEST(Platform, ModulePathIsTheProgramOnItsDrive) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(path[1], L':');
  EXPECT_NE(std::wstring(path, n).find(L"platform_tests.exe"), std::wstring::npos);
}
#else
TEST(Platform, LanguageIdFollowsTheLocale) {
  EXPECT_EQ(LanguageIdFromLocale("ja_JP.UTF-8"), 0x0411);
  EXPECT_EQ(LanguageIdFromLocale("ja"), 0x0411);
  EXPECT_EQ(LanguageIdFromLocale("en_US.UTF-8"), 0x0409);
  for (const char* other : {"C.UTF-8", "ko_KR.UTF-8", "zh_CN.UTF-8", "de_DE", "POSIX", "jam"})
    EXPECT_NE(LanguageIdFromLocale(other), 0x0411) << other;
}

TEST(Platform, ModulePathIsCutToTheBuffer) {
  wchar_t path[255];
  const DWORD n = GetModuleFileNameW(nullptr, path, 255);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(path[0], L'/');
  wchar_t small[8];
  EXPECT_EQ(GetModuleFileNameW(nullptr, small, 8), 7u);
  EXPECT_EQ(small[7], L'\0');
}

TEST(Platform, TempPathIsAPrivateFolderOfOurs) {
  wchar_t path[260];
  const DWORD n = GetTempPathW(260, path);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(path[n - 1], L'/');
  struct stat st;
  ASSERT_EQ(stat(Utf8FromWide(path).c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(st.st_uid, getuid());
}

TEST(Platform, TempPathRefusesAPlantedLink) {
  TempCard base;
  const std::string tmp = base.Path();
  const std::string folder = tmp + "/koral70-" + std::to_string(getuid());
  ASSERT_EQ(symlink("/", folder.c_str()), 0);
  const std::string oldTmp = GetEnvironmentText("TMPDIR");
  const std::string oldRuntime = GetEnvironmentText("XDG_RUNTIME_DIR");
  setenv("TMPDIR", tmp.c_str(), 1);
  unsetenv("XDG_RUNTIME_DIR");
  wchar_t path[260];
  EXPECT_EQ(GetTempPathW(260, path), 0u);
  unlink(folder.c_str());
  EXPECT_GT(GetTempPathW(260, path), 0u);
  setenv("TMPDIR", oldTmp.c_str(), 1);
  if (oldTmp.empty()) unsetenv("TMPDIR");
  if (!oldRuntime.empty()) setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
}

#endif

TEST(Files, BackslashPathsWorkAndFoldersReportExisting) {
  TempCard card;
  EXPECT_TRUE(CreateDirectoryW(L"Support", nullptr));
  EXPECT_FALSE(CreateDirectoryW(L"Support", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(CreateDirectoryW(L"Support\\updater", nullptr));
  std::FILE* f = fopenUtf8("Support\\updater\\koral70.exe", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("exe", f);
  std::fclose(f);
  EXPECT_EQ(FileSizeUtf8("Support\\updater\\koral70.exe"), 3);
  EXPECT_EQ(FileSizeUtf8("Support\\updater"), -1);
  EXPECT_TRUE(CopyFileW(L"Support\\updater\\koral70.exe", L"copy.exe", FALSE));
  EXPECT_FALSE(CopyFileW(L"Support\\updater\\koral70.exe", L"copy.exe", TRUE));
  EXPECT_EQ(card.Read("copy.exe"), "exe");
  EXPECT_FALSE(RemoveDirectoryW(L"Support\\updater"));
  EXPECT_TRUE(DeleteFileW(L"Support\\updater\\koral70.exe"));
  EXPECT_TRUE(RemoveDirectoryW(L"Support\\updater"));
}

TEST(Files, EnumerationIncludesDotEntriesAndMarksFolders) {
  TempCard card;
  card.Write("a.txt", "1");
  card.Write("sub/b.log", "2");
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(L"*.*", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::set<std::wstring> names, folders;
  do {
    names.insert(data.cFileName);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.insert(data.cFileName);
  } while (FindNextFileW(h, &data));
  FindClose(h);
  EXPECT_EQ(names, (std::set<std::wstring>{L".", L"..", L"a.txt", L"sub"}));
  EXPECT_EQ(folders, (std::set<std::wstring>{L".", L"..", L"sub"}));
  h = FindFirstFileW(L"sub\\*.log", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, L"b.log");
  FindClose(h);
  EXPECT_EQ(FindFirstFileW(L"missing\\*.*", &data), INVALID_HANDLE_VALUE);
}

TEST(Files, FullPathJoinsTheCurrentDirectory) {
  TempCard card;
  wchar_t full[1024];
  const DWORD n = GetFullPathNameW(L"*.*", 1024, full, nullptr);
#ifdef _WIN32
  EXPECT_EQ(std::wstring(full, n), WideFromUtf8(card.Path()) + L"\\*.*");
#else
  EXPECT_EQ(std::wstring(full, n), WideFromUtf8(card.Path()) + L"/*.*");
#endif
}

