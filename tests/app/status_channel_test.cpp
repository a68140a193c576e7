// The window's job reporter and the main window that shows what it reports,
// with the real window in the headless backend and real worker threads.
#include "app/status_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/catalogue.h"
#include "app/main_dialog.h"
#include "framework/backend.h"
#include "platform/system.h"
#include "framework/uiqueue.h"
#include "res/resource.h"
#include "tests/support/automation.h"
#include "tests/support/temp_card.h"

namespace {

using testing_support::Click;
using testing_support::Set;
using testing_support::SetScript;
using testing_support::TempCard;

std::wstring TextOf(CDialog& dialog, int id) {
  CString text;
  dialog.GetDlgItem(id)->GetWindowText(text);
  return text.str();
}

int BarMax(CDialog& dialog, int id) {
  return static_cast<int>(dialog.GetDlgItem(id)->SendMessage(PBM_GETRANGE, 0, 0));
}

int BarPos(CDialog& dialog, int id) {
  return static_cast<int>(dialog.GetDlgItem(id)->SendMessage(PBM_GETPOS, 0, 0));
}

void RunQueued() {
  while (afx::RunOneQueued()) {
  }
}

class StatusChannelTest : public testing::Test {
 protected:
  void SetUp() override { testing_support::TakeOutput(); }
  void TearDown() override { g_statusQueue.Clear(); }

  // A reporter to the test's window whose clock moves only when the test
  // moves it.
  CWindowReporter Reporter() { return CWindowReporter(m_dialog.GetSafeHwnd(), [this] { return m_now; }); }

  TempCard m_card;
  CHalyardDlg m_dialog;
  ULONGLONG m_now = 1000;
};

TEST_F(StatusChannelTest, CountLineShowsWholeKilobytesAndTheBarStaysProportional) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    auto progress = [&](double total, double now) {
      m_now += kProgressIntervalMs;
      CountProgressCallback(&reporter, total, now, 0, 0);
      RunQueued();
    };
    reporter.SetCountUnit(L"KB");
    // Below a kilobyte the line counts bytes.
    progress(1023, 728);
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"728/1023 B");

    // No size announced: the total grows with what has arrived.
    progress(0, 5 * 1024.0);
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"5/5 KB");

    progress(2 * 1048576.0, 1048576);
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"1024/2048 KB");
    EXPECT_EQ(BarMax(m_dialog, IDC_COUNT_BAR), 2048);
    EXPECT_EQ(BarPos(m_dialog, IDC_COUNT_BAR), 1024);

    // 100,000 KB does not fit a 16-bit range: range and position shrink together.
    progress(100000 * 1024.0, 25000 * 1024.0);
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"25000/100000 KB");
    const int max = BarMax(m_dialog, IDC_COUNT_BAR);
    EXPECT_GT(max, 0);
    EXPECT_LE(max, 0x7FFF);
    EXPECT_NEAR(BarPos(m_dialog, IDC_COUNT_BAR), max / 4, 1);
  }});
  m_dialog.DoModal();
}

// A transfer that receives nothing for more than five seconds says so on the
// count line, and the notice goes when bytes arrive again.
TEST_F(StatusChannelTest, CountLineTellsWhenNoByteHasArrivedForMoreThanFiveSeconds) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    reporter.SetCountUnit(L"Files");
    reporter.SetCountTotal(3);
    reporter.SetCountDone(1);
    reporter.ShowFile(L"big.bin", 100000);
    for (ULONGLONG waited = 0; waited <= kStallNoticeMs + 1200; waited += 200) {
      FileProgressCallback(&reporter, 0, 500, 0, 0);
      m_now += 200;
    }
    RunQueued();
    CString stalled;
    stalled.Format(GetMsg(Msg::kNoDataFor), 6);
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), std::wstring(L"1/3 Files") + static_cast<const wchar_t*>(stalled));
    FileProgressCallback(&reporter, 0, 800, 0, 0);
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"1/3 Files");
  }});
  m_dialog.DoModal();
}

// With the bytes of the job known, the bar moves by bytes, the line tells
// the megabytes and, once a second of transfer has shown the speed, the
// speed and the time left.
TEST_F(StatusChannelTest, CountLineTellsMegabytesSpeedAndTimeLeftAndTheBarMovesByBytes) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    reporter.SetCountUnit(L"Files");
    reporter.SetCountTotal(11);
    reporter.SetCountDone(7);
    reporter.SetByteTotal(8 << 20);
    reporter.AddBytesDone(2 << 20);
    reporter.ShowFile(L"big.bin", 4 << 20);
    FileProgressCallback(&reporter, 0, 0, 0, 0);
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"7/11 Files  2.0 / 8.0 MB");  // no speed yet
    EXPECT_NEAR(BarPos(m_dialog, IDC_COUNT_BAR), BarMax(m_dialog, IDC_COUNT_BAR) / 4, 1);
    for (int i = 1; i <= 4; ++i) {
      m_now += 500;
      FileProgressCallback(&reporter, 0, i * 512.0 * 1024, 0, 0);  // 1 MiB a second
    }
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"7/11 Files  4.0 / 8.0 MB  1.0 MB/s  0:04 left");
    EXPECT_EQ(TextOf(m_dialog, IDC_FILE_TEXT), L"big.bin - 50% (4.0 MB)");
    EXPECT_NEAR(BarPos(m_dialog, IDC_COUNT_BAR), BarMax(m_dialog, IDC_COUNT_BAR) / 2, 1);
  }});
  m_dialog.DoModal();
}

// A file that fails part-way leaves its bytes counted: the megabytes never
// go back, and the next transfer's smaller count gives no speed of its own.
// Once the transfers pause the line keeps its bytes without a speed or a
// time left, and the speed after the pause leaves the pause out.
TEST_F(StatusChannelTest, BytesNeverGoBackAndNoSpeedComesFromAFallingCountOrAPause) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    auto progress = [&](double bytes) {
      m_now += 500;
      FileProgressCallback(&reporter, 0, bytes, 0, 0);
      RunQueued();
      return TextOf(m_dialog, IDC_COUNT_TEXT);
    };
    reporter.SetCountUnit(L"Files");
    reporter.SetCountTotal(11);
    reporter.SetCountDone(8);
    reporter.SetByteTotal(49 << 20);
    reporter.AddBytesDone(13 << 20);
    reporter.ShowFile(L"maps.bin", 12 << 20);
    for (int i = 1; i < 4; ++i) progress(i * 1.5 * 1048576);
    EXPECT_EQ(progress(6 << 20), L"8/11 Files  19.0 / 49.0 MB  3.0 MB/s  0:10 left");

    // maps.bin failed; the next file starts from nothing.
    reporter.ShowFile(L"models.bin", 12 << 20);
    EXPECT_EQ(progress(512 * 1024), L"8/11 Files  19.0 / 49.0 MB");
    EXPECT_EQ(progress(1 << 20), L"8/11 Files  19.0 / 49.0 MB");
    EXPECT_EQ(progress(1.5 * 1048576), L"8/11 Files  19.0 / 49.0 MB  1.0 MB/s  0:30 left");

    reporter.PauseTransfers();
    reporter.PostStatus(L"");
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_COUNT_TEXT), L"8/11 Files  19.0 / 49.0 MB");
    m_now += 60000;
    reporter.ResumeTransfers();
    progress(2 << 20);
    EXPECT_EQ(progress(2.5 * 1048576), L"8/11 Files  19.0 / 49.0 MB  1.0 MB/s  0:30 left");
  }});
  m_dialog.DoModal();
}

TEST_F(StatusChannelTest, AJobGoesOnAtOnceAndTheWindowShowsEachNotificationInItsTurn) {
  SetScript({Set(IDC_STATUS_LOG, L"typed by the user"), [&] {
               CWindowReporter reporter = Reporter();
               std::thread worker([&] {
                 reporter.SetStatus(L"Connecting to server...");
                 reporter.PostStatus(L"");
                 reporter.PostStatus(L" OK\r\n\r\n");
               });
               worker.join();  // returned without the window's help
               EXPECT_EQ(TextOf(m_dialog, IDC_STATUS_LOG), L"typed by the user");

               // One message shows every note that waits, in order.
               afx::RunOneQueued();
               const std::wstring log = L"Connecting to server... OK\r\n\r\n";
               EXPECT_EQ(TextOf(m_dialog, IDC_STATUS_LOG), log);
               const afx::WindowState* edit = afx::FindWindowState(
                   ::GetDlgItem(m_dialog.GetSafeHwnd(), IDC_STATUS_LOG));
               ASSERT_NE(edit, nullptr);
               EXPECT_EQ(edit->selStart, static_cast<int>(log.size()));
               EXPECT_EQ(edit->selEnd, static_cast<int>(log.size()));
             }});
  m_dialog.DoModal();
  EXPECT_EQ(m_dialog.GetStatusText(), L"Connecting to server... OK\r\n\r\n");
}

// The window appends only what was added to the log, but must show exactly
// the log: through appends, a job's replacement of the whole log, the user's
// typing into the control and notifications that add nothing.
TEST_F(StatusChannelTest, AppendedLogShowsExactlyTheWholeLogAfterEveryNotification) {
  CString log;
  SetScript({[&] {
    const HWND edit = ::GetDlgItem(m_dialog.GetSafeHwnd(), IDC_STATUS_LOG);
    CWindowReporter reporter = Reporter();
    auto publish = [&](const CString& added, bool replace = false) {
      if (replace) {
        log = added;
        reporter.SetStatus(added);
        reporter.PostStatus(L"");
      } else {
        log += added;
        reporter.PostStatus(added);
      }
      RunQueued();
      EXPECT_EQ(TextOf(m_dialog, IDC_STATUS_LOG), log.str());
      EXPECT_EQ(m_dialog.GetStatusText(), log);
      const afx::WindowState* state = afx::FindWindowState(edit);
      EXPECT_EQ(state->selStart, log.GetLength());
    };
    publish(L"Connecting to server...", true);
    publish(L" OK\r\n\r\n");
    for (int i = 0; i < 20; ++i) publish(L"  * Data\\file" + CString(std::to_wstring(i)) + L".bin\r\n");
    publish(L"");

    // Typed text is replaced by the next notification of either kind.
    afx::UserSetsText(edit, L"typed");
    publish(L"  * after typing\r\n");
    afx::UserSetsText(edit, L"typed again");
    std::thread([&] { reporter.ShowFile(L"", 0); }).join();
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_STATUS_LOG), log.str());

    // A new log, as long as the old one and then longer: shown whole.
    const CString old = log;
    publish(CString(L'x', old.GetLength()), true);
    publish(L"Connecting to server..." + old, true);
    publish(L" Error\r\n");
  }});
  m_dialog.DoModal();
  EXPECT_EQ(m_dialog.GetStatusText(), log);
}

TEST_F(StatusChannelTest, NotificationsToAWindowThatIsGoneAreDropped) {
  CWindowReporter reporter(nullptr);  // no window
  reporter.PostStatus(L"lost");
  reporter.ShowFile(L"gone", 100);
  FileProgressCallback(&reporter, 0, 50, 0, 0);
  EXPECT_TRUE(g_statusQueue.TakeAll().empty());
}

TEST_F(StatusChannelTest, FilePercentIsPublishedOncePerWholePercentAndNeverPastOneHundred) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    reporter.ShowFile(L"Data\\big.bin", 1000);
    RunQueued();
    std::thread([&] {
      for (double now : {0.0, 5.0, 10.0, 15.0, 19.9, 20.0, 1000.0, 1500.0, 1500.0}) {
        m_now += kProgressIntervalMs;
        FileProgressCallback(&reporter, 0, now, 0, 0);
      }
    }).join();
    const std::vector<Note> notes = g_statusQueue.TakeAll();
    std::vector<std::uint32_t> percents;
    for (const Note& note : notes) percents.push_back(std::get<FileNote>(note).percent);
    EXPECT_EQ(percents, (std::vector<std::uint32_t>{1, 2, 100}));
    for (const Note& note : notes) g_statusQueue.Push(note);
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_FILE_TEXT), L"Data\\big.bin - 100% (1000 B)");
    EXPECT_EQ(BarPos(m_dialog, IDC_FILE_BAR), 100);
  }});
  m_dialog.DoModal();
}

// A fast transfer sends at most one update of a line per interval, and the
// last one always arrives before whatever the job shows next.
TEST_F(StatusChannelTest, ProgressIsCoalescedAndItsLastUpdateIsNeverLost) {
  SetScript({[&] {
    CWindowReporter reporter = Reporter();
    std::thread([&] {
      reporter.ShowFile(L"a.bin", 100);
      for (int now = 1; now <= 100; ++now) FileProgressCallback(&reporter, 0, now, 0, 0);
      reporter.ShowFile(L"", 0);
    }).join();
    std::vector<std::uint32_t> percents;
    for (const Note& note : g_statusQueue.TakeAll())
      if (const auto* file = std::get_if<FileNote>(&note)) percents.push_back(file->size ? file->percent : 999);
    EXPECT_EQ(percents, (std::vector<std::uint32_t>{0, 1, 100, 999}));  // 999: the line cleared
  }});
  m_dialog.DoModal();
}

TEST_F(StatusChannelTest, FileOfSizeZeroShowsItsNameAloneWithAnEmptyBar) {
  SetScript({[&] {
    Reporter().ShowFile(L"ver.dat", 0);
    RunQueued();
    EXPECT_EQ(TextOf(m_dialog, IDC_FILE_TEXT), L"ver.dat");
    EXPECT_EQ(BarPos(m_dialog, IDC_FILE_BAR), 0);
  }});
  m_dialog.DoModal();
}

// The progress group's parts: the count line with its bar, the file line
// with its bar, or all four, as the update and the manual download use them.
TEST_F(StatusChannelTest, ProgressPartsShowAndHideTheirOwnControls) {
  SetScript({[&] {
    auto visible = [&] {
      std::vector<bool> shown;
      for (int id : {IDC_COUNT_BAR, IDC_COUNT_TEXT, IDC_FILE_BAR, IDC_FILE_TEXT})
        shown.push_back(m_dialog.GetDlgItem(id)->IsWindowVisible() != FALSE);
      return shown;
    };
    CWindowReporter reporter = Reporter();
    std::thread([&] { reporter.ShowProgress(ProgressPart::kCountLine, true); }).join();
    RunQueued();
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, false}));
    reporter.ShowProgress(ProgressPart::kGroup, true);
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, true}));
    reporter.ShowProgress(ProgressPart::kFileLine, false);
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, false}));
    reporter.ShowProgress(ProgressPart::kGroup, false);
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, false, false}));
  }});
  m_dialog.DoModal();
}

TEST_F(StatusChannelTest, ThreadThatCannotStartLeavesTheWindowUsable) {
  SetScript({Set(IDC_SERIAL, L"K70000001"), Set(IDC_PASSWORD, L"secret"), [] { FailNextThreadStartForTesting(); },
             Click(IDC_DOWNLOAD_MANUAL), [&] {
               for (int id : {IDC_START_UPDATE, IDC_SERIAL, IDC_PASSWORD, IDC_UPDATE_NEWS,
                              IDC_CHANGE_USER_INFO, IDOK, IDC_DOWNLOAD_MANUAL})
                 EXPECT_TRUE(m_dialog.GetDlgItem(id)->IsWindowEnabled()) << id;
             }});
  m_dialog.DoModal();
  const auto output = testing_support::TakeOutput();
  EXPECT_EQ(output, std::vector<std::wstring>{L"MessageBox[none]: Memory Error"});
}

TEST_F(StatusChannelTest, LaunchWithoutAClientClosesTheWindowAfterAnUnattendedRun) {
  SetScript({[&] { PostMessageW(m_dialog.GetSafeHwnd(), WM_LAUNCH_CLIENT, 0, 0); }});
  EXPECT_EQ(m_dialog.DoModal(), 0);
  EXPECT_TRUE(testing_support::TakeOutput().empty());  // nothing started
}

TEST_F(StatusChannelTest, LaunchFromTheCardCopyStaysOpenWhenThereIsNone) {
  SetScript({[&] { PostMessageW(m_dialog.GetSafeHwnd(), WM_LAUNCH_CLIENT, 2, 0); }});
  EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);  // ended by the end of input
  EXPECT_FALSE(testing_support::OutputContains(L"ShellExecute"));
}

}  // namespace
