#include "update/self_update.h"

#include <cstring>

#include "platform/files.h"
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
