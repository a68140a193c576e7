#include "framework/wx/wx_backend.h"

namespace afx {
int RunWithWx(int, char**, std::function<void()>) { return 1; }
}
