// A pass that changes several files of a card at once, for tests that
// interrupt it: an old and a new release (the client's own entry, the
// reports stylesheet and a hundred data files, eight of which change), a
// card with copies of the stylesheet in its report folders that the client
// itself makes old and then new, and what must hold after an interrupted
// pass and after one further run.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/update/server_data.h"

namespace testing_support {

// What a series of interrupted passes came to.
struct Figures {
  int tried = 0, killed = 0, held = 0, failed = 0;
};
// Prints "<what>: tried n, killed n, held n, failed n".
void Report(const char* what, const Figures& figures);
// Each problem fails the test; returns how many there were.
int ExpectNoProblems(const std::vector<std::string>& problems);

class CardChange {
 public:
  // One run of the client on the card; its exit status.
  using Run = std::function<int()>;

  // The card's client, which both releases list as the current one.
  explicit CardChange(const std::string& client);
  ~CardChange();
  CardChange(const CardChange&) = delete;
  CardChange& operator=(const CardChange&) = delete;

  // A pass renames about this many files into place: one per fetched file,
  // the stylesheet copies and the version file.
  static int RenamesPerPass();

  // Lays out the card at root, and lets the client make it the old release
  // and then the new one (data serves them), keeping the old card and both
  // version files. False after a failure was reported.
  bool Prepare(const std::string& root, ServerData& data, const Run& run);
  // How long the pass from the old card to the new one took in Prepare.
  std::chrono::milliseconds PassDuration() const { return m_passDuration; }
  // Puts the old card back at root.
  void RestoreOld(const std::string& root) const;

  // What is wrong with the card at root after an interrupted pass: every
  // file must hold its old or its new bytes, "ver.dat" be the old or the new
  // one, and the client be in place.
  std::vector<std::string> InterruptedProblems(const std::string& root) const;
  // Whether every file of the new release is on the card at root.
  bool HasTheNewFiles(const std::string& root) const;
  // What is wrong with the card at root after a run that had to make it the
  // new release, and no temporary may be left. When the card had the new
  // files before that run, the run fetched nothing and so left "ver.dat" as
  // it was: the old records still name every file, and a file judged by its
  // recorded digest is fetched again, which rewrites it.
  std::vector<std::string> CurrentProblems(const std::string& root, int exitCode, bool hadTheNewFiles) const;

  // One round at root: the old card, an interrupted run, one healing run,
  // each followed by its checks; every broken promise fails the test. Counts
  // the round in figures (killed: the interrupted run did not end with 0).
  void InterruptAndHeal(const std::string& root, const Run& interrupted, const Run& healing, Figures& figures) const;

 private:
  std::string m_client;
  std::vector<ReleaseFile> m_oldRelease, m_newRelease;
  std::string m_oldVersionFile, m_newVersionFile;
  std::string m_oldCard;  // a copy of the old card
  std::chrono::milliseconds m_passDuration{0};
};

}  // namespace testing_support
