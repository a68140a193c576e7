// A card folder for a test: a fresh directory that becomes the current
// directory, removed again (and the old current directory restored) at the
// end of the test.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class TempCard {
 public:
  explicit TempCard(const std::string& base = "");
  ~TempCard();
  TempCard(const TempCard&) = delete;
  TempCard& operator=(const TempCard&) = delete;

  const std::string& Path() const { return m_path; }
  // Card-relative helpers ('/' separators; folders are created as needed).
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string m_path;
  std::string m_previous;
};

// A new folder under root named prefix + something unique; "" on failure.
std::string MakeUniqueFolder(std::string root, const std::string& prefix);

// Whole-file helpers on absolute or relative paths.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void RemoveTree(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> Listing(const std::string& folder);

}  // namespace testing_support
