// The client's entry point.
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "framework/winmain.h"
#include "res/resource.h"

CHalyardApp theApp;

int main(int argc, char** argv) {
  RegisterProgramResources();
  const int code = AfxWinMain(argc, argv);
  // A job thread still running when the window has ended ends with the
  // process, without unwinding the program's globals under it.
  std::fflush(stdout);
  std::_Exit(code);
}
