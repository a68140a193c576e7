#include "app/usage.h"

#include <cstdio>

#include "core/catalogue.h"
#include "core/update_result.h"
#include "platform/text.h"

CString UsageText() {
  CString text = GetMsg(90);
  const struct {
    UpdateResult status;
    int message;
  } statuses[] = {{kUpdateCurrent, 91},        {kUpdateNotFinished, 92}, {kUpdateNoLogin, 93},
                  {kUpdateTransferFailed, 94}, {kUpdateLogsLeft, 95},    {kUpdateHandedOver, 96},
                  {kUpdateCardBusy, 99}};
  for (const auto& row : statuses) {
    CString line;
    line.Format(L"  %d  %s\n", static_cast<int>(row.status), GetMsg(row.message));
    text += line;
  }
  return text;
}

void PrintUsage() {
  std::fputs(Utf8FromWide(static_cast<const wchar_t*>(UsageText())).c_str(), stdout);
  std::fflush(stdout);
}
