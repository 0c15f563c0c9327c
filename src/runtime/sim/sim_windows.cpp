#include "runtime/sim/sim_windows.h"

#include <algorithm>

namespace vellomar::sim {

Hwnd SimWindows::Add(SimWindow window) {
  window.handle = nextHandle_;
  nextHandle_ += 4;
  const Hwnd handle = window.handle;
  const bool topLevel = window.parent == 0;
  windows_.emplace(handle, std::move(window));
  if (topLevel) {
    zOrder_.push_back(handle);
    BringToFront(handle);
  }
  return handle;
}

SimWindow* SimWindows::Get(Hwnd hwnd) {
  const auto found = windows_.find(hwnd);
  return found == windows_.end() ? nullptr : &found->second;
}

const SimWindow* SimWindows::Get(Hwnd hwnd) const {
  const auto found = windows_.find(hwnd);
  return found == windows_.end() ? nullptr : &found->second;
}

std::vector<Hwnd> SimWindows::Children(Hwnd parent) const {
  std::vector<Hwnd> children;
  for (const auto& [handle, window] : windows_) {
    if (window.parent == parent && parent != 0) children.push_back(handle);
  }
  return children;
}

void SimWindows::Destroy(Hwnd hwnd) {
  if (!Get(hwnd)) return;
  for (Hwnd child : Children(hwnd)) Destroy(child);
  Unlink(hwnd);
  windows_.erase(hwnd);
}

void SimWindows::Unlink(Hwnd hwnd) { std::erase(zOrder_, hwnd); }

void SimWindows::BringToFront(Hwnd hwnd) {
  SimWindow* window = Get(hwnd);
  if (!window || window->parent != 0) return;
  Unlink(hwnd);
  // The front of its band: top-most windows stay before the others.
  auto at = zOrder_.begin();
  if (!window->topmost) {
    while (at != zOrder_.end() && Get(*at)->topmost) ++at;
  }
  zOrder_.insert(at, hwnd);
}

void SimWindows::SetTopmost(Hwnd hwnd, bool topmost) {
  SimWindow* window = Get(hwnd);
  if (!window) return;
  window->topmost = topmost;
  BringToFront(hwnd);
}

void SimWindows::Reparent(Hwnd child, Hwnd parent) {
  SimWindow* window = Get(child);
  if (!window) return;
  const bool wasTopLevel = window->parent == 0;
  window->parent = parent;
  if (wasTopLevel) Unlink(child);
  if (parent == 0) {
    zOrder_.push_back(child);
    BringToFront(child);
  }
}

Hwnd SimWindows::FindByText(const std::string& text) const {
  for (const auto& [handle, window] : windows_) {
    if (window.text == text) return handle;
  }
  return 0;
}

}  // namespace vellomar::sim
