// The modal boxes: message box, save-file dialog and folder dialog.
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>

#include "framework/app.h"
#include "framework/wx/file_filter.h"
#include "framework/wx/gtk_chooser.h"
#include "framework/wx/wx_backend_impl.h"
#include "framework/wx/wx_controls.h"

namespace afx {

template <class Run>
int WxBackend::RunBox(Run run) {
  m_loops.push_back(nullptr);
  const int result = run();
  m_loops.pop_back();
  EndWaitingLoop();
  return result;
}

int WxBackend::MessageBox(const CString& text, UINT flags) {
  const bool yesNo = (flags & MB_TYPEMASK) == MB_YESNO;
  // A box without an icon flag has no icon: wx's own dialog draws one for
  // any icon flag, wxICON_NONE included (as an error sign).
  long style = (yesNo ? wxYES_NO : wxOK) | wxCENTRE;
  if (yesNo && (flags & MB_DEFMASK) == MB_DEFBUTTON2) style |= wxNO_DEFAULT;
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: style |= wxICON_ERROR; break;
    case MB_ICONEXCLAMATION: style |= wxICON_EXCLAMATION; break;
    case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
    default: break;
  }
  return RunBox([&] {
    // wx's own dialog draws the icon; GTK's native one draws none.
    wxGenericMessageDialog box(BoxParent(), wxui::LabelText(text.str()),
                               wxString(AfxGetAppName().str()), style);
    const int answer = box.ShowModal();
    if (!yesNo) return IDOK;
    return answer == wxID_YES ? IDYES : IDNO;
  });
}

int WxBackend::SaveFileDialog(CFileDialog& dialog) {
  long style = wxFD_SAVE;
  if (dialog.m_dwFlags & OFN_OVERWRITEPROMPT) style |= wxFD_OVERWRITE_PROMPT;
  const wxFileName initial(wxString(dialog.m_strInitialName.str()));
  const wxString title = dialog.m_strTitle.IsEmpty() ? wxString(L"Save As")
                                                      : wxString(dialog.m_strTitle.str());
  return RunBox([&] {
    wxFileDialog chooser(BoxParent(), title, initial.GetPath(), initial.GetFullName(),
                         wxString(WildcardFromFilter(dialog.m_strFilter.str())), style);
    if (chooser.ShowModal() != wxID_OK) return IDCANCEL;
    dialog.m_strPathName = PathWithDefaultExtension(chooser.GetPath().ToStdWstring(),
                                                    dialog.m_strDefaultExtension.str());
    return IDOK;
  });
}

int WxBackend::FolderDialog(CFolderDialog& dialog) {
  // GTK's chooser shows the title; the prompt goes below its list.
  return RunBox([&] {
    wxDirDialog chooser(BoxParent(), wxString(dialog.m_strTitle.str()),
                        wxString(dialog.m_strInitialFolder.str()), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    ShowChooserPrompt(chooser, wxui::LabelText(dialog.m_strPrompt.str()));
    if (chooser.ShowModal() != wxID_OK) return IDCANCEL;
    dialog.m_strPathName = chooser.GetPath().ToStdWstring();
    return IDOK;
  });
}

}  // namespace afx
