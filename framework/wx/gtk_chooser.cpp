#include "framework/wx/gtk_chooser.h"

#include <gtk/gtk.h>
#include <wx/dirdlg.h>

void ShowChooserPrompt(wxDirDialog& chooser, const wxString& prompt) {
  if (prompt.empty()) return;
  GtkWidget* label = gtk_label_new(prompt.utf8_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0F);
  gtk_widget_show(label);
  gtk_file_chooser_set_extra_widget(GTK_FILE_CHOOSER(chooser.GetHandle()), label);
}
