#include "platform/mounted_cards.h"

#include "platform/system.h"
#include "platform/text.h"

std::vector<std::wstring> RemovableMediaRoots() {
  // udisks mounts a user's media in /media/$USER (Debian, Ubuntu) or in
  // /run/media/$USER (Fedora, Arch).
  const std::wstring user = WideFromUtf8(GetEnvironmentText("USER"));
  if (user.empty()) return {};
  return {L"/media/" + user, L"/run/media/" + user};
}
