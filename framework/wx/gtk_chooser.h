// What the wx backend asks of GTK's file chooser itself, where wx has no
// word for it.
//
// The chooser adds a file saved through it to the user's recently used
// files (~/.local/share/recently-used.xbel); GTK's switch against that
// (GtkSettings' gtk-recent-files-enabled) is left alone: GTK 3 then writes
// the user's whole list anew, empty.
#pragma once

#include <wx/string.h>

class wxDirDialog;

// Shows prompt below the folder chooser's list, where GTK's chooser has a
// place for a widget of the program's own (it has no prompt of its own).
void ShowChooserPrompt(wxDirDialog& chooser, const wxString& prompt);
