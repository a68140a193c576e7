// Where the program works: the card's root folder, as the current directory.
// A program started in a card folder (one that holds the running program or
// "pass.ini") stays there. One started elsewhere, as the desktop menu starts
// an installed program in the home folder, takes the one card mounted on the
// machine, or asks for the card's folder when none or several are mounted.
#pragma once

#include <string>
#include <vector>

// Whether the folder is a card to run on: it holds the running program or
// "pass.ini".
bool IsCardFolder(const std::wstring& folder);

// The folders to search for mounted cards: the one that KORAL70_MEDIA_ROOT
// names (for machines that mount media elsewhere), else where the system
// mounts removable media.
std::vector<std::wstring> CardSearchRoots();

// What the folder dialog tells, for the cards found below the roots: that
// none was found there, or that several were, one a line, then what to
// choose.
std::wstring CardChooserPrompt(const std::vector<std::wstring>& cards, const std::vector<std::wstring>& roots);

// The card of a program started outside any card: the one card mounted
// below the roots; with none or several the folder that the user chooses in
// the folder dialog, which tells which case it is and starts in the first
// card found, else in the first root that exists. False when the user
// cancelled.
bool FindCardFolder(const std::vector<std::wstring>& roots, std::wstring& folder);

enum class CardStart {
  kProgramOnCard,   // the running program is in the card's folder
  kProgramOffCard,  // it runs from elsewhere (an installed program)
  kNoCard,          // none was found or chosen; nothing was touched
};

// Makes the card's folder the current directory as told above. A chosen
// folder that cannot be entered is reported and counts as no card.
CardStart EnterCardFolder();
