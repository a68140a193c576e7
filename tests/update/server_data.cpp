#include "tests/update/server_data.h"

#include <cstring>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_card.h"
#include "update/md5.h"

namespace fs = std::filesystem;

namespace testing_support {

ServerData::ServerData() {
  m_path = MakeUniqueFolder(fs::temp_directory_path().string(), "koral70-server-data-");
  SetAccounts("123456789 secret L\n");
}

ServerData::~ServerData() { RemoveTree(m_path); }

void ServerData::SetAccounts(const std::string& lines) { WriteFile(m_path + "/accounts.txt", lines); }

void ServerData::SetRelease(const std::vector<ReleaseFile>& files) {
  RemoveTree(m_path + "/release");
  fs::create_directories(m_path + "/release/files");
  std::string list = "# tag localdigest path\n";
  for (const ReleaseFile& file : files) {
    list += file.tag + (file.localDigest ? " 1 " : " 0 ") + file.name + "\n";
    if (file.name.find("..") == std::string::npos && !file.name.empty() && file.name[0] != '\\')
      SetContent(file.name, file.content);
  }
  WriteFile(m_path + "/release/list.txt", list);
}

void ServerData::SetContent(const std::string& name, const std::string& content) {
  WriteFile(m_path + "/release/files/" + CardPath(name), content);
}

void ServerData::SetClient(const std::string& content, int minVersion) {
  WriteFile(m_path + "/client/koral70.exe", content);
  WriteFile(m_path + "/client/min_version.txt", std::to_string(minVersion) + "\n");
}

void ServerData::SetListOverrides(const std::string& lines) {
  WriteFile(m_path + "/release/overrides.txt", lines);
}

std::string ServerData::Received(const std::string& relative) const {
  return ReadFile(m_path + "/received/" + relative);
}

bool ServerData::HasReceived(const std::string& relative) const {
  return FileExists(m_path + "/received/" + relative);
}

std::string CardPath(const std::string& name) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string Md5Hex(const std::string& bytes) {
  CMd5 md5;
  md5.Init();
  md5.Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  md5.Final();
  return DigestHex(md5.digest);
}

std::vector<UpdateFileEntry> RecordsOf(const std::string& bytes) {
  std::vector<UpdateFileEntry> records(bytes.size() / sizeof(UpdateFileEntry));
  std::memcpy(records.data(), bytes.data(), records.size() * sizeof(UpdateFileEntry));
  return records;
}

std::string DigestHex(const unsigned char* digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int i = 0; i < 16; ++i) {
    text += kDigits[digest[i] >> 4];
    text += kDigits[digest[i] & 15];
  }
  return text;
}

}  // namespace testing_support
