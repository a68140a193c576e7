#include "server/release_list.h"

#include <algorithm>
#include <cstdio>


namespace koral_server {
namespace {

constexpr size_t kNameBytes = 248;
constexpr size_t kTagBytes = 15;
constexpr size_t kEntryBytes = 284;
constexpr size_t kMaxEntries = 0xFFFF;
constexpr Md5Digest kEmptyMd5 = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                 0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};

void AppendPadded(std::string& out, const std::string& text, size_t width) {
  std::string field = text.substr(0, width);
  field.resize(width, '\0');
  out += field;
}

void AppendBigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// release/files/<name with '/'>. A name that would lead outside (a client
// test may list one on purpose) takes its content from the same path with
// its ".." steps left out, so the server only ever reads its own files.
fs::path ContentPathOf(const DataFolder& folder, const std::string& name) {
  std::string relative = name;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  relative.erase(0, relative.find_first_not_of('/'));
  const fs::path path = folder.ReleaseFilesRoot() / relative;
  if (IsInside(folder.ReleaseFilesRoot(), path)) return path;
  fs::path contained = folder.ReleaseFilesRoot();
  for (const fs::path& part : fs::path(relative))
    if (part != "..") contained /= part;
  return contained;
}

}  // namespace

std::vector<ReleaseItem> ReadReleaseList(const DataFolder& folder) {
  std::vector<ReleaseItem> items;
  size_t number = 0;
  for (const std::string& line : ReadLines(folder.ReleaseListFile())) {
    ++number;
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
    const size_t tagEnd = line.find_first_of(" \t");
    const size_t flagStart = line.find_first_not_of(" \t", tagEnd);
    const size_t flagEnd = line.find_first_of(" \t", flagStart);
    const size_t nameStart = line.find_first_not_of(" \t", flagEnd);
    const std::string flag = flagStart == std::string::npos ? ""
                                                            : line.substr(flagStart, flagEnd - flagStart);
    if (nameStart == std::string::npos || (flag != "0" && flag != "1")) {
      std::fprintf(stderr, "list.txt: ignoring line \"%s\"\n", line.c_str());
      continue;
    }
    ReleaseItem item;
    item.line = number;
    item.tag = line.substr(0, tagEnd);
    item.localDigest = flag == "1";
    item.name = line.substr(nameStart);
    item.content = ContentPathOf(folder, item.name);
    if (item.tag.size() > kTagBytes || item.name.size() >= kNameBytes)
      std::fprintf(stderr, "list.txt: tag or name too long, cut to fit: \"%s\"\n", line.c_str());
    items.push_back(std::move(item));
  }
  if (items.size() > kMaxEntries) {
    std::fprintf(stderr, "list.txt: only the first %zu entries are listed\n", kMaxEntries);
    items.resize(kMaxEntries);
  }
  return items;
}

std::string ReleaseListProblem(const DataFolder& folder) {
  for (const ReleaseItem& item : ReadReleaseList(folder))
    if (item.name.size() >= kNameBytes)
      return "list.txt line " + std::to_string(item.line) + ": a name of " + std::to_string(item.name.size()) +
             " bytes, at most " + std::to_string(kNameBytes - 1) + " fit";
  return "";
}

std::uint64_t ContentSize(const ReleaseItem& item) {
  std::error_code ec;
  if (!fs::is_regular_file(item.content, ec)) return 0;
  const auto size = fs::file_size(item.content, ec);
  return ec ? 0 : size;
}

ListedContent ReadListedContent(const ReleaseItem& item) {
  ListedContent content;
  content.size = ContentSize(item);
  // A missing file is served as empty content.
  content.digest = kEmptyMd5;
  std::error_code ec;
  if (!fs::exists(item.content, ec))
    std::fprintf(stderr, "release: no file for \"%s\", listed as empty\n", item.name.c_str());
  else if (content.size > 0 && !Md5OfFile(item.content, content.digest))
    std::fprintf(stderr, "release: cannot read %s\n", item.content.c_str());
  return content;
}

std::string BuildListAnswer(const std::vector<ReleaseItem>& items,
                            const std::vector<ListedContent>& contents) {
  std::string out;
  out.reserve(4 + kEntryBytes * items.size());
  out += 'L';
  out += '\0';
  out += static_cast<char>((items.size() >> 8) & 0xFF);
  out += static_cast<char>(items.size() & 0xFF);
  for (size_t i = 0; i < items.size(); ++i) {
    const ReleaseItem& item = items[i];
    AppendPadded(out, item.name, kNameBytes);
    AppendBigEndian32(out, static_cast<std::uint32_t>(contents[i].size));
    AppendPadded(out, item.tag, kTagBytes);
    out += static_cast<char>(item.localDigest ? 1 : 0);
    out.append(reinterpret_cast<const char*>(contents[i].digest.data()), contents[i].digest.size());
  }
  return out;
}

}  // namespace koral_server
