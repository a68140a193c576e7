// Opens every dialog of the program on real windows, in the display
// language and at the display's scale, and checks each one as the window
// backend draws it: every caption of a static text, button, check box, radio
// button and group box fits its control in the control's own font, and
// nothing crosses a group box's frame or caption. Prints a row per control
// and ends with 1 when anything does not fit.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "framework/uiqueue.h"
#include "platform/text.h"
#include "register/agree_dialog.h"
#include "register/reg_dialog.h"
#include "tests/gui/preview_support.h"
#include "wifi/wifi_settings_dlg.h"

namespace {

int g_checked = 0, g_clipped = 0, g_crossing = 0;

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return "static";
    case ControlKind::GroupBox: return "group";
    case ControlKind::CheckBox: return "check";
    case ControlKind::RadioButton: return "radio";
    default: return "button";
  }
}

bool HasCaption(ControlKind kind) {
  return kind != ControlKind::Edit && kind != ControlKind::RichEdit && kind != ControlKind::Progress;
}

struct Box {
  int left, top, right, bottom;
  bool Meets(const Box& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

Box BoxOf(const ControlGeometry& g) { return {g.left, g.top, g.left + g.width, g.top + g.height}; }

// Where a group box draws: its caption and the frame's lines (two pixels,
// the top one through the middle of the caption's line).
std::vector<Box> FrameOf(const ControlGeometry& g) {
  const Box all = BoxOf(g);
  const int line = g.top + g.fontHeight / 2;
  return {{all.left, all.top, all.left + g.neededWidth, all.top + g.fontHeight},
          {all.left, line, all.right, line + 2},
          {all.left, line, all.left + 2, all.bottom},
          {all.right - 2, line, all.right, all.bottom},
          {all.left, all.bottom - 2, all.right, all.bottom}};
}

void CheckCaptions(const char* dialog, const std::vector<afx::WindowState*>& controls) {
  for (const afx::WindowState* c : controls) {
    if (!HasCaption(c->kind) || c->text.empty()) continue;
    const ControlGeometry g = MeasureControl(c->hwnd);
    const bool fits = g.neededWidth <= g.width && g.neededHeight <= g.height;
    ++g_checked;
    if (!fits) ++g_clipped;
    std::printf("%-13s %5d %-6s needs %4d x %-3d has %4d x %-3d %-8s \"%s\"\n", dialog, c->id,
                KindName(c->kind), g.neededWidth, g.neededHeight, g.width, g.height,
                fits ? "fits" : "CLIPPED", Utf8FromWide(c->text).c_str());
  }
}

void CheckFrames(const char* dialog, const std::vector<afx::WindowState*>& controls) {
  for (const afx::WindowState* group : controls) {
    if (group->kind != ControlKind::GroupBox) continue;
    const std::vector<Box> frame = FrameOf(MeasureControl(group->hwnd));
    for (const afx::WindowState* c : controls) {
      if (c == group || !c->visible) continue;
      const Box box = BoxOf(MeasureControl(c->hwnd));
      for (const Box& part : frame) {
        if (!box.Meets(part)) continue;
        ++g_crossing;
        std::printf("%-13s %5d crosses the frame or caption of group box %d\n", dialog, c->id,
                    group->id);
        break;
      }
    }
  }
}

void CheckActiveDialog(const char* name) {
  CDialog* dialog = afx::ActiveDialog();
  if (!dialog) return afx::PostToUi([name] { CheckActiveDialog(name); });
  std::vector<afx::WindowState*> controls;
  for (HWND child : afx::FindWindowState(dialog->GetSafeHwnd())->children)
    controls.push_back(afx::FindWindowState(child));
  CheckCaptions(name, controls);
  CheckFrames(name, controls);
  dialog->EndDialog(IDCANCEL);
}

template <typename Dialog>
void Check(const char* name) {
  Dialog dialog;
  afx::PostToUi([name] { CheckActiveDialog(name); });
  dialog.DoModal();
}

}  // namespace

int main(int argc, char** argv) {
  const int started = RunDialogPreview(argc, argv, [] {
    Check<CHalyardDlg>("main");
    Check<CAgreeDialog>("consent");
    Check<CRegDialog>("registration");
    Check<CWiFiSettingsDlg>("wifi");
  });
  if (started != 0) return started;
  std::printf("%d captions checked, %d clipped, %d controls cross a group box's frame\n", g_checked,
              g_clipped, g_crossing);
  return g_clipped == 0 && g_crossing == 0 ? 0 : 1;
}
