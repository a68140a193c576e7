#include "resources.h"

#include <map>
#include <memory>
#include <mutex>

namespace {
struct Registry {
  std::mutex lock;
  std::map<UINT, const DialogTemplate*> dialogs;
  std::map<UINT, std::unique_ptr<IconData>> icons;
};
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}
}  // namespace

void AfxRegisterDialogTemplate(const DialogTemplate* dialog) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  r.dialogs[dialog->id] = dialog;
}

const DialogTemplate* AfxFindDialogTemplate(UINT id) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.dialogs.find(id);
  return it == r.dialogs.end() ? nullptr : it->second;
}

void AfxRegisterIcon(UINT id, std::vector<IconImage> images) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto icon = std::make_unique<IconData>();
  icon->id = id;
  icon->images = std::move(images);
  r.icons[id] = std::move(icon);
}

HICON AfxLoadIcon(UINT id) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.icons.find(id);
  return it == r.icons.end() ? nullptr : reinterpret_cast<HICON>(it->second.get());
}
