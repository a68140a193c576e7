// The program entry: chooses the window backend, hands the arguments to the
// application object and runs its InitInstance on the UI thread.
#pragma once

int AfxWinMain(int argc, char** argv);
