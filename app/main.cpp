// The client's entry point.
#include "app/application.h"
#include "framework/winmain.h"
#include "platform/process_end.h"
#include "res/resource.h"

CHalyardApp theApp;

int main(int argc, char** argv) {
  RegisterProgramResources();
  // A job thread still running when the window has ended ends with the
  // process, without unwinding the program's globals under it.
  EndProcess(AfxWinMain(argc, argv));
}
