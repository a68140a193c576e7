#include "res/icon.h"
#include "res/resource.h"
#include "res/templates.h"

void RegisterProgramResources() {
  AfxRegisterDialogTemplate(&kMainDialogTemplate);
  AfxRegisterDialogTemplate(&kRegistrationDialogTemplate);
  AfxRegisterDialogTemplate(&kWiFiDialogTemplate);
  AfxRegisterDialogTemplate(&kPrivacyDialogTemplate);
  AfxRegisterIcon(IDR_MAINFRAME, RenderMainIcon());
}
