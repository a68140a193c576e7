#include "app/usage.h"

#include <cstdio>

#include "core/catalogue.h"
#include "core/product.h"
#include "core/update_result.h"
#include "platform/text.h"

CString UsageText() {
  CString text = GetMsg(Msg::kUsage);
  const struct {
    UpdateResult status;
    Msg message;
  } statuses[] = {{kUpdateCurrent, Msg::kExitCurrent},        {kUpdateNotFinished, Msg::kExitNotFinished}, {kUpdateNoLogin, Msg::kExitNoLogin},
                  {kUpdateTransferFailed, Msg::kExitTransferFailed}, {kUpdateLogsLeft, Msg::kExitLogsLeft},    {kUpdateHandedOver, Msg::kExitHandedOver},
                  {kUpdateCardBusy, Msg::kExitCardBusy},     {kUpdateNoCard, Msg::kExitNoCard}};
  for (const auto& row : statuses) {
    CString line;
    line.Format(L"  %d  %s\n", static_cast<int>(row.status), GetMsg(row.message));
    text += line;
  }
  return text;
}

CString VersionText() {
  CString text;
  text.Format(L"%s update client %s\n", kProductName, kClientVersionText);
  return text;
}

void PrintText(const CString& text) {
  std::fputs(Utf8FromWide(static_cast<const wchar_t*>(text)).c_str(), stdout);
  std::fflush(stdout);
}
