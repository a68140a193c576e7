#include "update/download_pass.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

#include "core/catalogue.h"
#include "core/product.h"
#include "core/progress_text.h"
#include "logs/log_upload.h"
#include "net/retry.h"
#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "update/card_failure.h"
#include "update/card_file_sink.h"
#include "update/card_folders.h"
#include "update/card_preflight.h"
#include "update/client_update.h"
#include "update/file_reply.h"
#include "update/file_size.h"
#include "update/md5.h"
#include "update/md5_worker.h"
#include "update/report_stylesheets.h"
#include "update/self_update.h"
#include "update/update_list.h"
#include "update/version_file.h"

namespace {
constexpr size_t kDisplayNameChars = 248;
constexpr const char* kReportsStylesheet = "Reports\\table.css";
// kNotEnoughSpace names the shortfall in whole megabytes.
constexpr std::uint64_t kMegabyte = 1024 * 1024;

// The number "Cannot create file (%d)" shows tells a support
// reader which list entry failed and at which step: a folder on its path
// (1001 and up) or the file itself (1 and up), counting entries from one.
int FolderCreationFailureNumber(int index) { return 1001 + index; }
int FileCreationFailureNumber(int index) { return index + 1; }

// How the last step of a fetched file came out.
enum class Placed { kYes, kNoDigest, kWrongBody, kNotWritten };

// A fetched file on its way into place: its digest check and its commit run
// on the hashing thread while the next file is transferred, and its outcome
// is shown before anything of the next file.
struct FinishingFile {
  int index = 0;
  FailureCause cause;  // the transfer's, for a body that fails its check
  Placed outcome = Placed::kYes;
  unsigned char digest[kMd5DigestBytes] = {};
  std::unique_ptr<CCardFileSink> file;  // last: its end waits for the step
};

// Lifetime state of one pass.
struct PassState {
  JOBPARAM* job;
  CJobReporter& reporter;
  CHttpSession& session;
  std::vector<UpdateFileEntry>& list;
  CVersionFile versionFile;
  bool failed = true;  // cleared only when the walk reaches its end
  bool stylesheetFetched = false;
  bool clientUpdateMode = false;
  bool placeCardClient = false;  // the card's client is put in place after the walk
  bool caseInsensitive = false;  // the card's names ignore letter case
  bool cancelled = false;        // the user asked the job to stop
  int placed = 0;                // files fetched and put in place
  std::uint64_t placedBytes = 0;
  LogUploadCounts logs = {};
  FolderSet folders = {};          // made or found by this pass
  bool stylesheetCurrent = false;  // "Reports\table.css" was found current or fetched
  int fetchCount = 0;
  std::uint64_t replyLimit = 0;                   // the largest listed size plus "BF"
  std::vector<bool> current = {};                 // per entry: the card copy was current before the walk
  std::vector<bool> repeated = {};                // per entry: an earlier entry names the same card file
  std::vector<bool> fetchedAgain = {};            // per entry: fetched once more after a wrong body
  std::vector<CardTarget> targets = {};           // per entry: what the plan saw under its name
  int refetches = 0;                              // files fetched once more so far
  CCardCommitBatch durable = {};                  // placed files, committed in batches
  int flushError = 0;                             // why the batch's last commit failed
  CMd5Worker hasher = {};                         // digests the fetched files while they arrive
  std::unique_ptr<FinishingFile> finishing = {};  // the file fetched last, until its outcome is shown
  int starting = -1;                              // the entry being fetched whose start is not shown yet
};

// The name under which the card keeps an entry's file: one kind of
// separator, and one letter case on a card that ignores case.
std::string CardNameKey(const char* name, bool caseInsensitive) {
  std::string key = name;
  std::replace(key.begin(), key.end(), '/', '\\');
  return caseInsensitive ? Utf8FromWide(UpperCaseName(WideFromUtf8(key))) : key;
}

// During the log upload a transfer shows nothing, but ends when the user
// asks the job to stop.
int CancelOnly(void* reporter, double, double, double, double) {
  return static_cast<CJobReporter*>(reporter)->IsCancelled() ? 1 : 0;
}

bool SameDigest(const unsigned char* a, const unsigned char* b) {
  return std::memcmp(a, b, kMd5DigestBytes) == 0;
}

// Whether the card copy of an entry is in the state the list asks for; size
// gets the card copy's size (-1: none), which the space check needs too. An
// entry checked against "ver.dat" takes the digest of its card copy.
bool IsCurrent(UpdateFileEntry& entry, const CVersionFile& versionFile, std::int64_t& size) {
  size = QueryFileSize(entry.szName);
  if (size < 0 || size != entry.nSize) return false;
  unsigned char digest[kMd5DigestBytes];
  if (!entry.bLocalDigest) return Md5OfFile(entry.szName, digest) && SameDigest(digest, entry.abDigest);
  const UpdateFileEntry* record = versionFile.Find(entry.szName);
  if (!record || std::memcmp(record->szTag, entry.szTag, sizeof entry.szTag) != 0) return false;
  if (!Md5OfFile(entry.szName, digest) || !SameDigest(digest, record->abDigest)) return false;
  std::memcpy(entry.abDigest, digest, kMd5DigestBytes);
  return true;
}

void RequestFile(CHttpSession& session, int index) {
  session.ResetResponse();
  session.ClearPostFields();
  session.SetUrl(ServerScriptUrl(ServerScript::kGet));
  CString field;
  field.Format(L"f=%d", index);
  session.AddPostField(field);
}

// Why a file transfer failed: a reply over the size limit is a body that
// does not fit, one the session had no memory for is a memory error.
Msg TransferFailureMessage(HttpResult result) {
  if (result == HttpResult::kTooLarge) return Msg::kDownloadFailedAnswer;
  if (result == HttpResult::kNoMemory) return Msg::kMemoryError;
  return Msg::kDownloadFailed;
}

std::wstring DisplayName(const UpdateFileEntry& entry) {
  std::wstring name = WideFromUtf8(entry.szName);
  if (name.size() > kDisplayNameChars - 1) name.resize(kDisplayNameChars - 1);
  return name;
}

// Shows the start of the file being fetched, once: the file line names it
// from the start of its transfer, at 0 %.
void ShowFetchStart(PassState& pass) {
  if (pass.starting < 0) return;
  const UpdateFileEntry& entry = pass.list[static_cast<size_t>(std::exchange(pass.starting, -1))];
  pass.reporter.ShowFile(WideFromUtf8(ShortName(entry.szName)), entry.nSize);
  pass.reporter.PostStatus(CString(GetMsg(Msg::kDownloadingFile)) + DisplayName(entry).c_str() + L"\r\n ");
}

// The last step of a fetched file whose size was right: a body that is not
// the listed file, where the list carries the server's digest, is dropped;
// any other is put in place. The file holds exactly the bytes digested on
// their way to it.
Placed CheckAndPlace(CCardFileSink& file, const UpdateFileEntry& entry, unsigned char (&digest)[kMd5DigestBytes]) {
  Placed checked = Placed::kYes;
  if (!file.FinalDigest(digest))
    checked = Placed::kNoDigest;
  else if (!entry.bLocalDigest && !SameDigest(digest, entry.abDigest))
    checked = Placed::kWrongBody;
  if (checked != Placed::kYes) {
    file.Abort();
    return checked;
  }
  return file.Commit() ? Placed::kYes : Placed::kNotWritten;
}

bool FetchFile(PassState& pass, int i);

// Waits for the last step of the file fetched last and shows its outcome.
// A body that is not the listed file after a complete transfer is fetched
// once more (a blip may have spoilt it); a second one fails. False when it
// failed (reported): the pass ends at that file. Never called while a
// transfer runs.
bool SettleFinishing(PassState& pass) {
  if (!pass.finishing) return true;
  const std::unique_ptr<FinishingFile> done = std::move(pass.finishing);
  done->file->WaitForStep();
  CJobReporter& reporter = pass.reporter;
  UpdateFileEntry& entry = pass.list[static_cast<size_t>(done->index)];
  switch (done->outcome) {
    case Placed::kNoDigest:
      reporter.Fail(Msg::kMemoryError, MB_OK);
      return false;
    case Placed::kWrongBody:
      if (!pass.fetchedAgain[static_cast<size_t>(done->index)]) {
        pass.fetchedAgain[static_cast<size_t>(done->index)] = true;
        ++pass.refetches;
        reporter.PostStatus(GetMsg(Msg::kStepError));
        return FetchFile(pass, done->index) && SettleFinishing(pass);
      }
      reporter.Fail(Msg::kDownloadFailedBody, MB_OK, done->cause);
      return false;
    case Placed::kNotWritten: {
      const bool folder = done->file->GetState() == CCardFileSink::State::kFolderFailed;
      reporter.FailWithNumber(
          Msg::kCannotCreateFile,
          folder ? FolderCreationFailureNumber(done->index) : FileCreationFailureNumber(done->index),
          CardFailureCause(done->file->GetError()));
      return false;
    }
    case Placed::kYes:
      break;
  }
  std::memcpy(entry.abDigest, done->digest, kMd5DigestBytes);
  ++pass.placed;
  pass.placedBytes += entry.nSize;
  reporter.AddBytesDone(entry.nSize);
  reporter.ShowFile(L"", 0);
  reporter.AddCountDone(1);
  reporter.PostStatus(GetMsg(Msg::kStepOk));
  return true;
}

// A file's transfer shows its progress once the file before it is shown in
// place; its percent is of the file's own bytes, without the "BF" in front
// of them. A file before that failed ends the transfer, and is reported
// when the transfer has ended.
int FetchProgress(void* user, double dltotal, double dlnow, double ultotal, double ulnow) {
  PassState& pass = *static_cast<PassState*>(user);
  if (const FinishingFile* before = pass.finishing.get()) {
    if (!before->file->StepDone()) return pass.reporter.IsCancelled() ? 1 : 0;
    if (before->outcome != Placed::kYes) return 1;
    SettleFinishing(pass);
  }
  ShowFetchStart(pass);
  return FileProgressCallback(&pass.reporter, dltotal, std::max(0.0, dlnow - kReplyPrefixBytes), ultotal,
                              ulnow);
}

// Fetches entry i and streams it into its card file, which is put in place
// only when the whole body has arrived and passed every check: at once for
// a small file, behind the next file's transfer for a large one. False after
// reporting why the pass aborts; no byte of the body is left on the card
// then (folders made for it stay, as empty folders).
bool FetchFile(PassState& pass, int i) {
  UpdateFileEntry& entry = pass.list[static_cast<size_t>(i)];
  CJobReporter& reporter = pass.reporter;
  CHttpSession& session = pass.session;
  if (std::strcmp(ShortName(entry.szName), "table.css") == 0) pass.stylesheetFetched = true;
  ++pass.fetchCount;

  // Each try starts a fresh card file: nothing of a broken-off transfer is
  // kept, placed or recorded.
  std::unique_ptr<CCardFileSink> file;
  std::unique_ptr<CFileReplySink> reply;
  HttpResult result = HttpResult::kFailed;
  bool beforeFailed = false;
  bool waited = true;
  // A file before this one whose body was wrong is fetched again as soon as
  // this transfer has made way for it; this one then starts over.
  for (int refetches = -1; refetches != pass.refetches && !beforeFailed;) {
    refetches = pass.refetches;
    RequestFile(session, i);
    pass.starting = i;
    if (!pass.finishing) ShowFetchStart(pass);
    waited = RunTries(session, [&] {
      if (file) {  // a try again: its percent starts at 0
        file->Abort();
        reporter.ShowFile(WideFromUtf8(ShortName(entry.szName)), entry.nSize);
      }
      file.reset();
      file = std::make_unique<CCardFileSink>(entry.szName, DisplayName(entry), pass.hasher, &pass.folders,
                                             &pass.durable, pass.targets[static_cast<size_t>(i)]);
      reply = std::make_unique<CFileReplySink>(*file);
      session.SetBodySink(reply.get());
      result = session.Perform();
      session.SetBodySink(nullptr);
      // Whatever came, the file before is shown first; when it failed, the
      // pass ends there and this file is never shown.
      if (!SettleFinishing(pass)) {
        beforeFailed = true;
        return TryOutcome::kDone;
      }
      if (refetches != pass.refetches) return TryOutcome::kDone;  // the session asked for another file
      ShowFetchStart(pass);
      return JudgeTry(result, session, result == HttpResult::kOk && reply->HasPrefix());
    });
  }
  if (beforeFailed) {
    file->Abort();
    pass.starting = -1;
    return false;
  }
  if (!waited) result = HttpResult::kCancelled;
  // Every refusal drops the temporary file before the user is told what
  // failed and why.
  auto fail = [&](Msg message, const FailureCause& cause) {
    file->Abort();
    reporter.Fail(message, MB_OK, cause);
    return false;
  };
  if (result == HttpResult::kCancelled) {
    file->Abort();
    pass.cancelled = true;
    return false;
  }
  if (result != HttpResult::kOk) return fail(TransferFailureMessage(result), session.LastFailureCause());
  const std::uint64_t size = session.ReceivedBytes();
  // "BF" alone is a whole answer: the file is empty.
  if (size < kReplyPrefixBytes || size > pass.replyLimit)
    return fail(Msg::kDownloadFailedAnswer, session.LastFailureCause());
  // The size goes to the window with the file's outcome: one wake of the
  // window for both.
  CString received;
  received.Format(GetMsg(Msg::kBytesReceived), static_cast<int>(size - kReplyPrefixBytes));
  reporter.AppendStatus(received);
  // A body that is not the listed file is no file: the list's size, and the
  // server's digest where the list carries it, must match what came.
  if (!reply->HasPrefix() || size - kReplyPrefixBytes != entry.nSize)
    return fail(Msg::kDownloadFailedBody, session.LastFailureCause());

  pass.finishing = std::make_unique<FinishingFile>();
  FinishingFile& finishing = *pass.finishing;
  finishing.index = i;
  finishing.cause = session.LastFailureCause();
  finishing.file = std::move(file);
  finishing.file->ThenOnHasher(
      [&finishing, &entry] { finishing.outcome = CheckAndPlace(*finishing.file, entry, finishing.digest); });
  // A step that ran here is shown at once.
  return !finishing.file->StepDone() || SettleFinishing(pass);
}

// Walks the list; true when it reached its end (in client-update mode: the
// client entry was fetched).
bool WalkEntries(PassState& pass) {
  UpdateFileEntry* client = pass.clientUpdateMode ? FindClientEntry(pass.list) : nullptr;
  for (size_t i = 0; i < pass.list.size(); ++i) {
    UpdateFileEntry& entry = pass.list[i];
    if (pass.clientUpdateMode && &entry != client) continue;
    if (pass.reporter.IsCancelled()) {
      pass.cancelled = true;
      return false;
    }
    // A file the list names twice was judged at its first entry: fetching it
    // again would make the two entries take turns on the card, run by run.
    const bool current = pass.current[i] || (pass.repeated[i] && !pass.clientUpdateMode);
    const bool isStylesheet = std::strcmp(entry.szName, kReportsStylesheet) == 0;
    if (current) {
      if (!SettleFinishing(pass)) return false;
      pass.stylesheetCurrent = pass.stylesheetCurrent || isStylesheet;
      pass.reporter.AddCountDone(1);
      pass.reporter.ShowFile(WideFromUtf8(ShortName(entry.szName)), 0);
      pass.reporter.PostStatus(L"");
      continue;
    }
    if (!FetchFile(pass, static_cast<int>(i))) return false;
    pass.stylesheetCurrent = pass.stylesheetCurrent || isStylesheet;
    if (pass.clientUpdateMode) return true;
  }
  return true;
}

// The walk, and the outcome of the file fetched last.
bool WalkList(PassState& pass) {
  const bool walked = WalkEntries(pass);
  return SettleFinishing(pass) && walked;
}

// Tells the server that the pass has ended; its answer is not needed, and
// its transfer is no file's: it shows nothing, but ends when the user asks
// the job to stop.
void SendEndOfPass(CHttpSession& session, CJobReporter& reporter) {
  session.SetProgressCallback(CancelOnly, &reporter);
  RequestFile(session, -1);
  session.Perform();
}

// What the pass did, for the status log: the files it placed and the logs
// it sent or left on the card.
void PostSummary(PassState& pass, ULONGLONG started) {
  CString summary;
  if (pass.placed > 0) {
    summary.Format(GetMsg(Msg::kSummaryFiles), pass.placed, MegabytesText(pass.placedBytes),
                   DurationText((GetTickCount64() - started + 500) / 1000));
  }
  if (pass.logs.sent + pass.logs.left > 0) {
    CString logs;
    logs.Format(GetMsg(Msg::kSummaryLogs), pass.logs.sent, pass.logs.left);
    summary += logs;
  }
  if (pass.cancelled) summary += pass.reporter.StopLine();
  if (!summary.IsEmpty()) pass.reporter.PostStatus(summary);
}

UpdateResult ShowSummary(PassState& pass) {
  CJobReporter& reporter = pass.reporter;
  // Stopped by the user, whose window closes: no box to answer.
  if (pass.cancelled) return kUpdateNotFinished;
  if (pass.failed) {
    reporter.ShowMessage(Msg::kUpdateFailed, MB_ICONEXCLAMATION);
    return kUpdateTransferFailed;
  }
  reporter.ShowFile(L"", 0);
  reporter.ShowProgress(ProgressPart::kFileLine, false);
  if (pass.fetchCount > 0) {
    // "ver.dat" names no file whose name is not on the card's device yet;
    // the old one stays when the new one cannot be written.
    if (pass.flushError != 0 || !WriteVersionFile(pass.list)) {
      const int error = pass.flushError != 0 ? pass.flushError : LastSystemError();
      reporter.Fail(Msg::kUpdateFailed, MB_ICONEXCLAMATION, CardFailureCause(error));
      return kUpdateTransferFailed;
    }
    if (pass.clientUpdateMode) {
      reporter.LaunchClient(NewClient::kCardCopy);
      return kUpdateHandedOver;
    }
  }
  if (pass.placeCardClient && !PlaceCardClient(reporter)) {
    reporter.ShowMessage(Msg::kUpdateFailed, MB_ICONEXCLAMATION);
    return kUpdateTransferFailed;
  }
  if (pass.fetchCount > 0 || pass.placeCardClient) {
    if (!pass.job->bBatch) reporter.ShowMessage(Msg::kUpdateComplete, MB_ICONINFORMATION);
  } else if (!pass.job->bBatch) {
    reporter.AppendStatus(L"  * ");
    reporter.PostStatus(GetMsg(Msg::kUpToDate));
    reporter.ShowMessage(Msg::kUpToDate, MB_ICONINFORMATION);
  }
  return kUpdateCurrent;
}

// Decides which entries are current before anything is written and checks
// that the others fit on the card. False after reporting the shortfall.
bool PlanPass(PassState& pass) {
  pass.current.assign(pass.list.size(), false);
  pass.repeated.assign(pass.list.size(), false);
  pass.fetchedAgain.assign(pass.list.size(), false);
  pass.targets.assign(pass.list.size(), CardTarget::kUnknown);
  std::unordered_set<std::string> judged;
  for (size_t i = 0; i < pass.list.size(); ++i)
    pass.repeated[i] = !judged.insert(CardNameKey(pass.list[i].szName, pass.caseInsensitive)).second;
  std::vector<CardWrite> fetches;
  if (pass.clientUpdateMode) {
    // Its card copy is deleted when the mode starts, so it is always fetched.
    const UpdateFileEntry* client = FindClientEntry(pass.list);
    fetches.push_back({client->nSize, QueryFileSize(client->szName)});
  } else {
    CMissingFolders missing;
    for (size_t i = 0; i < pass.list.size(); ++i) {
      if (pass.repeated[i]) continue;
      if (pass.reporter.IsCancelled()) {
        pass.cancelled = true;
        return false;
      }
      std::int64_t cardBytes = -1;
      const bool inMissingFolder = missing.IsInMissingFolder(pass.list[i].szName);
      pass.current[i] = !inMissingFolder && IsCurrent(pass.list[i], pass.versionFile, cardBytes);
      if (inMissingFolder || cardBytes >= 0) pass.targets[i] = CardTarget::kNoFolder;
      if (!pass.current[i]) fetches.push_back({pass.list[i].nSize, cardBytes});
    }
  }
  std::uint64_t bytes = 0;
  for (const CardWrite& fetch : fetches) bytes += static_cast<std::uint64_t>(fetch.newBytes);
  pass.reporter.SetByteTotal(bytes);
  if (fetches.empty()) return true;
  // A folder where the version file belongs could never be replaced by it.
  const DWORD versionFile = GetFileAttributesW(WideFromUtf8(kVersionFileName).c_str());
  if (versionFile != INVALID_FILE_ATTRIBUTES && (versionFile & FILE_ATTRIBUTE_DIRECTORY)) {
    pass.reporter.ShowMessage(Msg::kVersionFileIsFolder, MB_ICONEXCLAMATION);
    return false;
  }
  const std::uint64_t missing = MissingCardSpace(fetches, pass.list.size());
  if (missing == 0) return true;
  pass.reporter.ShowNumberMessage(Msg::kNotEnoughSpace,
                                  static_cast<int>((missing + kMegabyte - 1) / kMegabyte));
  return false;
}
}  // namespace

UpdateResult RunDownloadPass(JOBPARAM* job, CJobReporter& reporter, CHttpSession& session,
                             std::vector<UpdateFileEntry>& list, bool caseInsensitiveCard) {
  PassState pass{job, reporter, session, list, CVersionFile()};
  pass.caseInsensitive = caseInsensitiveCard;
  const ULONGLONG started = GetTickCount64();

  // A stop the user asks for ends the upload that runs, too.
  session.SetProgressCallback(CancelOnly, &reporter);
  pass.logs = UploadLogs(session, CardLogFolder(job->szModulePath, job->bProgramOffCard != FALSE));

  pass.versionFile.Open(list);
  session.SetProgressCallback(FetchProgress, &pass);
  reporter.PostStatus(L"");  // the count line with its total, before it shows
  reporter.ShowProgress(ProgressPart::kGroup, true);
  // A client on the card that differs from the list's hands over to the new
  // one. A program that runs from elsewhere is no card client: it updates
  // every card file, then puts the card's client in place as that hand-over
  // would have, and starts nothing.
  const bool clientDiffers = RunningClientDiffers(*job, list);
  pass.clientUpdateMode = clientDiffers && !job->bProgramOffCard;
  pass.placeCardClient = clientDiffers && job->bProgramOffCard;

  std::uint32_t largest = 0;
  for (const UpdateFileEntry& entry : list) largest = std::max(largest, entry.nSize);
  pass.replyLimit = std::uint64_t{largest} + kReplyPrefixBytes;
  session.SetReplyLimit(pass.replyLimit);

  if (PlanPass(pass)) {
    if (pass.clientUpdateMode) EnterClientUpdateMode(reporter, list, pass.versionFile);
    // What an interrupted run left, wherever it is: also in folders the
    // list no longer names.
    RemoveAllCardTemporaries();
    if (WalkList(pass)) pass.failed = false;
  }
  // Whatever the walk's outcome, the files it placed are on the device
  // under their names before the pass reports anything.
  if (!pass.durable.Flush()) pass.flushError = LastSystemError();

  // The files' transfers are over: the count line keeps no speed.
  reporter.PauseTransfers();
  pass.versionFile.Close();
  SendEndOfPass(session, reporter);
  // A pass that leaves "Reports\table.css" current also mends copies that an
  // interrupted earlier pass left behind.
  if (pass.stylesheetFetched || pass.stylesheetCurrent) PlaceReportStylesheets();
  PostSummary(pass, started);
  const UpdateResult result = ShowSummary(pass);
  return result == kUpdateCurrent && pass.logs.failed ? kUpdateLogsLeft : result;
}
