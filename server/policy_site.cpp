#include "server/policy_site.h"

#include <httplib.h>

#include "server/policy_defaults.h"

namespace koral_server {

Answer HandlePolicyPage(const httplib::Request& request, ServerState& state) {
  const std::string lang = request.matches[1].str();
  std::string page;
  if (!ReadWholeFile(state.data.PolicyFile(lang + ".html"), page)) page = DefaultPolicyPage(lang);
  return TextAnswer(std::move(page));
}

Answer HandlePolicyLogo(const httplib::Request&, ServerState& state) {
  std::string logo;
  if (!ReadWholeFile(state.data.PolicyFile("logo.png"), logo)) logo = DefaultLogo();
  Answer answer = BinaryAnswer(std::move(logo));
  answer.contentType = "image/png";
  return answer;
}

}  // namespace koral_server
