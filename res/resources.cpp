#include "res/icon.h"
#include "res/resource.h"
#include "res/templates.h"

void RegisterProgramResources() {
  AfxRegisterDialogTemplate(&kMainDialogTemplate);
  AfxRegisterIcon(IDR_MAINFRAME, RenderMainIcon());
}
