// The card's root folder (the current directory) as a whole: the lock that
// keeps a second client off a card that one is updating, and the probe that
// tells, before anything is fetched, whether the card can be written and
// whether its names are case-insensitive.
#pragma once

#include <cstdint>

// Held for a client's whole run. The lock belongs to the operating system,
// so it is released when the client ends in any way, a kill included: on
// POSIX an exclusive lock on the card's root folder, on Windows a named
// mutex for the card's folder.
class CCardLock {
 public:
  CCardLock() = default;
  ~CCardLock();
  CCardLock(const CCardLock&) = delete;
  CCardLock& operator=(const CCardLock&) = delete;

  // Takes the lock for the current directory, waiting up to waitMs for a
  // client that holds it to end; false when another client still holds it.
  // A card whose lock cannot be asked for at all counts as free.
  bool Acquire(std::uint32_t waitMs);

 private:
#ifdef _WIN32
  void* m_mutex = nullptr;
#else
  int m_fd = -1;
#endif
};

enum class CardAccess {
  kWritable,
  kReadOnly,      // write-protected (the lock switch), or mounted read-only
  kNoPermission,  // the system does not let this user write to the folder
  kUnknown,       // the probe failed for another reason; the writes will tell
};

struct CardProbe {
  CardAccess access = CardAccess::kUnknown;
  int error = 0;  // the system's error code when the probe's file could not be made
  // "a.txt" and "A.TXT" name one file (FAT32 and exFAT cards, Windows).
  bool caseInsensitive = false;
};

// Creates a temporary file in the card's root, looks it up under its name in
// other letter case, and removes it again.
CardProbe ProbeCardRoot();
