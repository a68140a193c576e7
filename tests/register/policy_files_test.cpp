// The policy folder on disk: storing the page and logo, the marker check,
// the refusal of planted links and the removal of the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/catalogue.h"
#include "platform/automation.h"
#include "platform/files.h"
#include "platform/text.h"
#include "register/policy_files.h"
#include "tests/register/register_fixture.h"
#include "tests/support/automation.h"

namespace fs = std::filesystem;
using register_tests::PrivateTemp;
using testing_support::FileExists;
using testing_support::OpenedLine;
using testing_support::ReadFile;
using testing_support::TakeOutput;
using testing_support::WriteFile;

namespace {
const std::string kMarker = "content=\"QX user-reg privacy policy\"";
const std::string kPage = "<html><head><meta name=\"x\" " + kMarker + "></head>\n<body>P</body>\n";
const std::string kLogo = std::string("\x89PNG\r\n\x1a\n\0\0logo", 14);

bool IsPolicy(const std::string& path, const std::string& text) {
  WriteFile(path, text);
  return IsPrivacyPolicyPage(CString(WideFromUtf8(path)));
}

bool Save(const std::string& page, const std::string& logo, CString& pagePath) {
  return SavePolicyAndOpen(reinterpret_cast<const unsigned char*>(page.data()),
                           reinterpret_cast<const unsigned char*>(logo.data()), page.size(),
                           logo.size(), pagePath);
}
}  // namespace

TEST(PolicyMarker, MatchesOnlyWholeAndWithinOneLine) {
  PrivateTemp temp;
  const std::string file = temp.Card().Path() + "/page.html";
  EXPECT_TRUE(IsPolicy(file, kPage));
  EXPECT_TRUE(IsPolicy(file, kMarker));
  EXPECT_FALSE(IsPolicy(file, "<meta content=\"QX user-reg\n privacy policy\">\n"));
  EXPECT_FALSE(IsPolicy(file, "content=\"QX User-reg privacy policy\"\n"));
  EXPECT_FALSE(IsPolicy(file, "content=\"QX user-reg privacy policy\n"));
  EXPECT_FALSE(IsPolicy(file, ""));
  EXPECT_FALSE(IsPrivacyPolicyPage(L"no-such-page.html"));
}

TEST(PolicyMarker, IsFoundInALaterPieceOfALongLine) {
  PrivateTemp temp;
  const std::string file = temp.Card().Path() + "/page.html";
  EXPECT_TRUE(IsPolicy(file, std::string(20000, 'x') + kMarker + "\n"));
  EXPECT_TRUE(IsPolicy(file, std::string(9000, 'x') + "\n" + kMarker));
}

TEST(PolicyFolder, ViewStoresPageAndLogoByteForByteAndOpensThePage) {
  PrivateTemp temp;
  TakeOutput();
  g_strPolicyFolder = L"";
  CString pagePath;
  ASSERT_TRUE(Save(kPage, kLogo, pagePath));
  const std::string folder = temp.PolicyFolder();
  EXPECT_EQ(ReadFile(folder + "/privacy_policy.html"), kPage);
  EXPECT_EQ(ReadFile(folder + "/qx-logo/qx-logo_QX_0.6.png"), kLogo);
  EXPECT_EQ(g_strPolicyFolder, CString(WideFromUtf8(NativePath(folder.c_str())) + L"\\"));
  EXPECT_EQ(pagePath, g_strPolicyFolder + L"privacy_policy.html");
  const auto output = TakeOutput();
  ASSERT_EQ(output.size(), 1u);
  EXPECT_EQ(output[0], OpenedLine(folder + "/privacy_policy.html"));
}

TEST(PolicyFolder, PageWithoutLogoOrLogoWithoutPageIsNeitherStoredNorShown) {
  PrivateTemp temp;
  TakeOutput();
  CString pagePath;
  EXPECT_FALSE(Save(kPage, "", pagePath));
  EXPECT_FALSE(Save("", kLogo, pagePath));
  EXPECT_FALSE(SavePolicyAndOpen(nullptr, nullptr, 0, 0, pagePath));
  EXPECT_FALSE(FileExists(temp.PolicyFolder()));
  EXPECT_TRUE(TakeOutput().empty());
}

TEST(PolicyFolder, PageWithoutMarkerIsReportedAndItsFilesStay) {
  PrivateTemp temp;
  TakeOutput();
  g_strPolicyFolder = L"earlier";
  CString pagePath;
  EXPECT_FALSE(Save("<html>some other page</html>\n", kLogo, pagePath));
  EXPECT_EQ(g_strPolicyFolder, L"earlier");
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/privacy_policy.html"));
  EXPECT_TRUE(FileExists(temp.PolicyFolder() + "/qx-logo/qx-logo_QX_0.6.png"));
  const auto output = TakeOutput();
  ASSERT_EQ(output.size(), 1u);
  EXPECT_EQ(output[0], std::wstring(L"MessageBox[error]: ") + EscapeAutomationText(GetMsg(77)));
}

#ifndef _WIN32  // POSIX links: on Windows a link is a reparse point, refused by the same code
TEST(PolicyFolder, PlantedLinksAreRefusedAndTheirTargetsUntouched) {
  PrivateTemp temp;
  TakeOutput();
  const std::string elsewhere = temp.Card().Path() + "/elsewhere";
  fs::create_directories(elsewhere);
  CString pagePath;

  // The folder itself is a link.
  fs::create_directory_symlink(elsewhere, temp.PolicyFolder());
  EXPECT_FALSE(Save(kPage, kLogo, pagePath));
  EXPECT_TRUE(fs::is_empty(elsewhere));
  fs::remove(temp.PolicyFolder());

  // The page file is a link to another file of the user.
  fs::create_directories(temp.PolicyFolder());
  WriteFile(elsewhere + "/precious.txt", "keep me");
  fs::create_symlink(elsewhere + "/precious.txt", temp.PolicyFolder() + "/privacy_policy.html");
  EXPECT_FALSE(Save(kPage, kLogo, pagePath));
  EXPECT_EQ(ReadFile(elsewhere + "/precious.txt"), "keep me");
  EXPECT_TRUE(TakeOutput().empty());
}
#endif

TEST(PolicyFolder, LogoThatCannotBeStoredDoesNotStopThePage) {
  PrivateTemp temp;
  TakeOutput();
  fs::create_directories(temp.PolicyFolder());
  WriteFile(temp.PolicyFolder() + "/qx-logo", "a file where the logo folder goes");
  CString pagePath;
  EXPECT_TRUE(Save(kPage, kLogo, pagePath));
}

#ifndef _WIN32  // POSIX links: on Windows a link is a reparse point, refused by the same code
TEST(PolicyFolder, DeleteFolderTreeRemovesNestedFilesButNotWhatLinksPointAt) {
  PrivateTemp temp;
  const std::string root = temp.Card().Path() + "/tree";
  WriteFile(root + "/a.txt", "a");
  WriteFile(root + "/sub/b.txt", "b");
  WriteFile(root + "/sub/deeper/c.txt", "c");
  fs::create_directories(root + "/empty");
  const std::string outside = temp.Card().Path() + "/outside";
  WriteFile(outside + "/keep.txt", "keep");
  fs::create_directory_symlink(outside, root + "/sub/link-to-outside");
  fs::create_symlink(outside + "/keep.txt", root + "/file-link");

  EXPECT_TRUE(DeleteFolderTree(CString(WideFromUtf8(root) + L"\\")));
  EXPECT_FALSE(FileExists(root));
  EXPECT_EQ(ReadFile(outside + "/keep.txt"), "keep");
}
#endif

TEST(PolicyFolder, DeleteFolderTreeOfAMissingFolderFails) {
  PrivateTemp temp;
  EXPECT_FALSE(DeleteFolderTree(CString(WideFromUtf8(temp.Card().Path()) + L"\\missing\\")));
  EXPECT_FALSE(DeleteFolderTree(L""));
}
