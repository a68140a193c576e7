// The manual's bytes as they arrive, kept in a temporary file in the user's
// private temporary folder until the user has chosen where to save them, so
// that a manual of any size is never held in memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "framework/cstring.h"
#include "net/http_session.h"

class CManualDownload : public CHttpBodySink {
 public:
  CManualDownload() = default;
  ~CManualDownload();  // removes the temporary file
  CManualDownload(const CManualDownload&) = delete;
  CManualDownload& operator=(const CManualDownload&) = delete;

  // Creates the temporary file; false when the temporary folder has no room
  // for one.
  bool Open();
  // Appends a chunk; false (which ends the transfer) when it cannot be kept.
  bool Write(const unsigned char* data, std::size_t size) override;
  // After the transfer: false when the last bytes cannot be kept either.
  bool Finish();

  // The checked save: writes every byte kept into a new file at path and
  // closes it. A file that could not be completed is removed again.
  bool SaveTo(const CString& path);

 private:
  void Remove();

  std::wstring m_path;
  std::FILE* m_file = nullptr;
};
