// The in-memory window table: captions, parents, client sizes in pixels, window procedures,
// extended styles, visibility and the z-order of top-level windows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/native.h"
#include "runtime/platform_types.h"

namespace vellomar::sim {

struct SimWindow {
  Hwnd handle = 0;
  Hwnd parent = 0;           // 0: a top-level window
  std::string kind;          // "form", "picture", "label", "button", "control", "foreign"
  std::string text;          // UTF-8
  bool visible = false;
  Rect bounds;               // pixels, in the parent's client area
  std::intptr_t wndProc = 0;
  std::intptr_t exStyle = 0;
  bool topmost = false;
  WindowEvents* events = nullptr;
  FormDesign design;         // forms
  std::uint32_t backColor = 0;
  FontDesign font;           // labels
};

class SimWindows {
 public:
  Hwnd Add(SimWindow window);
  // Null for a handle that names no window (also a destroyed one).
  SimWindow* Get(Hwnd hwnd);
  const SimWindow* Get(Hwnd hwnd) const;
  // Destroys the window and its descendants.
  void Destroy(Hwnd hwnd);
  std::vector<Hwnd> Children(Hwnd parent) const;
  // Top-level windows, front first: top-most ones before the others.
  const std::vector<Hwnd>& ZOrder() const { return zOrder_; }
  void BringToFront(Hwnd hwnd);
  void SetTopmost(Hwnd hwnd, bool topmost);
  void Reparent(Hwnd child, Hwnd parent);
  // Test helper: the first live window with exactly this UTF-8 caption, or 0.
  Hwnd FindByText(const std::string& text) const;
  std::size_t Count() const { return windows_.size(); }

 private:
  void Unlink(Hwnd hwnd);
  std::map<Hwnd, SimWindow> windows_;
  std::vector<Hwnd> zOrder_;
  Hwnd nextHandle_ = 0x10010;
};

}  // namespace vellomar::sim
