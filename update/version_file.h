// The card's version file "ver.dat": a bare array of UpdateFileEntry records
// in their in-memory form, the list of the last pass that fetched anything,
// with the digests of what was written.
#pragma once

#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "update/update_file_entry.h"

constexpr const char* kVersionFileName = "ver.dat";

class CVersionFile {
 public:
  // Reads the whole file and keeps the records that the list names (the
  // only ones a pass looks up), so that a version file of any size costs no
  // more memory than the list; false (and no records) when it is missing or
  // cannot be read. A trailing partial record is ignored.
  bool Open(const std::vector<UpdateFileEntry>& list, const char* path = kVersionFileName);
  bool IsOpen() const { return m_bOpen; }
  void Close();
  // The first record with this name, as a scan from the file's start finds
  // it; null when there is none or no file is open.
  const UpdateFileEntry* Find(const char* name) const;

 private:
  bool m_bOpen = false;
  std::deque<UpdateFileEntry> m_records;  // grows without moving the names the index points into
  std::unordered_map<std::string_view, const UpdateFileEntry*> m_firstByName;
};

// Replaces the version file with the whole list; false when it could not be
// written, and then the old file stays as it was.
bool WriteVersionFile(const std::vector<UpdateFileEntry>& list, const char* path = kVersionFileName);
