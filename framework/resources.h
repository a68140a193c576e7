// Dialog templates and icons as data. The program registers its resources at
// start; dialogs and icons are then looked up by id, as from a resource file.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wintypes.h"

enum class ControlKind {
  PushButton,
  DefPushButton,
  Edit,
  RichEdit,
  Static,
  GroupBox,
  CheckBox,     // auto check box
  RadioButton,  // auto radio button
  Progress,
};

// One control, in creation (and tab) order. Coordinates in dialog units.
// The style holds Windows style bits: WS_VISIBLE for a control shown at
// creation, WS_GROUP for the first control of a group, ES_* for edits.
struct DialogItem {
  int id;
  ControlKind kind;
  short x, y, cx, cy;
  DWORD style;
};

struct DialogTemplate {
  UINT id;
  short cx, cy;
  const wchar_t* fontName;
  short pointSize;
  DWORD style;
  DWORD exStyle;
  const DialogItem* items;
  size_t itemCount;
  // The ids in the order that Tab visits them, where that is not the
  // creation order (which also decides where radio groups end); null then.
  const int* tabOrder = nullptr;
  size_t tabOrderCount = 0;
};

// An icon with several images; pixels are 0xAARRGGBB, row by row.
struct IconImage {
  int size;
  std::vector<std::uint32_t> pixels;
};
#ifdef _WIN32
// On Windows HICON is the system's handle: a framework icon is carried in
// it as a pointer to this record.
struct IconData {
  UINT id;
  std::vector<IconImage> images;
};
#else
struct HICON__ {
  UINT id;
  std::vector<IconImage> images;
};
using IconData = HICON__;
#endif

void AfxRegisterDialogTemplate(const DialogTemplate* dialog);
const DialogTemplate* AfxFindDialogTemplate(UINT id);
void AfxRegisterIcon(UINT id, std::vector<IconImage> images);
HICON AfxLoadIcon(UINT id);
