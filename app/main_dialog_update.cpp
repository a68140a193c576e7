#include "app/main_dialog.h"

// "Start update" and the automatic start: the update job reports missing
// credentials itself.
void CHalyardDlg::OnStartUpdate() { StartJob(UpdateThreadProc, true); }
