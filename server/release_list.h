// The release the server hands out: release/list.txt names the entries in
// order, release/files/ holds their content. The list answer of update.php
// is built from the entries and the size and digest of each one's content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/data_folder.h"
#include "server/md5.h"

namespace koral_server {

struct ReleaseItem {
  std::string tag;          // szTag, at most 15 bytes
  bool localDigest = false; // bLocalDigest
  std::string name;         // szName: card path with '\' separators, UTF-8
  fs::path content;         // the file under release/files/
  size_t line = 0;          // its line in list.txt, from 1
};

// Lines "tag localdigest path" (the path is the rest of the line); blank
// lines and lines starting with '#' are skipped.
std::vector<ReleaseItem> ReadReleaseList(const DataFolder& folder);

// Why the release cannot be served, naming the line of list.txt: a name of
// 248 bytes or more does not fit its record with the terminating zero, and
// the client refuses a list with a cut name. Empty when it can be.
std::string ReleaseListProblem(const DataFolder& folder);

// What the list says about an entry's content.
struct ListedContent {
  std::uint64_t size = 0;
  Md5Digest digest{};
};

// Size and digest of the content as it is now; a missing file counts as empty.
ListedContent ReadListedContent(const ReleaseItem& item);

// The "L" answer: 'L', a reserved 0, the entry count (16-bit big-endian),
// then 284 bytes per entry; contents[i] belongs to items[i].
std::string BuildListAnswer(const std::vector<ReleaseItem>& items,
                            const std::vector<ListedContent>& contents);

// Size of an entry's content; 0 when the file is missing.
std::uint64_t ContentSize(const ReleaseItem& item);

}  // namespace koral_server
