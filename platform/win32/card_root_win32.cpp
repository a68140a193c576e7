#include "platform/card_root.h"

#include <windows.h>

#include <cwctype>
#include <string>

#include "platform/card_paths.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {
constexpr DWORD kNoWait = 0;

// The mutex name for the card folder: its full path in one letter case,
// hashed so that any path fits a kernel object's name.
std::wstring LockName() {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (DWORD i = 0; i < length && i < MAX_PATH; ++i) {
    hash ^= static_cast<std::uint64_t>(std::towupper(folder[i]));
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  swprintf(name, 64, L"Local\\KORAL70-card-%016llx", static_cast<unsigned long long>(hash));
  return name;
}
}  // namespace

CCardLock::~CCardLock() {
  if (!m_mutex) return;
  ReleaseMutex(static_cast<HANDLE>(m_mutex));
  CloseHandle(static_cast<HANDLE>(m_mutex));
}

bool CCardLock::Acquire(std::uint32_t waitMs) {
  if (m_mutex) return true;
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, LockName().c_str());
  if (!mutex) return true;  // no lock can be asked for: nobody else holds one
  // An abandoned mutex is one whose holder ended without releasing it.
  const DWORD waited = WaitForSingleObject(mutex, waitMs ? waitMs : kNoWait);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    m_mutex = mutex;
    return true;
  }
  CloseHandle(mutex);
  return false;
}

CardProbe ProbeCardRoot() {
  CardProbe probe;
  for (int attempt = 0; attempt < card_paths::kTemporaryAttempts; ++attempt) {
    const std::wstring name = WideFromUtf8(card_paths::TemporaryName());
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS) continue;
      probe.error = static_cast<int>(error);
      if (IsWriteProtectedError(probe.error))
        probe.access = CardAccess::kReadOnly;
      else if (IsNoPermissionError(probe.error))
        probe.access = CardAccess::kNoPermission;
      return probe;
    }
    probe.access = CardAccess::kWritable;
    std::wstring other = name;
    for (wchar_t& c : other) c = static_cast<wchar_t>(std::towupper(c));
    probe.caseInsensitive = GetFileAttributesW(other.c_str()) != INVALID_FILE_ATTRIBUTES;
    CloseHandle(file);  // deletes it
    return probe;
  }
  return probe;
}
