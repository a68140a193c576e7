#include "server/faults.h"

#include <algorithm>
#include <cctype>

namespace koral_server {
namespace {

struct KindName {
  FaultKind kind;
  const char* name;
};
constexpr KindName kKinds[] = {
    {FaultKind::Drop, "drop"},         {FaultKind::Reset, "reset"},
    {FaultKind::Status500, "status500"}, {FaultKind::Status503, "status503"},
    {FaultKind::Status429, "status429"},
    {FaultKind::Status404, "status404"}, {FaultKind::Status403, "status403"},
    {FaultKind::Truncate, "truncate"}, {FaultKind::Stall, "stall"},
    {FaultKind::Empty, "empty"},       {FaultKind::Short1, "short1"},
    {FaultKind::NoMarker, "nomarker"}, {FaultKind::NoLogo, "nologo"},
    {FaultKind::Corrupt, "corrupt"},   {FaultKind::Slow, "slow"},
};

bool AllDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool Applies(const FaultSpec& fault, const std::string& path, const std::string& subject) {
  const std::string want = WithoutTrailingSlash(fault.path), have = WithoutTrailingSlash(path);
  bool pathMatches = want == have;
  // A logo fault hits only logos; it may name the page above its logo.
  if (fault.kind == FaultKind::NoLogo)
    pathMatches = (pathMatches || have.rfind(want + "/", 0) == 0) &&
                  have.find("/qx-logo/") != std::string::npos;
  return pathMatches && subject.find(fault.match) != std::string::npos;
}

}  // namespace

const char* FaultName(FaultKind kind) {
  for (const auto& entry : kKinds)
    if (entry.kind == kind) return entry.name;
  return "?";
}

bool ParseFaultSpec(const std::string& text, FaultSpec& spec) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
    fields.push_back(text.substr(start, colon - start));
  fields.push_back(text.substr(start));
  if (fields.size() < 2 || fields[0].empty() || fields[0][0] != '/') return false;

  FaultSpec parsed;
  parsed.path = fields[0];
  const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                 [&](const KindName& k) { return fields[1] == k.name; });
  if (kind == std::end(kKinds)) return false;
  parsed.kind = kind->kind;

  // The last field is the count when it is all digits; what lies between the
  // kind and the count is the match (which may itself hold ':').
  std::vector<std::string> rest(fields.begin() + 2, fields.end());
  if (!rest.empty() && AllDigits(rest.back())) {
    if (rest.back().size() > 9) return false;
    parsed.remaining = std::stoi(rest.back());
    rest.pop_back();
  }
  for (size_t i = 0; i < rest.size(); ++i) parsed.match += (i > 0 ? ":" : "") + rest[i];
  if (parsed.remaining == 0) return false;
  spec = parsed;
  return true;
}

void FaultSwitches::Add(const FaultSpec& spec) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_faults.push_back(spec);
}

void FaultSwitches::Clear() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_faults.clear();
}

std::optional<FaultKind> FaultSwitches::Take(const std::string& path, const std::string& subject) {
  std::lock_guard<std::mutex> guard(m_lock);
  for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
    if (!Applies(*it, path, subject)) continue;
    const FaultKind kind = it->kind;
    if (it->remaining > 0 && --it->remaining == 0) m_faults.erase(it);
    return kind;
  }
  return std::nullopt;
}

}  // namespace koral_server
