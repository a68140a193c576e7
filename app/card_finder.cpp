#include "app/card_finder.h"

#include "core/catalogue.h"
#include "framework/app.h"
#include "platform/files.h"
#include "platform/mounted_cards.h"
#include "platform/system.h"
#include "platform/text.h"

namespace {
std::wstring CurrentFolder() {
  wchar_t folder[4096] = {};
  const DWORD length = GetCurrentDirectoryW(4096, folder);
  return length > 0 && length < 4096 ? std::wstring(folder, length) : std::wstring();
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ChooserStart(const std::vector<std::wstring>& cards, const std::vector<std::wstring>& roots) {
  if (!cards.empty()) return cards.front();
  for (const std::wstring& root : roots)
    if (IsFolder(root)) return root;
  return std::wstring();
}
}  // namespace

bool IsCardFolder(const std::wstring& folder) {
  return IsProgramFolder(folder) || IsRegularFileW((folder + L"/pass.ini").c_str());
}

std::vector<std::wstring> CardSearchRoots() {
  const std::string root = GetEnvironmentText("KORAL70_MEDIA_ROOT");
  return root.empty() ? RemovableMediaRoots() : std::vector<std::wstring>{WideFromUtf8(root)};
}

std::wstring CardChooserPrompt(const std::vector<std::wstring>& cards, const std::vector<std::wstring>& roots) {
  std::wstring places;
  for (const std::wstring& place : cards.empty() ? roots : cards) {
    if (cards.empty())
      places += (places.empty() ? L"" : L", ") + place;
    else
      places += L"\r\n    " + place;
  }
  CString found;
  if (places.empty())  // no place to search, as on a machine without removable drives
    found = GetMsg(Msg::kNoCardFoundAnywhere);
  else
    found.Format(GetMsg(cards.empty() ? Msg::kNoCardFound : Msg::kSeveralCardsFound), places.c_str());
  return found.str() + L"\r\n" + GetMsg(Msg::kChooseCardPrompt);
}

bool FindCardFolder(const std::vector<std::wstring>& roots, std::wstring& folder) {
  const std::vector<std::wstring> cards = FindMountedCards(roots);
  if (cards.size() == 1) {
    folder = cards.front();
    return true;
  }
  CFolderDialog dialog(GetMsg(Msg::kChooseCardTitle), CardChooserPrompt(cards, roots).c_str(),
                       ChooserStart(cards, roots).c_str());
  if (dialog.DoModal() != IDOK) return false;
  folder = dialog.GetPathName().str();
  return true;
}

CardStart EnterCardFolder() {
  if (!IsCardFolder(CurrentFolder())) {
    std::wstring card;
    if (!FindCardFolder(CardSearchRoots(), card)) return CardStart::kNoCard;
    if (!SetCurrentDirectoryW(card.c_str())) {
      CString text;
      text.Format(GetMsg(Msg::kCannotOpenFolder), card.c_str());
      AfxMessageBox(text, MB_ICONEXCLAMATION);
      return CardStart::kNoCard;
    }
  }
  return IsProgramFolder(CurrentFolder()) ? CardStart::kProgramOnCard : CardStart::kProgramOffCard;
}
