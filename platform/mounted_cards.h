// The cards mounted on this machine: removable media whose root holds a
// "pass.ini", for a program that was started outside any card.
#pragma once

#include <string>
#include <vector>

// Where this user's removable media are mounted: on POSIX the folders
// /media/$USER and /run/media/$USER (either may be missing), each medium a
// folder inside one of them; on Windows the root of each removable drive
// ("E:\"), a medium itself.
std::vector<std::wstring> RemovableMediaRoots();

// The card folders among the roots: a root that holds "pass.ini" is a card
// itself; otherwise each of its folders that holds one is. Roots in the
// order given, folders in a root by name; links are not followed.
std::vector<std::wstring> FindMountedCards(const std::vector<std::wstring>& roots);
