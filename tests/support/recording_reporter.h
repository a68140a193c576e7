// A job reporter without a window, for tests of the jobs themselves: it
// keeps what a window would have shown and answers the job's questions
// (the save dialog, the consent, the registration form) as the test set it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/job_reporter.h"

namespace testing_support {

class CRecordingReporter : public CJobReporter {
 public:
  void SetStatus(const CString& text) override { log = text.str(); }
  void AppendStatus(const CString& text) override { log += text.str(); }
  void PostStatus(const CString& text) override;
  void SetCountUnit(const CString& unit) override { countUnit = unit.str(); }
  void SetCountTotal(std::int32_t total) override { countTotal = total; }
  void SetCountDone(std::int32_t done) override { countDone = done; }
  void AddCountDone(std::int32_t count) override { countDone += count; }
  void SetByteTotal(std::uint64_t total) override { bytesTotal = total; }
  void AddBytesDone(std::uint64_t bytes) override { bytesDone += bytes; }
  void PauseTransfers() override { transfersPaused = true; }
  void ResumeTransfers() override { transfersPaused = false; }
  bool IsCancelled() const override { return cancelled; }
  CString StopLine() const override { return GetMsg(Msg::kStoppedByUser); }
  void ShowFile(const CString& name, std::uint32_t size) override;
  void CountProgress(double total, double now) override {
    transferTotal = total;
    transferBytes = now;
    progressWhilePaused = progressWhilePaused || transfersPaused;
  }
  void FileProgress(double now) override {
    fileBytes = now;
    progressWhilePaused = progressWhilePaused || transfersPaused;
  }
  void ShowProgress(ProgressPart, bool) override {}
  int ShowMessageBox(const CString& text, UINT type) override;
  bool ChooseSaveFile(const CString& suggestedName, const CString& filter, CString& path,
                      CString& fileName) override;
  bool AskConsent() override { return consent; }
  bool RunRegistrationForm(CHttpSession& session, std::int32_t& result) override;
  void LaunchClient(NewClient client) override { launched.push_back(client); }
  void Finished(int) override {}

  // What the job showed.
  std::wstring log;                  // the status log as last published
  std::vector<std::wstring> output;  // "MessageBox[<icon>]: <text>", as a headless window prints them
  std::wstring countUnit;
  std::int32_t countTotal = 0, countDone = 0;
  std::uint64_t bytesTotal = 0, bytesDone = 0;
  std::wstring fileName;  // the file line's name
  std::uint32_t fileSize = 0;
  double fileBytes = 0;   // the file transfer's last progress
  double transferTotal = 0, transferBytes = 0;  // the counted transfer's last progress
  bool transfersPaused = false;
  bool progressWhilePaused = false;  // a transfer reported progress during a pause
  std::vector<NewClient> launched;
  std::wstring suggestedName;  // what the save dialog was opened with

  // The answers: the save dialog's path (none: cancelled), the consent, and
  // the registration form (none: cancelled).
  std::optional<std::wstring> savePath;
  bool consent = true;
  bool cancelled = false;  // the user's request to stop
  std::function<bool(CHttpSession&, std::int32_t&)> registrationForm;
};

}  // namespace testing_support
