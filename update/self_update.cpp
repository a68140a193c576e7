#include "update/self_update.h"

#include <cstring>
#include <new>
#include <vector>

#include "app/catalogue.h"
#include "platform/card_file_writer.h"
#include "platform/files.h"
#include "update/file_size.h"
#include "platform/system.h"

namespace {
constexpr ULONGLONG kRenameBudgetMs = 500;
}

void FinishSelfUpdate() {
  char modulePath[1000];
  GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
  if (std::strlen(modulePath) < 11) return;
  const char* fileName = modulePath;
  for (const char* p = modulePath; *p; ++p)
    if (*p == '\\' || *p == '/') fileName = p + 1;
  if (std::strcmp(fileName, "koral70.exe") == 0) return;

  const ULONGLONG start = GetTickCount64();
  while (renameUtf8("koral70.exe", "old_koral70.exe") != 0)
    if (GetTickCount64() - start >= kRenameBudgetMs) return;
  while (renameUtf8(fileName, "koral70.exe") != 0) {
    if (GetTickCount64() - start >= kRenameBudgetMs) {
      renameUtf8("old_koral70.exe", "koral70.exe");
      return;
    }
  }
  removeUtf8("old_koral70.exe");
}

int CopyCardClient() {
  const std::int64_t size = QueryFileSize("Support\\updater\\koral70.exe");
  if (size < 0) return -1;
  std::FILE* in = fopenUtf8("Support\\updater\\koral70.exe", "rb");
  CCardFileWriter out;
  const bool opened = out.Open("new_koral70.exe");
  std::vector<unsigned char> buffer;
  bool haveBuffer = true;
  try {
    buffer.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    haveBuffer = false;
  }
  if (!in || !opened || !haveBuffer) {
    if (in) std::fclose(in);
    CString message;
    message.Format(GetMsg(58), 0);
    AfxMessageBox(haveBuffer ? message.GetString() : GetMsg(54));
    return 1;
  }
  const bool read = size > 0 && std::fread(buffer.data(), static_cast<size_t>(size), 1, in) == 1;
  std::fclose(in);
  if (!read) return 2;
  // The copy takes the place of "new_koral70.exe" only when it is whole.
  if (!out.Write(buffer.data(), buffer.size()) || !out.Commit()) return 3;
  return 0;
}
