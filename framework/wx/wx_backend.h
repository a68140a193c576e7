// Real windows through wxWidgets (GTK3).
#pragma once

#include <functional>

namespace afx {

// Starts wx on this thread, installs the wx backend, runs initInstance (which
// runs the program's modal main window) and returns the exit code.
int RunWithWx(int argc, char** argv, std::function<void()> initInstance);

}  // namespace afx
