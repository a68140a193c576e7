#include "update/self_update.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "update/client_files.h"
#include "update/file_size.h"
#include "platform/system.h"

namespace {
constexpr ULONGLONG kRenameBudgetMs = 500;
constexpr DWORD kRetryPauseMs = 5;

// The running program's file name (the part after the last separator); ""
// when its path is too short to be a program on a card.
std::string OwnFileName() {
  char modulePath[1000];
  GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
  if (std::strlen(modulePath) < 11) return std::string();
  const char* fileName = modulePath;
  for (const char* p = modulePath; *p; ++p)
    if (*p == '\\' || *p == '/') fileName = p + 1;
  return fileName;
}

bool Exists(const char* name) { return FileSizeUtf8(name) >= 0; }
}  // namespace

void FinishSelfUpdate() {
  const std::string own = OwnFileName();
  if (own.empty() || own == kRunningClient || !Exists(own.c_str())) return;
  // One rename replaces the old client, so the card always has a
  // "koral70.exe". It fails while the old instance still holds its file
  // (Windows); then wait a little and try again within the budget.
  const ULONGLONG start = GetTickCount64();
  while (renameUtf8(own.c_str(), kRunningClient) != 0) {
    if (GetTickCount64() - start >= kRenameBudgetMs) return;
    Sleep(kRetryPauseMs);
  }
}

void RepairClientSwap() {
  const std::string own = OwnFileName();
  // Without a client in place, the new one completes the swap, or else the
  // kept old one undoes it.
  if (!Exists(kRunningClient)) {
    if (Exists(kNewClient))
      renameUtf8(kNewClient, kRunningClient);
    else if (Exists(kOldClient))
      renameUtf8(kOldClient, kRunningClient);
  }
  // With a client in place, what is left of a swap goes, unless it is the
  // running program itself (a new client that has not been swapped in yet).
  if (!Exists(kRunningClient)) return;
  for (const char* leftover : {kOldClient, kNewClient})
    if (own != leftover && Exists(leftover)) removeUtf8(leftover);
}

int CopyCardClient(CJobReporter& reporter) {
  const std::int64_t size = QueryFileSize("Support\\updater\\koral70.exe");
  if (size < 0) return -1;
  std::FILE* in = fopenRegularUtf8("Support\\updater\\koral70.exe", "rb");
  CCardFileWriter out;
  const bool opened = out.Open(kNewClient);
  std::vector<unsigned char> buffer;
  bool haveBuffer = true;
  try {
    buffer.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    haveBuffer = false;
  }
  if (!in || !opened || !haveBuffer) {
    if (in) std::fclose(in);
    if (haveBuffer)
      reporter.ShowNumberMessage(Msg::kCannotCreateFile, kNoEntryNumber);
    else
      reporter.ShowMessage(Msg::kMemoryError);
    return 1;
  }
  const bool read = size > 0 && std::fread(buffer.data(), static_cast<size_t>(size), 1, in) == 1;
  std::fclose(in);
  if (!read) return 2;
  // The copy takes the place of "new_koral70.exe" only when it is whole.
  if (!out.Write(buffer.data(), buffer.size()) || !out.Commit()) return 3;
  return 0;
}

bool PlaceCardClient(CJobReporter& reporter) {
  return CopyCardClient(reporter) == 0 && renameUtf8(kNewClient, kRunningClient) == 0;
}
