// The user-manual download end to end: the main window in the headless
// backend, the job on its thread, real HTTP to the reference server (or to a
// loopback server that gives the manual script's odd answers), real files.
#include "manual/manual_job.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <random>

#include "app/main_dialog.h"
#include "core/product.h"
#include "manual/manual_download.h"
#include "res/resource.h"
#include "tests/net/loopback_server.h"
#include "tests/support/automation.h"
#include "tests/support/environment.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/process.h"
#include "tests/support/temp_card.h"

namespace {

using testing_support::Click;
using testing_support::FileExists;
#ifndef _WIN32
using testing_support::FileSizeLimit;
#endif
using testing_support::ReadFile;
using testing_support::SaveFile;
using testing_support::ServerProcess;
using testing_support::Set;
using testing_support::SetScript;
using testing_support::Step;
using testing_support::TakeOutput;
using testing_support::TempCard;

const std::wstring kConnected = L"Connecting to server... OK\r\n\r\n";
const std::wstring kDownloading = kConnected + L"Downloading user manual...";
// An answer that names no usable manual, and the line its box leaves.
const std::wstring kRefusedReply = kConnected + L"  * Invalid Response from server\r\n";
// The three waits of an exchange that fails on every try.
const std::wstring kLostThrice = L"\r\n  Connection lost; trying again in 1 s (2 of 4)\r\n"
                                 L"\r\n  Connection lost; trying again in 2 s (3 of 4)\r\n"
                                 L"\r\n  Connection lost; trying again in 4 s (4 of 4)\r\n";
const std::wstring kSerial = L"K70000001";
const std::wstring kPassword = L"manual-pw";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ManualBytes() {
  std::string bytes = "%PDF-1.4\n";
  std::mt19937 random(70);
  while (bytes.size() < 300000) bytes += static_cast<char>(random() & 0xFF);
  return bytes;
}

class ManualJobTest : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    m_data.Write("accounts.txt", Narrow(kSerial + L" " + kPassword + L" L\n"));
    m_data.Write("manual/manual_en.pdf", m_pdf);
    m_target = m_card.Path() + "/saved/manual copy.pdf";
    std::filesystem::create_directory(m_card.Path() + "/saved");
    // The download's temporary file goes to a private folder of the test.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) m_savedRuntime = runtime;
    if (const char* tmpdir = std::getenv("TMPDIR")) m_savedTmpdir = tmpdir;
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", m_temp.Path().c_str(), 1);
    TakeOutput();
  }
  void TearDown() override {
    unsetenv("KORAL70_UPDATE_URL");
    LoadServerAddresses();
    if (!m_savedRuntime.empty()) setenv("XDG_RUNTIME_DIR", m_savedRuntime.c_str(), 1);
    if (m_savedTmpdir.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", m_savedTmpdir.c_str(), 1);
  }

  // The download's temporary files still in the temporary folder.
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& item : std::filesystem::recursive_directory_iterator(m_temp.Path()))
      if (item.path().filename().string().rfind("koral70-manual-", 0) == 0) found.push_back(item.path().string());
    return found;
  }

  // Starts the reference server on the test's data, with fault switches.
  void StartServer(std::vector<std::string> faults = {}) {
    std::vector<std::string> arguments = {"--data", m_data.Path()};
    for (auto& fault : faults) arguments.insert(arguments.end(), {"--fault", fault});
    m_server = std::make_unique<ServerProcess>(arguments);
    ASSERT_TRUE(m_server->Started());
    setenv("KORAL70_UPDATE_URL", m_server->BaseUrl().c_str(), 1);
    LoadServerAddresses();
  }

  // Presses "Download user manual" with the credentials typed in and answers
  // the save dialog with saveCommand; returns the final status log.
  std::wstring Run(const std::wstring& saveCommand, std::vector<Step> after = {}) {
    std::vector<Step> steps = {Set(IDC_SERIAL, kSerial), Set(IDC_PASSWORD, m_password), Click(IDC_DOWNLOAD_MANUAL),
                               saveCommand};
    steps.insert(steps.end(), after.begin(), after.end());
    CHalyardDlg dialog;
    m_dialog = &dialog;
    SetScript(steps);
    dialog.DoModal();
    m_dialog = nullptr;
    return dialog.GetStatusText().str();
  }

  const std::string m_pdf = ManualBytes();
  TempCard m_temp;
  TempCard m_data;
  TempCard m_card;
  std::string m_savedRuntime;
  std::string m_savedTmpdir;
  std::string m_target;
  std::wstring m_password = kPassword;
  std::unique_ptr<ServerProcess> m_server;
  CHalyardDlg* m_dialog = nullptr;
};

TEST_F(ManualJobTest, DownloadsSavesAndOpensTheManual) {
  StartServer();
  const std::wstring status = Run(SaveFile(m_target), {[&] {
                                    CString count;
                                    m_dialog->GetDlgItem(IDC_COUNT_TEXT)->GetWindowText(count);
                                    EXPECT_EQ(count, L"292/292 KB");
                                    EXPECT_TRUE(m_dialog->GetDlgItem(IDC_COUNT_BAR)->IsWindowVisible());
                                    EXPECT_TRUE(m_dialog->GetDlgItem(IDC_COUNT_TEXT)->IsWindowVisible());
                                    EXPECT_TRUE(m_dialog->GetDlgItem(IDC_DOWNLOAD_MANUAL)->IsWindowEnabled());
                                  }});
  EXPECT_EQ(status, kDownloading + L" OK\r\n\r\nUser manual:\r\n  * manual copy.pdf");
  EXPECT_EQ(ReadFile(m_target), m_pdf);
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{testing_support::OpenedLine(m_target)});
  EXPECT_TRUE(m_server->WaitForLog("REQ POST /script/manual.php serial=K70000001&pwd=manual-pw"));
  EXPECT_TRUE(m_server->WaitForLog("REQ GET /docs/manual_en.pdf"));
  EXPECT_TRUE(Temporaries().empty());
}

#ifndef _WIN32  // the desktop's opener is xdg-open, found on PATH
TEST_F(ManualJobTest, WithoutAPdfViewerTheMessageNamesTheSavedManual) {
  StartServer();
  testing_support::DesktopShell noViewer(m_card.Path());
  Run(SaveFile(m_target));
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[information]: The manual was saved as " +
                                                    WideFromUtf8(m_target) + L",\\r\\nbut no program to show PDF "
                                                    L"files was found.\\r\\nOpen it with a PDF viewer."});
}
#endif

TEST_F(ManualJobTest, AQueryOrManualThatTheNetworkFailedIsTriedAgain) {
  StartServer({"/script/manual.php:status503:1", "/docs/manual_en.pdf:reset:2"});
  const std::wstring status = Run(SaveFile(m_target));
  EXPECT_NE(status.find(L"The server is busy; trying again in 1 s (2 of 4)"), std::wstring::npos);
  EXPECT_NE(status.find(L"Connection lost; trying again in 2 s (3 of 4)"), std::wstring::npos);
  EXPECT_TRUE(ReadFile(m_target) == m_pdf);
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(ManualJobTest, MissingCredentialsAreReportedBeforeAnyRequest) {
  StartServer();
  CHalyardDlg dialog;
  SetScript({Click(IDC_DOWNLOAD_MANUAL)});
  dialog.DoModal();
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[none]: Need User ID and Password"});
  for (const auto& line : m_server->Log()) EXPECT_EQ(line.find("REQ"), std::string::npos) << line;
}

TEST_F(ManualJobTest, FailedQueryAndShortRepliesAreReported) {
  StartServer({"/script/manual.php:drop"});
  EXPECT_EQ(Run(SaveFile(m_target)), L"Connecting to server..." + kLostThrice +
                                         L" Error\r\n\r\n  Cause: the transfer failed (Empty reply from "
                                         L"server); check your internet connection and try again\r\n\r\n"
                                         L"  * Cannot connect to server\r\n");
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[none]: Cannot connect to server"});
  // One byte: the step fails.
  StartServer({"/script/manual.php:short1"});
  EXPECT_EQ(Run(SaveFile(m_target)), L"Connecting to server... Error\r\n\r\n  * Invalid Response from server\r\n");
  EXPECT_EQ(TakeOutput(),
            std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
  // A wrong password gives the two bytes "NG": the step succeeds, the answer does not.
  StartServer();
  m_password = L"wrong";
  EXPECT_EQ(Run(SaveFile(m_target)), kRefusedReply);
  EXPECT_EQ(TakeOutput(),
            std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
  EXPECT_FALSE(FileExists(m_target));
}

TEST_F(ManualJobTest, ErrorStatusOrBrokenPdfTransferIsAFailedDownload) {
  for (const char* fault : {"/docs/manual_en.pdf:status500", "/docs/manual_en.pdf:truncate"}) {
    StartServer({fault});
    const std::wstring status = Run(SaveFile(m_target));
    EXPECT_EQ(status.rfind(kDownloading + L"\r\n  ", 0), 0u) << fault;
    EXPECT_NE(status.find(L"(4 of 4)\r\n Error\r\n\r\n  Cause: "), std::wstring::npos) << fault;
    EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[none]: Error downloading data"});
    EXPECT_FALSE(FileExists(m_target));
    EXPECT_TRUE(Temporaries().empty()) << fault;
  }
}

TEST_F(ManualJobTest, CancelledSaveLeavesNoFileAndShowsNothing) {
  StartServer();
  EXPECT_EQ(Run(L"savefile-cancel"), kDownloading);
  EXPECT_TRUE(TakeOutput().empty());
  EXPECT_FALSE(FileExists(m_target));
  EXPECT_TRUE(Temporaries().empty());
}

#ifndef _WIN32  // a full card is a file size limit (RLIMIT_FSIZE), which Windows lacks; and /dev/full
TEST_F(ManualJobTest, FileThatCannotBeWrittenIsReportedAndRemoved) {
  StartServer();
  const std::wstring failed =
      kDownloading + L" Error\r\n\r\nUser manual downloaded failed: Error\r\n  * File cannot be saved\r\n";
  const std::vector<std::wstring> box = {L"MessageBox[none]: File cannot be saved"};

  EXPECT_EQ(Run(SaveFile(m_card.Path() + "/no such folder/m.pdf")), failed);
  EXPECT_EQ(TakeOutput(), box);

  // The device takes the open but not the bytes; it is not removed.
  EXPECT_EQ(Run(SaveFile("/dev/full")), failed);
  EXPECT_EQ(TakeOutput(), box);
  struct stat device;
  EXPECT_EQ(stat("/dev/full", &device), 0);

  EXPECT_TRUE(Temporaries().empty());
}

// The manual goes to a temporary file as it arrives; a temporary folder that
// cannot hold it ends the transfer, and nothing is saved or left behind.
TEST_F(ManualJobTest, DownloadThatCannotBeKeptIsAMemoryError) {
  StartServer();
  std::wstring status;
  {
    FileSizeLimit full(100000);  // the manual has 300000 bytes
    ASSERT_TRUE(full.IsSet());
    status = Run(SaveFile(m_target));
  }
  EXPECT_EQ(status, kDownloading + L" Error\r\n\r\n  * Memory Error\r\n");
  EXPECT_EQ(TakeOutput(), std::vector<std::wstring>{L"MessageBox[none]: Memory Error"});
  EXPECT_FALSE(FileExists(m_target));
  EXPECT_TRUE(Temporaries().empty());
}

// The checked save on its own: what was kept is copied whole, and a file
// that fills up part-way is not left behind half written.
TEST_F(ManualJobTest, SaveCopiesEveryByteOrRemovesThePartialFile) {
  CManualDownload download;
  ASSERT_TRUE(download.Open());
  for (size_t at = 0; at < m_pdf.size(); at += 7000) {
    const std::string chunk = m_pdf.substr(at, 7000);
    ASSERT_TRUE(download.Write(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size()));
  }
  ASSERT_TRUE(download.Finish());
  ASSERT_EQ(Temporaries().size(), 1u);
  const CString target(std::wstring(m_target.begin(), m_target.end()));
  {
    FileSizeLimit full(100000);
    ASSERT_TRUE(full.IsSet());
    EXPECT_FALSE(download.SaveTo(target));
  }
  EXPECT_FALSE(FileExists(m_target));
  // The kept bytes are still whole: a second save succeeds.
  EXPECT_TRUE(download.SaveTo(target));
  EXPECT_TRUE(ReadFile(m_target) == m_pdf);
}

TEST_F(ManualJobTest, TheTemporaryFileGoesWithTheDownload) {
  {
    CManualDownload download;
    ASSERT_TRUE(download.Open());
    EXPECT_EQ(Temporaries().size(), 1u);
  }
  EXPECT_TRUE(Temporaries().empty());
}
#endif

// The manual script's answer taken from a loopback server that says what a
// test wants.
class ManualReplyTest : public ManualJobTest {
 protected:
  void Answer(const std::string& reply) {
    m_reply = reply;
    m_fake.Server().Post("/script/manual.php", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(m_reply, "text/plain");
    });
    ASSERT_TRUE(m_fake.Start());
    setenv("KORAL70_UPDATE_URL", m_fake.BaseUrl().c_str(), 1);
    LoadServerAddresses();
  }
  std::string m_reply;
  testing_support::LoopbackServer m_fake;
};

TEST_F(ManualReplyTest, HttpsAddressIsRejected) {
  Answer("PDF AT: https://127.0.0.1/docs/manual_en.pdf");
  EXPECT_EQ(Run(SaveFile(m_target)), kRefusedReply);
  EXPECT_EQ(TakeOutput(),
            std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
}

TEST_F(ManualReplyTest, LowerCasePrefixIsRejected) {
  Answer("pdf at: http://127.0.0.1/docs/manual_en.pdf");
  EXPECT_EQ(Run(SaveFile(m_target)), kRefusedReply);
  EXPECT_EQ(TakeOutput(),
            std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
}

TEST_F(ManualReplyTest, AddressLongerThanTheUrlBufferIsRejected) {
  Answer("PDF AT: http://127.0.0.1/" + std::string(500 - 17, 'a'));  // 500 bytes
  EXPECT_EQ(Run(SaveFile(m_target)), kRefusedReply);
  EXPECT_EQ(TakeOutput(),
            std::vector<std::wstring>{L"MessageBox[none]: Invalid Response from server"});
}

TEST(SuggestedManualName, IsThePartAfterTheLastSlash) {
  EXPECT_EQ(SuggestedManualName("PDF AT: http://host/docs/manual_en.pdf"), L"manual_en.pdf");
  EXPECT_EQ(SuggestedManualName("PDF AT: http://host/manual.pdf"), L"manual.pdf");
  // A "/" among the last three bytes is passed over.
  EXPECT_EQ(SuggestedManualName("PDF AT: http://host/docs/ab/"), L"ab/");
  EXPECT_EQ(SuggestedManualName("PDF AT: http://host/a/b/c"), L"b/c");
  EXPECT_EQ(SuggestedManualName("no slash"), L"no slash");
  EXPECT_EQ(SuggestedManualName("PDF AT: http://host/\xe6\x89\x8b.pdf"), L"\u624b.pdf");
}

TEST(SuggestedManualName, LongNamesAreCutTo99Utf16Units) {
  const std::string prefix = "PDF AT: http://host/";
  EXPECT_EQ(SuggestedManualName(prefix + std::string(99, 'n')).GetLength(), 99);
  EXPECT_EQ(SuggestedManualName(prefix + std::string(150, 'n')), CString(std::wstring(99, L'n')));
  // A character beyond the basic plane takes two units and is never split.
  std::string name(98, 'n');
  name += "\xf0\x9f\x93\x84";  // U+1F4C4
  EXPECT_EQ(SuggestedManualName(prefix + name), CString(std::wstring(98, L'n')));
}

// The client binary as a user runs it: credentials from the card's pass.ini,
// commands on standard input.
TEST_F(ManualJobTest, ClientBinarySavesTheManualFromTheCardsCredentials) {
  StartServer();
  m_card.Write("pass.ini", "serial=K70000001\r\npass=manual-pw\r\n");
  const auto result = testing_support::RunProcess(
      {testing_support::ClientBinary()}, testing_support::Input({Click(IDC_DOWNLOAD_MANUAL), SaveFile(m_target)}), m_card.Path(),
      {{"KORAL70_UI", "headless"}, {"KORAL70_UPDATE_URL", m_server->BaseUrl()}});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, Utf8FromWide(testing_support::OpenedLine(m_target)) +
                            "\nStatusLog: Connecting to server... OK\\r\\n\\r\\n"
                            "Downloading user manual... OK\\r\\n\\r\\n"
                            "User manual:\\r\\n  * manual copy.pdf\n");
  EXPECT_EQ(ReadFile(m_target), m_pdf);
}

}  // namespace
